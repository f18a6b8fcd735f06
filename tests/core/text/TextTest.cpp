#include <gtest/gtest.h>

#include <string>

#include "core/text/DisplayEscape.h"
#include "core/text/PathText.h"
#include "core/text/Trim.h"
#include "core/text/UpperCase.h"
#include "core/text/Utf8.h"

namespace quellstone::text {
namespace {

TEST(Utf8, RejectsMalformedSequences) {
    EXPECT_TRUE(IsValidUtf8("plain ascii"));
    EXPECT_TRUE(IsValidUtf8("za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87"));  // zażółć
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));                           // overlong "/"
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));                       // surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));                   // beyond U+10FFFF
    EXPECT_FALSE(IsValidUtf8("abc\xE2\x82"));                        // cut short at the end
    EXPECT_FALSE(IsValidUtf8("\xFF"));
}

TEST(Utf8, TextFilesAreUtf8WhenValidElseWindows1250) {
    EXPECT_EQ(DecodeTextFile("\xEF\xBB\xBFKey=\xC5\xBC"), "Key=\xC5\xBC");  // mark dropped, UTF-8 kept
    // "Łódź" in Windows-1250.
    EXPECT_EQ(DecodeTextFile("\xA3\xF3\x64\x9F"), "\xC5\x81\xC3\xB3\x64\xC5\xBA");
    EXPECT_EQ(Windows1250ToUtf8("\x80\x81"), "\xE2\x82\xAC\xC2\x81");  // euro sign; an unassigned byte passes through
}

TEST(Utf8, TruncatesByCharactersNotBytes) {
    EXPECT_EQ(TruncateCharacters("\xC5\xBC\xC5\xBC\xC5\xBC", 2), "\xC5\xBC\xC5\xBC");
    EXPECT_EQ(TruncateCharacters("a\xFF"
                                 "bc",
                                 2),
              "a\xFF");
    EXPECT_EQ(TruncateCharacters("ab", 5), "ab");
}

TEST(UpperCase, MapsEachCharacterSimply) {
    EXPECT_EQ(UpperCase("setup.exe"), "SETUP.EXE");
    EXPECT_EQ(UpperCase("za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87"), "ZA\xC5\xBB\xC3\x93\xC5\x81\xC4\x86");  // ZAŻÓŁĆ
    EXPECT_EQ(UpperCase("stra\xC3\x9F"
                        "e"),
              "STRA\xC3\x9F"
              "E");                                                // ß has no single-character upper case
    EXPECT_EQ(UpperCase("\xCE\xB1\xCF\x89"), "\xCE\x91\xCE\xA9");  // Greek αω
    // Bytes that are not UTF-8 stay as they are; the letters around them are upper-cased.
    EXPECT_EQ(UpperCase("a\xFF"
                        "b\xE9z"),
              "A\xFF"
              "B\xE9Z");
}

TEST(UpperCase, IsIdempotentOverEveryCodePoint) {
    // The signature map is keyed by upper-cased keys and probed with
    // upper-cased names; that only agrees with a case-insensitive keyed read
    // if upper-casing twice changes nothing.
    for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        ASSERT_EQ(ToUpper(ToUpper(cp)), ToUpper(cp)) << "U+" << std::hex << static_cast<unsigned>(cp);
    }
}

TEST(UpperCase, ComparesWithoutRegardToCase) {
    EXPECT_TRUE(EqualsIgnoringCase("Scanfiles", "SCANFILES"));
    EXPECT_TRUE(EqualsIgnoringCase("\xC5\xBC", "\xC5\xBB"));
    EXPECT_FALSE(EqualsIgnoringCase("Scanfiles", "Scanfile"));
}

TEST(DisplayEscape, ShowsTheExactBytesOfOddNames) {
    EXPECT_EQ(EscapeForDisplay("/home/u/za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87.exe"),
              "/home/u/za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87.exe");
    EXPECT_EQ(EscapeForDisplay("bad\xFFname"), "bad\\xffname");
    EXPECT_EQ(EscapeForDisplay("line\nbreak\t"), "line\\x0abreak\\x09");
    EXPECT_EQ(EscapeForDisplay("back\\slash"), "back\\\\slash");
    // A right-to-left override could make "gpj.exe" look like "exe.jpg".
    EXPECT_EQ(EscapeForDisplay("a\xE2\x80\xAEgpj.exe"), "a\\xe2\\x80\\xaegpj.exe");
    EXPECT_EQ(EscapeForDisplay("\xC2\x85"), "\\xc2\\x85");  // C1 control
}

TEST(PathText, SplitsAPathAtItsLastSlash) {
    EXPECT_EQ(FolderOf("/home/u/registry.reg"), "/home/u");
    EXPECT_EQ(FolderOf("/registry.reg"), "/");
    EXPECT_EQ(FolderOf("registry.reg"), ".");
    EXPECT_EQ(FileNameOf("/a/b/c.exe"), "c.exe");
    EXPECT_EQ(FileNameOf("no-separator"), "no-separator");
    EXPECT_EQ(FileNameOf("/a/b/"), "");
    EXPECT_TRUE(IsHiddenName(".profile") && IsHiddenName(".") && IsHiddenName(".."));
    EXPECT_FALSE(IsHiddenName("a.") || IsHiddenName(""));
}

TEST(Trim, TakesOnlyTheGivenBlanksFromBothEnds) {
    EXPECT_EQ(Trim(" \t key = v \t"), "key = v");
    EXPECT_EQ(Trim("key\r"), "key\r");  // spaces and tabs only, unless told
    EXPECT_EQ(Trim(" key\r", " \t\r"), "key");
    EXPECT_EQ(Trim(" \t "), "");
}

}  // namespace
}  // namespace quellstone::text
