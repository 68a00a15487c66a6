#pragma once

// Balance calculation of a ledger record and the monthly totals kept by
// difference, the personal-mode totals line, and amounts as text.
//
// Amounts are 32-bit yen. Everything here is computed in 64 bits first and
// checked before anything is written: a result that would not fit is refused
// with AmountError and neither the ledger record nor the totals record is
// touched.

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace ravelto::store {
class Table;
}

namespace ravelto::accounting {

// An amount refused. what() is Japanese UTF-8, ready for a message box.
class AmountError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The 13 amounts of a ledger record, in the order of AmountSnapshot.
enum AmountIndex : int {
    kPrevAdvance = 0,  // 先月立替残
    kPrevReceivable,   // 先月売掛残
    kPrevTotal,        // 先月残合計
    kFees,             // 諸費用
    kSales,            // 売上
    kBilled,           // 請求合計
    kDeposit,          // お預り
    kPayment1,         // 入金額1
    kPayment2,         // 入金額2
    kAdjustment,       // 調整額
    kAdvanceLeft,      // 立替残金
    kReceivableLeft,   // 売掛残金
    kBalance,          // 残金合計
    kAmountCount
};
using AmountSnapshot = std::array<int32_t, kAmountCount>;

// The 11 amounts of a monthly totals record (fields 2 … 12 of RcivTotal.db):
// the record's amounts with お預り, 入金額1 and 入金額2 summed into 入金額.
enum TotalIndex : int {
    kTotPrevAdvance = 0,  // 先月立替残
    kTotPrevReceivable,   // 先月売掛残
    kTotPrevTotal,        // 先月残合計
    kTotFees,             // 諸費用
    kTotSales,            // 売上
    kTotBilled,           // 請求合計
    kTotReceived,         // 入金額
    kTotAdjustment,       // 調整額
    kTotAdvanceLeft,      // 立替残金
    kTotReceivableLeft,   // 売掛残金
    kTotBalance,          // 残金合計
    kTotalCount
};
using TotalAmounts = std::array<int64_t, kTotalCount>;

// CP932 field names, in the orders above.
const std::array<std::string, kAmountCount>& AmountFieldNames();
const std::array<std::string, kTotalCount>& TotalFieldNames();

// ---- The allocation --------------------------------------------------------

// What the allocation reads of a record. 64 bits, so sums of 32-bit amounts
// are exact.
struct Owed {
    int64_t prev_advance = 0;     // A  先月立替残
    int64_t prev_receivable = 0;  // B  先月売掛残
    int64_t fees = 0;             // F  諸費用
    int64_t sales = 0;            // S  売上
    int64_t received = 0;         // R  お預り + 入金額1 + 入金額2
    int64_t adjustment = 0;       // J  調整額
};

struct Remaining {
    int64_t advance = 0;     // 立替残金
    int64_t receivable = 0;  // 売掛残金
    int64_t total = 0;       // 残金合計
    bool operator==(const Remaining&) const = default;
};

// Money received settles the brought-forward advances, the brought-forward
// receivables, this month's fees and this month's sales, in that order; the
// adjustment always lowers the receivable. Exact for any input.
Remaining Allocate(const Owed& owed);
Owed OwedOf(const AmountSnapshot& amounts);

// ---- The balance calculation and the totals by difference ------------------

// Which sum an amount field's exit sets before the calculation.
enum class SumOf {
    None,            // お預り, 入金額1, 入金額2, 調整額
    BroughtForward,  // 先月立替残, 先月売掛残: 先月残合計 := 先月立替残 + 先月売掛残
    Billed,  // 諸費用, 売上: 請求合計 := 諸費用 + 売上
};
// The sum a field of the 13 amounts belongs to (SumOf::None for the others).
SumOf SumOfField(int amount_index);

// What the calculation reads of the month it counts into.
struct MonthTotals {
    TotalAmounts amounts{};     // the totals record as it stands (pending values)
    int write_mode = 0;         // its 書込モード
    bool single_month = false;  // the tab strip holds exactly two tabs
};

// The outcome, every value checked to fit 32 bits.
struct CarCalcResult {
    AmountSnapshot record{};  // the record's 13 amounts afterwards
    bool totals_reached = false;
    TotalAmounts totals{};  // the totals record's amounts afterwards (when reached)
};

// The whole calculation on plain values: the sum, the allocation and, when the
// month counts (its totals 書込モード is 1, or it is the single month), the
// totals plus the record's change against the snapshot. Throws AmountError.
CarCalcResult PlanCarCalc(const AmountSnapshot& record, SumOf sum, const MonthTotals& month,
                          const AmountSnapshot& snapshot);

// The main-window state the calculation needs.
struct TotalsContext {
    std::string selected_month_label;  // SelectedMonthLabel (CP932)
    bool single_month = false;         // the tab strip holds exactly two tabs
};

// The 13 amounts of the ledger's current record (pending values while edited).
AmountSnapshot ReadAmounts(const store::Table& ledger);
// The 11 amounts of the totals' current record (0 on an empty view).
TotalAmounts ReadTotals(const store::Table& totals);

// CarCalc. The ledger record is in edit or insert state. Sets 立替残金,
// 売掛残金 and 残金合計; when the month counts, puts the totals record into
// edit state (on an empty totals view this begins the month's totals record),
// sets its 売上日 to the selected month label and its 書込モード to 1, adds the
// record's change against the snapshot and refreshes the snapshot. Never posts
// the totals record. Returns whether the totals were reached. Throws
// AmountError (nothing written) or store::StoreError.
bool CarCalc(store::Table& ledger, store::Table& totals, const TotalsContext& context,
             AmountSnapshot& snapshot);

// The exit of an amount field: the field's sum (先月残合計 or 請求合計), then
// CarCalc, all checked before the first write. Puts the ledger record into edit
// state first unless it is being edited or inserted.
bool AmountFieldExit(store::Table& ledger, store::Table& totals, SumOf sum,
                     const TotalsContext& context, AmountSnapshot& snapshot);

// Would writing `value` (nothing: the field emptied) into amount field
// `amount_index` of the current record, then the field's exit, fit? Call when
// the typed text is committed, before writing it: throws AmountError when the
// record's sums or balances or the month's totals would leave 32 bits, so the
// field can keep its previous value. Writes nothing.
void CheckAmountEntry(const store::Table& ledger, const store::Table& totals, int amount_index,
                      std::optional<int32_t> value, const TotalsContext& context,
                      const AmountSnapshot& snapshot);

// Table1BeforeDelete: subtracts the current ledger record from the totals
// record and posts it (an empty totals view holds nothing to subtract from and
// is left alone). Checked before the first write. counted: for a record being
// edited, the amounts the totals hold of it (AmountSnapshot), which differ
// from its pending values while a typed amount's exit is still owed.
void SubtractFromTotals(const store::Table& ledger, store::Table& totals,
                        const AmountSnapshot* counted = nullptr);

// Table1AfterPost with HoldTotals 0: writes the month's totals record. From
// browse state it is put into edit (on an empty view a new record begins); it
// takes the selected month label when the ledger record has a 売上日, and
// 書込モード 1 in a single-month ledger. A new totals record without a label
// is not written: it would belong to no month.
void WriteTotalsAfterPost(const store::Table& ledger, store::Table& totals,
                          const TotalsContext& context);
// The same for a ledger record posted with `posted_sales_date` (its 売上日),
// whichever record is current after the post.
void WriteTotalsAfterPost(std::string_view posted_sales_date, store::Table& totals,
                          const TotalsContext& context);

// ---- Amount text ------------------------------------------------------------

// An amount typed into a field (CP932): an optional sign, digits (half-width
// or full-width), "," between digits allowed, blanks around it. Nothing for an
// empty text (the field is emptied). Throws AmountError for anything else or
// a value outside 32 bits.
std::optional<int32_t> ParseAmount(std::string_view text);

// Inserts "," separators into a decimal integer text in place: before the last
// six characters when it is 7 or more digits long, then before the last three
// when it is 4 or more. At most two separators.
void MoneyCheck(std::string& text);
// "\" followed by MoneyCheck of the decimal value ("\" shows as the yen sign).
std::string YenText(int64_t value);

// ---- The personal-mode totals line -------------------------------------------

// Tab 1 of the tab strip: the newest month.
struct NewestMonth {
    std::string label;         // its caption, e.g. 平成１４年１２月
    std::string period_start;  // TabPeriodStart[1]
    std::string period_end;    // TabPeriodEnd[1]
};

struct PersonalTotals {
    TotalAmounts sums{};                         // exact, 64 bits
    std::array<std::string, kTotalCount> texts;  // TotalMemo1 … TotalMemo11, "\" + MoneyCheck
    std::string label;                           // OTotalLabel: （平成１４年１２月分）
    std::string total_label;                     // TotalLabel: 残　金
};

// PrTotalCalc: the sums over the records of the ledger view that belong to the
// newest month (SettleDay 0: the first 16 bytes of 売上日 equal its label;
// otherwise 売上日 within its period). Reads the view without moving the
// cursor. All text is CP932.
PersonalTotals PrTotalCalc(const store::Table& ledger, const NewestMonth& newest, int settle_day);

}  // namespace ravelto::accounting
