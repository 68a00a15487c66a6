#pragma once

// Questions answered by the user through real Qt dialogs: message boxes,
// QInputDialog, QFileDialog and the program's own dialogs. The program's
// dialogs are created on first use and kept until the program ends.

#include <QPointer>
#include <QWidget>

#include "core/ledger/questions.h"

namespace ravelto::ui {

class TUserSetForm;
class TColorDlg;
class TPassDlg;
class TListEditForm;
class TVersionDlg;

class QtQuestions : public Questions {
  public:
    explicit QtQuestions(QWidget* parent = nullptr);
    ~QtQuestions() override;
    QtQuestions(const QtQuestions&) = delete;
    QtQuestions& operator=(const QtQuestions&) = delete;

    // The window the dialogs belong to (the ledger window once it exists).
    void SetParent(QWidget* parent);

    Answer Message(const MessageRequest& request) override;
    std::optional<std::string> InputBox(const InputRequest& request) override;
    std::optional<std::filesystem::path> OpenFile(const FileDialogRequest& request) override;
    std::optional<std::filesystem::path> SaveFile(const FileDialogRequest& request) override;
    std::optional<std::string> AskPassword(const PasswordRequest& request) override;
    CompanyInfoResult EditCompanyInfo(const CompanyInfoRequest& request) override;
    std::optional<TitleColors> EditTitleColors(const TitleColorsRequest& request) override;
    std::optional<std::vector<std::string>> EditList(const ListEditRequest& request) override;
    void ShowVersion() override;
    // TDateSDlg, created for each date picked.
    std::optional<std::string> PickDate(const DatePickRequest& request) override;

    // The dialogs (created on first call).
    TUserSetForm* UserSetForm();
    TColorDlg* ColorDlg();
    TPassDlg* PassDlg();
    TListEditForm* ListEditForm();
    TVersionDlg* VersionDlg();

  private:
    QPointer<QWidget> parent_;
    QPointer<TUserSetForm> user_set_form_;
    QPointer<TColorDlg> color_dlg_;
    QPointer<TPassDlg> pass_dlg_;
    QPointer<TListEditForm> list_edit_form_;
    QPointer<TVersionDlg> version_dlg_;
};

// Message text of the core ("\r" breaks a line) for a Qt label.
QString MessageText(std::string_view cp932);

// A path chosen in a file dialog, and back.
std::filesystem::path ToPath(const QString& file);
QString FromPath(const std::filesystem::path& path);

}  // namespace ravelto::ui
