#include "core/ledgerwin/bridge.h"

#include <array>
#include <cstdio>

#include "core/ledger/cp932.h"

namespace ravelto::ledgerwin {

// Stand-in until the shared era formatting joins this branch.
std::string EraDateString(const Date& date) {
    struct Era {
        Date from;
        const char* name;
        int offset;
    };
    static const std::array<Era, 4> eras{{{{1989, 1, 8}, "平成", 1988},
                                          {{1926, 12, 25}, "昭和", 1925},
                                          {{1912, 7, 30}, "大正", 1911},
                                          {{1868, 1, 1}, "明治", 1867}}};
    const Era* era = &eras.back();
    for (const Era& e : eras) {
        if (date >= e.from) {
            era = &e;
            break;
        }
    }
    char digits[32];
    std::snprintf(digits, sizeof digits, "%02d%02d%02d", (date.year - era->offset) % 100,
                  date.month % 100, date.day % 100);
    auto full = [](char c) { return std::string{char(0x82), char(c + 0x1F)}; };
    static const std::string nen = sj("年"), tsuki = sj("月"), hi = sj("日");
    std::string out = sj(era->name);
    out += full(digits[0]) + full(digits[1]) + nen + full(digits[2]) + full(digits[3]) + tsuki +
           full(digits[4]) + full(digits[5]) + hi;
    return out;
}

std::string MonthLabelOf(const Date& date) {
    return EraDateString(date).substr(0, 16);
}

std::string Quoted(std::string_view value) {
    std::string out = "'";
    for (char c : value) {
        if (c == '\'') out += '\'';
        out += c;
    }
    out += '\'';
    return out;
}

}  // namespace ravelto::ledgerwin
