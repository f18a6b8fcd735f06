// Database signatures in minisign's format, checked with libsodium, against
// keys and signatures made by the test itself and by the minisign tool.
#include <gtest/gtest.h>

#include <string>

#include "core/text/Base64.h"
#include "core/update/DatabaseSignature.h"
#include "platform/SodiumSignatureVerifier.h"
#include "support/MinisignSigner.h"
#include "support/RunTool.h"
#include "support/TempDir.h"

namespace quellstone::update {
namespace {

using namespace quellstone::testing;

const std::string kDatabase = "[Database]\nVersion=2026.12.9\n[Scanfiles]\nKNOWN.EXE=Trojan.Test\n";

class DatabaseSignatureTest : public ::testing::Test {
protected:
    SignatureCheck Check(std::string_view file, std::string_view signature, std::string_view publicKey) {
        return VerifyDatabaseSignature(file, signature, publicKey, verifier);
    }
    // The signature text with its line `index` (0-3) replaced.
    static std::string WithLine(const std::string& signature, std::size_t index, const std::string& line) {
        std::string result;
        std::size_t start = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            const std::size_t end = signature.find('\n', start);
            result += (i == index ? line : signature.substr(start, end - start)) + "\n";
            start = end + 1;
        }
        return result;
    }
    static std::string LineOf(const std::string& signature, std::size_t index) {
        std::size_t start = 0;
        for (std::size_t i = 0; i < index; ++i) start = signature.find('\n', start) + 1;
        return signature.substr(start, signature.find('\n', start) - start);
    }

    platform::SodiumSignatureVerifier verifier;
    MinisignKey key = MinisignKey::Generate();
};

TEST_F(DatabaseSignatureTest, AcceptsOwnPrehashedSignaturesAndTheKeyFileAsWritten) {
    EXPECT_EQ(Check(kDatabase, key.Sign(kDatabase), key.PublicKeyText()), SignatureCheck::Valid);
    // The old form over the raw file is refused even when it is genuine.
    EXPECT_EQ(Check(kDatabase, key.SignLegacy(kDatabase), key.PublicKeyText()), SignatureCheck::UnhashedForm);
    EXPECT_EQ(Check("", key.Sign(""), key.PublicKeyText()), SignatureCheck::Valid);
    // The whole minisign.pub, blanks around the key, CR LF line ends.
    const std::string pubFile = "untrusted comment: minisign public key 0\n" + key.PublicKeyText() + "\n";
    EXPECT_EQ(Check(kDatabase, key.Sign(kDatabase), pubFile), SignatureCheck::Valid);
    EXPECT_EQ(Check(kDatabase, key.Sign(kDatabase), "  " + key.PublicKeyText() + " "), SignatureCheck::Valid);
    std::string crlf = key.Sign(kDatabase, "timestamp:5\tfile:bdts.dll\thashed");
    for (std::size_t at = crlf.find('\n'); at != std::string::npos; at = crlf.find('\n', at + 2)) crlf.insert(at, "\r");
    EXPECT_EQ(Check(kDatabase, crlf, key.PublicKeyText()), SignatureCheck::Valid);
}

TEST_F(DatabaseSignatureTest, RefusesChangedFilesCommentsAndOtherKeys) {
    const std::string signature = key.Sign(kDatabase);
    for (std::size_t at : {std::size_t{0}, kDatabase.size() / 2, kDatabase.size() - 1}) {
        std::string tampered = kDatabase;
        tampered[at] ^= 0x01;
        EXPECT_EQ(Check(tampered, signature, key.PublicKeyText()), SignatureCheck::Invalid) << at;
    }
    EXPECT_EQ(Check(kDatabase + "\n", signature, key.PublicKeyText()), SignatureCheck::Invalid);
    EXPECT_EQ(Check(kDatabase.substr(1), key.SignLegacy(kDatabase), key.PublicKeyText()), SignatureCheck::UnhashedForm);

    // The file's signature still matches, the comment's does not.
    const std::string comment = WithLine(signature, 2, "trusted comment: timestamp:2");
    EXPECT_EQ(Check(kDatabase, comment, key.PublicKeyText()), SignatureCheck::Invalid);
    // A global signature taken from another signature of the same key.
    const std::string swapped = WithLine(signature, 3, LineOf(key.Sign("other"), 3));
    EXPECT_EQ(Check(kDatabase, swapped, key.PublicKeyText()), SignatureCheck::Invalid);
    // "Ed" in place of "ED": the old form is refused before anything is verified.
    std::string body = *text::DecodeBase64(LineOf(signature, 1));
    body[1] = 'd';
    EXPECT_EQ(Check(kDatabase, WithLine(signature, 1, text::EncodeBase64(body)), key.PublicKeyText()),
              SignatureCheck::UnhashedForm);

    const MinisignKey other = MinisignKey::Generate();
    EXPECT_EQ(Check(kDatabase, other.Sign(kDatabase), key.PublicKeyText()), SignatureCheck::OtherKey);
    const MinisignKey sameId = key.OtherKeyWithSameId();
    EXPECT_EQ(Check(kDatabase, sameId.Sign(kDatabase), key.PublicKeyText()), SignatureCheck::Invalid);
}

TEST_F(DatabaseSignatureTest, RefusesMalformedSignaturesAndKeys) {
    const std::string signature = key.Sign(kDatabase);
    const std::string pub = key.PublicKeyText();
    for (std::size_t length = 0; length < signature.size(); length += 7)
        EXPECT_NE(Check(kDatabase, signature.substr(0, length), pub), SignatureCheck::Valid) << length;
    EXPECT_EQ(Check(kDatabase, signature.substr(0, signature.size() - 10), pub), SignatureCheck::MalformedSignature);
    EXPECT_EQ(Check(kDatabase, "", pub), SignatureCheck::MalformedSignature);
    EXPECT_EQ(Check(kDatabase, WithLine(signature, 0, "comment: x"), pub), SignatureCheck::MalformedSignature);
    EXPECT_EQ(Check(kDatabase, WithLine(signature, 2, "trusted:timestamp:1"), pub), SignatureCheck::MalformedSignature);
    EXPECT_EQ(Check(kDatabase, WithLine(signature, 1, LineOf(signature, 1) + "A"), pub),
              SignatureCheck::MalformedSignature);
    EXPECT_EQ(Check(kDatabase, WithLine(signature, 1, "!" + LineOf(signature, 1).substr(1)), pub),
              SignatureCheck::MalformedSignature);
    EXPECT_EQ(Check(kDatabase, WithLine(signature, 3, LineOf(signature, 3).substr(4)), pub),
              SignatureCheck::MalformedSignature);
    std::string body = *text::DecodeBase64(LineOf(signature, 1));
    body[0] = 'X';
    EXPECT_EQ(Check(kDatabase, WithLine(signature, 1, text::EncodeBase64(body)), pub),
              SignatureCheck::MalformedSignature);
    EXPECT_EQ(Check(kDatabase, signature + "extra line\n", pub), SignatureCheck::MalformedSignature);
    // Over the size bound: refused whole, before any splitting into lines,
    // even with four well-formed lines.
    const std::string longComment = WithLine(signature, 0, "untrusted comment: " + std::string(8000, 'c'));
    EXPECT_EQ(Check(kDatabase, longComment, pub), SignatureCheck::MalformedSignature);
    std::string manyLines;
    for (int i = 0; i < 1 << 20; ++i) manyLines += "x\n";
    EXPECT_EQ(Check(kDatabase, manyLines, pub), SignatureCheck::MalformedSignature);

    EXPECT_EQ(Check(kDatabase, signature, ""), SignatureCheck::NoKeyConfigured);
    EXPECT_EQ(Check(kDatabase, signature, " \n"), SignatureCheck::NoKeyConfigured);
    EXPECT_EQ(Check(kDatabase, signature, pub.substr(0, pub.size() - 4)), SignatureCheck::MalformedKey);
    std::string keyBytes = *text::DecodeBase64(pub);
    keyBytes[1] = 'D';  // "ED" names signatures, never keys
    EXPECT_EQ(Check(kDatabase, signature, text::EncodeBase64(keyBytes)), SignatureCheck::MalformedKey);
    EXPECT_EQ(Check(kDatabase, signature, "untrusted comment: only a comment"), SignatureCheck::MalformedKey);
    EXPECT_EQ(Check(kDatabase, signature, pub + "\n" + pub), SignatureCheck::MalformedKey);
    EXPECT_EQ(Check(kDatabase, signature, LineOf(signature, 1)), SignatureCheck::MalformedKey);
    for (const SignatureCheck check :
         {SignatureCheck::NoKeyConfigured, SignatureCheck::MalformedKey, SignatureCheck::MalformedSignature,
          SignatureCheck::UnhashedForm, SignatureCheck::OtherKey, SignatureCheck::Invalid})
        EXPECT_FALSE(SignatureCheckText(check).empty());
}

// Both directions against the minisign tool prove the formats are the same.
class MinisignToolTest : public DatabaseSignatureTest {
protected:
    void SetUp() override {
        if (!ToolOnPath("minisign")) GTEST_SKIP() << "the minisign tool is not installed";
        WriteFile(dir / "bdts.dll", kDatabase);
    }
    TempDir dir;
};

TEST_F(MinisignToolTest, ItsSignaturesVerifyAndItVerifiesOurs) {
    ASSERT_EQ(RunTool({"minisign", "-G", "-W", "-p", dir / "tool.pub", "-s", dir / "tool.key"}), 0);
    ASSERT_EQ(
        RunTool({"minisign", "-Sm", dir / "bdts.dll", "-s", dir / "tool.key", "-t", "Quellstone database 2026.12.9"}),
        0);
    const std::string toolSignature = ReadAll(dir / "bdts.dll.minisig");
    const std::string toolKeyFile = ReadAll(dir / "tool.pub");
    EXPECT_EQ(Check(kDatabase, toolSignature, toolKeyFile), SignatureCheck::Valid);
    EXPECT_EQ(Check(kDatabase, toolSignature, LineOf(toolKeyFile, 1)), SignatureCheck::Valid);
    EXPECT_EQ(Check(kDatabase + " ", toolSignature, toolKeyFile), SignatureCheck::Invalid);
    EXPECT_EQ(Check(kDatabase, toolSignature, key.PublicKeyText()), SignatureCheck::OtherKey);
    ASSERT_EQ(
        RunTool({"minisign", "-S", "-l", "-m", dir / "bdts.dll", "-x", dir / "legacy.minisig", "-s", dir / "tool.key"}),
        0);
    EXPECT_EQ(Check(kDatabase, ReadAll(dir / "legacy.minisig"), toolKeyFile), SignatureCheck::UnhashedForm);

    WriteFile(dir / "bdts.dll.minisig", key.Sign(kDatabase, "timestamp:1\tfile:bdts.dll"));
    EXPECT_EQ(RunTool({"minisign", "-Vm", dir / "bdts.dll", "-P", key.PublicKeyText()}), 0);
    WriteFile(dir / "bdts.dll.minisig", key.SignLegacy(kDatabase));
    EXPECT_EQ(RunTool({"minisign", "-Vm", dir / "bdts.dll", "-P", key.PublicKeyText()}), 0);
    WriteFile(dir / "bdts.dll", kDatabase + "tampered");
    WriteFile(dir / "bdts.dll.minisig", key.Sign(kDatabase));
    EXPECT_NE(RunTool({"minisign", "-Vm", dir / "bdts.dll", "-P", key.PublicKeyText()}), 0);
}

}  // namespace
}  // namespace quellstone::update
