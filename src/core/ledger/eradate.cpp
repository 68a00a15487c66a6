#include "core/ledger/eradate.h"

#include <algorithm>
#include <array>
#include <ctime>

#include "core/ledger/cp932.h"

namespace ravelto {

namespace {

struct EraName {
    const char* utf8;
    int offset;
};
constexpr std::array<EraName, 4> kEraNames{
    {{"明治", 1867}, {"大正", 1911}, {"昭和", 1925}, {"平成", 1988}}};

// Beyond any year, month or day a date can hold; keeps the accumulator bounded.
constexpr int kAccumulatorLimit = 1000000;

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

Date CharToDate(std::string_view text, const Clock& clock) {
    static const auto era_names = [] {
        std::array<std::string, kEraNames.size()> names;
        for (size_t i = 0; i < kEraNames.size(); ++i)
            names[i] = sj(kEraNames[i].utf8);
        return names;
    }();

    Date date = clock.Today();
    int offset = 0;
    for (size_t i = 0; i < era_names.size(); ++i) {
        if (text.substr(0, 4) == era_names[i]) {
            offset = kEraNames[i].offset;
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
