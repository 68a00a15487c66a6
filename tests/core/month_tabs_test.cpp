#include "core/ledgerwin/month_tabs.h"

#include <gtest/gtest.h>

#include "core/ledger/cp932.h"
#include "core/ledgerwin/window_layout.h"

namespace ravelto::ledgerwin {
namespace {

std::string U(const std::string& cp932) {
    return Cp932ToUtf8(cp932);
}

TEST(MonthTabs, EmptyTotalsWithSettleDayTakeThePeriodHoldingToday) {
    // The 25th is past the 20th: the period ends in January of the next year.
    auto tabs = MonthTabsForToday({2002, 12, 25}, 20);
    ASSERT_EQ(tabs.size(), 1u);
    EXPECT_EQ(U(tabs[0].label), "平成１５年０１月");
    EXPECT_EQ(U(tabs[0].period_start), "平成１４年１２月２１日");
    EXPECT_EQ(U(tabs[0].period_end), "平成１５年０１月２０日");

    // On the settlement day itself the period is the month's own.
    tabs = MonthTabsForToday({2002, 12, 20}, 20);
    EXPECT_EQ(U(tabs[0].label), "平成１４年１２月");
    EXPECT_EQ(U(tabs[0].period_start), "平成１４年１１月２１日");
}

TEST(MonthTabs, EmptyTotalsAtMonthEndTakeTheCurrentMonth) {
    auto tabs = MonthTabsForToday({2002, 12, 25}, 0);
    ASSERT_EQ(tabs.size(), 1u);
    EXPECT_EQ(U(tabs[0].label), "平成１４年１２月");
    EXPECT_EQ(tabs[0].period_start, tabs[0].label);
    EXPECT_TRUE(tabs[0].period_end.empty());
}

TEST(MonthTabs, SpanAcrossYearEndNewestFirst) {
    auto tabs = MonthTabsForSpan({2002, 11, 1}, {2003, 2, 1}, 0);
    ASSERT_EQ(tabs.size(), 4u);
    const char* expected[] = {"平成１５年０２月", "平成１５年０１月", "平成１４年１２月",
                              "平成１４年１１月"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(U(tabs[i].label), expected[i]);

    tabs = MonthTabsForSpan({2002, 11, 1}, {2003, 2, 1}, 25);
    ASSERT_EQ(tabs.size(), 4u);
    EXPECT_EQ(U(tabs[1].period_start), "平成１４年１２月２６日");
    EXPECT_EQ(U(tabs[1].period_end), "平成１５年０１月２５日");
    EXPECT_EQ(U(tabs[3].period_start), "平成１４年１０月２６日");
}

TEST(MonthTabs, SpanOverTwoThousandMonthsKeepsTheNewest) {
    auto tabs = MonthTabsForSpan({1868, 1, 1}, {2040, 12, 1}, 0);
    ASSERT_EQ(tabs.size(), static_cast<std::size_t>(kMaxMonthTabs));
    EXPECT_EQ(U(tabs[0].label), "平成５２年１２月");
}

TEST(MonthTabs, DamagedYearFarBeyondTheErasStartsAtTheLastNameableMonth) {
    // CharToDate of a damaged 売上日 can give a year near a million.
    auto tabs = MonthTabsForSpan({2086, 11, 1}, {1000000, 6, 1}, 0);
    ASSERT_EQ(tabs.size(), 14u);
    EXPECT_EQ(U(tabs[0].label), "平成９９年１２月");
    EXPECT_EQ(U(tabs[13].label), "平成９８年１１月");
}

TEST(MonthTabs, SpanGivenNewestFirstStillShowsEveryMonth) {
    auto tabs = MonthTabsForSpan({2003, 2, 1}, {2002, 11, 1}, 0);
    ASSERT_EQ(tabs.size(), 4u);
    EXPECT_EQ(U(tabs[0].label), "平成１５年０２月");
}

TEST(WindowLayout, ResizeRules) {
    EXPECT_EQ(ClampWindowWidth(600), 672);
    EXPECT_EQ(ClampWindowWidth(900), 900);
    struct Case {
        int width, box, block_left, block_width;
    } cases[] = {
        {672, 50, 0, 480},      // (672 − 614) / 2 = 29 → 50
        {780, 83, 0, 588},      // payment kinds just shown
        {822, 104, 0, 630},     //
        {823, 104, 1, 630},     // from 823 the block keeps its width and moves right
        {1000, 120, 178, 630},  //
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        EXPECT_EQ(SortFilterBoxWidth(c.width), c.box);
        EXPECT_EQ(AmountBlock(c.width).left, c.block_left);
        EXPECT_EQ(AmountBlock(c.width).width, c.block_width);
        EXPECT_EQ(TotalsPanelSpan(c.width).width, c.width - c.block_left - 137);
    }
    EXPECT_EQ(GridRows(258, true), 2);
    EXPECT_EQ(GridRows(258, false), 2);
    EXPECT_EQ(GridRows(276, false), 3);
    EXPECT_EQ(GridRows(-5, true), 0);
}

TEST(WindowLayout, TitlesStandOverTheirFieldsAndNothingOverlaps) {
    for (int width : {672, 823, 1000, 1600}) {
        SCOPED_TRACE(width);
        const auto titles = ColumnTitles(width);
        ASSERT_EQ(titles.size(), 27u);
        const auto controls = RecordControls(width);
        // Every record control but the furigana row and the check box has a
        // title with its left edge and width in the same area.
        int matched = 0;
        for (const auto& c : controls) {
            if (c.kana_row) continue;
            for (const auto& t : titles) {
                if (t.place.area == c.place.area && t.place.x == c.place.x &&
                    t.place.width == c.place.width &&
                    t.place.y / kTitleRowHeight <= c.place.y / kRecordRowHeight &&
                    (t.place.y + t.place.height) / kTitleRowHeight > c.place.y / kRecordRowHeight) {
                    ++matched;
                    break;
                }
            }
        }
        EXPECT_EQ(matched, 29);
        // Within each area and row, controls do not overlap; panel controls
        // stay clear of the block and of the scroll bar.
        const Block block = AmountBlock(width);
        for (std::size_t i = 0; i < controls.size(); ++i) {
            const auto& a = controls[i].place;
            if (a.area == Area::Panel && !controls[i].kana_row) {
                EXPECT_LE(a.x + a.width, width - kGridScrollBarWidth);
                if (a.y >= 2 * kRecordRowHeight) {
                    EXPECT_GE(a.x, block.left + block.width);
                }
            }
            for (std::size_t j = i + 1; j < controls.size(); ++j) {
                const auto& b = controls[j].place;
                if (a.area != b.area || a.y != b.y || controls[i].kana_row != controls[j].kana_row)
                    continue;
                EXPECT_TRUE(a.x + a.width <= b.x || b.x + b.width <= a.x)
                    << controls[i].name << " / " << controls[j].name;
            }
        }
    }
}

}  // namespace
}  // namespace ravelto::ledgerwin
