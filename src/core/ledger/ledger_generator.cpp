#include "core/ledger/ledger_generator.h"

#include <algorithm>
#include <array>

#include "core/ledger/cp932.h"
#include "core/ledger/eradate.h"
#include "core/ledger/ledger_tables.h"
#include "core/ledger/month_period.h"

namespace ravelto::ledger {

namespace {

// A small generator of our own: the standard distributions differ between
// libraries, and the ledgers must be the same everywhere.
class Rng {
  public:
    explicit Rng(uint64_t seed) : s_(seed) {}
    uint64_t Next() {
        uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint64_t>(n)); }
    int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
    bool Chance(int percent) { return Below(100) < percent; }
    template <typename T, size_t N>
    const T& Pick(const std::array<T, N>& a) {
        return a[Below(static_cast<int>(N))];
    }

  private:
    uint64_t s_;
};

struct NameReading {
    const char* name;
    const char* reading;
};

const std::array<NameReading, 20> kFamilies = {{
    {"山田", "ﾔﾏﾀﾞ"}, {"佐藤", "ｻﾄｳ"},   {"鈴木", "ｽｽﾞｷ"}, {"高橋", "ﾀｶﾊｼ"},  {"田中", "ﾀﾅｶ"},
    {"伊藤", "ｲﾄｳ"},  {"渡辺", "ﾜﾀﾅﾍﾞ"}, {"中村", "ﾅｶﾑﾗ"}, {"小林", "ｺﾊﾞﾔｼ"}, {"加藤", "ｶﾄｳ"},
    {"吉田", "ﾖｼﾀﾞ"}, {"山本", "ﾔﾏﾓﾄ"},  {"松本", "ﾏﾂﾓﾄ"}, {"井上", "ｲﾉｳｴ"},  {"木村", "ｷﾑﾗ"},
    {"林", "ﾊﾔｼ"},    {"斎藤", "ｻｲﾄｳ"},  {"清水", "ｼﾐｽﾞ"}, {"山口", "ﾔﾏｸﾞﾁ"}, {"森", "ﾓﾘ"},
}};
const std::array<NameReading, 12> kGiven = {{
    {"太郎", "ﾀﾛｳ"},
    {"花子", "ﾊﾅｺ"},
    {"一郎", "ｲﾁﾛｳ"},
    {"健", "ｹﾝ"},
    {"美咲", "ﾐｻｷ"},
    {"大輔", "ﾀﾞｲｽｹ"},
    {"直樹", "ﾅｵｷ"},
    {"由美", "ﾕﾐ"},
    {"誠", "ﾏｺﾄ"},
    {"恵", "ﾒｸﾞﾐ"},
    {"浩二", "ｺｳｼﾞ"},
    {"裕子", "ﾕｳｺ"},
}};
const std::array<NameReading, 6> kCompanies = {{
    {"有限会社山田運送", "ﾔﾏﾀﾞｳﾝｿｳ"},
    {"株式会社東和商事", "ﾄｳﾜｼｮｳｼﾞ"},
    {"丸山建設株式会社", "ﾏﾙﾔﾏｹﾝｾﾂ"},
    {"有限会社青空タクシー", "ｱｵｿﾞﾗﾀｸｼｰ"},
    {"株式会社みどり農園", "ﾐﾄﾞﾘﾉｳｴﾝ"},
    {"大和設備工業", "ﾔﾏﾄｾﾂﾋﾞｺｳｷﾞｮｳ"},
}};
struct Area {
    const char* plate;
    const char* address;
    const char* postal;
    const char* phone;
};
const std::array<Area, 8> kAreas = {{
    {"品川", "東京都品川区南大井", "140-0013", "03-3761"},
    {"練馬", "東京都練馬区豊玉北", "176-0012", "03-3991"},
    {"足立", "東京都足立区千住", "120-0034", "03-3882"},
    {"多摩", "東京都府中市宮町", "183-0023", "042-361"},
    {"横浜", "神奈川県横浜市港北区大倉山", "222-0037", "045-541"},
    {"大宮", "埼玉県さいたま市大宮区桜木町", "330-0854", "048-641"},
    {"所沢", "埼玉県所沢市日吉町", "359-1123", "04-2922"},
    {"千葉", "千葉県千葉市中央区新町", "260-0028", "043-241"},
}};
const std::array<const char*, 10> kPlateKana = {"さ", "す", "せ", "そ", "た",
                                                "ち", "つ", "て", "と", "な"};
const std::array<const char*, 12> kCars = {"プリウス", "カローラ",   "フィット", "ノート",
                                           "セレナ",   "ハイエース", "ヴィッツ", "デミオ",
                                           "ワゴンＲ", "タント",     "クラウン", "ステップワゴン"};
const std::array<const char*, 8> kTitles = {"車検整備",   "一般整備", "板金塗装",   "タイヤ交換",
                                            "オイル交換", "部品販売", "中古車販売", "１２ヶ月点検"};
const std::array<const char*, 4> kKinds = {"車検", "整備", "鈑金", "販売"};
const std::array<const char*, 4> kStaff = {"佐々木", "大野", "石井", "前田"};
const std::array<const char*, 3> kPayKinds = {"現金", "振込", "手形"};

// Full-width digits of a number, as addresses are written.
std::string FullWidth(int value) {
    return ChangeChar(std::to_string(value));
}

Date NextDay(Date d) {
    if (d.day < DaysInMonth(d.year, d.month)) return {d.year, d.month, d.day + 1};
    YearMonth m = NextMonth({d.year, d.month});
    return {m.year, m.month, 1};
}

Date DaysBefore(Date d, int days) {
    for (; days > 0; --days) {
        if (d.day > 1) {
            --d.day;
        } else {
            YearMonth m = PreviousMonth({d.year, d.month});
            d = {m.year, m.month, DaysInMonth(m.year, m.month)};
        }
    }
    return d;
}

// The days of a month period in order: those whose period is the month.
std::vector<Date> DaysOf(YearMonth month, int settle_day) {
    YearMonth before = PreviousMonth(month);
    std::vector<Date> days;
    for (Date d{before.year, before.month, 1};
         d <= Date{month.year, month.month, DaysInMonth(month.year, month.month)}; d = NextDay(d))
        if (MonthOfDate(d, settle_day) == month) days.push_back(d);
    return days;
}

struct Customer {
    std::string name, reading, address, postal, phone, plate, car;
};

Customer MakeCustomer(Rng& r) {
    Customer c;
    if (r.Chance(12)) {
        const auto& co = r.Pick(kCompanies);
        c.name = sj(co.name);
        c.reading = sj(co.reading);
    } else {
        const auto& f = r.Pick(kFamilies);
        const auto& g = r.Pick(kGiven);
        c.name = sj(f.name) + sj(g.name);
        c.reading = sj(f.reading) + " " + sj(g.reading);
    }
    const auto& a = r.Pick(kAreas);
    c.address = sj(a.address) + FullWidth(r.Between(1, 5)) + sj("－") +
                FullWidth(r.Between(1, 30)) + sj("－") + FullWidth(r.Between(1, 20));
    c.postal = a.postal;
    c.phone = std::string(a.phone) + "-" + std::to_string(r.Between(1000, 9999));
    c.plate = sj(a.plate) + " " + std::to_string(r.Pick(std::array<int, 4>{300, 500, 330, 400})) +
              " " + sj(r.Pick(kPlateKana)) + " " + std::to_string(r.Between(10, 99)) + "-" +
              std::to_string(r.Between(10, 99));
    c.car = sj(r.Pick(kCars));
    return c;
}

struct Amounts {
    int32_t prev_adv = 0, prev_recv = 0, fees = 0, sales = 0, deposit = 0, pay1 = 0, pay2 = 0,
            adjust = 0;
    int32_t adv_left = 0, recv_left = 0;
};

// The balance calculation: money received settles the brought-forward
// advances, the brought-forward receivables, the fees and the sales in turn.
void Balance(Amounts& a) {
    int64_t received = int64_t{a.deposit} + a.pay1 + a.pay2;
    int64_t x = received - a.prev_adv;
    int64_t A = a.prev_adv, B = a.prev_recv, F = a.fees, S = a.sales, J = a.adjust;
    int64_t adv, recv;
    if (x <= 0) {
        adv = F - x;
        recv = B + S - J;
    } else if (x - B <= 0) {
        adv = F;
        recv = B + S - x - J;
    } else if (x - B - F <= 0) {
        adv = B + F - x;
        recv = S - J;
    } else {
        adv = 0;
        recv = S - (x - B - F) - J;
    }
    (void)A;
    a.adv_left = static_cast<int32_t>(adv);
    a.recv_left = static_cast<int32_t>(recv);
}

}  // namespace

GeneratedLedger GenerateLedger(store::Database& db, const GeneratorOptions& opt) {
    Rng r(opt.seed);
    GeneratedLedger out;
    const int per_month = std::max(1, opt.per_month);
    const int months = std::max(1, (opt.records + per_month - 1) / per_month);
    FixedClock clock(Date{opt.year, opt.month, 1});

    std::vector<Customer> customers;
    int pool = std::max(20, opt.records / 6);
    customers.reserve(pool);
    for (int i = 0; i < pool; ++i)
        customers.push_back(MakeCustomer(r));

    store::Table& ledger = db.Open(ReceiveTable());
    store::Table& totals = db.Open(TotalsTable());
    store::Transaction tx(db);

    int remaining = opt.records;
    YearMonth month{opt.year, opt.month};
    for (int k = 1; k < months; ++k)
        month = PreviousMonth(month);
    for (int mi = 0; mi < months; ++mi, month = NextMonth(month)) {
        bool open_month = mi == months - 1;
        int count = std::min(per_month, remaining);
        remaining -= count;
        std::string label = MonthLabelOf(month, opt.settle_day);
        out.month_labels.push_back(label);
        out.month_counts.push_back(count);
        const std::vector<Date> days = DaysOf(month, opt.settle_day);

        std::array<int64_t, 11> sums{};
        for (int i = 0; i < count; ++i) {
            const Customer& c =
                customers[static_cast<size_t>(r.Below(pool) * r.Below(pool) / pool)];
            Amounts a;
            bool carry = r.Chance(6);
            std::string sales_date;
            Date date = days[static_cast<size_t>(days.size() * i / std::max(1, count))];
            int write_mode = 0;
            if (carry) {
                sales_date = label;
                write_mode = 2;
                a.prev_adv = r.Chance(40) ? r.Between(1, 400) * 100 : 0;
                a.prev_recv = r.Between(1, 2000) * 100;
            } else {
                sales_date = DateToEraString(date);
                write_mode = r.Chance(35) ? 1 : 0;
                a.fees = r.Chance(45) ? r.Between(100, 900) * 100 : 0;
                a.sales = r.Between(30, 3000) * 100;
            }
            int64_t owed = int64_t{a.prev_adv} + a.prev_recv + a.fees + a.sales;
            int kind = r.Below(10);
            if (kind < 6) {
                a.pay1 = static_cast<int32_t>(owed);  // paid in full
            } else if (kind < 8) {
                a.deposit = static_cast<int32_t>(owed / 2 / 100 * 100);
                a.pay1 = r.Chance(50) ? static_cast<int32_t>(owed - a.deposit) : 0;
            } else if (kind < 9) {
                a.pay1 = static_cast<int32_t>(owed / 3 / 100 * 100);
                a.pay2 = static_cast<int32_t>(owed / 3 / 100 * 100);
            }
            if (r.Chance(5)) a.adjust = r.Between(1, 50) * 10;
            Balance(a);
            int32_t balance = a.adv_left + a.recv_left;
            if (!open_month && balance != 0 && !carry) write_mode = 3;

            ledger.Append();
            using namespace rcv;
            ledger.SetText(kSalesDate, sales_date);
            if (!carry) {
                ledger.SetText(kInDate, DateToEraString(DaysBefore(date, r.Between(0, 6))));
                ledger.SetText(kOutDate, DateToEraString(date));
            }
            ledger.SetText(kFurigana, c.reading);
            ledger.SetText(kName, c.name);
            ledger.SetText(kTitle, carry ? sj("繰越") : sj(r.Pick(kTitles)));
            ledger.SetText(kRegNo, c.plate);
            ledger.SetText(kCarName, c.car);
            ledger.SetText(kPostCode, c.postal);
            ledger.SetText(kAddress, c.address);
            ledger.SetText(kPhone, c.phone);
            ledger.SetInt(kPrevAdvance, a.prev_adv);
            ledger.SetInt(kPrevReceivable, a.prev_recv);
            ledger.SetInt(kPrevTotal, int64_t{a.prev_adv} + a.prev_recv);
            ledger.SetInt(kFees, a.fees);
            ledger.SetInt(kSales, a.sales);
            ledger.SetInt(kBilled, int64_t{a.fees} + a.sales);
            if (a.deposit) {
                ledger.SetText(kDepositDate, DateToEraString(date));
                ledger.SetInt(kDeposit, a.deposit);
                ledger.SetText(kDepositKind, sj(r.Pick(kPayKinds)));
            }
            if (a.pay1) {
                ledger.SetText(kPayDate1, DateToEraString(date));
                ledger.SetInt(kPayment1, a.pay1);
                ledger.SetText(kPayKind1, sj(r.Pick(kPayKinds)));
            }
            if (a.pay2) {
                ledger.SetText(kPayDate2, DateToEraString(date));
                ledger.SetInt(kPayment2, a.pay2);
                ledger.SetText(kPayKind2, sj(r.Pick(kPayKinds)));
            }
            if (a.adjust) ledger.SetInt(kAdjustment, a.adjust);
            ledger.SetInt(kAdvanceLeft, a.adv_left);
            ledger.SetInt(kReceivableLeft, a.recv_left);
            ledger.SetInt(kBalance, balance);
            ledger.SetInt(kWriteMode, write_mode);
            if (write_mode == 1 || (!carry && r.Chance(30))) {
                ledger.SetText(kJobKind, sj(r.Pick(kKinds)));
                ledger.SetText(kMileage, std::to_string(r.Between(1000, 150000)));
                ledger.SetText(kReceptionStaff, sj(r.Pick(kStaff)));
                ledger.SetText(kMechanic, sj(r.Pick(kStaff)));
                ledger.SetInt(kPartsTotal, a.sales / 2);
                ledger.SetInt(kLabourTotal, a.sales - a.sales / 2);
            }
            ledger.SetText(kExcludeFromTotal, r.Chance(3) ? "True" : "False");
            ledger.SetInt(kSalesDateKey, SalesDateKey(sales_date, opt.settle_day, clock));
            ledger.Post();

            const int64_t v[11] = {a.prev_adv,
                                   a.prev_recv,
                                   int64_t{a.prev_adv} + a.prev_recv,
                                   a.fees,
                                   a.sales,
                                   int64_t{a.fees} + a.sales,
                                   int64_t{a.deposit} + a.pay1 + a.pay2,
                                   a.adjust,
                                   a.adv_left,
                                   a.recv_left,
                                   balance};
            for (int k = 0; k < 11; ++k)
                sums[static_cast<size_t>(k)] += v[k];
        }

        totals.Append();
        totals.SetText(tot::kSalesDate, label);
        for (int k = 0; k < 11; ++k)
            totals.SetInt(tot::kPrevAdvance + k, sums[static_cast<size_t>(k)]);
        totals.SetInt(tot::kWriteMode, open_month ? 1 : 2);
        totals.Post();
        out.records += count;
    }
    tx.Commit();
    return out;
}

}  // namespace ravelto::ledger
