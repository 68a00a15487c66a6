#include <gtest/gtest.h>

#include <QFont>
#include <QFontInfo>
#include <QMessageBox>
#include <QPushButton>

namespace {

TEST(ApplicationSetup, WindowsFontNamesResolveToIpaFonts) {
    const struct {
        const char* named;
        const char* family;
    } cases[] = {{"ＭＳ Ｐゴシック", "IPAPGothic"},
                 {"ＭＳ ゴシック", "IPAGothic"},
                 {"ＪＳゴシック", "IPAGothic"}};
    for (const auto& c : cases) {
        QFont font(QString::fromUtf8(c.named));
        EXPECT_EQ(QFontInfo(font).family().toStdString(), c.family) << c.named;
    }
}

TEST(ApplicationSetup, QtOwnButtonsAreJapanese) {
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')).left(2),
              QStringLiteral("はい"));
    EXPECT_TRUE(box.button(QMessageBox::No)->text().startsWith(QStringLiteral("いいえ")));
    EXPECT_TRUE(box.button(QMessageBox::Cancel)->text().startsWith(QStringLiteral("キャンセル")));
}

}  // namespace
