#pragma once

// Geometry of the ledger window: the resize rules and the one description of
// the record panel's columns that both the column titles and every record
// panel are placed by, so titles always stand over their fields.

#include <string>
#include <vector>

namespace ravelto::ledgerwin {

inline constexpr int kMinWindowWidth = 672;
inline constexpr int kInitialWidth = 672;
inline constexpr int kInitialHeight = 493;
inline constexpr int kTopBarHeight = 35;
inline constexpr int kTitlePanelHeight = 80;
inline constexpr int kBottomPanelHeight = 58;
inline constexpr int kRowHeightWithKana = 110;
inline constexpr int kRowHeightWithoutKana = 92;
inline constexpr int kGridScrollBarWidth = 17;
inline constexpr int kRecordRowHeight = 18;  // one line of the record panel
inline constexpr int kTitleRowHeight = 16;   // one line of the column titles
inline constexpr int kSeparatorHeight = 2;
inline constexpr int kKanaRowHeight = 18;
inline constexpr int kPaymentKindColumnEnd = 580;

// A window narrower than 672 is widened to 672.
int ClampWindowWidth(int width);
// Record panels that fit the grid's height.
int GridRows(int grid_height, bool furigana_shown);
// Width of SortPanel and FilterPanel: (top bar − 614) / 2 kept within 50..120.
int SortFilterBoxWidth(int top_bar_width);

// The date-and-amount block (LeftPanel / LeftPanel1).
struct Block {
    int left = 0;
    int width = 0;
};
Block AmountBlock(int window_width);
// TotalPanel1 and OTotalPanel.
struct Span {
    int left = 0;
    int width = 0;
};
Span TotalsPanelSpan(int window_width);

// Where a control stands. Block controls are placed inside the block (and
// clipped by its width); the others inside the panel.
enum class Area { Panel, Block };
struct Place {
    Area area = Area::Panel;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The controls of one record panel, in tab order.
struct RecordControl {
    const char* name;   // control name
    const char* field;  // field of receive.DB (UTF-8)
    enum Kind { Memo, Combo, Check } kind;
    bool right_aligned;
    bool kana_row;  // stands in the furigana row
    Place place;    // y within Panel3 (or within the furigana row)
};
std::vector<RecordControl> RecordControls(int window_width);

// The 27 column titles of Panel1.
struct ColumnTitle {
    const char* name;     // PanelTitle1 … PanelTitle27
    const char* caption;  // UTF-8
    Place place;
};
std::vector<ColumnTitle> ColumnTitles(int window_width);

// The monthly totals memos of TotalPanel1 (and the personal totals of
// OTotalPanel), placed inside the totals panel.
struct TotalsControl {
    const char* field;  // field of RcivTotal.db (UTF-8)
    Place place;
};
std::vector<TotalsControl> TotalsControls(int window_width);

// Places of the top bar's controls, left to right.
struct TopBarPlace {
    const char* name;
    int x;
    int width;
};
std::vector<TopBarPlace> TopBarLayout(int top_bar_width);

}  // namespace ravelto::ledgerwin
