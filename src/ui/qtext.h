#pragma once

// The Qt boundary of CP932 text: the core holds CP932 bytes, Qt holds QString.

#include <QString>
#include <string>
#include <string_view>

namespace ravelto::ui {

// CP932 from the core to the screen. Bytes that are not valid CP932 show as U+FFFD.
QString ToQ(std::string_view cp932);

// Screen text to CP932. Throws ravelto::TextError naming a character CP932 lacks.
std::string FromQ(const QString& text);

}  // namespace ravelto::ui
