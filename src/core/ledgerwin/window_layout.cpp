#include "core/ledgerwin/window_layout.h"

#include <algorithm>

namespace ravelto::ledgerwin {

int ClampWindowWidth(int width) {
    return std::max(width, kMinWindowWidth);
}

int GridRows(int grid_height, bool furigana_shown) {
    if (grid_height <= 0) return 0;
    return grid_height / (furigana_shown ? kRowHeightWithKana : kRowHeightWithoutKana);
}

int SortFilterBoxWidth(int top_bar_width) {
    return std::clamp((top_bar_width - 614) / 2, 50, 120);
}

Block AmountBlock(int window_width) {
    if (window_width < 823) return {0, window_width - 192};
    return {window_width - 822, 630};
}

Span TotalsPanelSpan(int window_width) {
    const Block block = AmountBlock(window_width);
    return {block.left + 120, window_width - block.left - 137};
}

namespace {

// Columns of the record panel. The name and job rows run from the left edge;
// the block's columns are block-relative; the two right-hand columns keep
// their distance from the window's right edge, clear of the grid's scroll bar.
constexpr int kNameX = 0, kNameW = 160;
constexpr int kTitleX = 160, kTitleW = 170;
constexpr int kAddressX = 330;
constexpr int kB1 = 0, kB2 = 120, kB3 = 200, kB4 = 280, kB5 = 400, kB6 = 480;
constexpr int kDateW = 120, kAmountW = 80, kKindW = 100;
constexpr int kRightW = 84;

int AddressWidth(int w) {
    return w - kGridScrollBarWidth - kAddressX - 2;
}
int Right1X(int w) {
    return w - 189;
}
int Right2X(int w) {
    return w - 103;
}

Place P(int x, int row, int width, int row_height) {
    return {Area::Panel, x, row * row_height, width, row_height};
}
Place B(int x, int row, int width, int row_height) {
    return {Area::Block, x, row * row_height, width, row_height};
}

}  // namespace

std::vector<RecordControl> RecordControls(int w) {
    constexpr int h = kRecordRowHeight;
    using K = RecordControl;
    return {
        {"DBMemo25", "ふりがな", K::Memo, false, true, P(kNameX, 0, kNameW + kTitleW, h)},
        {"DBMemo26", "郵便番号", K::Memo, false, true, P(kAddressX, 0, 100, h)},
        {"YomiDBMemo1", "氏名", K::Memo, false, false, P(kNameX, 0, kNameW, h)},
        {"DBMemo1", "タイトル", K::Memo, false, false, P(kTitleX, 0, kTitleW, h)},
        {"DBMemo2", "住所", K::Memo, false, false, P(kAddressX, 0, AddressWidth(w), h)},
        {"DBMemo3", "登録番号", K::Memo, false, false, P(kNameX, 1, kNameW, h)},
        {"DBMemo4", "車名", K::Memo, false, false, P(kTitleX, 1, kTitleW, h)},
        {"DBMemo5", "電話番号", K::Memo, false, false, P(kAddressX, 1, AddressWidth(w), h)},
        {"DBMemo6", "売上日", K::Memo, false, false, B(kB1, 2, kDateW, h)},
        {"DBMemo7", "入庫日", K::Memo, false, false, B(kB1, 3, kDateW, h)},
        {"DBMemo8", "出庫日", K::Memo, false, false, B(kB1, 4, kDateW, h)},
        {"DBMemo9", "先月立替残", K::Memo, true, false, B(kB2, 2, kAmountW, h)},
        {"DBMemo10", "先月売掛残", K::Memo, true, false, B(kB2, 3, kAmountW, h)},
        {"DBMemo11", "先月残合計", K::Memo, true, false, B(kB2, 4, kAmountW, h)},
        {"DBMemo12", "諸費用", K::Memo, true, false, B(kB3, 2, kAmountW, h)},
        {"DBMemo13", "売上", K::Memo, true, false, B(kB3, 3, kAmountW, h)},
        {"DBMemo14", "請求合計", K::Memo, true, false, B(kB3, 4, kAmountW, h)},
        {"DBMemo15", "お預り日", K::Memo, false, false, B(kB4, 2, kDateW, h)},
        {"DBMemo16", "お預り", K::Memo, true, false, B(kB5, 2, kAmountW, h)},
        {"DBComboBox1", "お預り種別", K::Combo, false, false, B(kB6, 2, kKindW, h)},
        {"DBMemo17", "入金日1", K::Memo, false, false, B(kB4, 3, kDateW, h)},
        {"DBMemo18", "入金額1", K::Memo, true, false, B(kB5, 3, kAmountW, h)},
        {"DBComboBox2", "入金1種別", K::Combo, false, false, B(kB6, 3, kKindW, h)},
        {"DBMemo19", "入金日2", K::Memo, false, false, B(kB4, 4, kDateW, h)},
        {"DBMemo20", "入金額2", K::Memo, true, false, B(kB5, 4, kAmountW, h)},
        {"DBComboBox3", "入金2種別", K::Combo, false, false, B(kB6, 4, kKindW, h)},
        {"DBCheckBox1", "合計請求不含", K::Check, false, false, P(Right1X(w), 2, kRightW, h)},
        {"DBMemo21", "調整額", K::Memo, true, false, P(Right1X(w), 4, kRightW, h)},
        {"DBMemo22", "立替残金", K::Memo, true, false, P(Right2X(w), 2, kRightW, h)},
        {"DBMemo23", "売掛残金", K::Memo, true, false, P(Right2X(w), 3, kRightW, h)},
        {"DBMemo24", "残金合計", K::Memo, true, false, P(Right2X(w), 4, kRightW, h)},
    };
}

std::vector<ColumnTitle> ColumnTitles(int w) {
    constexpr int h = kTitleRowHeight;
    return {
        {"PanelTitle1", "氏　　　　　　名", P(kNameX, 0, kNameW, h)},
        {"PanelTitle2", "タ　　イ　　ト　　ル", P(kTitleX, 0, kTitleW, h)},
        {"PanelTitle3", "住　　　　　　　　　　　　所", P(kAddressX, 0, AddressWidth(w), h)},
        {"PanelTitle4", "登　録　番　号", P(kNameX, 1, kNameW, h)},
        {"PanelTitle5", "車　　　　　　　　名", P(kTitleX, 1, kTitleW, h)},
        {"PanelTitle6", "電　　　話　　　番　　　号", P(kAddressX, 1, AddressWidth(w), h)},
        {"PanelTitle7", "売　　上　　日", B(kB1, 2, kDateW, h)},
        {"PanelTitle8", "先月立替残", B(kB2, 2, kAmountW, h)},
        {"PanelTitle9", "諸　費　用", B(kB3, 2, kAmountW, h)},
        {"PanelTitle10", "お　預　り　日", B(kB4, 2, kDateW, h)},
        {"PanelTitle11", "お 　預 　り", B(kB5, 2, kAmountW, h)},
        {"PanelTitle12", "入 金 種 別", {Area::Block, kB6, 2 * h, kKindW, 3 * h}},
        {"PanelTitle13", "入　　庫　　日", B(kB1, 3, kDateW, h)},
        {"PanelTitle14", "先月売掛残", B(kB2, 3, kAmountW, h)},
        {"PanelTitle15", "売　　　　上", B(kB3, 3, kAmountW, h)},
        {"PanelTitle16", "入　金　日　1", B(kB4, 3, kDateW, h)},
        {"PanelTitle17", "入 金 額 1", B(kB5, 3, kAmountW, h)},
        {"PanelTitle18", "出　　庫　　日", B(kB1, 4, kDateW, h)},
        {"PanelTitle19", "先月残合計", B(kB2, 4, kAmountW, h)},
        {"PanelTitle20", "請 求 合 計", B(kB3, 4, kAmountW, h)},
        {"PanelTitle21", "入　金　日　2", B(kB4, 4, kDateW, h)},
        {"PanelTitle22", "入 金 額 2", B(kB5, 4, kAmountW, h)},
        {"PanelTitle23", "合計請求不含", P(Right1X(w), 2, kRightW, h)},
        {"PanelTitle24", "調　整　額", P(Right1X(w), 4, kRightW, h)},
        {"PanelTitle25", "立 替 残 金", P(Right2X(w), 2, kRightW, h)},
        {"PanelTitle26", "売 掛 残 金", P(Right2X(w), 3, kRightW, h)},
        {"PanelTitle27", "残 金 合 計", P(Right2X(w), 4, kRightW, h)},
    };
}

std::vector<TotalsControl> TotalsControls(int w) {
    // Inside the totals panel, which begins where the block's second column does.
    const int origin = TotalsPanelSpan(w).left;
    const int block = AmountBlock(w).left;
    constexpr int h = kRecordRowHeight;
    auto at = [&](int x, int row, int width) {
        return Place{Area::Panel, x, 2 + row * h, width, h};
    };
    const int b2 = block + kB2 - origin, b3 = block + kB3 - origin, b5 = block + kB5 - origin;
    return {
        {"先月立替残", at(b2, 0, kAmountW)},
        {"先月売掛残", at(b2, 1, kAmountW)},
        {"先月残合計", at(b2, 2, kAmountW)},
        {"諸費用", at(b3, 0, kAmountW)},
        {"売上", at(b3, 1, kAmountW)},
        {"請求合計", at(b3, 2, kAmountW)},
        {"入金額", at(b5, 2, kAmountW)},
        {"調整額", at(Right1X(w) - origin, 2, kRightW)},
        {"立替残金", at(Right2X(w) - origin, 0, kRightW)},
        {"売掛残金", at(Right2X(w) - origin, 1, kRightW)},
        {"残金合計", at(Right2X(w) - origin, 2, kRightW)},
    };
}

std::vector<TopBarPlace> TopBarLayout(int top_bar_width) {
    const int box = SortFilterBoxWidth(top_bar_width);
    std::vector<TopBarPlace> out;
    int x = 2;
    auto add = [&](const char* name, int width, int gap_after) {
        out.push_back({name, x, width});
        x += width + gap_after;
    };
    add("DBNavigator1", 105, 4);
    add("DBNavigator2", 21, 2);
    add("DBNavigator3", 21, 2);
    add("DBNavigator4", 21, 6);
    add("FindSpeed", 25, 0);
    add("FindNextSpeed", 25, 0);
    add("FindBackSpeed", 25, 6);
    out.push_back({"KakuteiPanel", x, 70});  // shares its place with kojinPanel
    add("kojinPanel", 124, 4);
    add("SortPanel", box, 2);
    add("FilterPanel", box, 4);
    // The mode and the record count keep to the right edge.
    int right = std::max(x, top_bar_width - 2 - 18 - 48 - 4 - 84);
    out.push_back({"ModePanel", right, 84});
    out.push_back({"TotalPanel", right + 88, 48});
    out.push_back({"Commant2Panel", right + 136, 18});
    return out;
}

}  // namespace ravelto::ledgerwin
