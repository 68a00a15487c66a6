#pragma once

class QApplication;

namespace ravelto::ui {

// Application-wide set-up done before any window or font is created: the
// Japanese translations of Qt's own texts, the substitutions for the fonts
// the program names, the application names.
void SetUpApplication(QApplication& app);

// The program's caption.
extern const char* const kApplicationTitle;

}  // namespace ravelto::ui
