#include "core/ledger/eradate.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "core/ledger/cp932.h"

namespace ravelto {

const std::array<EraEntry, 4> kEraTable{{
    {Era::kMeiji, "明治", {1868, 1, 1}, 1867},
    {Era::kTaisho, "大正", {1912, 7, 30}, 1911},
    {Era::kShowa, "昭和", {1926, 12, 25}, 1925},
    {Era::kHeisei, "平成", {1989, 1, 8}, 1988},
}};

namespace {

// Beyond any year, month or day a date can hold; keeps the accumulator bounded.
constexpr int kAccumulatorLimit = 1000000;

const EraEntry& Entry(Era era) {
    return kEraTable[static_cast<size_t>(era)];
}

const std::array<std::string, 4>& EraNames() {
    static const auto names = [] {
        std::array<std::string, kEraTable.size()> result;
        for (size_t i = 0; i < kEraTable.size(); ++i)
            result[i] = sj(kEraTable[i].name);
        return result;
    }();
    return names;
}

std::string Describe(Date date) {
    char text[64];
    std::snprintf(text, sizeof text, "%d年%d月%d日", date.year, date.month, date.day);
    return text;
}

void CheckWritable(Date date) {
    if (!IsValidDate(date)) throw DateError("日付が正しくありません: " + Describe(date));
    if (date < kFirstEraDate)
        throw DateError("明治元年より前の日付は扱えません: " + Describe(date));
    if (date > kLastEraDate)
        throw DateError("平成９９年より後の日付は扱えません: " + Describe(date));
}

// The double-byte form of each printable ASCII character (0x20–0x7E), taken
// from the full-width block of Unicode through the CP932 converter.
const std::array<std::string, 0x5F>& FullWidthAscii() {
    static const auto table = [] {
        std::array<std::string, 0x5F> result;
        result[0] = sj("　");
        for (unsigned c = 0x21; c <= 0x7E; ++c) {
            const unsigned code_point = 0xFF01 + (c - 0x21);  // U+FF01..U+FF5E
            const char utf8[] = {static_cast<char>(0xE0 | (code_point >> 12)),
                                 static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)),
                                 static_cast<char>(0x80 | (code_point & 0x3F))};
            result[c - 0x20] = Utf8ToCp932(std::string_view(utf8, sizeof utf8));
        }
        return result;
    }();
    return table;
}

}  // namespace

Date SystemClock::Today() const {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return Date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    switch (month) {
        case 2:
            return IsLeapYear(year) ? 29 : 28;
        case 4:
        case 6:
        case 9:
        case 11:
            return 30;
        default:
            return 31;
    }
}

bool IsValidDate(Date date) {
    return date.month >= 1 && date.month <= 12 && date.day >= 1 &&
           date.day <= DaysInMonth(date.year, date.month);
}

const std::string& EraName(Era era) {
    return EraNames()[static_cast<size_t>(era)];
}

int EraOffset(Era era) {
    return Entry(era).offset;
}

EraYear EraOfDate(Date date) {
    CheckWritable(date);
    for (auto it = kEraTable.rbegin(); it != kEraTable.rend(); ++it)
        if (date >= it->applies_from) return {it->era, date.year - it->offset};
    throw DateError("明治元年より前の日付は扱えません: " + Describe(date));  // unreachable
}

EraYear EraOfYear(int year) {
    const Era era = year <= 1911   ? Era::kMeiji
                    : year <= 1925 ? Era::kTaisho
                    : year <= 1988 ? Era::kShowa
                                   : Era::kHeisei;
    return {era, year - EraOffset(era)};
}

EraYear RollEra(EraYear shown) {
    for (;;) {
        if (shown.era == Era::kMeiji && shown.year > 44) {
            shown = {Era::kTaisho, shown.year - 44};
        } else if (shown.era == Era::kTaisho && shown.year == 0) {
            shown = {Era::kMeiji, 44};
        } else if (shown.era == Era::kTaisho && shown.year > 14) {
            shown = {Era::kShowa, shown.year - 14};
        } else if (shown.era == Era::kShowa && shown.year == 0) {
            shown = {Era::kTaisho, 14};
        } else if (shown.era == Era::kShowa && shown.year >= 64) {
            shown = {Era::kHeisei, shown.year - 63};
        } else if (shown.era == Era::kHeisei && shown.year == 0) {
            shown = {Era::kShowa, 63};
        } else {
            return shown;
        }
    }
}

std::string FormatEraDate(Date date) {
    static const std::string kYear = sj("年"), kMonth = sj("月"), kDay = sj("日");
    const EraYear era = EraOfDate(date);
    char year[8], month[8], day[8];
    std::snprintf(year, sizeof year, "%02d", era.year);
    std::snprintf(month, sizeof month, "%02d", date.month);
    std::snprintf(day, sizeof day, "%02d", date.day);
    return EraName(era.era) + year + kYear + month + kMonth + day + kDay;
}

std::string DateToEraString(Date date) {
    return ChangeChar(FormatEraDate(date));
}

std::string ChangeChar(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= 0x20)
        ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 0x20)
        --end;

    const auto& full_width = FullWidthAscii();
    std::string out;
    out.reserve(2 * (end - begin));
    for (size_t i = begin; i < end; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c >= 0x80 && c <= 0x9F) || c >= 0xE0) {
            out += text[i];
            if (i + 1 < end) out += text[++i];
        } else if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) {
            out += '\x82';
            out += static_cast<char>(c + 0x1F);
        } else if (c >= 0x20 && c <= 0x7E) {
            out += full_width[c - 0x20];
        } else {
            out += text[i];  // control bytes, 0xA0, half-width katakana
        }
    }
    return out;
}

std::string MonthLabel(std::string_view era_date) {
    return std::string(era_date.substr(0, kMonthLabelBytes));
}

Date CharToDate(std::string_view text, const Clock& clock) {
    const auto& era_names = EraNames();

    Date date = clock.Today();
    int offset = 0;
    for (size_t i = 0; i < era_names.size(); ++i) {
        if (text.substr(0, 4) == era_names[i]) {
            offset = kEraTable[i].offset;
            text.remove_prefix(4);
            break;
        }
    }

    int accumulator = 0;
    int slot = 1;  // 1 year, 2 month, 3 day
    auto add_digit = [&](int digit) {
        accumulator = std::min(accumulator * 10 + digit, kAccumulatorLimit);
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (byte == 0x82 && next >= 0x4F && next <= 0x58) {
            add_digit(next - 0x4F);
            ++i;
        } else if (byte >= '0' && byte <= '9') {
            add_digit(byte - '0');
        } else {
            // A separator such as 年, 月 or 日 closes the number before it.
            if (accumulator != 0 || offset != 0) {
                const int value = accumulator + offset;
                if (slot == 1) date.year = value;
                if (slot == 2) date.month = value;
                if (slot == 3) date.day = value;
            }
            ++slot;
            offset = 0;
            accumulator = 0;
            ++i;  // the separator's second byte (past the end is simply the end)
        }
    }

    date.month = std::clamp(date.month, 1, 12);
    // Every month's own length, so the result is always a real date (a day of
    // 35 in April is 30, not 31).
    date.day = std::clamp(date.day, 1, DaysInMonth(date.year, date.month));
    return date;
}

}  // namespace ravelto
