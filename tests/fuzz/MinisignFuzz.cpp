// Fuzz target for the database signature check: any bytes split into a file,
// a signature text and a key text. The primitives are stand-ins that accept
// a signature whose first byte is even, so that every step of the check runs;
// the check must never crash and must say Valid only for well-formed input
// whose key ids agree. Built for libFuzzer with -DQUELLSTONE_FUZZ=ON (clang),
// and otherwise run over generated inputs by FuzzDriver.cpp.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/text/Base64.h"
#include "core/update/DatabaseSignature.h"
#include "core/update/DatabaseVersion.h"

namespace {

class EvenSignatureVerifier final : public quellstone::ports::SignatureVerifier {
public:
    std::array<unsigned char, 64> Blake2b512(std::string_view bytes) override {
        std::array<unsigned char, 64> digest{};
        for (std::size_t i = 0; i < bytes.size(); ++i) digest[i % 64] ^= static_cast<unsigned char>(bytes[i]);
        return digest;
    }
    bool VerifyEd25519(std::span<const unsigned char, 64> signature, std::string_view,
                       std::span<const unsigned char, 32>) override {
        return signature[0] % 2 == 0;
    }
};

// `count` bytes cut from `material`, repeated or padded with zeros as needed.
std::string Bytes(std::string_view material, std::size_t offset, std::size_t count) {
    std::string bytes(count, '\0');
    for (std::size_t i = 0; i < count && !material.empty(); ++i) bytes[i] = material[(offset + i) % material.size()];
    return bytes;
}

// A well-formed signature and key built from the input's bytes: the check
// must follow the stand-in primitives' verdicts exactly.
void CheckWellFormed(std::string_view material) {
    using namespace quellstone;
    const std::string keyId = Bytes(material, 0, 8);
    const std::string fileSignature = Bytes(material, 3, 64);
    const std::string globalSignature = Bytes(material, 5, 64);
    const std::string comment = Bytes(material, 7, material.size() % 20);
    const bool commentHasLineEnd = comment.find('\n') != std::string::npos;
    const std::string otherId = material.size() % 3 == 0 ? Bytes(material, 1, 8) : keyId;
    const std::string signature = "untrusted comment: x\n" + text::EncodeBase64("ED" + keyId + fileSignature) +
                                  "\ntrusted comment: " + comment + "\n" + text::EncodeBase64(globalSignature) + "\n";
    const std::string key = text::EncodeBase64("Ed" + otherId + Bytes(material, 11, 32));

    EvenSignatureVerifier verifier;
    const update::SignatureCheck check = update::VerifyDatabaseSignature(material, signature, key, verifier);
    update::SignatureCheck expected = update::SignatureCheck::Valid;
    if (commentHasLineEnd)
        expected = update::SignatureCheck::MalformedSignature;
    else if (otherId != keyId)
        expected = update::SignatureCheck::OtherKey;
    else if (fileSignature[0] % 2 != 0 || globalSignature[0] % 2 != 0)
        expected = update::SignatureCheck::Invalid;
    if (check != expected) {
        std::fprintf(stderr, "a well-formed signature got the wrong verdict\n");
        std::abort();
    }
}

std::string_view NextPart(std::string_view& rest) {
    const std::size_t split = rest.find('\x01');
    const std::string_view part = rest.substr(0, split);
    rest = split == std::string_view::npos ? std::string_view() : rest.substr(split + 1);
    return part;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quellstone;
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    const std::string_view file = NextPart(rest);
    std::string_view signature = NextPart(rest);
    const std::string_view key = NextPart(rest);

    EvenSignatureVerifier verifier;
    const update::SignatureCheck check = update::VerifyDatabaseSignature(file, signature, key, verifier);
    if (update::SignatureCheckText(check).empty()) std::abort();
    if (check == update::SignatureCheck::Valid && (key.empty() || signature.size() < 100)) {
        std::fprintf(stderr, "a signature too short to be one was accepted\n");
        std::abort();
    }

    // Base64 that decodes must encode back to the same text.
    const std::optional<std::string> decoded = text::DecodeBase64(file);
    if (decoded && text::EncodeBase64(*decoded) != file) {
        std::fprintf(stderr, "base64 decoded to bytes that encode differently\n");
        std::abort();
    }
    // A version that parses must print as a version that parses to the same numbers.
    if (const auto version = update::ParseDatabaseVersion(key)) {
        if (update::ParseDatabaseVersion(update::DatabaseVersionText(*version)) != version) std::abort();
    }
    CheckWellFormed(std::string_view(reinterpret_cast<const char*>(data), size));
    (void)update::DatabaseVersionOf(file);
    (void)update::HasScanSection(file);
    return 0;
}
