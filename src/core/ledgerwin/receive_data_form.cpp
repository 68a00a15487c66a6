#include "core/ledgerwin/receive_data_form.h"

#include <exception>
#include <utility>

#include "core/accounting/balance.h"
#include "core/accounting/name_groups.h"
#include "core/ledger/cp932.h"
#include "core/ledger/filter_expression.h"
#include "core/ledger/record_store.h"
#include "core/ledger/settings_dialogs.h"

namespace ravelto::ledgerwin {

namespace {

// Gives a flag its earlier value back on every way out.
class Restore {
  public:
    explicit Restore(int& flag) : flag_(flag), saved_(flag) {}
    ~Restore() { flag_ = saved_; }
    Restore(const Restore&) = delete;
    Restore& operator=(const Restore&) = delete;
    void Keep() { saved_ = flag_; }

  private:
    int& flag_;
    int saved_;
};

}  // namespace

int SettleDayMenuIndex(int settle_day) {
    switch (settle_day) {
        case 0:
            return 0;
        case 5:
            return 1;
        case 10:
            return 2;
        case 15:
            return 3;
        case 20:
            return 4;
        case 25:
            return 5;
        default:
            return -1;
    }
}

bool ControlEditable(const EditableGroups& groups, std::string_view control) {
    const int field = FieldOfControl(control);
    return field >= 0 && GroupEditable(groups, GroupOfField(field));
}

void ShowRecordMode(WindowView& view, int record_write_mode) {
    const bool quoted = record_write_mode != 0;
    view.mode_caption = quoted ? sj("引用モード") : sj("入力モード");
    view.editable.customer_job = !quoted;
    view.editable.deposit_kana = !quoted;
}

ReceiveDataForm::ReceiveDataForm(store::Table& ledger, store::Table& totals, const Clock& clock,
                                 std::filesystem::path start_dir, Questions& questions,
                                 FormPlatform platform)
    : ledger_(ledger),
      totals_(totals),
      clock_(clock),
      start_dir_(std::move(start_dir)),
      questions_(questions),
      platform_(std::move(platform)) {}

void ReceiveDataForm::UseRecordEvents(store::Database& db) {
    events_.reset();
    events_ = std::make_unique<LedgerRecordEvents>(state_, view_, db, ledger_, totals_, questions_,
                                                   clock_);
    events_->Install();
    PostPendingRecord = [this] { return events_->PostPending(); };
}

void ReceiveDataForm::Notify() {
    if (Changed) Changed();
}

void ReceiveDataForm::FormCreate() {
    // 1. Reset the shared state.
    state_ = MainWindowState{};
    view_ = WindowView{};
    state_.SortIndexName = sj("降順");
    state_.PathLabel = start_dir_.string();
    view_.import_settings_visible = false;
    view_.mode_caption = sj("入力モード");
    view_.total_label = sj("合　計");

    // 2. Settings files and the sibling programs.
    ReadSettingsFiles();

    // 3. Without a password the tabs show at once; with one, once it is given.
    view_.tabs_visible = state_.StartupPassword.empty();

    // 4. Caps Lock on while the window is open.
    if (platform_.set_caps_lock) platform_.set_caps_lock(true);

    try {
        // 5. Month tabs, tab 1 selected; the first view waits for the delayed start-up.
        BuildTabs();
        view_.tab_index = 1;

        // 6. The ledger's order.
        ledger_.SetOrder(state_.SortIndexName);
    } catch (...) {
        // The window will not open: leave the keyboard as it was found.
        if (platform_.set_caps_lock) platform_.set_caps_lock(false);
        throw;
    }
    Notify();
}

void ReceiveDataForm::BuildTabs() {
    tabs_ = MonthTabsFromTotals(totals_, state_.SettleDay, clock_);
    view_.tab_captions.clear();
    view_.tab_captions.push_back(sj("個人モード"));
    for (std::size_t i = 0; i < state_.TabPeriodStart.size(); ++i) {
        state_.TabPeriodStart[i].clear();
        state_.TabPeriodEnd[i].clear();
    }
    for (std::size_t i = 0; i < tabs_.size(); ++i) {
        view_.tab_captions.push_back(tabs_[i].label);
        state_.TabPeriodStart[i + 1] = tabs_[i].period_start;
        state_.TabPeriodEnd[i + 1] = tabs_[i].period_end;
    }
}

void ReceiveDataForm::TabSet() {
    totals_.SetFiltered(false);
    if (view_.tab_index >= 0 && view_.tab_index < static_cast<int>(view_.tab_captions.size()))
        state_.ReselectLabel = view_.tab_captions[view_.tab_index];
    int reselect = 1;
    try {
        BuildTabs();
    } catch (...) {
        totals_.SetFiltered(true);
        throw;
    }
    totals_.SetFiltered(true);
    for (std::size_t i = 1; i < view_.tab_captions.size(); ++i) {
        if (view_.tab_captions[i] == state_.ReselectLabel) {
            reselect = static_cast<int>(i);
            break;
        }
    }
    view_.tab_index = reselect;
    Notify();
}

bool ReceiveDataForm::Timer1Timer() {
    if (startup_done_) return true;
    startup_done_ = true;
    // The password comes before anything of the ledger is shown or any
    // command runs.
    if (!state_.StartupPassword.empty()) {
        if (!AskStartupPassword(questions_, state_.StartupPassword)) return false;
        view_.tabs_visible = true;
    }
    try {
        SelectTab(view_.tab_index < 1 ? 1 : view_.tab_index);
    } catch (...) {
        // The password was given: a first view that failed must not leave
        // every command, 終了 included, locked.
        view_.unlocked = true;
        Notify();
        throw;
    }
    view_.unlocked = true;
    Notify();

    AskCompanyInfoWhenMissing(questions_, start_dir_, state_.Company);

    state_.SeveralPrinters = 0;
    state_.PrinterNames.clear();
    if (platform_.printer_names) state_.PrinterNames = platform_.printer_names();
    if (state_.PrinterNames.size() > 1) state_.SeveralPrinters = 1;

    state_.AmountsEditable = 1;
    Notify();
    return true;
}

void ReceiveDataForm::SelectTab(int index) {
    if (index < 0 || index >= static_cast<int>(view_.tab_captions.size())) return;
    const int shown = view_.tab_index;
    view_.tab_index = index;
    bool changed = false;
    try {
        changed = TabControl1Change();
    } catch (...) {
        // Nothing of the new tab was set up: the tab shown stays selected.
        view_.tab_index = shown;
        Notify();
        throw;
    }
    if (!changed) {
        view_.tab_index = shown;
        Notify();
    }
}

bool ReceiveDataForm::SavePendingRecord() {
    if (PostPendingRecord) return PostPendingRecord();
    // A new record nothing was typed into is dropped, as any move drops it.
    if (ledger_.GetState() == store::State::Insert && !ledger_.Modified())
        ledger_.Cancel();
    else if (ledger_.GetState() != store::State::Browse)
        ledger_.Post();
    return true;
}

bool ReceiveDataForm::TabControl1Change() {
    const int index = view_.tab_index;
    if (index < 0 || index >= static_cast<int>(view_.tab_captions.size())) return false;
    Restore switching(state_.TabSwitching);
    Restore bulk(state_.BulkUpdate);
    state_.TabSwitching = 1;
    // A record being edited or inserted is saved while the month it was
    // entered in is still the selected one, so its amounts count there.
    if (!SavePendingRecord()) return false;
    state_.BulkUpdate = 2;
    view_.ototal_panel = false;
    view_.total_label = sj("合　計");
    view_.kakutei_panel = false;
    view_.delete_enabled = false;
    view_.insert_enabled = false;
    state_.AmountsEditable = 0;

    static const std::string personal = sj("個人モード");
    if (view_.tab_captions[index] == personal)
        PersonalBranch();
    else
        MonthBranch(index);
    CommonEnd();
    switching.Keep();
    bulk.Keep();
    Notify();
    return true;
}

namespace {

const std::string& BalanceClause() {
    static const std::string clause = sj("and (残金合計 <> 0)");
    return clause;
}

const std::string& ModeField() {
    static const std::string field = sj("書込モード");
    return field;
}

}  // namespace

void ReceiveDataForm::ShowLedgerFilter(const std::string& filter) {
    // The balance clause of 残金のみ is added to whatever the view shows.
    std::string shown = filter;
    if (state_.BalanceOnly == 1) {
        state_.SavedFilter = filter;
        shown += BalanceClause();
    }
    ledger_.SetFilter(shown);
    if (!ledger_.Filtered()) ledger_.SetFiltered(true);
}

void ReceiveDataForm::MonthBranch(int index) {
    static const std::string sales_date_from = sj("(売上日 >= ");
    static const std::string sales_date_to = sj(") and  (売上日 <= ");
    static const std::string sales_date_is = sj("(売上日 = ");
    const std::string& caption = view_.tab_captions[index];

    view_.kojin_panel = false;
    state_.SelectedMonthLabel = caption;
    view_.total_panel1 = true;

    if (state_.SettleDay != 0)
        ShowLedgerFilter(sales_date_from + store::QuoteValue(state_.TabPeriodStart[index]) +
                         sales_date_to + store::QuoteValue(state_.TabPeriodEnd[index]) + ")");
    else
        ShowLedgerFilter(sales_date_is + store::QuoteValue(caption + "*") + ")");

    totals_.SetFilter(sales_date_is + store::QuoteValue(caption + "*") + ")");
    if (!totals_.Filtered()) totals_.SetFiltered(true);
    state_.BulkUpdate = 0;

    const int month_mode = totals_.RecordCount() > 0 ? totals_.Int(ModeField()) : 0;
    if (month_mode == 2) {
        // A closed month is only looked at.
        view_.editable = EditableGroups{};
        view_.mode_caption = sj("閲覧モード");
        return;
    }
    view_.delete_enabled = true;
    view_.insert_enabled = true;
    state_.AmountsEditable = 1;
    view_.editable.payments = true;
    view_.editable.exclusion = true;
    // 確定 for the open month, and for the only month of a fresh ledger.
    view_.kakutei_panel = month_mode == 1 || view_.tab_captions.size() == 2;

    if (state_.InvoicingLink == 1 || state_.InvoicingLink == 2) InvoicingSync();

    ApplyRecordMode();
}

void ReceiveDataForm::InvoicingSync() {
    // Undoing the last import, re-totalling and importing again come with the import.
}

bool ReceiveDataForm::MonthClosed() const {
    return totals_.RecordCount() > 0 && totals_.Int(ModeField()) == 2;
}

void ReceiveDataForm::ApplyRecordMode() {
    if (!view_.total_panel1 || MonthClosed()) return;
    // An empty view reads as a record of our own.
    ShowRecordMode(view_, ledger_.RecordCount() > 0 ? ledger_.Int(ModeField()) : 0);
}

void ReceiveDataForm::PersonalBranch() {
    static const std::string sales_date_from = sj(") and (売上日 >= ");
    static const std::string sales_date_to = sj(") and  (売上日 <= ");
    static const std::string sales_date_is = sj(") and (売上日 = ");
    static const std::string name_field = sj("氏名");
    view_.kojin_panel = true;

    // The customer of the record that was current, with every name of the
    // name group it belongs to.
    const std::string name = ledger_.RecordCount() > 0 ? ledger_.Text(name_field) : std::string();
    const std::string clause = groups_ != nullptr ? accounting::PersonalNameClause(*groups_, name)
                                                  : accounting::NameClause({name});
    state_.PersonalNameClause = clause;
    // Tab 1, the newest month, whatever month was shown before.
    const std::string newest = view_.tab_captions.size() > 1 ? view_.tab_captions[1] : "";
    if (state_.SettleDay != 0)
        state_.PersonalMonthFilter = "(" + clause + sales_date_from +
                                     store::QuoteValue(state_.TabPeriodStart[1]) + sales_date_to +
                                     store::QuoteValue(state_.TabPeriodEnd[1]) + ")";
    else
        state_.PersonalMonthFilter =
            "(" + clause + sales_date_is + store::QuoteValue(newest + "*") + ")";

    std::string filter = clause;
    if (view_.current_month_only) filter = state_.PersonalMonthFilter;
    // A period limit wins over 当月のみ.
    if (!state_.PeriodLimitClause.empty())
        filter = "(" + state_.PersonalNameClause + ") and " + state_.PeriodLimitClause;
    view_.total_panel1 = false;
    ShowLedgerFilter(filter);

    // Only the exclusion mark is open; nothing is entered here.
    view_.editable = EditableGroups{};
    view_.editable.exclusion = true;
    view_.mode_caption = sj("閲覧モード");

    const accounting::PersonalTotals totals = accounting::PrTotalCalc(
        ledger_, {newest, state_.TabPeriodStart[1], state_.TabPeriodEnd[1]}, state_.SettleDay);
    for (size_t i = 0; i < view_.personal_totals.size(); ++i)
        view_.personal_totals[i] = totals.texts[i];
    view_.personal_totals_label = totals.label;
    view_.total_label = totals.total_label;
    view_.ototal_panel = true;
}

void ReceiveDataForm::CommonEnd() {
    state_.TabSwitching = 0;
    // Back to the record that was current, as near as the new view has it.
    static const std::string key3 = sj("タイトル;登録番号;氏名");
    static const std::string key2 = sj("登録番号;氏名");
    static const std::string key1 = sj("氏名");
    if (!ledger_.Locate(key3, {state_.LastTitle, state_.LastRegNo, state_.LastName}, true) &&
        !ledger_.Locate(key2, {state_.LastRegNo, state_.LastName}, true) &&
        !ledger_.Locate(key1, {state_.LastName}, true))
        ledger_.First();
    // The mode follows the record now current.
    ApplyRecordMode();
    view_.record_count = ledger_.RecordCount();
}

namespace {

// The sort box's items and the orders of the ledger they stand for.
const std::vector<std::pair<std::string, std::string>>& SortItems() {
    static const std::vector<std::pair<std::string, std::string>> items = {
        {sj("売上日"), sj("降順")},
        {sj("入庫日"), sj("入庫日降順")},
        {sj("出庫日"), sj("出庫日降順")},
        {sj("ふりがな"), sj("ふりがな")},
    };
    return items;
}

}  // namespace

std::string SortItemOf(std::string_view order_name) {
    for (const auto& [item, order] : SortItems())
        if (order == order_name) return item;
    return {};
}

void ReceiveDataForm::ComboBox1Change(std::string_view item) {
    for (const auto& [caption, order] : SortItems()) {
        if (item != caption) continue;
        // A new order posts the record being entered: it is saved with its
        // totals first, or, refused, the order stays as it was.
        if (!SavePendingRecord()) {
            Notify();
            return;
        }
        // The order is the ledger's own: it holds across tab changes.
        ledger_.SetOrder(order);
        state_.SortIndexName = order;
        view_.record_count = ledger_.RecordCount();
        Notify();
        return;
    }
}

void ReceiveDataForm::ComboBox2Change(std::string_view item) {
    static const std::string all = sj("全て"), balance_only = sj("残金のみ");
    const bool on = item == balance_only && state_.BalanceOnly == 0;
    const bool off = item == all && state_.BalanceOnly == 1;
    // A new filter posts the record being entered: saved with its totals
    // first, or, refused, the filter stays as it was.
    if ((on || off) && !SavePendingRecord()) {
        Notify();
        return;
    }
    if (on) {
        const std::string filter = ledger_.Filter();
        ledger_.SetFilter(filter + BalanceClause());
        state_.SavedFilter = filter;
        state_.BalanceOnly = 1;
        ApplyRecordMode();
    } else if (off) {
        ledger_.SetFilter(state_.SavedFilter);
        state_.BalanceOnly = 0;
        ApplyRecordMode();
    }
    view_.record_count = ledger_.RecordCount();
    Notify();
}

int ReceiveDataForm::RecordCount() const {
    return ledger_.RecordCount();
}

bool ReceiveDataForm::FormCloseQuery() {
    bool close = true;
    std::exception_ptr failed;
    try {
        if (ledger_.GetState() != store::State::Browse) {
            const Answer answer =
                questions_.ConfirmYesNoCancel(sj("登録していません！\r登録してよろしいですか？"));
            if (answer == Answer::Cancel)
                close = false;
            else if (answer == Answer::Yes && PostPendingRecord)
                close = PostPendingRecord();  // a refusal showed its message
            else if (answer == Answer::Yes)
                ledger_.Next();  // posts the pending record
            else
                ledger_.Cancel();
        }
    } catch (...) {
        // The record could not be saved: stay open so nothing typed is lost.
        failed = std::current_exception();
    }
    // Whatever the answer: Caps Lock off and the window's settings saved.
    if (platform_.set_caps_lock) platform_.set_caps_lock(false);
    try {
        WriteReceiveIni();
    } catch (const std::exception& error) {
        // Settings that cannot be saved must not keep the program from ending.
        ShowError(questions_, error);
    }
    if (failed) std::rethrow_exception(failed);
    return close;
}

void ReceiveDataForm::Furigana1Click() {
    view_.furigana = !view_.furigana;
    Notify();
}

void ReceiveDataForm::Pr1Click() {
    view_.current_month_only = !view_.current_month_only;
    Notify();
}

void ReceiveDataForm::N14Click() {
    if (auto kinds = EditPaymentKinds(questions_, start_dir_, view_.payment_kinds)) {
        view_.payment_kinds = std::move(*kinds);
        Notify();
    }
}

void ReceiveDataForm::User1Click() {
    EditCompanyInfo(questions_, start_dir_, state_.Company);
}

void ReceiveDataForm::T1Click() {
    if (auto colors = EditTitleColors(questions_, start_dir_, view_.title_colors)) {
        view_.title_colors = std::move(*colors);
        Notify();
    }
}

void ReceiveDataForm::N4Click() {
    SetStartupPassword(questions_, start_dir_);
}

void ReceiveDataForm::Var1Click() {
    questions_.ShowVersion();
}

void ReceiveDataForm::DisplayItemsOnlyClick() {
    view_.display_items_only = !view_.display_items_only;
    Notify();
}

void ReceiveDataForm::BackupPeriodLimitClick() {
    view_.backup_period_limited = !view_.backup_period_limited;
    Notify();
}

}  // namespace ravelto::ledgerwin
