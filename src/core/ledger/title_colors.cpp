#include "core/ledger/title_colors.h"

#include "core/ledger/cp932.h"
#include "core/ledger/settings_file.h"

namespace ravelto {

namespace {

struct Entry {
    const char* name;  // UTF-8
    NamedColor color;
};

constexpr NamedColor Rgb(uint32_t rgb) {
    return {NamedColor::Kind::Rgb, rgb, 0};
}
constexpr NamedColor Sys(int index) {
    return {NamedColor::Kind::System, 0, index};
}
constexpr NamedColor None() {
    return {};
}

// Black is 0, the value that means "no colour": choosing it leaves the
// elements as they are.
const Entry kEntries[42] = {
    {"　空　色", Rgb(0x00FFFF)},
    {"　黒　色", None()},
    {"　青　色", Rgb(0x0000FF)},
    {"　灰色（暗）", Rgb(0x808080)},
    {"　赤紫色", Rgb(0xFF00FF)},
    {"　灰　色", Rgb(0x808080)},
    {"　緑　色", Rgb(0x008000)},
    {"　淡緑色", Rgb(0x00FF00)},
    {"　灰色（明）", Rgb(0xC0C0C0)},
    {"　栗　色", Rgb(0x800000)},
    {"　濃紺色", Rgb(0x000080)},
    {"　黄緑色", Rgb(0x808000)},
    {"　紫　色", Rgb(0x800080)},
    {"　赤　色", Rgb(0xFF0000)},
    {"　銀　色", Rgb(0xC0C0C0)},
    {"　暗青緑色", Rgb(0x008080)},
    {"　白　色", Rgb(0xFFFFFF)},
    {"　黄　色", Rgb(0xFFFF00)},
    {"　Windows デスクトップの背景色", Sys(1)},
    {"　アクティブウィンドウのタイトルバーの色", Sys(2)},
    {"アクティブでないウィンドウのタイトルバーの色", Sys(3)},
    {"　メニューの背景色", Sys(4)},
    {"　ウィンドウの背景色", Sys(5)},
    {"　ウィンドウ枠の色", Sys(6)},
    {"　メニュー上の文字の色", Sys(7)},
    {"　ウィンドウ内の文字の色", Sys(8)},
    {"アクティブウィンドウのタイトルバーの文字の色", Sys(9)},
    {"　アクティブウィンドウの境界色", Sys(10)},
    {"　アクティブでないウィンドウの境界色", Sys(11)},
    {"　アプリケーション作業領域の色", Sys(12)},
    {"　選択した文字の背景色", Sys(13)},
    {"　選択した文字の色", Sys(14)},
    {"　ボタン面の色", Sys(15)},
    {"　ボタンのシャドウキャストの色", Sys(16)},
    {"　淡色表示されている文字の色", Sys(17)},
    {"　ボタンの文字の色", Sys(18)},
    {"アクティブでないウィンドウのタイトルバーの文字の色", Sys(19)},
    {"　ボタンの強調表示の色", Sys(20)},
    {"　3次元表示要素の暗い影", Sys(21)},
    {"　3次元表示要素の明るい色（明るい面の縁用）", Sys(22)},
    {"　ツールチップコントロールの文字の色", Sys(23)},
    {"　ツールチップコントロールの背景色", Sys(24)},
};

}  // namespace

const std::array<std::string, 42>& ColorNames() {
    static const std::array<std::string, 42> names = [] {
        std::array<std::string, 42> out;
        for (size_t i = 0; i < out.size(); ++i)
            out[i] = sj(kEntries[i].name);
        return out;
    }();
    return names;
}

NamedColor ColorByName(std::string_view cp932_name) {
    const auto& names = ColorNames();
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == cp932_name) return kEntries[i].color;
    return None();
}

std::string TitleColors::DefaultTitles() {
    return sj("アクティブでないウィンドウのタイトルバーの色");
}
std::string TitleColors::DefaultBorders() {
    return sj("　ボタン面の色");
}
std::string TitleColors::DefaultReadOnly() {
    return sj("　ウィンドウの背景色");
}

void TitleColors::Read(const std::filesystem::path& start_dir) {
    *this = TitleColors();
    SettingsFile file = SettingsFile::Read(start_dir, kFileName);
    if (!file.Exists()) return;
    Titles = file.Text(1, DefaultTitles());
    Borders = file.Text(2, DefaultBorders());
    ReadOnly = file.Text(3, DefaultReadOnly());
}

void TitleColors::Write(const std::filesystem::path& start_dir) const {
    WriteSettingsFile(start_dir, kFileName, {Titles, Borders, ReadOnly});
}

}  // namespace ravelto
