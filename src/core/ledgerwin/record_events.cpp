#include "core/ledgerwin/record_events.h"

#include <array>
#include <utility>
#include <vector>

#include "core/ledger/cp932.h"
#include "core/ledger/ledger_tables.h"
#include "core/ledger/record_store.h"

namespace ravelto::ledgerwin {

namespace rcv = ledger::rcv;
namespace tot = ledger::tot;

namespace {

// Position among the 13 amounts of the snapshot, or -1.
int AmountIndexOf(int field_index) {
    switch (field_index) {
        case rcv::kPrevAdvance:
            return accounting::kPrevAdvance;
        case rcv::kPrevReceivable:
            return accounting::kPrevReceivable;
        case rcv::kPrevTotal:
            return accounting::kPrevTotal;
        case rcv::kFees:
            return accounting::kFees;
        case rcv::kSales:
            return accounting::kSales;
        case rcv::kBilled:
            return accounting::kBilled;
        case rcv::kDeposit:
            return accounting::kDeposit;
        case rcv::kPayment1:
            return accounting::kPayment1;
        case rcv::kPayment2:
            return accounting::kPayment2;
        case rcv::kAdjustment:
            return accounting::kAdjustment;
        case rcv::kAdvanceLeft:
            return accounting::kAdvanceLeft;
        case rcv::kReceivableLeft:
            return accounting::kReceivableLeft;
        case rcv::kBalance:
            return accounting::kBalance;
        default:
            return -1;
    }
}

// Nothing but blanks (single-byte or full-width).
bool IsBlank(std::string_view text) {
    static const std::string full_blank = sj("　");
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ' || text[i] == '\t') {
            ++i;
        } else if (text.compare(i, full_blank.size(), full_blank) == 0) {
            i += full_blank.size();
        } else {
            return false;
        }
    }
    return true;
}

void ShowAmountError(Questions& questions, const accounting::AmountError& error) {
    questions.Warn(Utf8ToCp932Lossy(error.what()));
}

}  // namespace

FieldGroup GroupOfField(int field_index) {
    switch (field_index) {
        case rcv::kName:
        case rcv::kTitle:
        case rcv::kAddress:
        case rcv::kRegNo:
        case rcv::kCarName:
        case rcv::kPhone:
        case rcv::kSalesDate:
        case rcv::kInDate:
        case rcv::kOutDate:
        case rcv::kPrevAdvance:
        case rcv::kPrevReceivable:
        case rcv::kFees:
        case rcv::kSales:
            return FieldGroup::CustomerJob;
        case rcv::kDeposit:
        case rcv::kFurigana:
        case rcv::kPostCode:
            return FieldGroup::DepositKana;
        case rcv::kDepositDate:
        case rcv::kPayDate1:
        case rcv::kPayment1:
        case rcv::kPayDate2:
        case rcv::kPayment2:
        case rcv::kAdjustment:
        case rcv::kDepositKind:
        case rcv::kPayKind1:
        case rcv::kPayKind2:
            return FieldGroup::Payments;
        case rcv::kExcludeFromTotal:
            return FieldGroup::Exclusion;
        default:
            return FieldGroup::Never;
    }
}

int FieldOfControl(std::string_view control_name) {
    static const std::array<std::pair<std::string_view, int>, 31> controls = {{
        {"YomiDBMemo1", rcv::kName},
        {"DBMemo1", rcv::kTitle},
        {"DBMemo2", rcv::kAddress},
        {"DBMemo3", rcv::kRegNo},
        {"DBMemo4", rcv::kCarName},
        {"DBMemo5", rcv::kPhone},
        {"DBMemo6", rcv::kSalesDate},
        {"DBMemo7", rcv::kInDate},
        {"DBMemo8", rcv::kOutDate},
        {"DBMemo9", rcv::kPrevAdvance},
        {"DBMemo10", rcv::kPrevReceivable},
        {"DBMemo11", rcv::kPrevTotal},
        {"DBMemo12", rcv::kFees},
        {"DBMemo13", rcv::kSales},
        {"DBMemo14", rcv::kBilled},
        {"DBMemo15", rcv::kDepositDate},
        {"DBMemo16", rcv::kDeposit},
        {"DBMemo17", rcv::kPayDate1},
        {"DBMemo18", rcv::kPayment1},
        {"DBMemo19", rcv::kPayDate2},
        {"DBMemo20", rcv::kPayment2},
        {"DBMemo21", rcv::kAdjustment},
        {"DBMemo22", rcv::kAdvanceLeft},
        {"DBMemo23", rcv::kReceivableLeft},
        {"DBMemo24", rcv::kBalance},
        {"DBMemo25", rcv::kFurigana},
        {"DBMemo26", rcv::kPostCode},
        {"DBComboBox1", rcv::kDepositKind},
        {"DBComboBox2", rcv::kPayKind1},
        {"DBComboBox3", rcv::kPayKind2},
        {"DBCheckBox1", rcv::kExcludeFromTotal},
    }};
    for (const auto& [name, field] : controls)
        if (name == control_name) return field;
    return -1;
}

bool IsAmountField(int field_index) {
    switch (field_index) {
        case rcv::kPrevAdvance:
        case rcv::kPrevReceivable:
        case rcv::kFees:
        case rcv::kSales:
        case rcv::kDeposit:
        case rcv::kPayment1:
        case rcv::kPayment2:
        case rcv::kAdjustment:
            return true;
        default:
            return false;
    }
}

bool IsDateField(int field_index) {
    switch (field_index) {
        case rcv::kSalesDate:
        case rcv::kInDate:
        case rcv::kOutDate:
        case rcv::kDepositDate:
        case rcv::kPayDate1:
        case rcv::kPayDate2:
            return true;
        default:
            return false;
    }
}

LedgerRecordEvents::LedgerRecordEvents(MainWindowState& state, WindowView& view,
                                       store::Database& db, store::Table& ledger,
                                       store::Table& totals, Questions& questions,
                                       const Clock& clock)
    : state_(state),
      view_(view),
      db_(db),
      ledger_(ledger),
      totals_(totals),
      questions_(questions),
      clock_(clock) {}

LedgerRecordEvents::~LedgerRecordEvents() {
    if (!installed_) return;
    store::TableEvents& e = ledger_.Events();
    e.BeforeInsert = nullptr;
    e.AfterInsert = nullptr;
    e.BeforeEdit = nullptr;
    e.BeforePost = nullptr;
    e.AfterPost = nullptr;
    e.BeforeCancel = nullptr;
    e.BeforeDelete = nullptr;
    e.AfterScroll = nullptr;
}

void LedgerRecordEvents::Install() {
    store::TableEvents& e = ledger_.Events();
    e.BeforeInsert = [this] { Table1BeforeInsert(); };
    e.AfterInsert = [this] { Table1BeforeInsert(); };
    e.BeforeEdit = [this] { Table1BeforeEdit(); };
    e.BeforePost = [this] { Table1BeforePost(); };
    e.AfterPost = [this] { Table1AfterPost(); };
    e.BeforeCancel = [this] { Table1BeforeCancel(); };
    e.BeforeDelete = [this] { Table1BeforeDelete(); };
    e.AfterScroll = [this] { Table1AfterScroll(); };
    installed_ = true;
}

// ---- Shared pieces -------------------------------------------------------------

accounting::TotalsContext LedgerRecordEvents::Context() const {
    accounting::TotalsContext context;
    context.selected_month_label = state_.SelectedMonthLabel;
    context.single_month = view_.tab_captions.size() == 2;
    return context;
}

int LedgerRecordEvents::MonthWriteMode() const {
    if (totals_.GetState() == store::State::Browse && totals_.RecordCount() == 0) return 0;
    return totals_.Int(tot::kWriteMode);
}

bool LedgerRecordEvents::MonthTabShown() const {
    return view_.total_panel1;
}

void LedgerRecordEvents::TakeSnapshot() {
    if (ledger_.GetState() == store::State::Browse && ledger_.RecordCount() == 0)
        state_.AmountSnapshot = {};
    else
        state_.AmountSnapshot = accounting::ReadAmounts(ledger_);
}

bool GroupEditable(const EditableGroups& groups, FieldGroup group) {
    switch (group) {
        case FieldGroup::CustomerJob:
            return groups.customer_job;
        case FieldGroup::DepositKana:
            return groups.deposit_kana;
        case FieldGroup::Payments:
            return groups.payments;
        case FieldGroup::Exclusion:
            return groups.exclusion;
        case FieldGroup::Never:
            return false;
    }
    return false;
}

bool LedgerRecordEvents::FieldEditable(int field_index) const {
    return GroupEditable(view_.editable, GroupOfField(field_index));
}

void LedgerRecordEvents::BeginEdit() {
    // On an empty view this begins a new record.
    if (ledger_.GetState() == store::State::Browse) ledger_.Edit();
}

// ---- The record events ---------------------------------------------------------

void LedgerRecordEvents::Table1BeforeInsert() {
    if (state_.BulkUpdate == 1) return;
    if (MonthTabShown() && MonthWriteMode() != 2) {
        ShowRecordMode(view_, 0);
        TakeSnapshot();
        return;
    }
    // Personal view or a closed month: no new record there.
    ledger_.Cancel();
    ledger_.Last();
}

void LedgerRecordEvents::Table1BeforeEdit() {
    TakeSnapshot();
}

void LedgerRecordEvents::Table1BeforePost() {
    // A record without a sales date would fall out of every month view. It
    // is refused before the pending exit runs: the exit stays owed, with the
    // focus where it is.
    if (state_.BulkUpdate != 1 && IsBlank(ledger_.Text(rcv::kSalesDate)))
        throw PostRefused("　売上日を入力してください。");
    // A bulk command's records are not the ones being typed into.
    if (state_.ExitPending == 1 && state_.BulkUpdate != 1) {
        const int field = pending_field_;
        if (field >= 0) {
            RunExit(field);
            exit_done_field_ = field;
        }
        if (MoveFocusOn) MoveFocusOn();
    }
    posted_sales_date_ = ledger_.Text(rcv::kSalesDate);
    const int32_t key = ledger::SalesDateKey(posted_sales_date_, state_.SettleDay, clock_);
    if (ledger_.Text(rcv::kSalesDateKey).empty() || ledger_.Int(rcv::kSalesDateKey) != key)
        ledger_.SetInt(rcv::kSalesDateKey, key);
}

void LedgerRecordEvents::Table1AfterPost() {
    view_.record_count = ledger_.RecordCount();
    // The posted record's own 売上日: after the post another record may be
    // current (the posted one left the view, say by the balance filter).
    if (state_.HoldTotals == 0)
        accounting::WriteTotalsAfterPost(posted_sales_date_, totals_, Context());
}

void LedgerRecordEvents::Table1BeforeCancel() {
    if (totals_.GetState() != store::State::Browse) totals_.Cancel();
    // What was typed is gone with the edit: no exit is owed for it.
    state_.ExitPending = 0;
    pending_field_ = -1;
}

void LedgerRecordEvents::Table1BeforeDelete() {
    // A record being edited leaves the month with what the totals count of
    // it: an amount typed whose exit has not run yet was never added.
    const bool editing = ledger_.GetState() == store::State::Edit && state_.BulkUpdate != 1;
    accounting::SubtractFromTotals(ledger_, totals_, editing ? &state_.AmountSnapshot : nullptr);
    // What was typed goes with the record: no exit is owed for it.
    if (editing) {
        state_.ExitPending = 0;
        pending_field_ = -1;
    }
}

void LedgerRecordEvents::Table1AfterScroll() {
    const bool has_record = ledger_.GetState() != store::State::Browse || ledger_.RecordCount() > 0;
    if (MonthTabShown() && MonthWriteMode() != 2)
        ShowRecordMode(view_, has_record ? ledger_.Int(rcv::kWriteMode) : 0);
    if (state_.TabSwitching != 1) {
        state_.LastTitle = has_record ? ledger_.Text(rcv::kTitle) : std::string();
        state_.LastRegNo = has_record ? ledger_.Text(rcv::kRegNo) : std::string();
        state_.LastName = has_record ? ledger_.Text(rcv::kName) : std::string();
    }
}

// ---- The field controls ----------------------------------------------------------

void LedgerRecordEvents::FieldKey(int field_index) {
    exit_done_field_ = -1;
    if (!FieldEditable(field_index)) return;
    if (IsAmountField(field_index)) {
        state_.ExitPending = 1;
        pending_field_ = field_index;
    }
    BeginEdit();
}

bool LedgerRecordEvents::CommitField(int field_index, std::string_view text) {
    exit_done_field_ = -1;
    if (!FieldEditable(field_index)) return false;
    if (IsAmountField(field_index)) {
        std::optional<int32_t> value;
        try {
            value = accounting::ParseAmount(text);
            const bool empty = ledger_.Text(field_index).empty();
            if (value ? (!empty && ledger_.Int(field_index) == *value) : empty) return true;
            accounting::CheckAmountEntry(ledger_, totals_, AmountIndexOf(field_index), value,
                                         Context(), state_.AmountSnapshot);
        } catch (const accounting::AmountError& error) {
            ShowAmountError(questions_, error);
            return false;
        }
        BeginEdit();
        if (ledger_.GetState() == store::State::Browse) return false;
        if (value)
            ledger_.SetInt(field_index, *value);
        else
            ledger_.Clear(field_index);
        state_.ExitPending = 1;
        pending_field_ = field_index;
        return true;
    }
    if (ledger_.Text(field_index) == text) return true;
    BeginEdit();
    if (ledger_.GetState() == store::State::Browse) return false;
    ledger_.SetText(field_index, text);
    if (field_index == rcv::kSalesDate) {
        SalesDateChanged();
        return ledger_.Text(field_index) == text;
    }
    return true;
}

void LedgerRecordEvents::FieldExit(int field_index) {
    if (field_index == exit_done_field_) {
        // Its exit already ran before the post that moved the focus away.
        exit_done_field_ = -1;
        return;
    }
    try {
        RunExit(field_index);
    } catch (const accounting::AmountError& error) {
        ShowAmountError(questions_, error);
    }
}

void LedgerRecordEvents::RunExit(int field_index) {
    if (field_index != rcv::kSalesDate && !IsAmountField(field_index)) return;
    state_.ExitPending = 0;
    pending_field_ = -1;
    if (!IsAmountField(field_index)) return;
    if (state_.AmountsEditable != 1 || !FieldEditable(field_index)) return;
    accounting::AmountFieldExit(ledger_, totals_,
                                accounting::SumOfField(AmountIndexOf(field_index)), Context(),
                                state_.AmountSnapshot);
}

bool LedgerRecordEvents::SalesDateOutOfRange(const std::string& date) const {
    const int tab = view_.tab_index;
    if (tab < 1 || tab >= static_cast<int>(view_.tab_captions.size())) return false;
    if (state_.SettleDay == 0) return MonthLabel(date) != view_.tab_captions[tab];
    if (tab >= static_cast<int>(state_.TabPeriodStart.size())) return false;
    return date < state_.TabPeriodStart[tab] || date > state_.TabPeriodEnd[tab];
}

void LedgerRecordEvents::SalesDateChanged() {
    state_.ExitPending = 1;
    pending_field_ = rcv::kSalesDate;
    if (state_.BulkUpdate != 0 || state_.AmountsEditable != 1) return;
    const std::string date = ledger_.Text(rcv::kSalesDate);
    if (date.empty() || !SalesDateOutOfRange(date)) return;
    questions_.Warn(sj("　売上日が範囲外です。"));
    ledger_.SetText(rcv::kSalesDate, "");
}

void LedgerRecordEvents::DateFieldDblClick(int field_index) {
    exit_done_field_ = -1;
    if (!IsDateField(field_index) || !FieldEditable(field_index)) return;
    DatePickRequest request;
    request.field_text = ledger_.Text(field_index);
    request.date = CharToDate(request.field_text, clock_);
    const std::optional<std::string> picked = questions_.PickDate(request);
    if (!picked || picked->empty()) return;
    const std::string value = ChangeChar(*picked);
    if (value.empty()) return;
    BeginEdit();
    if (ledger_.GetState() == store::State::Browse) return;
    const bool changed = ledger_.Text(field_index) != value;
    ledger_.SetText(field_index, value);
    if (field_index == rcv::kSalesDate && changed) SalesDateChanged();
}

std::optional<std::string> LedgerRecordEvents::FieldClick(int field_index) const {
    auto hint = [](bool shown, const char* text) { return shown ? sj(text) : std::string(); };
    switch (field_index) {
        case rcv::kAddress:
            return hint(view_.editable.customer_job,
                        " ダブルクリックで郵便番号７桁検索で入力出来ます。");
        case rcv::kPostCode:
            return hint(view_.editable.deposit_kana, " ダブルクリックで住所検索で入力出来ます。");
        case rcv::kSalesDate:
        case rcv::kInDate:
        case rcv::kOutDate:
            return hint(view_.editable.customer_job,
                        " ダブルクリックでカレンダー表示で入力出来ます。");
        case rcv::kDepositDate:
        case rcv::kPayDate1:
        case rcv::kPayDate2:
            return hint(view_.editable.payments, " ダブルクリックでカレンダー表示で入力出来ます。");
        case rcv::kName:
        case rcv::kRegNo:
        case rcv::kCarName:
        case rcv::kPhone:
        case rcv::kFurigana:
            return hint(state_.InspectionLinked == 1 && view_.editable.deposit_kana,
                        " ダブルクリックで車検管理表から呼び出せます。");
        default:
            // Amounts and totals clear the hint; the other controls leave it.
            if (AmountIndexOf(field_index) >= 0) return std::string();
            return std::nullopt;
    }
}

// ---- Navigators and moves -------------------------------------------------------------

namespace {

// A record as it stood in edit or insert state, to be given back after a
// failed command.
struct PendingRecord {
    store::State state = store::State::Browse;
    int64_t row_id = 0;
    int rec_no = 0;
    std::vector<std::string> values;
};

PendingRecord Capture(const store::Table& table) {
    PendingRecord out;
    out.state = table.GetState();
    if (out.state == store::State::Browse) return out;
    out.row_id = table.RowId();
    out.rec_no = table.RecNo();
    const int count = static_cast<int>(table.Def().fields.size());
    out.values.reserve(count);
    for (int i = 0; i < count; ++i)
        out.values.push_back(table.Text(i));
    return out;
}

// Puts the table back into the edit or insert it was in, with the values it
// held; a table that was browsing drops what began since. False when the
// edited record is no longer in the view.
bool GiveBack(store::Table& table, const PendingRecord& was) {
    const store::State now = table.GetState();
    if (was.state == store::State::Browse) {
        if (now != store::State::Browse) table.Cancel();
        return true;
    }
    if (now != store::State::Browse &&
        (now != was.state || (now == store::State::Edit && table.RowId() != was.row_id)))
        table.Cancel();
    if (table.GetState() == store::State::Browse) {
        if (was.state == store::State::Edit) {
            if (table.RecordCount() == 0) return false;
            if (table.RowId() != was.row_id) {
                int at = 0;
                for (int n = 1; n <= table.RecordCount() && at == 0; ++n)
                    if (table.ReadAt(n).RowId() == was.row_id) at = n;
                if (at == 0) return false;
                table.SetRecNo(at);
            }
            table.Edit();
            if (table.GetState() != store::State::Edit || table.RowId() != was.row_id) return false;
        } else {
            if (was.rec_no >= 1 && was.rec_no <= table.RecordCount() && table.RecNo() != was.rec_no)
                table.SetRecNo(was.rec_no);
            table.Insert();
            if (table.GetState() != store::State::Insert) return false;
        }
    }
    for (int i = 0; i < static_cast<int>(was.values.size()); ++i)
        if (table.Text(i) != was.values[i]) table.SetText(i, was.values[i]);
    return true;
}

}  // namespace

void LedgerRecordEvents::WriteTogether(const std::function<void()>& command) {
    // What the user had typed, and what of it the month's totals already
    // count: a command that fails gives both back as they were, so nothing
    // typed is lost and the next post counts it exactly once.
    const PendingRecord ledger_was = Capture(ledger_);
    const PendingRecord totals_was = Capture(totals_);
    const accounting::AmountSnapshot snapshot_was = state_.AmountSnapshot;
    const int exit_pending_was = state_.ExitPending;
    const int pending_field_was = pending_field_;
    const int exit_done_was = exit_done_field_;
    try {
        store::Transaction transaction(db_);
        command();
        transaction.Commit();
    } catch (...) {
        try {
            const bool kept = GiveBack(ledger_, ledger_was);
            if (kept) {
                GiveBack(totals_, totals_was);
                state_.AmountSnapshot = snapshot_was;
                state_.ExitPending = exit_pending_was;
                pending_field_ = pending_field_was;
                exit_done_field_ = exit_done_was;
            } else if (totals_.GetState() != store::State::Browse) {
                // The record is gone from the view: the totals must not keep
                // the changes counted for it either.
                totals_.Cancel();
            }
        } catch (...) {
            // Shown is the error of the command itself.
            try {
                if (ledger_.GetState() == store::State::Browse &&
                    totals_.GetState() != store::State::Browse)
                    totals_.Cancel();
            } catch (...) {
            }
        }
        throw;
    }
}

namespace {

// Runs a command; the program's own refusals are shown and give false.
template <class F>
bool Refusable(Questions& questions, F&& command) {
    try {
        command();
        return true;
    } catch (const PostRefused& refused) {
        questions.Warn(Utf8ToCp932Lossy(refused.what()));
    } catch (const accounting::AmountError& error) {
        ShowAmountError(questions, error);
    }
    return false;
}

}  // namespace

bool LedgerRecordEvents::NavigatorClick(NavButton button) {
    switch (button) {
        case NavButton::First:
            return Refusable(questions_, [&] { WriteTogether([&] { ledger_.First(); }); });
        case NavButton::Prior:
            return Refusable(questions_, [&] { WriteTogether([&] { ledger_.Prior(); }); });
        case NavButton::Next:
            return Refusable(questions_, [&] { WriteTogether([&] { ledger_.Next(); }); });
        case NavButton::Last:
            return Refusable(questions_, [&] { WriteTogether([&] { ledger_.Last(); }); });
        case NavButton::Insert:
            if (!view_.insert_enabled) return false;
            // The new record begins outside the transaction that posts the
            // pending one: a rollback drops whatever edit began inside it.
            if (!PostPending()) return false;
            ledger_.Insert();
            return ledger_.GetState() == store::State::Insert;
        case NavButton::Delete: {
            if (!view_.delete_enabled) return false;
            if (ledger_.GetState() != store::State::Insert && ledger_.RecordCount() == 0)
                return false;
            if (!questions_.ConfirmYesNo(sj("レコードを削除しますか？"))) return false;
            const bool done =
                Refusable(questions_, [&] { WriteTogether([&] { ledger_.Delete(); }); });
            view_.record_count = ledger_.RecordCount();
            return done;
        }
        case NavButton::Post:
            return Refusable(questions_, [&] { WriteTogether([&] { ledger_.Post(); }); });
        case NavButton::Cancel:
            ledger_.Cancel();
            return true;
    }
    return false;
}

bool LedgerRecordEvents::MoveTo(int rec_no) {
    return Refusable(questions_, [&] { WriteTogether([&] { ledger_.SetRecNo(rec_no); }); });
}

bool LedgerRecordEvents::PostPending() {
    if (ledger_.GetState() == store::State::Browse) return true;
    if (ledger_.GetState() == store::State::Insert && !ledger_.Modified()) {
        ledger_.Cancel();
        return true;
    }
    return Refusable(questions_, [&] { WriteTogether([&] { ledger_.Post(); }); });
}

}  // namespace ravelto::ledgerwin
