#include "ui/qtext.h"

#include "core/ledger/cp932.h"
#include "core/ledger/questions.h"

namespace ravelto::ui {

QString ToQ(std::string_view cp932) {
    return QString::fromStdString(Cp932ToUtf8Lenient(cp932));
}

std::string FromQ(const QString& text) {
    return Utf8ToCp932(text.toStdString());
}

std::string FromQKeeping(const QString& text, std::string_view original) {
    if (text == ToQ(original)) return std::string(original);
    return FromQ(text);
}

}  // namespace ravelto::ui
