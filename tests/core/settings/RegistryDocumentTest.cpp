#include <gtest/gtest.h>

#include "core/settings/RegistryDocument.h"

namespace quellstone::settings {
namespace {

constexpr std::string_view kKey = "HKEY_CURRENT_USER\\SOFTWARE\\Orvanta\\Quellstone\\Settings";

TEST(RegistryDocument, WhatItWritesReadsBackUnchanged) {
    RegistryDocument doc;
    doc.SetValue(kKey, "curLang", 1, std::string("Polish\0", 7));
    doc.SetValue(kKey, "quoted \"name\"", 1, std::string("back\\slash \"q\" za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87\0", 26));
    doc.SetValue(kKey, "number", 4, std::string("\x0a\x00\x00\x00", 4));
    doc.SetValue(kKey, "blob", 3, std::string("\x01\xab\x00", 3));
    doc.SetValue(kKey, "expand", 2, std::string("%HOME%\0", 7));
    doc.SetValue(kKey, "text with break", 1, std::string("a\nb\0", 4));
    doc.SetValue(kKey, "", 7, "");
    const std::string text = doc.Serialize();
    EXPECT_NE(text.find("\"curLang\"=\"Polish\""), std::string::npos);
    EXPECT_NE(text.find("\"number\"=dword:0000000a"), std::string::npos);
    EXPECT_NE(text.find("\"blob\"=hex:01,ab,00"), std::string::npos);

    const RegistryDocument again = RegistryDocument::Parse(text);
    EXPECT_EQ(again.SkippedLines(), 0u);
    EXPECT_EQ(again.Serialize(), text);
    EXPECT_EQ(again.FindValue(kKey, "QUOTED \"NAME\"")->data, doc.FindValue(kKey, "quoted \"name\"")->data);
    EXPECT_EQ(again.FindValue(kKey, "text with break")->data, std::string("a\nb\0", 4));
    EXPECT_EQ(again.FindValue(kKey, "")->type, 7u);
}

TEST(RegistryDocument, LoadsAHandEditedFile) {
    const auto doc = RegistryDocument::Parse(
        "\xEF\xBB\xBFREGEDIT4\r\n"
        "; my settings\r\n"
        "\r\n"
        "  [HKEY_CURRENT_USER\\Software\\Orvanta\\Quellstone\\Settings]  \r\n"
        "; language first\r\n"
        "  \"CurLang\"  =  \"Deutsch\"  \r\n"
        "\"long\"=hex:01,02,\\\r\n"
        "   03,04\r\n"
        "\r\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\ORVANTA\\Quellstone\\Settings]\r\n"
        "\"curlang\"=\"Polish\"\r\n");
    EXPECT_EQ(doc.SkippedLines(), 0u);
    // The same key twice, any letter case: one key, the first spelling, the last value.
    EXPECT_EQ(doc.FindValue(kKey, "curLang")->data, std::string("Polish\0", 7));
    EXPECT_EQ(doc.FindValue(kKey, "LONG")->data, "\x01\x02\x03\x04");
    const std::string text = doc.Serialize();
    EXPECT_NE(text.find("; my settings\n"), std::string::npos);
    EXPECT_NE(text.find("; language first\n\"CurLang\"=\"Polish\"\n"), std::string::npos);
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Orvanta\\Quellstone\\Settings]"), std::string::npos);
}

TEST(RegistryDocument, SkipsEachLineItCannotReadAndReadsTheRest) {
    const std::string head = "[HKEY_CURRENT_USER\\A]\n\"before\"=\"1\"\n";
    const std::string tail = "\"after\"=\"2\"\n";
    for (const char* bad : {"not a value line", "\"a\"=dword:123456789", "\"a\"=-", "\"a\"=hex:1g",
                            "\"a\"=\"unterminated", "\"caf\xE9\"=\"1\"", "; caf\xE9", "\"a\"=\"\xFF\"",
                            "\"long\"=hex:01,\xFF\\\n  02", "Windows Registry Editor Version 5.00"}) {
        const RegistryDocument doc = RegistryDocument::Parse(head + bad + "\n" + tail);
        EXPECT_EQ(doc.SkippedLines(), 1u) << bad;
        EXPECT_EQ(doc.Serialize(), "Windows Registry Editor Version 5.00\n\n" + head + tail) << bad;
    }
    // Values before any key, and a value whose continuation runs off the end of the file.
    const RegistryDocument edges = RegistryDocument::Parse("\"orphan\"=\"x\"\n" + head + tail + "\"cut\"=hex:01,\\\n");
    EXPECT_EQ(edges.SkippedLines(), 2u);
    EXPECT_EQ(edges.Serialize(), "Windows Registry Editor Version 5.00\n\n" + head + tail);

    EXPECT_EQ(RegistryDocument::Parse("").SkippedLines(), 0u);
    // Stray carriage returns (found by the fuzzer) must not change a line on every rewrite.
    const RegistryDocument strays =
        RegistryDocument::Parse(";note\r\r\r\n[HKEY_CURRENT_USER\\A]\r\r\n\"a\"=\"b\"\r\r\n");
    EXPECT_EQ(strays.SkippedLines(), 0u);
    EXPECT_EQ(RegistryDocument::Parse(strays.Serialize()).Serialize(), strays.Serialize());
}

TEST(RegistryDocument, LinesBelowABadHeaderAreSkippedUpToTheNextGoodOne) {
    for (const char* header : {"[HKEY_CURRENT_USER\\B", "[ -HKEY_CURRENT_USER\\B]", "[]", "[HKEY_CURRENT_\xC0USER]"}) {
        const RegistryDocument doc =
            RegistryDocument::Parse(std::string("[HKEY_CURRENT_USER\\A]\n\"a\"=\"1\"\n") + header +
                                    "\n\"b\"=\"2\"\n; about b\n" + "[HKEY_CURRENT_USER\\C]\n\"c\"=\"3\"\n");
        EXPECT_EQ(doc.SkippedLines(), 3u) << header;
        EXPECT_EQ(doc.Serialize(),
                  "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\A]\n\"a\"=\"1\"\n\n"
                  "[HKEY_CURRENT_USER\\C]\n\"c\"=\"3\"\n")
            << header;
    }
}

TEST(RegistryDocument, ReadsAUtf16ExportAndWritesUtf8) {
    std::u16string text =
        u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n"
        u"\"curLang\"=\"\u017C\U0001F600\"\r\n\"Quarintine\"=\"1\"\r\n";
    const auto utf16le = [](std::u16string_view units) {
        std::string out = "\xFF\xFE";
        for (const char16_t unit : units)
            out += std::string{static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
        return out;
    };
    const RegistryDocument doc = RegistryDocument::Parse(utf16le(text));
    EXPECT_EQ(doc.SkippedLines(), 0u);
    EXPECT_EQ(doc.Serialize(),
              "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\A]\n"
              "\"curLang\"=\"\xC5\xBC\xF0\x9F\x98\x80\"\n\"Quarintine\"=\"1\"\n");
    // A lone surrogate or an odd last byte costs only its own line.
    text.insert(text.find(u"1\""), 1, char16_t{0xD800});
    const RegistryDocument lone = RegistryDocument::Parse(utf16le(text) + "A");
    EXPECT_EQ(lone.SkippedLines(), 2u);
    EXPECT_NE(lone.FindValue("HKEY_CURRENT_USER\\A", "curLang"), nullptr);
    EXPECT_EQ(lone.FindValue("HKEY_CURRENT_USER\\A", "Quarintine"), nullptr);
}

TEST(RegistryDocument, IndexFollowsDeletionsAndKeepsFirstSpellings) {
    RegistryDocument doc;
    for (int i = 0; i < 5; ++i) {
        const std::string key = std::string(kKey) + "\\K" + std::to_string(i);
        for (int v = 0; v < 5; ++v) doc.SetValue(key, "v" + std::to_string(v), 1, std::to_string(i * 10 + v) + '\0');
    }
    const std::string k2 = std::string(kKey) + "\\K2";
    EXPECT_TRUE(doc.DeleteValue(k2, "V1"));
    EXPECT_FALSE(doc.FindValue(k2, "v1"));
    EXPECT_EQ(doc.FindValue(k2, "v4")->data, std::string("24\0", 3));
    doc.SetValue(k2, "V4", 1, std::string("x\0", 2));
    doc.SetValue(k2, "V1", 1, std::string("y\0", 2));
    EXPECT_EQ(doc.DeleteKey(std::string(kKey) + "\\k1"), RegistryDocument::DeleteResult::Deleted);
    EXPECT_EQ(doc.FindValue(std::string(kKey) + "\\k4", "V3")->data, std::string("43\0", 3));
    EXPECT_EQ(doc.FindValue(std::string(kKey) + "\\K1", "v0"), nullptr);
    const std::string text = doc.Serialize();
    EXPECT_NE(text.find("[" + k2 + "]\n\"v0\"=\"20\"\n\"v2\"=\"22\"\n\"v3\"=\"23\"\n\"v4\"=\"x\"\n\"V1\"=\"y\"\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("K1]"), std::string::npos);
}

TEST(RegistryDocument, KeysExistAboveTheirSubkeysAndDeleteFromTheBottom) {
    RegistryDocument doc;
    doc.SetValue("HKEY_CURRENT_USER\\SOFTWARE\\Orvanta\\Quellstone\\Status", "TotalScans", 1, std::string("3\0", 2));
    EXPECT_TRUE(doc.KeyExists("hkey_current_user\\software\\orvanta"));
    EXPECT_EQ(doc.SubKeyAt("HKEY_CURRENT_USER\\SOFTWARE", 0), "Orvanta");
    EXPECT_EQ(doc.SubKeyAt("HKEY_CURRENT_USER\\SOFTWARE", 1), std::nullopt);
    EXPECT_EQ(doc.DeleteKey("HKEY_CURRENT_USER\\SOFTWARE\\Orvanta"), RegistryDocument::DeleteResult::HasSubkeys);
    EXPECT_EQ(doc.DeleteKey("HKEY_CURRENT_USER\\SOFTWARE\\Orvanta\\Quellstone\\Status"),
              RegistryDocument::DeleteResult::Deleted);
    // The parent stays, though it had no header of its own.
    EXPECT_TRUE(doc.KeyExists("HKEY_CURRENT_USER\\SOFTWARE\\Orvanta\\Quellstone"));
    EXPECT_EQ(doc.DeleteKey("HKEY_CURRENT_USER\\SOFTWARE\\Absent"), RegistryDocument::DeleteResult::NotFound);
}

}  // namespace
}  // namespace quellstone::settings
