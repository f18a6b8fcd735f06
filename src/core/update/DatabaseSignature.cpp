#include "core/update/DatabaseSignature.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/text/Base64.h"
#include "core/text/Trim.h"

namespace quellstone::update {

namespace {

constexpr std::string_view kUntrustedPrefix = "untrusted comment:";
constexpr std::string_view kTrustedPrefix = "trusted comment: ";
constexpr std::string_view kKeyAlgorithm = "Ed";
constexpr std::string_view kPrehashedAlgorithm = "ED";
constexpr std::string_view kUnhashedAlgorithm = "Ed";
constexpr std::size_t kKeyIdBytes = 8;
constexpr std::size_t kKeyBytes = 32;
constexpr std::size_t kSignatureBytes = 64;
// A comment line longer than this is not a signature file of ours; the cap
// keeps a hostile file from making the check copy megabytes.
constexpr std::size_t kMaxLineBytes = 8192;

struct PublicKey {
    std::string keyId;
    std::array<unsigned char, kKeyBytes> key{};
};

struct Signature {
    std::string keyId;
    std::array<unsigned char, kSignatureBytes> signature{};
    std::string trustedComment;
    std::array<unsigned char, kSignatureBytes> globalSignature{};
};

// The lines of `text`, without their line ends (LF or CR LF); a last empty
// line after the final line end is not a line.
std::vector<std::string_view> LinesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

template <std::size_t N>
void CopyBytes(std::string_view from, std::array<unsigned char, N>& to) {
    for (std::size_t i = 0; i < N; ++i) to[i] = static_cast<unsigned char>(from[i]);
}

std::optional<PublicKey> ParsePublicKey(std::string_view text) {
    if (text.size() > kMaxSignatureTextBytes) return std::nullopt;
    std::vector<std::string_view> lines = LinesOf(text::Trim(text, " \t\r\n"));
    if (!lines.empty() && lines.front().starts_with(kUntrustedPrefix)) lines.erase(lines.begin());
    if (lines.size() != 1) return std::nullopt;
    const std::optional<std::string> bytes = text::DecodeBase64(text::Trim(lines.front(), " \t"));
    if (!bytes || bytes->size() != kKeyAlgorithm.size() + kKeyIdBytes + kKeyBytes) return std::nullopt;
    if (!bytes->starts_with(kKeyAlgorithm)) return std::nullopt;
    PublicKey key;
    key.keyId = bytes->substr(kKeyAlgorithm.size(), kKeyIdBytes);
    CopyBytes(std::string_view(*bytes).substr(kKeyAlgorithm.size() + kKeyIdBytes), key.key);
    return key;
}

// The parsed signature, or the reason it is refused.
struct ParsedSignature {
    std::optional<Signature> signature;
    SignatureCheck refusal = SignatureCheck::MalformedSignature;
};

ParsedSignature ParseSignature(std::string_view text) {
    // Bounded before it is split, so a huge file cannot become a huge list of lines.
    if (text.size() > kMaxSignatureTextBytes) return {};
    const std::vector<std::string_view> lines = LinesOf(text::Trim(text, "\r\n"));
    if (lines.size() != 4) return {};
    for (const std::string_view line : lines)
        if (line.size() > kMaxLineBytes) return {};
    if (!lines[0].starts_with(kUntrustedPrefix) || !lines[2].starts_with(kTrustedPrefix)) return {};

    const std::optional<std::string> body = text::DecodeBase64(lines[1]);
    if (!body || body->size() != kKeyAlgorithm.size() + kKeyIdBytes + kSignatureBytes) return {};
    if (body->starts_with(kUnhashedAlgorithm)) return {std::nullopt, SignatureCheck::UnhashedForm};
    if (!body->starts_with(kPrehashedAlgorithm)) return {};
    Signature signature;
    signature.keyId = body->substr(kKeyAlgorithm.size(), kKeyIdBytes);
    CopyBytes(std::string_view(*body).substr(kKeyAlgorithm.size() + kKeyIdBytes), signature.signature);

    signature.trustedComment = std::string(lines[2].substr(kTrustedPrefix.size()));
    const std::optional<std::string> global = text::DecodeBase64(lines[3]);
    if (!global || global->size() != kSignatureBytes) return {};
    CopyBytes(*global, signature.globalSignature);
    return {signature};
}

std::string_view AsText(std::span<const unsigned char> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace

SignatureCheck VerifyDatabaseSignature(std::string_view fileBytes, std::string_view signatureText,
                                       std::string_view publicKeyText, ports::SignatureVerifier& verifier) {
    if (text::Trim(publicKeyText, " \t\r\n").empty()) return SignatureCheck::NoKeyConfigured;
    const std::optional<PublicKey> key = ParsePublicKey(publicKeyText);
    if (!key) return SignatureCheck::MalformedKey;
    const ParsedSignature parsed = ParseSignature(signatureText);
    if (!parsed.signature) return parsed.refusal;
    const std::optional<Signature>& signature = parsed.signature;
    if (signature->keyId != key->keyId) return SignatureCheck::OtherKey;

    const std::array<unsigned char, 64> digest = verifier.Blake2b512(fileBytes);
    if (!verifier.VerifyEd25519(signature->signature, AsText(digest), key->key)) return SignatureCheck::Invalid;

    std::string signedComment(AsText(signature->signature));
    signedComment += signature->trustedComment;
    if (!verifier.VerifyEd25519(signature->globalSignature, signedComment, key->key)) return SignatureCheck::Invalid;
    return SignatureCheck::Valid;
}

std::string_view SignatureCheckText(SignatureCheck check) {
    switch (check) {
        case SignatureCheck::Valid: return "the signature is valid";
        case SignatureCheck::NoKeyConfigured: return "no update key is configured";
        case SignatureCheck::MalformedKey: return "the configured update key is malformed";
        case SignatureCheck::MalformedSignature: return "the signature file is malformed";
        case SignatureCheck::UnhashedForm: return "a signature of the old unhashed form is not accepted";
        case SignatureCheck::OtherKey: return "the signature was made with another key";
        case SignatureCheck::Invalid: return "the signature does not match the file";
    }
    return "the signature does not match the file";
}

}  // namespace quellstone::update
