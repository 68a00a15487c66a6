// The settings files the ledger window reads at creation and writes on close.
#include <charconv>
#include <fstream>
#include <sstream>

#include "core/ledger/cp932.h"
#include "core/ledgerwin/receive_data_form.h"

namespace ravelto::ledgerwin {

namespace {

// Stand-in until the shared settings-file module joins this branch.
std::optional<std::vector<std::string>> ReadLines(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream all;
    all << in.rdbuf();
    std::string text = all.str();
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        pos = end + 1;
    }
    return lines;
}

void WriteLines(const std::filesystem::path& path, const std::vector<std::string>& lines) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines)
        out << line << "\r\n";
    if (!out) throw std::runtime_error(path.filename().string() + " を書き込めません。");
}

std::string Line(const std::vector<std::string>& lines, std::size_t index) {
    return index < lines.size() ? lines[index] : std::string();
}

int Number(const std::string& text) {
    int value = 0;
    const char* begin = text.data();
    while (begin != text.data() + text.size() && *begin == ' ')
        ++begin;
    auto [ptr, ec] = std::from_chars(begin, text.data() + text.size(), value);
    return ec == std::errc() ? value : 0;
}

}  // namespace

void ReceiveDataForm::ReadSettingsFiles() {
    if (auto kinds = ReadLines(start_dir_ / "RcInType.INI"))
        view_.payment_kinds = *kinds;
    else
        view_.payment_kinds = {sj("口座振込み"), sj("持参")};

    if (std::filesystem::exists(start_dir_ / "Tessaro.exe")) state_.InspectionLinked = 1;
    if (std::filesystem::exists(start_dir_ / "Pellwin.exe")) {
        state_.InvoicingLink = 1;
        view_.import_settings_visible = true;
        view_.write_settings_visible = true;
    }

    state_.SettleDay = 0;
    state_.NoImportTitle = sj("見積");
    if (auto ini = ReadLines(start_dir_ / "Receive.INI")) {
        view_.furigana = Line(*ini, 0) == "True";
        state_.SettleDay = Number(Line(*ini, 1));
        state_.CarryOverMethod = Number(Line(*ini, 2));
        state_.NoImportTitle = Line(*ini, 3);
        if (state_.NoImportTitle.empty()) state_.NoImportTitle = sj("見積");
        view_.display_items_only = Line(*ini, 4) == "True";
        view_.current_month_only = Line(*ini, 5) == "True";
        view_.backup_period_limited = Line(*ini, 6) == "True";
    }
    // Only the six settlement days make month periods; anything else is month end.
    if (SettleDayMenuIndex(state_.SettleDay) < 0) state_.SettleDay = 0;
    if (state_.CarryOverMethod < 0 || state_.CarryOverMethod > 2) state_.CarryOverMethod = 0;

    if (auto ini = ReadLines(start_dir_ / "RavoSave.INI")) {
        state_.BackupNamePrefix = Line(*ini, 0);
        state_.BackupNameSuffix = Line(*ini, 1);
    }
    if (state_.BackupNamePrefix.empty()) state_.BackupNamePrefix = sj("入金");
    if (auto ini = ReadLines(start_dir_ / "RcPutData.INI")) state_.RepairWriteItem = Line(*ini, 0);
    view_.repair_write_visible = !state_.RepairWriteItem.empty();
    if (auto ini = ReadLines(start_dir_ / "RcPass.INI")) state_.StartupPassword = Line(*ini, 0);
    if (auto ini = ReadLines(start_dir_ / "INIDIR.INI")) state_.BackupDirectory = Line(*ini, 0);
}

void ReceiveDataForm::WriteReceiveIni() const {
    auto flag = [](bool on) { return std::string(on ? "True" : "False"); };
    WriteLines(start_dir_ / "Receive.INI",
               {flag(view_.furigana), std::to_string(state_.SettleDay),
                std::to_string(state_.CarryOverMethod), state_.NoImportTitle,
                flag(view_.display_items_only), flag(view_.current_month_only),
                flag(view_.backup_period_limited)});
}

void ReceiveDataForm::SetPaymentKinds(const std::vector<std::string>& kinds) {
    WriteLines(start_dir_ / "RcInType.INI", kinds);
    view_.payment_kinds = kinds;
    if (Changed) Changed();
}

void ReceiveDataForm::SaveStartupPassword(const std::string& password) {
    WriteLines(start_dir_ / "RcPass.INI", {password});
}

}  // namespace ravelto::ledgerwin
