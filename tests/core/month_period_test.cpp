#include <gtest/gtest.h>

#include "core/ledger/cp932.h"
#include "core/ledger/month_period.h"

namespace ravelto {
namespace {

std::string U(const std::string& cp932) {
    return Cp932ToUtf8(cp932);
}

TEST(MonthPeriod, SettlementDayAcrossTheYearEnd) {
    const MonthPeriod period = PeriodOfLabel(sj("平成１５年０１月"), 20);
    EXPECT_EQ(U(period.first), "平成１４年１２月２１日");
    EXPECT_EQ(U(period.last), "平成１５年０１月２０日");
    EXPECT_EQ(U(PeriodOf({2002, 12}, 20).first), "平成１４年１１月２１日");
    EXPECT_EQ(U(PeriodOf({2002, 12}, 25).last), "平成１４年１２月２５日");
    EXPECT_EQ(U(PeriodOf({2002, 3}, 5).first), "平成１４年０２月０６日");
}

TEST(MonthPeriod, MonthEndIsTheCalendarMonth) {
    EXPECT_EQ(U(PeriodOf({2003, 1}, 0).first), "平成１５年０１月０１日");
    EXPECT_EQ(U(PeriodOf({2003, 1}, 0).last), "平成１５年０１月３１日");
    EXPECT_EQ(U(PeriodOf({2004, 2}, 0).last), "平成１６年０２月２９日");
    EXPECT_EQ(U(PeriodOfLabel(sj("平成１５年０２月"), 0).last), "平成１５年０２月２８日");
}

TEST(MonthPeriod, DateBelongsToItsMonthUpToTheSettlementDay) {
    const struct {
        Date date;
        int settle_day;
        YearMonth month;
        const char* label;
    } cases[] = {
        {{2002, 12, 20}, 20, {2002, 12}, "平成１４年１２月"},
        {{2002, 12, 21}, 20, {2003, 1}, "平成１５年０１月"},  // December rolls into January
        {{2002, 12, 25}, 20, {2003, 1}, "平成１５年０１月"},
        {{2002, 12, 31}, 0, {2002, 12}, "平成１４年１２月"},
        {{2002, 11, 6}, 5, {2002, 12}, "平成１４年１２月"},
        {{1989, 1, 7}, 0, {1989, 1}, "昭和６４年０１月"},
        {{1989, 1, 8}, 0, {1989, 1}, "平成０１年０１月"},  // the label the date itself begins with
        {{1988, 12, 28}, 10, {1989, 1}, "平成０１年０１月"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MonthOfDate(c.date, c.settle_day), c.month) << c.label;
        EXPECT_EQ(U(MonthLabelOfDate(c.date, c.settle_day)), c.label);
    }
}

// Every day of two years lies inside the period it is said to belong to, and
// its label is that period's label.
TEST(MonthPeriod, EveryDayLiesInItsOwnPeriod) {
    for (int settle_day : {0, 5, 10, 15, 20, 25}) {
        for (Date date{2002, 1, 1}; date.year < 2004;) {
            const YearMonth month = MonthOfDate(date, settle_day);
            const MonthPeriod period = PeriodOf(month, settle_day);
            const std::string text = DateToEraString(date);
            ASSERT_LE(period.first, text) << settle_day << " " << U(text);
            ASSERT_GE(period.last, text) << settle_day << " " << U(text);
            ASSERT_EQ(MonthLabelOfDate(date, settle_day), MonthLabelOf(month, settle_day));
            if (++date.day > DaysInMonth(date.year, date.month)) {
                date.day = 1;
                if (++date.month > 12) date = {date.year + 1, 1, 1};
            }
        }
    }
}

TEST(MonthPeriod, LabelsOfMonthsAndTheirNeighbours) {
    EXPECT_EQ(U(MonthLabelOf({2002, 12}, 0)), "平成１４年１２月");
    EXPECT_EQ(U(NextMonthLabel(sj("平成１４年１２月"), 20)), "平成１５年０１月");
    EXPECT_EQ(U(NextMonthLabel(sj("平成１４年１２月０５日"), 0)), "平成１５年０１月");
    EXPECT_EQ(U(PreviousMonthLabel(sj("平成１５年０１月"), 0)), "平成１４年１２月");
    EXPECT_EQ(U(NextMonthLabel(sj("昭和６３年１２月"), 0)), "昭和６４年０１月");
    EXPECT_EQ(U(NextMonthLabel(sj("昭和６３年１２月"), 10)), "平成０１年０１月");
    EXPECT_EQ(U(PreviousMonthLabel(sj("平成０１年０２月"), 0)), "昭和６４年０１月");
    EXPECT_EQ((NextMonth({2002, 12})), (YearMonth{2003, 1}));
    EXPECT_EQ((PreviousMonth({2003, 1})), (YearMonth{2002, 12}));
}

TEST(MonthPeriod, ParsesOnlyMonthLabels) {
    EXPECT_EQ(ParseMonthLabel(sj("平成１５年０１月")), (YearMonth{2003, 1}));
    EXPECT_EQ(ParseMonthLabel(sj("昭和６４年０１月０７日")), (YearMonth{1989, 1}));
    EXPECT_EQ(ParseMonthLabel(sj("明治４５年０７月")), (YearMonth{1912, 7}));
    for (const char* text :
         {"", "平成１５年０１", "令和０５年０１月", "平成15年01月xxxx", "平成１５年１３月",
          "平成１５年００月", "平成００年０１月", "平成１５月０１年"})
        EXPECT_EQ(ParseMonthLabel(sj(text)), std::nullopt) << text;
    EXPECT_THROW(PeriodOfLabel(sj("令和０５年０１月"), 20), DateError);
    EXPECT_THROW(NextMonthLabel("", 0), DateError);
}

TEST(MonthPeriod, RefusesWhatItCannotWrite) {
    for (int settle_day : {-1, 28, 31}) {
        EXPECT_FALSE(IsValidSettleDay(settle_day));
        EXPECT_THROW(PeriodOf({2003, 1}, settle_day), DateError);
        EXPECT_THROW(MonthOfDate({2003, 1, 5}, settle_day), DateError);
    }
    EXPECT_TRUE(IsValidSettleDay(27));
    EXPECT_EQ(U(PeriodOf({2003, 3}, 27).first), "平成１５年０２月２８日");
    EXPECT_THROW(PeriodOf({1868, 1}, 20), DateError);  // begins in 1867
    EXPECT_THROW(PeriodOf({2088, 1}, 20), DateError);  // ends after 平成９９年
    EXPECT_THROW(NextMonthLabel(sj("平成９９年１２月"), 0), DateError);
}

}  // namespace
}  // namespace ravelto
