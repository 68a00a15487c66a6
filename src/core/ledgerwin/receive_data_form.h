#pragma once

// The ledger window's core: its state, the month tabs, creation, the delayed
// start-up, the month view of a selected tab and closing. The Qt window
// renders `View()` and forwards its events here.

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ledger/eradate.h"
#include "core/ledger/questions.h"
#include "core/ledgerwin/main_window_state.h"
#include "core/ledgerwin/record_events.h"

namespace ravelto::store {
class Database;
class Table;
}  // namespace ravelto::store

namespace ravelto::ledgerwin {

// What the window needs of the platform.
struct FormPlatform {
    std::function<void(bool on)> set_caps_lock;
    std::function<std::vector<std::string>()> printer_names;
};

class ReceiveDataForm {
  public:
    ReceiveDataForm(store::Table& ledger, store::Table& totals, const Clock& clock,
                    std::filesystem::path start_dir, Questions& questions, FormPlatform platform);

    // Creation: settings files, sibling programs, Caps Lock, month tabs, order.
    void FormCreate();
    // The one-shot delayed start-up. False: the password was refused and the
    // window must close; nothing of the ledger has been shown.
    bool Timer1Timer();
    bool StartupDone() const { return startup_done_; }

    // RcTotalName.DB, where the personal view looks the customer's name group
    // up. Without it every customer stands alone.
    void SetNameGroups(store::Table* groups) { groups_ = groups; }

    // The record events of the ledger, on the database both tables belong
    // to. Installed before the delayed start-up; without them the window
    // only shows the ledger.
    void UseRecordEvents(store::Database& db);
    LedgerRecordEvents* RecordEvents() { return events_.get(); }

    // The month tabs.
    void TabSet();
    // Selects and runs the tab change. When the tab change fails or is
    // refused (a pending record that cannot be saved) the tab that was shown
    // stays selected.
    void SelectTab(int index);
    // False: a pending record could not be saved and nothing changed.
    bool TabControl1Change();
    // Saves a record still being edited or inserted before a tab change, the
    // record and its month's totals together (the record events' own post);
    // false when the save was refused with a message. Unset, the ledger is
    // posted directly.
    std::function<bool()> PostPendingRecord;
    // The sort box: 売上日, 入庫日, 出庫日 or ふりがな (CP932). Another text
    // changes nothing. A record being entered is saved first; when that is
    // refused the order stays.
    void ComboBox1Change(std::string_view item);
    // The balance filter box: 全て or 残金のみ (CP932). A record being
    // entered is saved first; when that is refused the filter stays.
    void ComboBox2Change(std::string_view item);
    // The mode of the current record in a month tab of an open month:
    // 入力モード with every group open, or 引用モード for a record taken over
    // from elsewhere (書込モード not 0). Elsewhere nothing changes.
    void ApplyRecordMode();
    // The synchronisation with the invoicing program, run by the tab change of
    // an open month while InvoicingLink is 1 or 2.
    void InvoicingSync();

    // Closing: false keeps the window open. Caps Lock goes off and Receive.INI
    // is written whatever the answer.
    bool FormCloseQuery();

    // Menu entries owned by the window.
    void Furigana1Click();
    void Pr1Click();                // 当月のみ
    void DisplayItemsOnlyClick();   // 取り込み設定 ▸ 表示項目のみ
    void BackupPeriodLimitClick();  // バックアップ方法 ▸ 期間限定
    void N14Click();                // リスト修正 ▸ 入金種別
    void User1Click();              // 自社情報
    void T1Click();                 // ﾀｲﾄﾙ色変更
    void N4Click();                 // パスワードの設定
    void Var1Click();               // ﾊﾞｰｼﾞｮﾝ情報

    // The ledger view's record count (FormPaint).
    int RecordCount() const;

    const MainWindowState& State() const { return state_; }
    MainWindowState& MutableState() { return state_; }
    const WindowView& View() const { return view_; }
    const std::vector<MonthTab>& Tabs() const { return tabs_; }
    const std::filesystem::path& StartDir() const { return start_dir_; }
    store::Table& Ledger() { return ledger_; }
    store::Table& Totals() { return totals_; }

    // Called whenever the view changed, so the window re-renders.
    std::function<void()> Changed;

    // Settings files, read at creation and written on close.
    void ReadSettingsFiles();
    void WriteReceiveIni() const;

  private:
    // PostPendingRecord, or without record events a plain post.
    bool SavePendingRecord();
    void BuildTabs();
    void MonthBranch(int index);
    void PersonalBranch();
    void CommonEnd();
    void ShowLedgerFilter(const std::string& filter);
    bool MonthClosed() const;
    void Notify();

    store::Table& ledger_;
    store::Table& totals_;
    store::Table* groups_ = nullptr;
    const Clock& clock_;
    std::filesystem::path start_dir_;
    Questions& questions_;
    FormPlatform platform_;
    MainWindowState state_;
    WindowView view_;
    std::vector<MonthTab> tabs_;
    bool startup_done_ = false;
    std::unique_ptr<LedgerRecordEvents> events_;
};

}  // namespace ravelto::ledgerwin
