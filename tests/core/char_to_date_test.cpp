#include <gtest/gtest.h>

#include "core/ledger/cp932.h"
#include "core/ledger/eradate.h"

namespace ravelto {
namespace {

struct Case {
    const char* text;  // UTF-8, converted to CP932 for the call
    Date today;
    Date expected;
};

TEST(CharToDate, TableOfCases) {
    const Date any{2026, 12, 11};
    const Case cases[] = {
        {"平成１４年１２月０５日", any, {2002, 12, 5}},
        {"昭和６４年０１月０７日", any, {1989, 1, 7}},
        {"明治４５年０７月２９日", any, {1912, 7, 29}},
        {"大正１５年１２月２４日", any, {1926, 12, 24}},
        {"平成３１年０５月０１日", any, {2019, 5, 1}},
        // single-byte digits as the date dialog leaves them
        {"平成14年12月05日", any, {2002, 12, 5}},
        // clamps
        {"平成１２年０２月３１日", any, {2000, 2, 29}},
        {"平成１３年０２月３０日", any, {2001, 2, 28}},
        {"平成１４年０４月３１日", any, {2002, 4, 30}},
        {"平成１４年１３月０１日", any, {2002, 12, 1}},
        {"平成１４年０４月３５日", any, {2002, 4, 30}},
        {"平成１４年１２月４５日", any, {2002, 12, 31}},
        // month labels take today's day, clamped to the month
        {"平成１４年１２月", {2026, 1, 31}, {2002, 12, 31}},
        {"平成１４年１１月", {2026, 1, 31}, {2002, 11, 30}},
        {"平成１４年１１月", {2026, 1, 7}, {2002, 11, 7}},
        // an empty text is today
        {"", {2026, 12, 11}, {2026, 12, 11}},
        // an unknown era: its two characters advance the slot, the era year lands in the day
        {"令和０５年１２月０１日", {2026, 12, 11}, {2026, 12, 5}},
        // a number with no separator after it is not stored
        {"平成１４年１２", {2026, 6, 11}, {2002, 6, 11}},
        // a huge number stays bounded
        {"平成９９９９９９９９９９９年", {2026, 6, 11}, {1001988, 6, 11}},
    };
    for (const auto& c : cases) {
        FixedClock clock(c.today);
        EXPECT_EQ(CharToDate(sj(c.text), clock), c.expected) << c.text;
    }
}

TEST(CharToDate, TextEndingInLeadByteStopsAtTheEnd) {
    FixedClock clock({2026, 12, 11});
    std::string text = sj("平成１４年") + "\x82";
    EXPECT_EQ(CharToDate(text, clock), (Date{2002, 12, 11}));
    text = sj("平成１４年１２月") + "\x8E";
    EXPECT_EQ(CharToDate(text, clock), (Date{2002, 12, 11}));
}

}  // namespace
}  // namespace ravelto
