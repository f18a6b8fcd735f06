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

    const auto again = RegistryDocument::Parse(text);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->Serialize(), text);
    EXPECT_EQ(again->FindValue(kKey, "QUOTED \"NAME\"")->data, doc.FindValue(kKey, "quoted \"name\"")->data);
    EXPECT_EQ(again->FindValue(kKey, "text with break")->data, std::string("a\nb\0", 4));
    EXPECT_EQ(again->FindValue(kKey, "")->type, 7u);
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
    ASSERT_TRUE(doc);
    // The same key twice, any letter case: one key, the first spelling, the last value.
    EXPECT_EQ(doc->FindValue(kKey, "curLang")->data, std::string("Polish\0", 7));
    EXPECT_EQ(doc->FindValue(kKey, "LONG")->data, "\x01\x02\x03\x04");
    const std::string text = doc->Serialize();
    EXPECT_NE(text.find("; my settings\n"), std::string::npos);
    EXPECT_NE(text.find("; language first\n\"CurLang\"=\"Polish\"\n"), std::string::npos);
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Orvanta\\Quellstone\\Settings]"), std::string::npos);
}

TEST(RegistryDocument, RefusesWhatItCannotReadBackExactly) {
    for (const char* text : {"\"value before any key\"=\"x\"\n", "[HKEY_CURRENT_USER\\A]\nnot a value line\n",
                             "[HKEY_CURRENT_USER\\A]\n\"a\"=dword:123456789\n", "[HKEY_CURRENT_USER\\A]\n\"a\"=-\n",
                             "[-HKEY_CURRENT_USER\\A]\n", "[ -HKEY_CURRENT_USER\\A]\n",
                             "[HKEY_CURRENT_USER\\A]\n\"a\"=hex:1g\n", "[HKEY_CURRENT_USER\\A]\n\"a\"=\"unterminated\n",
                             "[HKEY_CURRENT_USER\\A\n", "[HKEY_CURRENT_USER\\A]\n\"a\"=\"\xFF\"\n"}) {
        EXPECT_FALSE(RegistryDocument::Parse(text)) << text;
    }
    EXPECT_TRUE(RegistryDocument::Parse(""));
    // Stray carriage returns (found by the fuzzer) must not change a line on every rewrite.
    const auto strays = RegistryDocument::Parse(";note\r\r\r\n[HKEY_CURRENT_USER\\A]\r\r\n\"a\"=\"b\"\r\r\n");
    ASSERT_TRUE(strays);
    EXPECT_EQ(RegistryDocument::Parse(strays->Serialize())->Serialize(), strays->Serialize());
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
