#include "core/ledger/settings_dialogs.h"

#include "core/ledger/cp932.h"
#include "core/ledger/settings_file.h"
#include "core/ledger/startup_settings.h"

namespace ravelto {

bool EditCompanyInfo(Questions& questions, const std::filesystem::path& start_dir,
                     CompanyInfo& current) {
    CompanyInfoResult result = questions.EditCompanyInfo({current});
    current = result.values;
    if (!result.ok) return false;
    try {
        current.Write(start_dir);
    } catch (const SettingsFileError& error) {
        ShowError(questions, error);
    }
    return true;
}

void AskCompanyInfoWhenMissing(Questions& questions, const std::filesystem::path& start_dir,
                               CompanyInfo& current) {
    if (!CompanyInfo::FileExists(start_dir)) EditCompanyInfo(questions, start_dir, current);
}

std::optional<TitleColors> EditTitleColors(Questions& questions,
                                           const std::filesystem::path& start_dir,
                                           const TitleColors& current) {
    std::optional<TitleColors> result = questions.EditTitleColors({current});
    if (!result) return std::nullopt;
    try {
        result->Write(start_dir);
    } catch (const SettingsFileError& error) {
        ShowError(questions, error);
    }
    return result;
}

bool SetStartupPassword(Questions& questions, const std::filesystem::path& start_dir) {
    std::optional<std::string> typed = questions.AskPassword({sj(dialog_text::kPassSetCaption)});
    if (!typed) return false;
    PasswordIni ini;
    ini.StartupPassword = *typed;
    try {
        ini.Write(start_dir);
    } catch (const SettingsFileError& error) {
        ShowError(questions, error);
        return false;
    }
    return true;
}

bool AskStartupPassword(Questions& questions, std::string_view startup_password) {
    if (startup_password.empty()) return true;
    std::optional<std::string> typed = questions.AskPassword({sj(dialog_text::kPassCaption)});
    return typed && *typed == startup_password;
}

std::optional<std::vector<std::string>> EditPaymentKinds(Questions& questions,
                                                         const std::filesystem::path& start_dir,
                                                         const std::vector<std::string>& current) {
    std::optional<std::vector<std::string>> lines =
        questions.EditList({sj(dialog_text::kPaymentKindsHeading), current});
    if (!lines) return std::nullopt;
    PaymentKindsIni ini;
    ini.Kinds = *lines;
    try {
        ini.Write(start_dir);
    } catch (const SettingsFileError& error) {
        ShowError(questions, error);
    }
    return lines;
}

std::vector<std::string> MemoLines(std::string_view text) {
    return SplitLines(text);
}

std::string MemoText(const std::vector<std::string>& lines, std::string_view line_end) {
    std::string text;
    for (const auto& line : lines) {
        text += line;
        text += line_end;
    }
    return text;
}

std::pair<int, int> ListEditButtonLefts(int width) {
    int third = width / 3;
    return {third - 37, third * 2 - 37};
}

}  // namespace ravelto
