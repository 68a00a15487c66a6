#include "core/ledger/company_info.h"

#include "core/ledger/cp932.h"
#include "core/ledger/settings_file.h"

namespace ravelto {

const std::array<std::string, CompanyInfo::kLineCount>& CompanyInfo::Labels() {
    static const std::array<std::string, kLineCount> labels = {
        sj("自　住　所　："),  sj("自　社　名　："),  sj("自 社 名 付："),   sj("自電話番号："),
        sj("追　  加   １："), sj("追　  加   ２："), sj("追　  加   ３："),
    };
    return labels;
}

const std::array<std::string, CompanyInfo::kLineCount>& CompanyInfo::ItemNames() {
    static const std::array<std::string, kLineCount> names = {
        sj("自住所"),         sj("自社名"),         sj("自社名付"),       sj("自電話番号"),
        sj("自社情報追加１"), sj("自社情報追加２"), sj("自社情報追加３"),
    };
    return names;
}

bool CompanyInfo::FileExists(const std::filesystem::path& start_dir) {
    std::error_code ec;
    return std::filesystem::exists(start_dir / kFileName, ec);
}

void CompanyInfo::Read(const std::filesystem::path& start_dir) {
    SettingsFile file = SettingsFile::Read(start_dir, kFileName);
    if (!file.Exists()) return;
    for (int i = 0; i < kLineCount; ++i)
        Lines[static_cast<size_t>(i)] = file.Text(i + 1);
}

void CompanyInfo::Write(const std::filesystem::path& start_dir) const {
    WriteSettingsFile(start_dir, kFileName, std::vector<std::string>(Lines.begin(), Lines.end()));
}

}  // namespace ravelto
