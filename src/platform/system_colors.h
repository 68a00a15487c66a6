#pragma once

// The desktop's colours, offered as title colours: the Windows system-colour
// indexes 1..24 mapped to the colours of the desktop scheme (on Windows the
// system's own; elsewhere the roles of the application palette that play
// the same part, so they follow the user's theme).

#include <QColor>
#include <QPalette>

#include "core/ledger/title_colors.h"

namespace ravelto::platform {

// The colour of system-colour index 1..24; an invalid QColor for any other.
QColor SystemColor(int index, const QPalette& palette);
QColor SystemColor(int index);  // the application palette

// The colour a named colour stands for; an invalid QColor for no colour.
QColor ToQColor(const NamedColor& color, const QPalette& palette);
QColor ToQColor(const NamedColor& color);

}  // namespace ravelto::platform
