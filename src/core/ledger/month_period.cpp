#include "core/ledger/month_period.h"

#include "core/ledger/cp932.h"

namespace ravelto {

namespace {

void CheckSettleDay(int settle_day) {
    if (!IsValidSettleDay(settle_day))
        throw DateError("締め日が正しくありません: " + std::to_string(settle_day));
}

// Two full-width digits (０ is 0x82 0x4F) at text[at]; -1 when they are not.
int FullWidthNumber(std::string_view text, size_t at) {
    int value = 0;
    for (size_t i = at; i < at + 4; i += 2) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const auto trail = static_cast<unsigned char>(text[i + 1]);
        if (lead != 0x82 || trail < 0x4F || trail > 0x58) return -1;
        value = value * 10 + (trail - 0x4F);
    }
    return value;
}

YearMonth LabelOrThrow(std::string_view label) {
    if (auto month = ParseMonthLabel(label)) return *month;
    throw DateError("月の表示が正しくありません: " + Cp932ToUtf8Lenient(label));
}

}  // namespace

bool IsValidSettleDay(int settle_day) {
    return settle_day >= 0 && settle_day <= 27;
}

YearMonth NextMonth(YearMonth month) {
    return month.month >= 12 ? YearMonth{month.year + 1, 1}
                             : YearMonth{month.year, month.month + 1};
}

YearMonth PreviousMonth(YearMonth month) {
    return month.month <= 1 ? YearMonth{month.year - 1, 12}
                            : YearMonth{month.year, month.month - 1};
}

std::optional<YearMonth> ParseMonthLabel(std::string_view label) {
    static const std::string kYear = sj("年"), kMonth = sj("月");
    if (label.size() < 16) return std::nullopt;
    for (const auto& entry : kEraTable) {
        if (label.substr(0, 4) != EraName(entry.era)) continue;
        const int year = FullWidthNumber(label, 4);
        const int month = FullWidthNumber(label, 10);
        if (year < 1 || label.substr(8, 2) != kYear || month < 1 || month > 12 ||
            label.substr(14, 2) != kMonth)
            return std::nullopt;
        return YearMonth{year + entry.offset, month};
    }
    return std::nullopt;
}

std::string MonthLabelOf(YearMonth month, int settle_day) {
    CheckSettleDay(settle_day);
    return MonthLabel(DateToEraString({month.year, month.month, settle_day > 0 ? settle_day : 1}));
}

MonthPeriod PeriodOf(YearMonth month, int settle_day) {
    CheckSettleDay(settle_day);
    if (settle_day == 0) {
        return {DateToEraString({month.year, month.month, 1}),
                DateToEraString({month.year, month.month, DaysInMonth(month.year, month.month)})};
    }
    const YearMonth before = PreviousMonth(month);
    return {DateToEraString({before.year, before.month, settle_day + 1}),
            DateToEraString({month.year, month.month, settle_day})};
}

MonthPeriod PeriodOfLabel(std::string_view label, int settle_day) {
    return PeriodOf(LabelOrThrow(label), settle_day);
}

YearMonth MonthOfDate(Date date, int settle_day) {
    CheckSettleDay(settle_day);
    const YearMonth own{date.year, date.month};
    return settle_day == 0 || date.day <= settle_day ? own : NextMonth(own);
}

std::string MonthLabelOfDate(Date date, int settle_day) {
    CheckSettleDay(settle_day);
    if (settle_day == 0) return MonthLabel(DateToEraString(date));
    return MonthLabelOf(MonthOfDate(date, settle_day), settle_day);
}

std::string NextMonthLabel(std::string_view label, int settle_day) {
    return MonthLabelOf(NextMonth(LabelOrThrow(label)), settle_day);
}

std::string PreviousMonthLabel(std::string_view label, int settle_day) {
    return MonthLabelOf(PreviousMonth(LabelOrThrow(label)), settle_day);
}

}  // namespace ravelto
