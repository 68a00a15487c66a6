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

// Screen text back to CP932 for text that was shown as ToQ(original): while
// it is unchanged the original bytes come back as they were (a CP932 →
// Unicode → CP932 round trip is not always the identity: ≒ 0x8790 comes back
// as 0x81E0). Changed text is converted as by FromQ, and throws the same way.
std::string FromQKeeping(const QString& text, std::string_view original);

}  // namespace ravelto::ui
