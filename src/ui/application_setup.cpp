#include "ui/application_setup.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace ravelto::ui {

const char* const kApplicationTitle = "ラヴェルト For Win32";

namespace {

void RegisterFontSubstitutions() {
    // The program names the fonts of a Japanese Windows desktop; map them onto IPA fonts.
    QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
    QFont::insertSubstitution(QStringLiteral("ＪＳゴシック"), QStringLiteral("IPAGothic"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ 明朝"), QStringLiteral("IPAMincho"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐ明朝"), QStringLiteral("IPAPMincho"));
}

void LoadJapaneseTranslations(QApplication& app) {
    // Qt's own texts (message-box buttons, file and print dialogs, edit menus)
    // in Japanese whatever the system locale.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* name : {"qtbase_ja", "qt_ja"}) {
        auto* translator = new QTranslator(&app);
        if (translator->load(QString::fromLatin1(name), dir))
            QApplication::installTranslator(translator);
        else
            delete translator;
    }
}

}  // namespace

void SetUpApplication(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("Ravelto"));
    QApplication::setOrganizationName(QStringLiteral("Ravelto"));
    RegisterFontSubstitutions();
    LoadJapaneseTranslations(app);
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    QApplication::setFont(font);
}

}  // namespace ravelto::ui
