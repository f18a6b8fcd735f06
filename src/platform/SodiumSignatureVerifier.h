#pragma once

#include "core/ports/SignatureVerifier.h"

namespace quellstone::platform {

// The signature primitives from libsodium.
class SodiumSignatureVerifier final : public ports::SignatureVerifier {
public:
    // Initialises libsodium (safe to repeat; it runs once per process).
    SodiumSignatureVerifier();

    std::array<unsigned char, 64> Blake2b512(std::string_view bytes) override;
    bool VerifyEd25519(std::span<const unsigned char, 64> signature, std::string_view message,
                       std::span<const unsigned char, 32> publicKey) override;
};

}  // namespace quellstone::platform
