#include "platform/SodiumSignatureVerifier.h"

#include <sodium.h>

#include <stdexcept>

namespace quellstone::platform {

SodiumSignatureVerifier::SodiumSignatureVerifier() {
    if (sodium_init() < 0) throw std::runtime_error("libsodium could not be initialised");
}

std::array<unsigned char, 64> SodiumSignatureVerifier::Blake2b512(std::string_view bytes) {
    static_assert(crypto_generichash_BYTES_MAX == 64);
    std::array<unsigned char, 64> digest{};
    crypto_generichash(digest.data(), digest.size(), reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                       nullptr, 0);
    return digest;
}

bool SodiumSignatureVerifier::VerifyEd25519(std::span<const unsigned char, 64> signature, std::string_view message,
                                            std::span<const unsigned char, 32> publicKey) {
    return crypto_sign_verify_detached(signature.data(), reinterpret_cast<const unsigned char*>(message.data()),
                                       message.size(), publicKey.data()) == 0;
}

}  // namespace quellstone::platform
