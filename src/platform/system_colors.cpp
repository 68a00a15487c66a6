#include "platform/system_colors.h"

#include <QGuiApplication>

#ifdef _WIN32
#include <windows.h>
#endif

namespace ravelto::platform {

QColor SystemColor(int index, const QPalette& palette) {
    if (index < 1 || index > 24) return {};
#ifdef _WIN32
    (void)palette;
    DWORD rgb = ::GetSysColor(index);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
#else
    using P = QPalette;
    struct Role {
        P::ColorGroup group;
        P::ColorRole role;
    };
    static const Role kRoles[25] = {
        {P::Active, P::NoRole},
        {P::Active, P::Dark},             // 1 desktop
        {P::Active, P::Highlight},        // 2 active caption
        {P::Inactive, P::Mid},            // 3 inactive caption
        {P::Active, P::Window},           // 4 menu
        {P::Active, P::Base},             // 5 window
        {P::Active, P::Shadow},           // 6 window frame
        {P::Active, P::WindowText},       // 7 menu text
        {P::Active, P::Text},             // 8 window text
        {P::Active, P::HighlightedText},  // 9 caption text
        {P::Active, P::Window},           // 10 active border
        {P::Inactive, P::Window},         // 11 inactive border
        {P::Active, P::Dark},             // 12 application workspace
        {P::Active, P::Highlight},        // 13 highlight
        {P::Active, P::HighlightedText},  // 14 highlight text
        {P::Active, P::Button},           // 15 button face
        {P::Active, P::Dark},             // 16 button shadow
        {P::Disabled, P::Text},           // 17 grey text
        {P::Active, P::ButtonText},       // 18 button text
        {P::Inactive, P::Light},          // 19 inactive caption text
        {P::Active, P::Light},            // 20 button highlight
        {P::Active, P::Shadow},           // 21 3-D dark shadow
        {P::Active, P::Midlight},         // 22 3-D light
        {P::Active, P::ToolTipText},      // 23 tooltip text
        {P::Active, P::ToolTipBase},      // 24 tooltip background
    };
    const Role& r = kRoles[index];
    return palette.color(r.group, r.role);
#endif
}

QColor SystemColor(int index) {
    return SystemColor(index, QGuiApplication::palette());
}

QColor ToQColor(const NamedColor& color, const QPalette& palette) {
    switch (color.kind) {
        case NamedColor::Kind::None:
            return {};
        case NamedColor::Kind::Rgb:
            return QColor(static_cast<int>((color.rgb >> 16) & 0xFF),
                          static_cast<int>((color.rgb >> 8) & 0xFF),
                          static_cast<int>(color.rgb & 0xFF));
        case NamedColor::Kind::System:
            return SystemColor(color.system_index, palette);
    }
    return {};
}

QColor ToQColor(const NamedColor& color) {
    return ToQColor(color, QGuiApplication::palette());
}

}  // namespace ravelto::platform
