#include "core/accounting/balance.h"

#include <limits>

#include "core/ledger/cp932.h"
#include "core/ledger/record_store.h"

namespace ravelto::accounting {

namespace {

constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
constexpr int64_t kMax = std::numeric_limits<int32_t>::max();

bool Fits(int64_t v) {
    return v >= kMin && v <= kMax;
}

const std::string& RangeText() {
    static const std::string text = "-2,147,483,648 ～ 2,147,483,647";
    return text;
}

// field: CP932 name.
[[noreturn]] void RecordOverflow(const std::string& field) {
    throw AmountError("「" + Cp932ToUtf8Lenient(field) + "」が扱える金額の範囲（" + RangeText() +
                      "）を超えるため、この金額は入力できません。");
}

[[noreturn]] void TotalOverflow(const std::string& field) {
    throw AmountError("月の合計の「" + Cp932ToUtf8Lenient(field) + "」が扱える金額の範囲（" +
                      RangeText() + "）を超えるため、この金額は入力できません。");
}

const std::string& SalesDateField() {
    static const std::string name = sj("売上日");
    return name;
}
const std::string& WriteModeField() {
    static const std::string name = sj("書込モード");
    return name;
}

// Field positions of the amounts in a table, looked up by name.
template <size_t N>
std::array<int, N> Indexes(const store::Table& table, const std::array<std::string, N>& names) {
    std::array<int, N> out{};
    for (size_t i = 0; i < N; ++i)
        out[i] = table.FieldIndex(names[i]);
    return out;
}

// The record's change against the snapshot, as the totals count it.
TotalAmounts Difference(const AmountSnapshot& now, const AmountSnapshot& before) {
    auto d = [&](int i) { return int64_t{now[i]} - int64_t{before[i]}; };
    TotalAmounts out{};
    out[kTotPrevAdvance] = d(kPrevAdvance);
    out[kTotPrevReceivable] = d(kPrevReceivable);
    out[kTotPrevTotal] = d(kPrevTotal);
    out[kTotFees] = d(kFees);
    out[kTotSales] = d(kSales);
    out[kTotBilled] = d(kBilled);
    out[kTotReceived] = d(kDeposit) + d(kPayment1) + d(kPayment2);
    out[kTotAdjustment] = d(kAdjustment);
    out[kTotAdvanceLeft] = d(kAdvanceLeft);
    out[kTotReceivableLeft] = d(kReceivableLeft);
    out[kTotBalance] = d(kBalance);
    return out;
}

void WriteRecordAmounts(store::Table& ledger, const AmountSnapshot& before,
                        const AmountSnapshot& after) {
    static const auto& names = AmountFieldNames();
    for (int i = 0; i < kAmountCount; ++i) {
        // The three balances are always set, so a new record shows 0, not nothing.
        const bool balance = i == kAdvanceLeft || i == kReceivableLeft || i == kBalance;
        if (after[i] != before[i] || (balance && ledger.Text(names[i]).empty()))
            ledger.SetInt(names[i], after[i]);
    }
}

// A totals record just begun holds 0 in every amount, not nothing, like the
// totals records that closing writes.
void ZeroEmptyTotals(store::Table& totals) {
    if (totals.GetState() != store::State::Insert) return;
    for (const auto& name : TotalFieldNames())
        if (totals.Text(name).empty()) totals.SetInt(name, 0);
}

}  // namespace

const std::array<std::string, kAmountCount>& AmountFieldNames() {
    static const std::array<std::string, kAmountCount> names = {
        sj("先月立替残"), sj("先月売掛残"), sj("先月残合計"), sj("諸費用"),  sj("売上"),
        sj("請求合計"),   sj("お預り"),     sj("入金額1"),    sj("入金額2"), sj("調整額"),
        sj("立替残金"),   sj("売掛残金"),   sj("残金合計"),
    };
    return names;
}

const std::array<std::string, kTotalCount>& TotalFieldNames() {
    static const std::array<std::string, kTotalCount> names = {
        sj("先月立替残"), sj("先月売掛残"), sj("先月残合計"), sj("諸費用"),
        sj("売上"),       sj("請求合計"),   sj("入金額"),     sj("調整額"),
        sj("立替残金"),   sj("売掛残金"),   sj("残金合計"),
    };
    return names;
}

Remaining Allocate(const Owed& o) {
    // x: what is left of the money received once the brought-forward
    // advances are settled.
    const int64_t x = o.received - o.prev_advance;
    Remaining r;
    if (x <= 0) {
        r.advance = o.fees - x;
        r.receivable = o.prev_receivable + o.sales - o.adjustment;
    } else if (x - o.prev_receivable <= 0) {
        r.advance = o.fees;
        r.receivable = o.prev_receivable + o.sales - x - o.adjustment;
    } else if (x - o.prev_receivable - o.fees <= 0) {
        r.advance = o.prev_receivable + o.fees - x;
        r.receivable = o.sales - o.adjustment;
    } else {
        r.advance = 0;
        r.receivable = o.sales - (x - o.prev_receivable - o.fees) - o.adjustment;
    }
    r.total = r.advance + r.receivable;
    return r;
}

Owed OwedOf(const AmountSnapshot& a) {
    Owed o;
    o.prev_advance = a[kPrevAdvance];
    o.prev_receivable = a[kPrevReceivable];
    o.fees = a[kFees];
    o.sales = a[kSales];
    o.received = int64_t{a[kDeposit]} + a[kPayment1] + a[kPayment2];
    o.adjustment = a[kAdjustment];
    return o;
}

SumOf SumOfField(int amount_index) {
    switch (amount_index) {
        case kPrevAdvance:
        case kPrevReceivable:
            return SumOf::BroughtForward;
        case kFees:
        case kSales:
            return SumOf::Billed;
        default:
            return SumOf::None;
    }
}

CarCalcResult PlanCarCalc(const AmountSnapshot& record, SumOf sum, const MonthTotals& month,
                          const AmountSnapshot& snapshot) {
    const auto& names = AmountFieldNames();
    CarCalcResult out;
    out.record = record;
    if (sum == SumOf::BroughtForward) {
        int64_t v = int64_t{record[kPrevAdvance]} + record[kPrevReceivable];
        if (!Fits(v)) RecordOverflow(names[kPrevTotal]);
        out.record[kPrevTotal] = static_cast<int32_t>(v);
    } else if (sum == SumOf::Billed) {
        int64_t v = int64_t{record[kFees]} + record[kSales];
        if (!Fits(v)) RecordOverflow(names[kBilled]);
        out.record[kBilled] = static_cast<int32_t>(v);
    }
    const Remaining r = Allocate(OwedOf(out.record));
    if (!Fits(r.advance)) RecordOverflow(names[kAdvanceLeft]);
    if (!Fits(r.receivable)) RecordOverflow(names[kReceivableLeft]);
    if (!Fits(r.total)) RecordOverflow(names[kBalance]);
    out.record[kAdvanceLeft] = static_cast<int32_t>(r.advance);
    out.record[kReceivableLeft] = static_cast<int32_t>(r.receivable);
    out.record[kBalance] = static_cast<int32_t>(r.total);

    // Only the open month, or the only month of a fresh ledger, follows its
    // records; a closed month's totals stay as they were closed.
    out.totals_reached = month.write_mode == 1 || month.single_month;
    if (!out.totals_reached) return out;
    const TotalAmounts diff = Difference(out.record, snapshot);
    const auto& total_names = TotalFieldNames();
    for (int i = 0; i < kTotalCount; ++i) {
        out.totals[i] = month.amounts[i] + diff[i];
        if (!Fits(out.totals[i])) TotalOverflow(total_names[i]);
    }
    return out;
}

AmountSnapshot ReadAmounts(const store::Table& ledger) {
    const auto idx = Indexes(ledger, AmountFieldNames());
    AmountSnapshot out{};
    for (int i = 0; i < kAmountCount; ++i)
        out[i] = ledger.Int(idx[i]);
    return out;
}

TotalAmounts ReadTotals(const store::Table& totals) {
    TotalAmounts out{};
    if (totals.GetState() == store::State::Browse && totals.RecordCount() == 0) return out;
    const auto idx = Indexes(totals, TotalFieldNames());
    for (int i = 0; i < kTotalCount; ++i)
        out[i] = totals.Int(idx[i]);
    return out;
}

namespace {

int ReadWriteMode(const store::Table& totals) {
    if (totals.GetState() == store::State::Browse && totals.RecordCount() == 0) return 0;
    return totals.Int(WriteModeField());
}

MonthTotals MonthOf(const store::Table& totals, const TotalsContext& context) {
    MonthTotals m;
    m.write_mode = ReadWriteMode(totals);
    m.single_month = context.single_month;
    m.amounts = ReadTotals(totals);
    return m;
}

bool Apply(store::Table& ledger, store::Table& totals, const TotalsContext& context,
           AmountSnapshot& snapshot, const AmountSnapshot& before, const CarCalcResult& plan) {
    if (plan.totals_reached && totals.GetState() == store::State::Browse) totals.Edit();
    WriteRecordAmounts(ledger, before, plan.record);
    if (!plan.totals_reached) return false;
    totals.SetText(SalesDateField(), context.selected_month_label);
    totals.SetInt(WriteModeField(), 1);
    ZeroEmptyTotals(totals);
    const auto& names = TotalFieldNames();
    const TotalAmounts now = ReadTotals(totals);
    for (int i = 0; i < kTotalCount; ++i)
        if (plan.totals[i] != now[i]) totals.SetInt(names[i], plan.totals[i]);
    snapshot = plan.record;
    return true;
}

}  // namespace

bool CarCalc(store::Table& ledger, store::Table& totals, const TotalsContext& context,
             AmountSnapshot& snapshot) {
    const AmountSnapshot before = ReadAmounts(ledger);
    const CarCalcResult plan = PlanCarCalc(before, SumOf::None, MonthOf(totals, context), snapshot);
    return Apply(ledger, totals, context, snapshot, before, plan);
}

bool AmountFieldExit(store::Table& ledger, store::Table& totals, SumOf sum,
                     const TotalsContext& context, AmountSnapshot& snapshot) {
    // Entering edit takes the snapshot (the ledger's edit handler).
    if (ledger.GetState() == store::State::Browse) ledger.Edit();
    const AmountSnapshot before = ReadAmounts(ledger);
    const CarCalcResult plan = PlanCarCalc(before, sum, MonthOf(totals, context), snapshot);
    return Apply(ledger, totals, context, snapshot, before, plan);
}

void CheckAmountEntry(const store::Table& ledger, const store::Table& totals, int amount_index,
                      std::optional<int32_t> value, const TotalsContext& context,
                      const AmountSnapshot& snapshot) {
    AmountSnapshot record = ReadAmounts(ledger);
    if (amount_index >= 0 && amount_index < kAmountCount) record[amount_index] = value.value_or(0);
    // The snapshot the totals will be counted against: the record's own values
    // when it is not yet being edited (editing takes it then).
    const AmountSnapshot& base =
        ledger.GetState() == store::State::Browse ? ReadAmounts(ledger) : snapshot;
    PlanCarCalc(record, SumOfField(amount_index), MonthOf(totals, context), base);
}

void SubtractFromTotals(const store::Table& ledger, store::Table& totals,
                        const AmountSnapshot* counted) {
    if (totals.GetState() == store::State::Browse && totals.RecordCount() == 0) return;
    const AmountSnapshot record = counted ? *counted : ReadAmounts(ledger);
    const TotalAmounts now = ReadTotals(totals);
    const TotalAmounts diff = Difference(AmountSnapshot{}, record);
    const auto& names = TotalFieldNames();
    TotalAmounts after{};
    for (int i = 0; i < kTotalCount; ++i) {
        after[i] = now[i] + diff[i];
        if (!Fits(after[i])) TotalOverflow(names[i]);
    }
    if (totals.GetState() == store::State::Browse) totals.Edit();
    for (int i = 0; i < kTotalCount; ++i)
        if (after[i] != now[i]) totals.SetInt(names[i], after[i]);
    totals.Post();
}

void WriteTotalsAfterPost(const store::Table& ledger, store::Table& totals,
                          const TotalsContext& context) {
    const bool empty_view = ledger.GetState() == store::State::Browse && ledger.RecordCount() == 0;
    WriteTotalsAfterPost(empty_view ? std::string() : ledger.Text(SalesDateField()), totals,
                         context);
}

void WriteTotalsAfterPost(std::string_view posted_sales_date, store::Table& totals,
                          const TotalsContext& context) {
    if (totals.GetState() == store::State::Browse) {
        totals.Edit();
        if (!posted_sales_date.substr(0, 16).empty())
            totals.SetText(SalesDateField(), context.selected_month_label);
        if (context.single_month) totals.SetInt(WriteModeField(), 1);
    }
    if (totals.GetState() == store::State::Browse) return;
    if (totals.GetState() == store::State::Insert && totals.Text(SalesDateField()).empty()) {
        totals.Cancel();
        return;
    }
    ZeroEmptyTotals(totals);
    totals.Post();
}

// ---- Amount text ------------------------------------------------------------

std::optional<int32_t> ParseAmount(std::string_view text) {
    static const std::string kFullBlank = sj("　");
    static const std::string kFullMinus = sj("－");
    static const std::string kFullPlus = sj("＋");
    static const std::string kFullComma = sj("，");
    auto starts = [&](size_t at, const std::string& s) {
        return text.compare(at, s.size(), s) == 0;
    };
    size_t i = 0, end = text.size();
    auto skip_blanks = [&]() {
        for (;;) {
            if (i < end && (text[i] == ' ' || text[i] == '\t')) {
                ++i;
            } else if (starts(i, kFullBlank)) {
                i += kFullBlank.size();
            } else {
                break;
            }
        }
    };
    skip_blanks();
    // Blanks at the end.
    for (;;) {
        if (end > i && (text[end - 1] == ' ' || text[end - 1] == '\t')) {
            --end;
        } else if (end >= i + 2 && text.substr(end - 2, 2) == kFullBlank) {
            end -= 2;
        } else {
            break;
        }
    }
    if (i == end) return std::nullopt;
    auto bad = []() -> AmountError {
        return AmountError("金額は整数で入力してください（例: 12000、-3,500）。");
    };
    text = text.substr(0, end);
    bool negative = false;
    if (text[i] == '-') {
        negative = true;
        ++i;
    } else if (text[i] == '+') {
        ++i;
    } else if (starts(i, kFullMinus)) {
        negative = true;
        i += 2;
    } else if (starts(i, kFullPlus)) {
        i += 2;
    }
    int64_t value = 0;
    int digits = 0;
    bool after_digit = false;
    bool too_large = false;
    while (i < end) {
        int d = -1;
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= '0' && c <= '9') {
            d = c - '0';
            ++i;
        } else if (c == 0x82 && i + 1 < end) {
            // Full-width digits ０ … ９ are 0x824F … 0x8258.
            unsigned char t = static_cast<unsigned char>(text[i + 1]);
            if (t >= 0x4F && t <= 0x58) {
                d = t - 0x4F;
                i += 2;
            }
        } else if (c == ',' || starts(i, kFullComma)) {
            // A separator stands between digits.
            size_t width = c == ',' ? 1 : 2;
            if (!after_digit || i + width >= end) throw bad();
            i += width;
            after_digit = false;
            continue;
        }
        if (d < 0) throw bad();
        after_digit = true;
        ++digits;
        if (!too_large) {
            value = value * 10 + d;
            if (value > kMax + 1) too_large = true;
        }
    }
    if (digits == 0 || !after_digit) throw bad();
    if (negative) value = -value;
    if (too_large || !Fits(value))
        throw AmountError("金額は " + RangeText() + " の範囲で入力してください。");
    return static_cast<int32_t>(value);
}

void MoneyCheck(std::string& text) {
    const size_t m = (!text.empty() && text[0] == '-') ? 1 : 0;
    if (text.size() >= 7 + m) text.insert(text.size() - 6, ",");
    if (text.size() >= 4 + m) text.insert(text.size() - 3, ",");
}

std::string YenText(int64_t value) {
    std::string digits = std::to_string(value);
    MoneyCheck(digits);
    return "\\" + digits;
}

// ---- The personal-mode totals line -------------------------------------------

PersonalTotals PrTotalCalc(const store::Table& ledger, const NewestMonth& newest, int settle_day) {
    const auto amount = Indexes(ledger, AmountFieldNames());
    const int sales_date = ledger.FieldIndex(SalesDateField());
    PersonalTotals out;
    const int count = ledger.RecordCount();
    for (int n = 1; n <= count; ++n) {
        const store::Record rec = ledger.ReadAt(n);
        const std::string& date = rec.Text(sales_date);
        const bool counted = settle_day == 0
                                 ? std::string_view(date).substr(0, 16) == newest.label
                                 : date >= newest.period_start && date <= newest.period_end;
        if (!counted) continue;
        AmountSnapshot a{};
        for (int i = 0; i < kAmountCount; ++i)
            a[i] = rec.Int(amount[i]);
        const TotalAmounts d = Difference(a, AmountSnapshot{});
        for (int i = 0; i < kTotalCount; ++i)
            out.sums[i] += d[i];
    }
    for (int i = 0; i < kTotalCount; ++i)
        out.texts[i] = YenText(out.sums[i]);
    static const std::string open = sj("（"), close = sj("分）"), left = sj("残　金");
    out.label = open + newest.label + close;
    out.total_label = left;
    return out;
}

}  // namespace ravelto::accounting
