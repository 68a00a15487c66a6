#include "ui/qt_questions.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include "core/ledger/cp932.h"
#include "ui/application_setup.h"
#include "ui/components/color_dlg.h"
#include "ui/components/date_dialog.h"
#include "ui/components/list_edit_form.h"
#include "ui/components/pass_dlg.h"
#include "ui/components/user_set_form.h"
#include "ui/components/version_dlg.h"
#include "ui/qtext.h"

namespace ravelto::ui {

namespace {

QString KindCaption(MessageKind kind) {
    switch (kind) {
        case MessageKind::Information:
            return QStringLiteral("情報");
        case MessageKind::Warning:
            return QStringLiteral("警告");
        case MessageKind::Error:
            return QStringLiteral("エラー");
        case MessageKind::Confirmation:
            return QStringLiteral("確認");
    }
    return {};
}

QString FilterText(const std::vector<FileFilter>& filters) {
    QStringList parts;
    for (const auto& filter : filters) {
        QString patterns = ToQ(filter.patterns);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        parts << ToQ(filter.description) + QStringLiteral(" (") + patterns + QStringLiteral(")");
    }
    return parts.join(QStringLiteral(";;"));
}

// Qt's own file dialog: Japanese like the rest of the program, whatever the desktop.
std::optional<std::filesystem::path> RunFileDialog(QWidget* parent,
                                                   const FileDialogRequest& request,
                                                   QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, ToQ(request.caption));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    if (!request.directory.empty()) dialog.setDirectory(FromPath(request.directory));
    if (!request.file_name.empty()) dialog.selectFile(ToQ(request.file_name));
    if (!request.filters.empty()) dialog.setNameFilter(FilterText(request.filters));
    if (!request.default_extension.empty()) dialog.setDefaultSuffix(ToQ(request.default_extension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return ToPath(dialog.selectedFiles().first());
}

}  // namespace

QString MessageText(std::string_view cp932) {
    QString text = ToQ(cp932);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

std::filesystem::path ToPath(const QString& file) {
#ifdef _WIN32
    return std::filesystem::path(file.toStdWString());
#else
    return std::filesystem::path(file.toStdString());
#endif
}

QString FromPath(const std::filesystem::path& path) {
#ifdef _WIN32
    return QString::fromStdWString(path.wstring());
#else
    return QString::fromStdString(path.string());
#endif
}

QtQuestions::QtQuestions(QWidget* parent) : parent_(parent) {}

QtQuestions::~QtQuestions() {
    // Dialogs without a parent window are ours to delete.
    for (QWidget* dialog : std::initializer_list<QWidget*>{user_set_form_, color_dlg_, pass_dlg_,
                                                           list_edit_form_, version_dlg_})
        if (dialog != nullptr && dialog->parent() == nullptr) delete dialog;
}

void QtQuestions::SetParent(QWidget* parent) {
    parent_ = parent;
    for (QWidget* dialog : std::initializer_list<QWidget*>{user_set_form_, color_dlg_, pass_dlg_,
                                                           list_edit_form_, version_dlg_})
        if (dialog != nullptr) dialog->setParent(parent, dialog->windowFlags());
}

Answer QtQuestions::Message(const MessageRequest& request) {
    QMessageBox box(parent_);
    switch (request.kind) {
        case MessageKind::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case MessageKind::Warning:
            box.setIcon(QMessageBox::Warning);
            break;
        case MessageKind::Error:
            box.setIcon(QMessageBox::Critical);
            break;
        case MessageKind::Confirmation:
            box.setIcon(QMessageBox::Question);
            break;
    }
    box.setWindowTitle(request.caption.empty() ? KindCaption(request.kind) : ToQ(request.caption));
    box.setText(MessageText(request.text));
    switch (request.buttons) {
        case MessageButtons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MessageButtons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case MessageButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            break;
        case MessageButtons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Yes);
            break;
    }
    int result = box.exec();
    switch (result) {
        case QMessageBox::Ok:
            return Answer::Ok;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            // Closed by the window's close box: the safe answer.
            return request.buttons == MessageButtons::YesNo ? Answer::No
                   : request.buttons == MessageButtons::Ok  ? Answer::Ok
                                                            : Answer::Cancel;
    }
}

std::optional<std::string> QtQuestions::InputBox(const InputRequest& request) {
    QString text = ToQ(request.initial);
    for (;;) {
        bool ok = false;
        text = QInputDialog::getText(parent_, ToQ(request.caption), MessageText(request.prompt),
                                     QLineEdit::Normal, text, &ok);
        if (!ok) return std::nullopt;
        try {
            return FromQ(text);
        } catch (const TextError& error) {
            QMessageBox::warning(parent_, ToQ(request.caption), QString::fromUtf8(error.what()));
        }
    }
}

std::optional<std::filesystem::path> QtQuestions::OpenFile(const FileDialogRequest& request) {
    return RunFileDialog(parent_, request, QFileDialog::AcceptOpen);
}

std::optional<std::filesystem::path> QtQuestions::SaveFile(const FileDialogRequest& request) {
    return RunFileDialog(parent_, request, QFileDialog::AcceptSave);
}

TUserSetForm* QtQuestions::UserSetForm() {
    if (!user_set_form_) user_set_form_ = new TUserSetForm(parent_);
    return user_set_form_;
}

TColorDlg* QtQuestions::ColorDlg() {
    if (!color_dlg_) color_dlg_ = new TColorDlg(parent_);
    return color_dlg_;
}

TPassDlg* QtQuestions::PassDlg() {
    if (!pass_dlg_) pass_dlg_ = new TPassDlg(parent_);
    return pass_dlg_;
}

TListEditForm* QtQuestions::ListEditForm() {
    if (!list_edit_form_) list_edit_form_ = new TListEditForm(parent_);
    return list_edit_form_;
}

TVersionDlg* QtQuestions::VersionDlg() {
    if (!version_dlg_) version_dlg_ = new TVersionDlg(parent_);
    return version_dlg_;
}

std::optional<std::string> QtQuestions::AskPassword(const PasswordRequest& request) {
    TPassDlg* dialog = PassDlg();
    dialog->Prepare(ToQ(request.caption));
    if (dialog->exec() != QDialog::Accepted) return std::nullopt;
    return FromQ(dialog->Text());
}

CompanyInfoResult QtQuestions::EditCompanyInfo(const CompanyInfoRequest& request) {
    TUserSetForm* dialog = UserSetForm();
    dialog->SetValues(request.values);
    bool ok = dialog->exec() == QDialog::Accepted;
    return {ok, dialog->Values()};
}

std::optional<TitleColors> QtQuestions::EditTitleColors(const TitleColorsRequest& request) {
    TColorDlg* dialog = ColorDlg();
    dialog->SetValues(request.values);
    if (dialog->exec() != QDialog::Accepted) return std::nullopt;
    return dialog->Values();
}

std::optional<std::vector<std::string>> QtQuestions::EditList(const ListEditRequest& request) {
    TListEditForm* dialog = ListEditForm();
    dialog->SetHeading(ToQ(request.heading));
    dialog->SetLines(request.lines);
    if (dialog->exec() != QDialog::Accepted) return std::nullopt;
    return dialog->Lines();
}

void QtQuestions::ShowVersion() {
    VersionDlg()->exec();
}

std::optional<std::string> QtQuestions::PickDate(const DatePickRequest& request) {
    // The dialog opens on the field's date, whatever today is.
    const FixedClock shown(request.date);
    TDateSDlg dialog(shown, parent_);
    dialog.SetCalendarDay(1);
    dialog.SetCalendarYear(request.date.year);
    dialog.SetCalendarMonth(request.date.month);
    dialog.SetCalendarDay(request.date.day);
    dialog.exec();
    std::string picked = dialog.PickedText();
    if (picked.empty()) return std::nullopt;
    return picked;
}

}  // namespace ravelto::ui
