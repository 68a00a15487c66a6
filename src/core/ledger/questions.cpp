#include "core/ledger/questions.h"

#include "core/ledger/cp932.h"

namespace ravelto {

std::string Utf8ToCp932Lossy(std::string_view utf8) {
    try {
        return Utf8ToCp932(utf8);
    } catch (const TextError&) {
    }
    std::string out;
    size_t i = 0;
    while (i < utf8.size()) {
        unsigned char b = static_cast<unsigned char>(utf8[i]);
        size_t len = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        if (i + len > utf8.size()) len = utf8.size() - i;
        try {
            out += Utf8ToCp932(utf8.substr(i, len));
        } catch (const TextError&) {
            out += '?';
        }
        i += len;
    }
    return out;
}

void ShowError(Questions& questions, const std::exception& error) {
    questions.Error(Utf8ToCp932Lossy(error.what()));
}

}  // namespace ravelto
