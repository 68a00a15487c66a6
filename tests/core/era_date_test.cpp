#include <gtest/gtest.h>

#include "core/ledger/cp932.h"
#include "core/ledger/eradate.h"

namespace ravelto {
namespace {

TEST(DateToEraString, AcrossEveryEraBoundary) {
    const struct {
        Date date;
        const char* expected;
    } cases[] = {
        {{1868, 1, 1}, "明治０１年０１月０１日"},   {{1912, 7, 29}, "明治４５年０７月２９日"},
        {{1912, 7, 30}, "大正０１年０７月３０日"},  {{1926, 12, 24}, "大正１５年１２月２４日"},
        {{1926, 12, 25}, "昭和０１年１２月２５日"}, {{1989, 1, 7}, "昭和６４年０１月０７日"},
        {{1989, 1, 8}, "平成０１年０１月０８日"},   {{2002, 12, 5}, "平成１４年１２月０５日"},
        {{2000, 2, 29}, "平成１２年０２月２９日"},  {{2019, 5, 1}, "平成３１年０５月０１日"},
        {{2026, 12, 11}, "平成３８年１２月１１日"}, {{2087, 12, 31}, "平成９９年１２月３１日"},
    };
    for (const auto& c : cases) {
        const std::string text = DateToEraString(c.date);
        EXPECT_EQ(Cp932ToUtf8(text), c.expected);
        EXPECT_EQ(text.size(), kEraDateBytes) << c.expected;
    }
}

TEST(DateToEraString, DialogFormKeepsSingleByteDigits) {
    EXPECT_EQ(Cp932ToUtf8(FormatEraDate({2002, 12, 5})), "平成14年12月05日");
    EXPECT_EQ(Cp932ToUtf8(FormatEraDate({1989, 1, 5})), "昭和64年01月05日");
    EXPECT_EQ(DateToEraString({2002, 12, 5}), ChangeChar(FormatEraDate({2002, 12, 5})));
}

TEST(DateToEraString, RefusesWhatTwoEraDigitsCannotWrite) {
    const Date refused[] = {
        {1867, 12, 31},                 // before 明治
        {1, 1, 1},      {2088, 1, 1},   // after 平成９９年
        {9999, 12, 31}, {2001, 2, 29},  // no such day
        {2002, 13, 1},  {2002, 4, 31}, {2002, 0, 10}, {2002, 5, 0},
    };
    for (const auto& date : refused) {
        EXPECT_THROW(DateToEraString(date), DateError) << date.year << "-" << date.month;
        EXPECT_THROW(FormatEraDate(date), DateError);
    }
    try {
        DateToEraString({1867, 12, 31});
        FAIL();
    } catch (const DateError& e) {
        EXPECT_EQ(std::string(e.what()), "明治元年より前の日付は扱えません: 1867年12月31日");
    }
}

// Every date the system can write reads back as itself, and within one era
// the strings sort in date order.
TEST(DateToEraString, EveryWritableDayReadsBack) {
    FixedClock clock({2026, 12, 11});
    Date date = kFirstEraDate;
    std::string previous;
    int days = 0;
    while (date <= kLastEraDate) {
        const std::string text = DateToEraString(date);
        ASSERT_EQ(text.size(), kEraDateBytes);
        ASSERT_EQ(CharToDate(text, clock), date) << Cp932ToUtf8(text);
        if (!previous.empty() && previous.substr(0, 4) == text.substr(0, 4)) {
            ASSERT_LT(previous, text);
        }
        previous = text;
        ++days;
        if (++date.day > DaysInMonth(date.year, date.month)) {
            date.day = 1;
            if (++date.month > 12) date = {date.year + 1, 1, 1};
        }
    }
    EXPECT_EQ(days, 80354);  // 1868-01-01 .. 2087-12-31
}

TEST(ChangeChar, SingleByteCharactersBecomeDoubleByte) {
    const struct {
        std::string in;   // CP932
        const char* out;  // UTF-8
    } cases[] = {
        {"H14", "Ｈ１４"},
        {"0123456789", "０１２３４５６７８９"},
        {"AZ", "ＡＺ"},
        {sj("平成14年12月05日"), "平成１４年１２月０５日"},
        {sj("平成１４年１２月０５日"), "平成１４年１２月０５日"},  // already full-width
        {"  H14 \t\r\n", "Ｈ１４"},                                // blanks at the ends go
        {"\tH 1\x01", "Ｈ　１"},  // a blank inside becomes the full-width blank
        {"az-/", "ａｚ－／"},
        {"", ""},
        {"   ", ""},
        {"\xB1\xB2", "ｱｲ"},  // half-width katakana are kept
    };
    for (const auto& c : cases)
        EXPECT_EQ(Cp932ToUtf8(ChangeChar(c.in)), c.out) << c.out;
}

TEST(ChangeChar, LeadByteAtTheEndIsCopiedAlone) {
    const std::string text = sj("平成１４") + "\x82";
    EXPECT_EQ(ChangeChar(text), text);
    EXPECT_EQ(ChangeChar("1\x82"), "\x82\x50\x82");
    EXPECT_EQ(ChangeChar("\x82 "), "\x82");
}

TEST(ChangeChar, EveryPrintableCharacterGivesValidCp932) {
    for (int c = 0x20; c <= 0x7E; ++c) {
        const std::string out = ChangeChar(std::string("A") + static_cast<char>(c) + "A");
        ASSERT_EQ(out.size(), 6u) << c;
        EXPECT_NO_THROW(Cp932ToUtf8(out)) << c;
        EXPECT_TRUE(IsLeadByte(static_cast<unsigned char>(out[2]))) << c;
    }
}

TEST(MonthLabel, IsTheFirstSixteenBytes) {
    EXPECT_EQ(Cp932ToUtf8(MonthLabel(DateToEraString({2002, 12, 5}))), "平成１４年１２月");
    EXPECT_EQ(MonthLabel("short"), "short");
}

TEST(EraChoice, ByYearAlone) {
    const struct {
        int year;
        EraYear expected;
    } cases[] = {
        {1868, {Era::kMeiji, 1}},   {1911, {Era::kMeiji, 44}},  {1912, {Era::kTaisho, 1}},
        {1925, {Era::kTaisho, 14}}, {1926, {Era::kShowa, 1}},   {1988, {Era::kShowa, 63}},
        {1989, {Era::kHeisei, 1}},  {2026, {Era::kHeisei, 38}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EraOfYear(c.year), c.expected) << c.year;
}

TEST(EraChoice, RollingRepeatsUntilNoRuleApplies) {
    const struct {
        EraYear shown;
        EraYear expected;
    } cases[] = {
        {{Era::kHeisei, 0}, {Era::kShowa, 63}},    {{Era::kShowa, 64}, {Era::kHeisei, 1}},
        {{Era::kShowa, 0}, {Era::kTaisho, 14}},    {{Era::kTaisho, 15}, {Era::kShowa, 1}},
        {{Era::kTaisho, 0}, {Era::kMeiji, 44}},    {{Era::kMeiji, 45}, {Era::kTaisho, 1}},
        {{Era::kMeiji, 100}, {Era::kShowa, 42}},   {{Era::kMeiji, 200}, {Era::kHeisei, 79}},
        {{Era::kTaisho, 100}, {Era::kHeisei, 23}}, {{Era::kMeiji, 44}, {Era::kMeiji, 44}},
        {{Era::kShowa, 63}, {Era::kShowa, 63}},    {{Era::kHeisei, 500}, {Era::kHeisei, 500}},
        {{Era::kMeiji, 0}, {Era::kMeiji, 0}},
    };
    for (const auto& c : cases) {
        const EraYear rolled = RollEra(c.shown);
        EXPECT_EQ(rolled, c.expected) << static_cast<int>(c.shown.era) << " " << c.shown.year;
        // The shown Western year never changes, except where 0 of an era is read as
        // the last year of the era before.
        if (c.shown.year != 0) {
            EXPECT_EQ(rolled.year + EraOffset(rolled.era), c.shown.year + EraOffset(c.shown.era));
        }
    }
}

TEST(EraTable, NamesAreTheirCp932Text) {
    EXPECT_EQ(EraName(Era::kHeisei), sj("平成"));
    EXPECT_EQ(EraName(Era::kMeiji).size(), 4u);
    EXPECT_EQ(EraOffset(Era::kShowa), 1925);
}

}  // namespace
}  // namespace ravelto
