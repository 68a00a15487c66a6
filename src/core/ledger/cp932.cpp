#include "core/ledger/cp932.h"

#include <errno.h>
#include <iconv.h>

#include <cstdint>
#include <cstdio>

namespace ravelto {

namespace {

class Iconv {
  public:
    Iconv(const char* to, const char* from) : cd_(::iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw TextError(std::string("文字コード変換を準備できません: ") + from + " → " + to);
    }
    ~Iconv() { ::iconv_close(cd_); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // Converts as much as possible; returns the offset of the first input byte
    // that could not be converted, or npos when all went through.
    size_t Convert(std::string_view in, std::string& out) {
        ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        size_t src_left = in.size();
        out.clear();
        char buffer[1024];
        while (src_left > 0) {
            char* dst = buffer;
            size_t dst_left = sizeof buffer;
            size_t rc = ::iconv(cd_, &src, &src_left, &dst, &dst_left);
            out.append(buffer, static_cast<size_t>(dst - buffer));
            if (rc == static_cast<size_t>(-1) && errno != E2BIG)
                return static_cast<size_t>(src - in.data());
        }
        return std::string_view::npos;
    }

  private:
    iconv_t cd_;
};

Iconv& ToCp932() {
    thread_local Iconv cd("CP932", "UTF-8");
    return cd;
}
Iconv& FromCp932() {
    thread_local Iconv cd("UTF-8", "CP932");
    return cd;
}

// Length of the UTF-8 sequence starting with b (1 for a stray byte).
size_t Utf8Length(unsigned char b) {
    if (b >= 0xF0 && b <= 0xF4) return 4;
    if (b >= 0xE0) return 3;
    if (b >= 0xC2 && b < 0xE0) return 2;
    return 1;
}

std::string CodePointLabel(std::string_view utf8) {
    uint32_t cp = 0;
    size_t len = Utf8Length(static_cast<unsigned char>(utf8[0]));
    if (len > utf8.size()) len = 1;
    if (len == 1) {
        cp = static_cast<unsigned char>(utf8[0]);
    } else {
        cp = static_cast<unsigned char>(utf8[0]) & (0x7F >> len);
        for (size_t i = 1; i < len; ++i)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, "U+%04X", cp);
    return std::string(utf8.substr(0, len)) + "」(" + hex + ")";
}

}  // namespace

std::string Utf8ToCp932(std::string_view utf8) {
    // glibc's CP932 already takes the input methods' wave dash (U+301C), minus
    // (U+2212), double bar (U+2016) and yen sign (U+00A5) onto 0x8160, 0x817C,
    // 0x8161 and 0x5C.
    std::string out;
    size_t bad = ToCp932().Convert(utf8, out);
    if (bad != std::string_view::npos)
        throw TextError("Shift-JIS で表せない文字です: 「" + CodePointLabel(utf8.substr(bad)));
    return out;
}

std::string Cp932ToUtf8(std::string_view cp932) {
    std::string out;
    size_t bad = FromCp932().Convert(cp932, out);
    if (bad != std::string_view::npos) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned char>(cp932[bad]));
        throw TextError(std::string("Shift-JIS として読めないバイトがあります: 0x") + hex + "（" +
                        std::to_string(bad + 1) + " バイト目）");
    }
    return out;
}

std::string Cp932ToUtf8Lenient(std::string_view cp932) {
    std::string out;
    std::string piece;
    while (!cp932.empty()) {
        size_t bad = FromCp932().Convert(cp932, piece);
        out += piece;
        if (bad == std::string_view::npos) break;
        out += "\uFFFD";
        cp932.remove_prefix(bad + 1);
    }
    return out;
}

std::string sj(std::string_view utf8_literal) {
    return Utf8ToCp932(utf8_literal);
}

}  // namespace ravelto
