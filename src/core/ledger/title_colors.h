#pragma once

// The colours of the ledger window, chosen by Japanese name and kept in
// RcTitleColor.INI in the start directory (three lines, CP932): the column
// titles, the separator strips, and the background of the read-only fields.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace ravelto {

// What a colour name stands for: no colour (a setting that is not applied),
// a fixed RGB colour, or a system colour of the desktop scheme by its Windows
// index 1..24 (it follows the user's scheme).
struct NamedColor {
    enum class Kind { None, Rgb, System };
    Kind kind = Kind::None;
    uint32_t rgb = 0;      // 0xRRGGBB for Kind::Rgb
    int system_index = 0;  // 1..24 for Kind::System

    bool IsNone() const { return kind == Kind::None; }
    bool operator==(const NamedColor&) const = default;
};

// The 42 colour names in list order, exactly as stored (CP932; most begin
// with a full-width space, three do not).
const std::array<std::string, 42>& ColorNames();

// The colour a name stands for. "　黒　色" and any text not in the list give
// no colour.
NamedColor ColorByName(std::string_view cp932_name);

struct TitleColors {
    static constexpr const char* kFileName = "RcTitleColor.INI";

    std::string Titles = DefaultTitles();      // ﾀｲﾄﾙの色
    std::string Borders = DefaultBorders();    // 境界線の色
    std::string ReadOnly = DefaultReadOnly();  // 書き込み不可部分の色

    static std::string DefaultTitles();    // inactive caption
    static std::string DefaultBorders();   // button face
    static std::string DefaultReadOnly();  // window background

    // Missing file: the defaults. A line that is missing reads as empty (no
    // colour); a name not in the list is kept as stored.
    void Read(const std::filesystem::path& start_dir);
    void Write(const std::filesystem::path& start_dir) const;

    bool operator==(const TitleColors&) const = default;
};

}  // namespace ravelto
