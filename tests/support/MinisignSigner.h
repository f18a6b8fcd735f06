#pragma once

#include <sodium.h>

#include <array>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quellstone::testing {

// A minisign key pair made by a test (never stored), and signatures in
// minisign's text format made with it.
struct MinisignKey {
    std::array<unsigned char, 8> keyId{};
    std::array<unsigned char, crypto_sign_PUBLICKEYBYTES> publicKey{};
    std::array<unsigned char, crypto_sign_SECRETKEYBYTES> secretKey{};

    static MinisignKey Generate() {
        if (sodium_init() < 0) throw std::runtime_error("libsodium could not be initialised");
        MinisignKey key;
        crypto_sign_keypair(key.publicKey.data(), key.secretKey.data());
        randombytes_buf(key.keyId.data(), key.keyId.size());
        return key;
    }

    // A new key pair that carries this key's id.
    [[nodiscard]] MinisignKey OtherKeyWithSameId() const {
        MinisignKey other = Generate();
        other.keyId = keyId;
        return other;
    }

    // The base64 line of the key's minisign.pub.
    [[nodiscard]] std::string PublicKeyText() const { return Base64("Ed" + AsString(keyId) + AsString(publicKey)); }

    // The whole .minisig text: the file's BLAKE2b-512 digest signed ("ED"),
    // and the signature over that signature and the trusted comment.
    [[nodiscard]] std::string Sign(std::string_view bytes, std::string_view trustedComment = "timestamp:1") const {
        std::array<unsigned char, crypto_generichash_BYTES_MAX> digest{};
        crypto_generichash(digest.data(), digest.size(), reinterpret_cast<const unsigned char*>(bytes.data()),
                           bytes.size(), nullptr, 0);
        return SignatureText("ED", AsString(digest), trustedComment);
    }

    // The legacy form: the file itself signed ("Ed").
    [[nodiscard]] std::string SignLegacy(std::string_view bytes,
                                         std::string_view trustedComment = "timestamp:1") const {
        return SignatureText("Ed", bytes, trustedComment);
    }

private:
    template <std::size_t N>
    static std::string AsString(const std::array<unsigned char, N>& bytes) {
        return std::string(reinterpret_cast<const char*>(bytes.data()), N);
    }

    static std::string Base64(const std::string& bytes) {
        std::string text(sodium_base64_encoded_len(bytes.size(), sodium_base64_VARIANT_ORIGINAL), '\0');
        sodium_bin2base64(text.data(), text.size(), reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                          sodium_base64_VARIANT_ORIGINAL);
        text.resize(text.find('\0'));
        return text;
    }

    [[nodiscard]] std::string Detached(std::string_view message) const {
        std::array<unsigned char, crypto_sign_BYTES> signature{};
        crypto_sign_detached(signature.data(), nullptr, reinterpret_cast<const unsigned char*>(message.data()),
                             message.size(), secretKey.data());
        return AsString(signature);
    }

    [[nodiscard]] std::string SignatureText(std::string_view algorithm, std::string_view message,
                                            std::string_view trustedComment) const {
        const std::string signature = Detached(message);
        const std::string global = Detached(signature + std::string(trustedComment));
        return "untrusted comment: signature from a test key\n" +
               Base64(std::string(algorithm) + AsString(keyId) + signature) +
               "\ntrusted comment: " + std::string(trustedComment) + "\n" + Base64(global) + "\n";
    }
};

}  // namespace quellstone::testing
