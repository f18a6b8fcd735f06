#pragma once

#include <array>
#include <span>
#include <string_view>

namespace quellstone::ports {

// The two cryptographic primitives the database signature check needs: a
// BLAKE2b-512 digest and an Ed25519 detached-signature check.
class SignatureVerifier {
public:
    virtual ~SignatureVerifier() = default;

    // BLAKE2b with a 64-byte output and no key.
    virtual std::array<unsigned char, 64> Blake2b512(std::string_view bytes) = 0;

    // True when `signature` is `publicKey`'s Ed25519 signature of `message`.
    virtual bool VerifyEd25519(std::span<const unsigned char, 64> signature, std::string_view message,
                               std::span<const unsigned char, 32> publicKey) = 0;
};

}  // namespace quellstone::ports
