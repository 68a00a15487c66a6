#pragma once

// Record entry in the ledger window: the record events of the ledger table
// that keep a ledger record and its month's totals record in step, and the
// handlers of the record panel's field controls (amount keys and exits, the
// sales-date range check, the date dialog, the status-bar hints) and of the
// navigators. The Qt window forwards its control events here; everything it
// shows of the outcome is in MainWindowState and WindowView. Text is CP932.
//
// Fields are addressed by their position in receive.DB (ledger::rcv::k…).
//
// Every command here that writes runs in one transaction: a ledger record and
// its totals record are written together or not at all.

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/accounting/balance.h"
#include "core/ledger/eradate.h"
#include "core/ledger/questions.h"
#include "core/ledgerwin/main_window_state.h"

namespace ravelto::store {
class Database;
class Table;
}  // namespace ravelto::store

namespace ravelto::ledgerwin {

// A post the record events refuse (a record entered by hand without a
// 売上日). what() is the message in UTF-8; the record stays in edit or insert
// state.
class PostRefused : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The field groups that decide which controls of a record panel take entry.
enum class FieldGroup { CustomerJob, DepositKana, Payments, Exclusion, Never };
FieldGroup GroupOfField(int field_index);
// Whether the fields of `group` take entry under `groups`.
bool GroupEditable(const EditableGroups& groups, FieldGroup group);
// The field a control of the record panel is bound to ("DBMemo9" → 先月立替残),
// or -1.
int FieldOfControl(std::string_view control_name);
// One of the eight amount memos (先月立替残, 先月売掛残, 諸費用, 売上, お預り,
// 入金額1, 入金額2, 調整額).
bool IsAmountField(int field_index);
// 売上日, 入庫日, 出庫日, お預り日, 入金日1, 入金日2.
bool IsDateField(int field_index);

// The navigator buttons.
enum class NavButton { First, Prior, Next, Last, Insert, Delete, Post, Cancel };

class LedgerRecordEvents {
  public:
    LedgerRecordEvents(MainWindowState& state, WindowView& view, store::Database& db,
                       store::Table& ledger, store::Table& totals, Questions& questions,
                       const Clock& clock);
    ~LedgerRecordEvents();
    LedgerRecordEvents(const LedgerRecordEvents&) = delete;
    LedgerRecordEvents& operator=(const LedgerRecordEvents&) = delete;

    // Installs the record events on the ledger's Events() (BeforeInsert and
    // AfterInsert, BeforeEdit, BeforePost, AfterPost, BeforeCancel,
    // BeforeDelete, AfterScroll). The destructor takes them off again.
    void Install();

    // ---- The record events --------------------------------------------------

    void Table1BeforeInsert();  // run before and after the insert
    void Table1BeforeEdit();
    void Table1BeforePost();  // throws PostRefused
    void Table1AfterPost();
    void Table1BeforeCancel();
    void Table1BeforeDelete();
    void Table1AfterScroll();

    // ---- The field controls ---------------------------------------------------
    // Each returns normally after showing its own messages; errors of the
    // record store propagate.

    // A key typed into a field. In an amount memo it sets ExitPending. The
    // first change of an editable field puts the record into edit state (on
    // an empty view this begins a new record), so the amounts are snapshot
    // before they change.
    void FieldKey(int field_index);

    // Text committed to a field (an input-method commit, Enter, leaving the
    // field, a choice in a list). Text equal to the field's value is not
    // written. An amount must be a whole number within 32 bits whose sums
    // and totals also fit: otherwise a message is shown, nothing is written
    // and false is returned (the control shows the field's value again). A
    // committed 売上日 runs the range check. False also for a read-only field.
    bool CommitField(int field_index, std::string_view text);

    // The focus left a field (after CommitField of its text). Clears
    // ExitPending; an amount field then sets its sum and runs CarCalc while
    // AmountsEditable is 1 and its group is editable.
    void FieldExit(int field_index);

    // A double-click on a date field: the date dialog, its result stored.
    void DateFieldDblClick(int field_index);

    // A click in a field: the text for status-bar panel 0, or nothing when
    // the status bar keeps its text.
    std::optional<std::string> FieldClick(int field_index) const;

    // Whether a field takes entry in the current mode.
    bool FieldEditable(int field_index) const;

    // ---- Navigators and moves ---------------------------------------------------

    // False when the command was refused (a message was shown) or not
    // available (insert and delete navigators disabled, nothing to delete).
    bool NavigatorClick(NavButton button);
    // A click on another record panel: posts the record being edited first.
    bool MoveTo(int rec_no);
    // Posts a record in edit or insert state (a new record nobody typed into
    // is dropped instead). For commands that post before they begin, such as
    // the tab change.
    bool PostPending();
    // Runs a command that posts or moves the ledger so that the ledger record
    // and the totals record are written together or not at all. On a failure
    // nothing of it stays written, and a record that was being edited or
    // inserted is again, with every value it held, the totals record's pending
    // changes and AmountSnapshot as they were (so a later post counts it
    // once); then the exception propagates.
    void WriteTogether(const std::function<void()>& command);

    // Called by Table1BeforePost after it ran the exit handler of the field
    // with a pending exit: the window moves the focus to the next control in
    // tab order. The focus-out this causes must not run FieldExit again (a
    // second call is ignored until the next key or commit).
    std::function<void()> MoveFocusOn;

    // The field whose exit is pending (-1: none).
    int PendingExitField() const { return pending_field_; }

  private:
    accounting::TotalsContext Context() const;
    int MonthWriteMode() const;
    bool MonthTabShown() const;
    void TakeSnapshot();
    void RunExit(int field_index);
    void SalesDateChanged();
    bool SalesDateOutOfRange(const std::string& date) const;
    void BeginEdit();

    MainWindowState& state_;
    WindowView& view_;
    store::Database& db_;
    store::Table& ledger_;
    store::Table& totals_;
    Questions& questions_;
    const Clock& clock_;
    bool installed_ = false;
    int pending_field_ = -1;
    int exit_done_field_ = -1;
    std::string posted_sales_date_;  // 売上日 of the record being posted
};

}  // namespace ravelto::ledgerwin
