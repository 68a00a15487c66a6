#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <fstream>
#include <functional>

#include "core/ledger/cp932.h"
#include "core/ledger/settings_dialogs.h"
#include "core/ledger/startup_settings.h"
#include "ui/components/color_dlg.h"
#include "ui/components/list_edit_form.h"
#include "ui/components/pass_dlg.h"
#include "ui/components/user_set_form.h"
#include "ui/components/version_dlg.h"
#include "ui/qt_questions.h"
#include "ui/qtext.h"

namespace ravelto::ui {
namespace {

// Types text into the focused widget as key presses.
void Type(QWidget* widget, const QString& text) {
    widget->setFocus();
    for (QChar c : text) {
        int key = c == QLatin1Char('\n') ? Qt::Key_Return : 0;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

// Runs `act` on the next modal dialog once it is shown (the dialog's own
// event loop is running by then).
void WhenModal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        act(modal);
    });
}

QPushButton* ButtonWithText(QWidget* parent, const QString& prefix) {
    for (auto* button : parent->findChildren<QPushButton*>())
        if (button->text().remove(QLatin1Char('&')).startsWith(prefix)) return button;
    return nullptr;
}

TEST(UserSetFormUi, SevenLabelledFieldsInFileOrderOkAndCancel) {
    TUserSetForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("自社情報"));
    EXPECT_EQ(form.OKBtn->text(), QStringLiteral("OK"));
    EXPECT_TRUE(form.OKBtn->isDefault());
    EXPECT_EQ(form.CancelBtn->text(), QStringLiteral("ｷｬﾝｾﾙ"));
    EXPECT_EQ(form.Labels[0]->text(), QStringLiteral("自　住　所　："));
    EXPECT_EQ(form.Labels[4]->text(), QStringLiteral("追　  加   １："));
    CompanyInfo info;
    info.CompanyName() = sj("山田自動車");
    form.SetValues(info);
    form.show();
    EXPECT_EQ(form.Edit2->text(), QStringLiteral("山田自動車"));
    // Every field visible inside the dialog.
    for (QLineEdit* edit : form.Edits())
        EXPECT_TRUE(edit->isVisible());

    form.Edit2->clear();
    Type(form.Edit2, QStringLiteral("山田モータース"));
    Type(form.Edit4, QStringLiteral("03-1234-5678"));
    form.OKBtn->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.Values().CompanyName(), sj("山田モータース"));
    EXPECT_EQ(form.Values().Telephone(), "03-1234-5678");

    form.show();
    form.CancelBtn->click();
    EXPECT_EQ(form.result(), QDialog::Rejected);
}

TEST(UserSetFormUi, TextShiftJisCannotHoldIsRefusedWithAMessage) {
    TUserSetForm form;
    form.show();
    form.Edit3->setText(QStringLiteral("Café"));
    QString shown;
    WhenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        shown = box->text();
        box->accept();
    });
    form.OKBtn->click();
    EXPECT_TRUE(form.isVisible());  // still open
    EXPECT_TRUE(shown.contains(QStringLiteral("Shift-JIS"))) << shown.toStdString();
    form.Edit3->setText(QStringLiteral("カフェ"));
    form.OKBtn->click();
    EXPECT_FALSE(form.isVisible());
}

// Some Shift-JIS codes have a twin (≒ as 0x8790 and 0x81E0, NEC's and IBM's
// copies of the extra kanji): text the user did not touch keeps the very
// bytes it came with, so OK never rewrites a setting nobody changed.
const std::string kTwinCodes = "\x87\x90" + sj("山") + "\xED\x40";

TEST(UserSetFormUi, UntouchedFieldsKeepTheirBytes) {
    ASSERT_NE(FromQ(ToQ(kTwinCodes)), kTwinCodes);  // the round trip alone changes them
    TUserSetForm form;
    CompanyInfo info;
    info.Address() = kTwinCodes;
    info.CompanyName() = kTwinCodes;
    form.SetValues(info);
    form.Edit2->setText(form.Edit2->text() + QStringLiteral("店"));
    CompanyInfo values = form.Values();
    EXPECT_EQ(values.Address(), kTwinCodes);
    EXPECT_EQ(values.CompanyName(), FromQ(ToQ(kTwinCodes)) + sj("店"));
}

TEST(ColorDlgUi, UntouchedNamesKeepTheirBytes) {
    TColorDlg dialog;
    TitleColors colors;
    colors.Borders = kTwinCodes;
    dialog.SetValues(colors);
    EXPECT_EQ(dialog.Values(), colors);
}

TEST(ListEditFormUi, UntouchedLinesKeepTheirBytes) {
    TListEditForm form;
    form.SetLines({sj("持参"), kTwinCodes});
    form.Memo1->setPlainText(QStringLiteral("手形\n") + form.Memo1->toPlainText());
    EXPECT_EQ(form.Lines(), (std::vector<std::string>{sj("手形"), sj("持参"), kTwinCodes}));
}

// A one-line field keeps the line breaks of pasted text; a settings line
// cannot hold them, so OK says so and the dialog stays open.
TEST(UserSetFormUi, PastedLineBreakIsRefusedWithAMessage) {
    TUserSetForm form;
    form.show();
    form.Edit1->setText(QStringLiteral("東京都港区\n芝公園"));
    QString shown;
    WhenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        shown = box->text();
        box->accept();
    });
    form.OKBtn->click();
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(shown.contains(QStringLiteral("改行"))) << shown.toStdString();
    form.Edit1->setText(QStringLiteral("東京都港区芝公園"));
    form.OKBtn->click();
    EXPECT_FALSE(form.isVisible());
}

TEST(ColorDlgUi, FortyTwoNamesDefaultsAndChoice) {
    TColorDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("ﾀｲﾄﾙ色変更"));
    EXPECT_EQ(dialog.Label1->text(), QStringLiteral("ﾀｲﾄﾙの色"));
    EXPECT_EQ(dialog.Label2->text(), QStringLiteral("境界線の色"));
    EXPECT_EQ(dialog.Label3->text(), QStringLiteral("書き込み不可部分の色"));
    ASSERT_EQ(dialog.ColorComboBox1->count(), 42);
    EXPECT_EQ(dialog.ColorComboBox1->itemText(0), QStringLiteral("　空　色"));
    EXPECT_EQ(dialog.ColorComboBox1->itemText(20),
              QStringLiteral("アクティブでないウィンドウのタイトルバーの色"));
    EXPECT_EQ(dialog.ColorComboBox3->itemText(41),
              QStringLiteral("　ツールチップコントロールの背景色"));
    // The defaults when there is no RcTitleColor.INI.
    EXPECT_EQ(dialog.ColorComboBox1->currentText(),
              QStringLiteral("アクティブでないウィンドウのタイトルバーの色"));
    EXPECT_EQ(dialog.ColorComboBox2->currentText(), QStringLiteral("　ボタン面の色"));
    EXPECT_EQ(dialog.ColorComboBox3->currentText(), QStringLiteral("　ウィンドウの背景色"));

    dialog.show();
    dialog.ColorComboBox1->setCurrentIndex(1);  // 黒: saved, not applied
    dialog.ColorComboBox2->lineEdit()->clear();
    Type(dialog.ColorComboBox2->lineEdit(), QStringLiteral("手入力の色"));
    dialog.OKBtn->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    TitleColors values = dialog.Values();
    EXPECT_EQ(values.Titles, sj("　黒　色"));
    EXPECT_EQ(values.Borders, sj("手入力の色"));
    EXPECT_EQ(values.ReadOnly, sj("　ウィンドウの背景色"));
}

TEST(ColorDlgUi, NamedColourColoursItsElementsBlackAndUnknownLeaveThem) {
    QLabel title;
    QLineEdit field;
    QColor before = field.palette().color(QPalette::Base);
    EXPECT_FALSE(ApplyNamedColor(sj("　黒　色"), {&title, &field}));
    EXPECT_FALSE(ApplyNamedColor(sj("まだら色"), {&title, &field}));
    EXPECT_EQ(field.palette().color(QPalette::Base), before);
    EXPECT_TRUE(ApplyNamedColor(sj("　黄　色"), {&title, &field}));
    EXPECT_EQ(title.palette().color(QPalette::Window), QColor(0xFF, 0xFF, 0x00));
    EXPECT_TRUE(title.autoFillBackground());
    EXPECT_EQ(field.palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0x00));
    EXPECT_TRUE(ApplyNamedColor(sj("　ボタン面の色"), {&title}));
    EXPECT_EQ(title.palette().color(QPalette::Window),
              QApplication::palette().color(QPalette::Active, QPalette::Button));
}

TEST(PassDlgUi, MaskedWithoutInputMethodAndAskedThroughQuestions) {
    QtQuestions questions;
    TPassDlg* dialog = questions.PassDlg();
    EXPECT_EQ(dialog->Label1->text(), QStringLiteral("パスワードを入力してください。"));
    EXPECT_EQ(dialog->MaskEdit1->echoMode(), QLineEdit::Password);
    EXPECT_FALSE(dialog->MaskEdit1->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_TRUE(dialog->OKBtn->isDefault());

    QString caption;
    WhenModal([&](QWidget* modal) {
        auto* pass = qobject_cast<TPassDlg*>(modal);
        ASSERT_NE(pass, nullptr);
        caption = pass->windowTitle();
        EXPECT_TRUE(pass->MaskEdit1->text().isEmpty());
        Type(pass->MaskEdit1, QStringLiteral("s3cret"));
        EXPECT_EQ(pass->MaskEdit1->displayText(), QStringLiteral("******"));
        pass->OKBtn->click();
    });
    // The setting: OK writes RcPass.INI.
    EXPECT_TRUE(SetStartupPassword(questions, "."));
    EXPECT_EQ(caption, QStringLiteral("パスワードの設定"));
    PasswordIni ini;
    ini.Read(".");
    EXPECT_EQ(ini.StartupPassword, "s3cret");

    // The start-up prompt: right, wrong, closed.
    for (auto [typed, close, expected] :
         {std::tuple{"s3cret", false, true}, {"secret", false, false}, {"s3cret", true, false}}) {
        WhenModal([&, typed = typed, close = close](QWidget* modal) {
            auto* pass = qobject_cast<TPassDlg*>(modal);
            ASSERT_NE(pass, nullptr);
            caption = pass->windowTitle();
            Type(pass->MaskEdit1, QString::fromUtf8(typed));
            if (close)
                pass->reject();
            else
                pass->OKBtn->click();
        });
        EXPECT_EQ(AskStartupPassword(questions, ini.StartupPassword), expected) << typed;
        EXPECT_EQ(caption, QStringLiteral("パスワード"));
    }
}

TEST(ListEditFormUi, EditedLinesButtonPlacesAndCancel) {
    QtQuestions questions;
    TListEditForm* form = questions.ListEditForm();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("ﾘｽﾄ修正"));
    EXPECT_EQ(form->OKBtn->text(), QStringLiteral("OK(&Y)"));
    EXPECT_EQ(form->CancelBtn->text(), QStringLiteral("ｷｬﾝｾﾙ"));
    EXPECT_EQ(form->Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    std::vector<std::string> kinds = PaymentKindsIni::DefaultKinds();
    WhenModal([&](QWidget* modal) {
        auto* list = qobject_cast<TListEditForm*>(modal);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->Panel1->text(), QStringLiteral("”入金種別”の修正"));
        EXPECT_EQ(list->Memo1->toPlainText(), QStringLiteral("口座振込み\n持参\n"));
        list->resize(300, 300);
        QApplication::processEvents();
        EXPECT_EQ(list->Panel2->width(), 300);
        EXPECT_EQ(list->OKBtn->x(), 63);
        EXPECT_EQ(list->CancelBtn->x(), 163);
        QTextCursor cursor = list->Memo1->textCursor();
        cursor.movePosition(QTextCursor::End);
        list->Memo1->setTextCursor(cursor);
        Type(list->Memo1, QStringLiteral("\nクレジット"));
        EXPECT_TRUE(list->isVisible());  // Enter makes a new line, it does not close
        list->OKBtn->click();
    });
    auto result = EditPaymentKinds(questions, ".", kinds);
    ASSERT_TRUE(result);
    EXPECT_EQ(*result,
              (std::vector<std::string>{sj("口座振込み"), sj("持参"), "", sj("クレジット")}));
    PaymentKindsIni ini;
    ini.Read(".");
    EXPECT_EQ(ini.Kinds, *result);

    WhenModal([&](QWidget* modal) {
        auto* list = qobject_cast<TListEditForm*>(modal);
        ASSERT_NE(list, nullptr);
        list->Memo1->setPlainText(QStringLiteral("捨てる"));
        list->CancelBtn->click();
    });
    EXPECT_FALSE(EditPaymentKinds(questions, ".", *result));
    ini.Read(".");
    EXPECT_EQ(ini.Kinds, *result);
}

TEST(VersionDlgUi, TitleAndVersion) {
    QtQuestions questions;
    bool shown = false;
    WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<TVersionDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        shown = true;
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
        EXPECT_EQ(dialog->ProductName->text(), QStringLiteral("ラヴェルト For Win32"));
        EXPECT_EQ(dialog->Version->text(), QStringLiteral("Version 1.20"));
        dialog->OKButton->click();
    });
    questions.ShowVersion();
    EXPECT_TRUE(shown);
}

TEST(CompanyInfoUi, CancelKeepsWhatWasTypedForPrintingButWritesNothing) {
    QtQuestions questions;
    CompanyInfo current;
    current.CompanyName() = sj("山田自動車");
    WhenModal([](QWidget* modal) {
        auto* form = qobject_cast<TUserSetForm*>(modal);
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->Edit2->text(), QStringLiteral("山田自動車"));
        form->Edit2->setText(QStringLiteral("山田モータース"));
        form->CancelBtn->click();
    });
    EXPECT_FALSE(EditCompanyInfo(questions, ".", current));
    EXPECT_EQ(current.CompanyName(), sj("山田モータース"));
    EXPECT_FALSE(CompanyInfo::FileExists("."));
}

TEST(QtQuestionsUi, MessageBoxButtonsAreJapaneseAndAnswersMap) {
    QtQuestions questions;
    const struct {
        const char* button;
        Answer answer;
    } cases[] = {{"はい", Answer::Yes}, {"いいえ", Answer::No}, {"キャンセル", Answer::Cancel}};
    for (const auto& c : cases) {
        QString text, title;
        WhenModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            text = box->text();
            title = box->windowTitle();
            QPushButton* button = ButtonWithText(box, QString::fromUtf8(c.button));
            ASSERT_NE(button, nullptr) << c.button;
            button->click();
        });
        EXPECT_EQ(questions.ConfirmYesNoCancel(sj("登録していません！\r登録してよろしいですか？")),
                  c.answer);
        EXPECT_EQ(text, QStringLiteral("登録していません！\n登録してよろしいですか？"));
        EXPECT_EQ(title, QStringLiteral("確認"));
    }
}

TEST(QtQuestionsUi, InputBoxGivesCp932OrNothing) {
    QtQuestions questions;
    WhenModal([](QWidget* modal) {
        auto* edit = modal->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->text(), QStringLiteral("初期"));
        edit->setText(QStringLiteral("入力した"));
        qobject_cast<QDialog*>(modal)->accept();
    });
    EXPECT_EQ(questions.InputBox({sj("題"), sj("入力してください"), sj("初期")}), sj("入力した"));
    WhenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    EXPECT_FALSE(questions.InputBox({sj("題"), sj("入力してください"), ""}));
}

TEST(QtQuestionsUi, FileDialogsStartWhereAskedAndGiveThePathChosen) {
    std::filesystem::create_directory("backup");
    std::ofstream("backup/old.csv") << "x";
    QtQuestions questions;
    FileDialogRequest request;
    request.caption = sj("リストア");
    request.directory = std::filesystem::absolute("backup");
    request.filters = {{sj("CSV ファイル"), "*.csv"}};
    WhenModal([](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("リストア"));
        EXPECT_EQ(dialog->nameFilters(), QStringList{QStringLiteral("CSV ファイル (*.csv)")});
        dialog->selectFile(QStringLiteral("old.csv"));
        static_cast<QDialog*>(dialog)->accept();
    });
    auto chosen = questions.OpenFile(request);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, std::filesystem::absolute("backup") / "old.csv");

    request.caption = sj("バックアップ");
    request.file_name = sj("入金20021205");
    request.default_extension = "csv";
    WhenModal([](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        static_cast<QDialog*>(dialog)->accept();
    });
    chosen = questions.SaveFile(request);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->filename().string(), "入金20021205.csv");

    WhenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    EXPECT_FALSE(questions.OpenFile(request));
}

}  // namespace
}  // namespace ravelto::ui
