#include "core/ledger/settings_file.h"

#include <errno.h>

#include <cstdio>
#include <cstring>
#include <limits>
#include <system_error>

#ifdef _WIN32
#include <fstream>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "core/ledger/cp932.h"

namespace ravelto {

namespace {

// The cause of a file error in the user's words.
std::string Cause(int err) {
    switch (err) {
        case EACCES:
        case EPERM:
            return "アクセスが拒否されました";
        case ENOENT:
            return "フォルダが見つかりません";
        case EISDIR:
            return "同じ名前のフォルダがあります";
        case ENOSPC:
            return "ディスクの空き容量が足りません";
        case EROFS:
            return "読み取り専用の場所です";
        case EIO:
            return "入出力エラーが起きました";
        case ENAMETOOLONG:
            return "名前が長すぎます";
        default:
            return "エラー番号 " + std::to_string(err);
    }
}

[[noreturn]] void ThrowRead(const std::filesystem::path& file, int err) {
    throw SettingsFileError("設定ファイル「" + DisplayName(file) + "」を読み込めません（" +
                            Cause(err) + "）。");
}

[[noreturn]] void ThrowWrite(const std::filesystem::path& file, int err) {
    throw SettingsFileError("設定ファイル「" + DisplayName(file) + "」を書き込めません（" +
                            Cause(err) + "）。");
}

bool ValidCp932(std::string_view bytes) {
    try {
        Cp932ToUtf8(bytes);
        return true;
    } catch (const TextError&) {
        return false;
    }
}

}  // namespace

std::string DisplayName(const std::filesystem::path& file) {
#ifdef _WIN32
    return file.u8string();
#else
    return file.string();
#endif
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

SettingsFile SettingsFile::FromBytes(std::string_view bytes) {
    SettingsFile file;
    file.exists_ = !bytes.empty();
    file.lines_ = SplitLines(bytes);
    return file;
}

SettingsFile SettingsFile::Read(const std::filesystem::path& dir, std::string_view name) {
    return Read(dir / std::filesystem::path(std::string(name)));
}

SettingsFile SettingsFile::Read(const std::filesystem::path& file) {
    std::error_code ec;
    auto status = std::filesystem::status(file, ec);
    if (status.type() == std::filesystem::file_type::not_found) return SettingsFile();
    if (ec) ThrowRead(file, ec.value());
    if (status.type() == std::filesystem::file_type::directory) ThrowRead(file, EISDIR);
    std::FILE* f = std::fopen(file.string().c_str(), "rb");
    if (f == nullptr) ThrowRead(file, errno);
    std::string bytes;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.append(buffer, n);
    int err = std::ferror(f) ? errno : 0;
    std::fclose(f);
    if (err != 0) ThrowRead(file, err);
    return FromBytes(bytes);
}

bool SettingsFile::IsValid(int line) const {
    return line >= 1 && line <= LineCount() && ValidCp932(lines_[static_cast<size_t>(line - 1)]);
}

bool SettingsFile::AllValid() const {
    for (const auto& line : lines_)
        if (!ValidCp932(line)) return false;
    return true;
}

std::string SettingsFile::Text(int line, std::string_view fallback) const {
    if (line < 1 || line > LineCount()) return {};
    const std::string& text = lines_[static_cast<size_t>(line - 1)];
    if (!ValidCp932(text)) return std::string(fallback);
    return text;
}

int SettingsFile::Int(int line, int fallback, int min, int max) const {
    if (line < 1 || line > LineCount()) return fallback;
    std::string_view text = lines_[static_cast<size_t>(line - 1)];
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 10) return fallback;
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return fallback;
        value = value * 10 + (c - '0');
    }
    if (negative) value = -value;
    if (value < min || value > max) return fallback;
    return static_cast<int>(value);
}

bool SettingsFile::Bool(int line, bool fallback) const {
    if (line < 1 || line > LineCount()) return false;
    const std::string& text = lines_[static_cast<size_t>(line - 1)];
    if (text == "True") return true;
    if (!ValidCp932(text)) return fallback;
    return false;
}

void WriteSettingsFile(const std::filesystem::path& dir, std::string_view name,
                       const std::vector<std::string>& lines) {
    WriteSettingsFile(dir / std::filesystem::path(std::string(name)), lines);
}

void WriteSettingsFile(const std::filesystem::path& file, const std::vector<std::string>& lines) {
    // One value per line: a value holding a line break would shift every
    // value after it when the file is read back.
    for (const auto& line : lines) {
        if (line.find_first_of("\r\n") != std::string::npos)
            throw SettingsFileError("設定ファイル「" + DisplayName(file) +
                                    "」に改行を含む値は書き込めません。");
    }
    std::string bytes;
    for (const auto& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    std::filesystem::path dir = file.parent_path();
    if (dir.empty()) dir = ".";
#ifdef _WIN32
    std::filesystem::path temp = dir / (file.filename().string() + ".tmp");
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) ThrowWrite(file, EACCES);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            ThrowWrite(file, EIO);
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, file, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        ThrowWrite(file, ec.value());
    }
#else
    std::string temp = (dir / ("." + file.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(temp.data());
    if (fd < 0) ThrowWrite(file, errno);
    auto fail = [&](int err) {
        ::close(fd);
        ::unlink(temp.c_str());
        ThrowWrite(file, err);
    };
    // mkstemp makes the file private; a settings file gets the usual permissions.
    mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(fd, 0666 & ~mask) != 0) fail(errno);
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(errno);
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0) fail(errno);
    if (::close(fd) != 0) {
        int err = errno;
        ::unlink(temp.c_str());
        ThrowWrite(file, err);
    }
    if (::rename(temp.c_str(), file.string().c_str()) != 0) {
        int err = errno;
        ::unlink(temp.c_str());
        ThrowWrite(file, err);
    }
#endif
}

}  // namespace ravelto
