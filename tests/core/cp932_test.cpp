#include "core/ledger/cp932.h"

#include <gtest/gtest.h>

namespace ravelto {
namespace {

std::string Hex(const std::string& s) {
    std::string out;
    char buf[4];
    for (unsigned char c : s) {
        std::snprintf(buf, sizeof buf, "%02X", c);
        out += buf;
    }
    return out;
}

TEST(Cp932, InputMethodCharactersMapOntoTheirCp932Codes) {
    struct Case {
        const char* utf8;
        const char* hex;
    } cases[] = {
        {"\u301C", "8160"},  // wave dash
        {"\u2212", "817C"},  // minus sign
        {"\u2016", "8161"},  // double vertical line
        {"\u00A5", "5C"},    // yen sign
        {"\uFF5E", "8160"},  // full-width tilde, the Windows form
        {"平成１４年", "95BD90AC82508253944E"},
        {"ｱ", "B1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Hex(Utf8ToCp932(c.utf8)), c.hex) << c.utf8;
}

TEST(Cp932, RoundTripOfOrdinaryText) {
    const std::string text = "株式会社　山田自動車（ﾔﾏﾀﾞ）１２３－４５６７";
    EXPECT_EQ(Cp932ToUtf8(Utf8ToCp932(text)), text);
}

TEST(Cp932, CharacterOutsideCp932IsRefusedByName) {
    try {
        Utf8ToCp932("山田😀");
        FAIL() << "no error";
    } catch (const TextError& e) {
        EXPECT_NE(std::string(e.what()).find("U+1F600"), std::string::npos) << e.what();
    }
}

TEST(Cp932, InvalidBytesAreRefusedOrReplaced) {
    const std::string truncated = "\x95\xBD\x90";  // 平 and a lone lead byte
    EXPECT_THROW(Cp932ToUtf8(truncated), TextError);
    EXPECT_EQ(Cp932ToUtf8Lenient(truncated), "平\uFFFD");
    EXPECT_EQ(Cp932ToUtf8Lenient(std::string("a\xFF"
                                             "b")),
              "a\uFFFDb");
}

}  // namespace
}  // namespace ravelto
