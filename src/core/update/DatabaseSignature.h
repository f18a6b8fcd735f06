#pragma once

#include <cstddef>
#include <string_view>

#include "core/ports/SignatureVerifier.h"

namespace quellstone::update {

enum class SignatureCheck {
    Valid,
    NoKeyConfigured,
    MalformedKey,
    MalformedSignature,
    UnhashedForm,  // minisign's old "Ed" form: Ed25519 over the raw file, refused
    OtherKey,
    Invalid
};

// A signature text longer than this is refused before it is parsed.
inline constexpr std::size_t kMaxSignatureTextBytes = 8192;

// Checks a detached signature in minisign's text format.
//
// `publicKeyText` is the base64 line of a minisign public key ("Ed", an 8-byte
// key id, the 32-byte Ed25519 key); an "untrusted comment:" line before it is
// tolerated. `signatureText` is an "untrusted comment:" line, the base64 line
// of the signature ("ED": Ed25519 over the BLAKE2b-512 digest of the file;
// then the key id and the 64-byte signature), a "trusted comment: TEXT" line and the base64 line of the
// signature over the file's signature bytes followed by TEXT.
//
// Valid only when the key ids agree and both signatures verify. The old "Ed"
// form (Ed25519 over the file itself) is refused: with it, the signature over
// a trusted comment could be passed off as the signature of a file.
SignatureCheck VerifyDatabaseSignature(std::string_view fileBytes, std::string_view signatureText,
                                       std::string_view publicKeyText, ports::SignatureVerifier& verifier);

// A short English reason, for stderr and a message's detail line.
std::string_view SignatureCheckText(SignatureCheck check);

}  // namespace quellstone::update
