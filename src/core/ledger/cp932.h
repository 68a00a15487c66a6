#pragma once

// CP932 (Shift-JIS) text. Inside the core every text is a std::string of
// CP932 bytes; UTF-8 appears only at the boundaries (the Qt layer, the
// command-line tool, the literals of our own sources).

#include <stdexcept>
#include <string>
#include <string_view>

namespace ravelto {

// Text that cannot be carried across the boundary. what() is Japanese UTF-8
// and names the offending character.
class TextError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// UTF-8 to CP932. The characters that Linux input methods produce for the
// wave dash, minus, double vertical line and yen sign map onto their CP932
// codes. A character CP932 does not have is refused with TextError.
std::string Utf8ToCp932(std::string_view utf8);

// CP932 to UTF-8. Bytes that are not valid CP932 throw TextError.
std::string Cp932ToUtf8(std::string_view cp932);

// As above, but bytes that are not valid CP932 become U+FFFD: for showing
// text that came from outside (files, sibling tables) without failing.
std::string Cp932ToUtf8Lenient(std::string_view cp932);

// Our own Japanese literals, written in UTF-8 in the sources, as CP932.
// Hot paths keep the result in a static.
std::string sj(std::string_view utf8_literal);

// True when b is the lead byte of a double-byte character.
constexpr bool IsLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

}  // namespace ravelto
