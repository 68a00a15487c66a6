#pragma once

// The small settings files of the start directory: CP932 text, one value per
// line, CR LF after each line (a bare LF is accepted when reading), "True" /
// "False" for switches, decimal numbers for integers.
//
// Reading never fails on content: a missing or empty file leaves the
// defaults, a missing line reads as empty, and a line that is not valid
// Shift-JIS or not a number where one belongs gives that value's default.
// Only a file that exists but cannot be read at all is an error.
// Writing replaces the whole file at once: a failed write leaves the old
// file as it was.

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ravelto {

// A settings file that cannot be read or written. what() is Japanese UTF-8,
// ready for a message box; it names the file and the cause.
class SettingsFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class SettingsFile {
  public:
    // Reads `name` in `dir`. A missing file gives an empty, non-existing
    // SettingsFile; so does an empty one (nothing in it could be meant).
    static SettingsFile Read(const std::filesystem::path& dir, std::string_view name);
    static SettingsFile Read(const std::filesystem::path& file);
    // From bytes already read (CR LF or LF line ends).
    static SettingsFile FromBytes(std::string_view bytes);

    // False for a missing or empty file: every value keeps its default.
    bool Exists() const { return exists_; }
    int LineCount() const { return static_cast<int>(lines_.size()); }

    // Line `line` (1-based). A missing line reads as empty; a line that is not
    // valid Shift-JIS gives `fallback`.
    std::string Text(int line, std::string_view fallback = {}) const;
    // A decimal number within [min, max] (blanks around it allowed); anything
    // else, an empty or missing line included, gives `fallback`.
    int Int(int line, int fallback, int min, int max) const;
    // "True" is on; a line that is not valid Shift-JIS gives `fallback`; any
    // other text (a missing line included) is off.
    bool Bool(int line, bool fallback) const;
    // True when the line is present and valid Shift-JIS.
    bool IsValid(int line) const;
    // Every line as stored (bytes not checked).
    const std::vector<std::string>& Lines() const { return lines_; }
    // True when every line is valid Shift-JIS.
    bool AllValid() const;

  private:
    bool exists_ = false;
    std::vector<std::string> lines_;
};

// Writes `lines` (CP932) to `name` in `dir`, each followed by CR LF, through a
// temporary file in the same directory renamed over the old one. Throws
// SettingsFileError; on failure the old file is untouched. A line holding a
// line break (CR or LF) is refused before anything is written.
void WriteSettingsFile(const std::filesystem::path& dir, std::string_view name,
                       const std::vector<std::string>& lines);
void WriteSettingsFile(const std::filesystem::path& file, const std::vector<std::string>& lines);

// "True" / "False" as the files hold switches.
inline std::string BoolText(bool on) {
    return on ? "True" : "False";
}

// Splits text at CR LF or LF. A line end at the very end starts no new line.
std::vector<std::string> SplitLines(std::string_view text);

// A file's name for messages: the path as the user sees it.
std::string DisplayName(const std::filesystem::path& file);

}  // namespace ravelto
