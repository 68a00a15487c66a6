#pragma once

// The shop's own data printed on documents, kept in User.INI in the start
// directory: seven lines, CP932.

#include <array>
#include <filesystem>
#include <string>

namespace ravelto {

struct CompanyInfo {
    static constexpr const char* kFileName = "User.INI";
    static constexpr int kLineCount = 7;

    // In the order of the file: own address, company name, company name as
    // addressee, own telephone, extra lines 1 to 3.
    std::array<std::string, kLineCount> Lines;

    std::string& Address() { return Lines[0]; }
    std::string& CompanyName() { return Lines[1]; }
    std::string& CompanyNameAddressee() { return Lines[2]; }
    std::string& Telephone() { return Lines[3]; }
    const std::string& Address() const { return Lines[0]; }
    const std::string& CompanyName() const { return Lines[1]; }
    const std::string& CompanyNameAddressee() const { return Lines[2]; }
    const std::string& Telephone() const { return Lines[3]; }
    const std::string& Extra(int n) const { return Lines[static_cast<size_t>(3 + n)]; }  // n 1..3

    // The labels of the seven fields in the company-information dialog.
    static const std::array<std::string, kLineCount>& Labels();  // CP932
    // The print item name of each line (自住所, 自社名, …).
    static const std::array<std::string, kLineCount>& ItemNames();  // CP932

    // True when User.INI exists in the start directory: without it the
    // program asks for the company information at start.
    static bool FileExists(const std::filesystem::path& start_dir);
    // Missing file: the lines are left as they are; missing lines read as empty.
    void Read(const std::filesystem::path& start_dir);
    void Write(const std::filesystem::path& start_dir) const;

    bool operator==(const CompanyInfo&) const = default;
};

}  // namespace ravelto
