#pragma once

// The variables of the ledger window that the other parts of the program
// share, and what the window shows of them. Text is CP932.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/ledger/company_info.h"
#include "core/ledger/title_colors.h"
#include "core/ledgerwin/month_tabs.h"

namespace ravelto::ledgerwin {

struct MainWindowState {
    int SettleDay = 0;  // 0 month end, else 5, 10, 15, 20, 25
    // Indexed by tab index 1 … kMaxMonthTabs; index 0 unused.
    std::vector<std::string> TabPeriodStart = std::vector<std::string>(kMaxMonthTabs + 1);
    std::vector<std::string> TabPeriodEnd = std::vector<std::string>(kMaxMonthTabs + 1);
    std::string SelectedMonthLabel;
    std::string ReselectLabel;
    std::string SortIndexName;  // "降順" at start
    int BalanceOnly = 0;
    std::string SavedFilter;
    std::string PersonalNameClause;
    std::string PersonalMonthFilter;
    std::string PeriodLimitClause;
    std::string LastTitle, LastRegNo, LastName;
    int TabSwitching = 0;
    int BulkUpdate = 0;  // 0 normal, 1 bulk operation, 2 tab change or personal view
    int HoldTotals = 0;
    int AmountsEditable = 0;
    int ExitPending = 0;
    std::array<int32_t, 13> AmountSnapshot{};
    int CarryOverMethod = 0;
    std::string NoImportTitle;
    int InvoicingLink = 0;  // 0 none, 1 present, 2 synchronisation due, 3 synchronised
    int InspectionLinked = 0;
    int LookupDialogCreated = 0;
    std::string StartupPassword;
    std::string BackupDirectory, BackupNamePrefix, BackupNameSuffix;
    std::string RepairWriteItem;
    int SeveralPrinters = 0;
    std::vector<std::string> PrinterNames;
    std::string PathLabel;  // the start directory
    // The company information as last typed (printing reads it).
    CompanyInfo Company;
};

// Which field groups of the record panels take entry.
struct EditableGroups {
    bool customer_job = false;
    bool deposit_kana = false;
    bool payments = false;
    bool exclusion = false;
    bool operator==(const EditableGroups&) const = default;
};

// Whether the control of the record panel named `control` (DBMemo1 …,
// YomiDBMemo1, DBComboBox1 …, DBCheckBox1) takes entry under `groups`.
// 先月残合計, 請求合計 and the three remaining balances never do.
bool ControlEditable(const EditableGroups& groups, std::string_view control);

// The mode of the current record in a month tab of a month that is not
// closed: a record of our own (書込モード 0, also an empty view) is entered in
// 入力モード; an imported one shows 引用モード, where its customer-and-job and
// deposit-and-kana groups are read-only.
struct WindowView;
void ShowRecordMode(WindowView& view, int record_write_mode);

// The sort box's item (売上日, 入庫日, 出庫日, ふりがな) of a ledger order
// name; empty for another order.
std::string SortItemOf(std::string_view order_name);

// What the window shows: captions, checks, visibility. The Qt window renders
// this and nothing else.
struct WindowView {
    std::vector<std::string> tab_captions;  // [0] is "個人モード"
    int tab_index = -1;
    bool tabs_visible = false;
    // The ledger may be shown and commands run: the password was accepted (or
    // none is set) and the first view is built.
    bool unlocked = false;

    // Menu checks and hidden entries.
    bool furigana = true;                  // ふりがな(&F)
    bool display_items_only = true;        // 取り込み設定 ▸ 表示項目のみ
    bool current_month_only = false;       // 個人モード設定 ▸ 当月のみ
    bool backup_period_limited = false;    // バックアップ方法 ▸ 期間限定
    bool repair_write_visible = false;     // 修理明細書書込 and its separator
    bool import_settings_visible = false;  // 取り込み設定
    bool write_settings_visible = false;   // 書き込み設定

    std::vector<std::string> payment_kinds;
    TitleColors title_colors;  // names of the title, border and read-only colours

    bool kakutei_panel = false;
    bool kojin_panel = false;
    bool total_panel1 = true;
    bool ototal_panel = false;
    bool delete_enabled = false;
    bool insert_enabled = false;
    std::string mode_caption;  // ModePanel
    std::string total_label;   // TotalLabel
    int record_count = 0;      // TotalPanel
    EditableGroups editable;
    // The personal view's totals line (OTotalPanel: TotalMemo1 … TotalMemo11,
    // "\" and separators) and its label OTotalLabel, e.g. （平成１４年１２月分）.
    std::array<std::string, 11> personal_totals;
    std::string personal_totals_label;
};

// Index of the checked 決済日 entry (月末, ５日, １０日, １５日, ２０日, ２５日), or -1.
int SettleDayMenuIndex(int settle_day);

}  // namespace ravelto::ledgerwin
