#include <gtest/gtest.h>

#include <string>

#include "core/text/Base64.h"

namespace quellstone::text {
namespace {

TEST(Base64, DecodesEveryPaddingLengthAndRoundTripsAllByteValues) {
    EXPECT_EQ(DecodeBase64(""), "");
    EXPECT_EQ(DecodeBase64("Zg=="), "f");
    EXPECT_EQ(DecodeBase64("Zm8="), "fo");
    EXPECT_EQ(DecodeBase64("Zm9v"), "foo");
    EXPECT_EQ(DecodeBase64("Zm9vYmFy"), "foobar");
    EXPECT_EQ(DecodeBase64("+/+/"), std::string("\xFB\xFF\xBF"));

    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    for (std::size_t length = 0; length <= all.size(); length += 37) {
        const std::string bytes = all.substr(0, length) + all.substr(0, length % 3);
        EXPECT_EQ(DecodeBase64(EncodeBase64(bytes)), bytes) << bytes.size();
    }
}

TEST(Base64, RefusesEverythingThatIsNotOneCanonicalSpelling) {
    const char* const refused[] = {
        "Zg",        // no padding
        "Zg=",       // short padding
        "Zg===",     // too much padding
        "====",      // padding only
        "Z===",      // a lone digit
        "Zm9v\n",    // a line end
        " Zm9v",     // a blank
        "Zm 9v",     // a blank inside
        "Z=g=",      // padding inside
        "Zm9v-_==",  // the URL alphabet
        "Zh==",      // leftover bits not zero
        "Zm9=",      // leftover bits not zero
        "Zm9vZ",     // wrong length
    };
    for (const char* text : refused) EXPECT_FALSE(DecodeBase64(text).has_value()) << text;
    EXPECT_FALSE(DecodeBase64(std::string("Zm9\0", 4)).has_value());
    EXPECT_FALSE(DecodeBase64("Zm9\xC3").has_value());
}

}  // namespace
}  // namespace quellstone::text
