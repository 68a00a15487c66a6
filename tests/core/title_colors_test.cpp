#include "core/ledger/title_colors.h"

#include <gtest/gtest.h>

#include "core/ledger/cp932.h"

namespace ravelto {
namespace {

TEST(ColorByName, FixedColoursSystemColoursAndNoColour) {
    struct Case {
        const char* name;
        NamedColor color;
    } cases[] = {
        {"　空　色", {NamedColor::Kind::Rgb, 0x00FFFF, 0}},
        {"　灰色（暗）", {NamedColor::Kind::Rgb, 0x808080, 0}},
        {"　栗　色", {NamedColor::Kind::Rgb, 0x800000, 0}},
        {"　暗青緑色", {NamedColor::Kind::Rgb, 0x008080, 0}},
        {"　黄　色", {NamedColor::Kind::Rgb, 0xFFFF00, 0}},
        {"　Windows デスクトップの背景色", {NamedColor::Kind::System, 0, 1}},
        {"　ボタン面の色", {NamedColor::Kind::System, 0, 15}},
        {"　ツールチップコントロールの背景色", {NamedColor::Kind::System, 0, 24}},
        // The three names stored without a leading space.
        {"アクティブでないウィンドウのタイトルバーの色", {NamedColor::Kind::System, 0, 3}},
        {"アクティブウィンドウのタイトルバーの文字の色", {NamedColor::Kind::System, 0, 9}},
        {"アクティブでないウィンドウのタイトルバーの文字の色", {NamedColor::Kind::System, 0, 19}},
        // ... which with a space are not names at all; nor are the others without one.
        {"　アクティブでないウィンドウのタイトルバーの色", {}},
        {"ボタン面の色", {}},
        {"黄　色", {}},
        // Black is the value that means no colour.
        {"　黒　色", {}},
        {"", {}},
        {"まだら色", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ColorByName(sj(c.name)), c.color) << c.name;
}

TEST(ColorByName, EveryListedNameIsKnownAndTheSystemIndexesRunOneToTwentyFour) {
    const auto& names = ColorNames();
    int without_space = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        NamedColor color = ColorByName(names[i]);
        if (i == 1) {
            EXPECT_TRUE(color.IsNone());
        } else if (i < 18) {
            EXPECT_EQ(color.kind, NamedColor::Kind::Rgb) << i;
        } else {
            EXPECT_EQ(color.kind, NamedColor::Kind::System) << i;
            EXPECT_EQ(color.system_index, static_cast<int>(i) - 17);
        }
        if (names[i].rfind(sj("　"), 0) != 0) ++without_space;
    }
    EXPECT_EQ(without_space, 3);
}

}  // namespace
}  // namespace ravelto
