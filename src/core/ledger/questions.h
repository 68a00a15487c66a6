#pragma once

// Everything the program asks the user goes through Questions: message boxes,
// the one-line input box, the file dialogs and the program's own dialogs
// ("show dialog X with these values and give me its result"). The Qt layer
// answers with real dialogs, tests with scripted answers, the command-line
// tool from its flags. Text is CP932 throughout.
//
// A dialog kind is one virtual with its own request and result types; a new
// dialog adds its own virtual and leaves the others as they are.

#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ledger/company_info.h"
#include "core/ledger/eradate.h"
#include "core/ledger/title_colors.h"

namespace ravelto {

enum class MessageKind { Information, Warning, Error, Confirmation };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

struct MessageRequest {
    MessageKind kind = MessageKind::Information;
    std::string text;  // "\r" breaks a line
    MessageButtons buttons = MessageButtons::Ok;
    std::string caption;  // empty: the caption of its kind (情報, 警告, エラー, 確認)
};

struct InputRequest {
    std::string caption;
    std::string prompt;
    std::string initial;
};

struct FileFilter {
    std::string description;  // "CSV ファイル"
    std::string patterns;     // "*.csv" or "*.csv;*.txt"
};

struct FileDialogRequest {
    std::string caption;
    std::filesystem::path directory;  // first folder shown; empty: the current one
    std::string file_name;            // proposed name
    std::vector<FileFilter> filters;
    std::string default_extension;  // added to a typed name without one ("csv")
};

// TPassDlg: the start-up prompt (caption "パスワード") and the setting
// (caption "パスワードの設定"). Result: the text typed, or nothing when the
// dialog was closed without OK.
struct PasswordRequest {
    std::string caption;
};

// TUserSetForm. The fields keep what was typed also when the dialog is left
// with ｷｬﾝｾﾙ, so the result carries the values either way.
struct CompanyInfoRequest {
    CompanyInfo values;
};
struct CompanyInfoResult {
    bool ok = false;
    CompanyInfo values;
};

// TColorDlg. Result: the three names of the boxes after OK, or nothing.
struct TitleColorsRequest {
    TitleColors values;
};

// TListEditForm. Result: the lines of the memo after OK, or nothing.
struct ListEditRequest {
    std::string heading;
    std::vector<std::string> lines;
};

// TDateSDlg on a date field: the calendar is set to day 1, then to the
// year, month and day of `date` (CharToDate of the field's text), in that
// order. Result: the picked date as the dialog leaves it (ChangeChar is
// applied by the caller), or nothing when no date was picked.
struct DatePickRequest {
    std::string field_text;
    Date date;
};

class Questions {
  public:
    virtual ~Questions() = default;

    virtual Answer Message(const MessageRequest& request) = 0;
    virtual std::optional<std::string> InputBox(const InputRequest& request) = 0;
    virtual std::optional<std::filesystem::path> OpenFile(const FileDialogRequest& request) = 0;
    virtual std::optional<std::filesystem::path> SaveFile(const FileDialogRequest& request) = 0;

    virtual std::optional<std::string> AskPassword(const PasswordRequest& request) = 0;
    virtual CompanyInfoResult EditCompanyInfo(const CompanyInfoRequest& request) = 0;
    virtual std::optional<TitleColors> EditTitleColors(const TitleColorsRequest& request) = 0;
    virtual std::optional<std::vector<std::string>> EditList(const ListEditRequest& request) = 0;
    virtual void ShowVersion() = 0;
    // Without a dialog nothing is picked.
    virtual std::optional<std::string> PickDate(const DatePickRequest& request) {
        (void)request;
        return std::nullopt;
    }

    // Shorthands for the message boxes.
    void Inform(std::string_view text) {
        Message({MessageKind::Information, std::string(text), MessageButtons::Ok, {}});
    }
    void Warn(std::string_view text) {
        Message({MessageKind::Warning, std::string(text), MessageButtons::Ok, {}});
    }
    void Error(std::string_view text) {
        Message({MessageKind::Error, std::string(text), MessageButtons::Ok, {}});
    }
    bool ConfirmYesNo(std::string_view text) {
        return Message({MessageKind::Confirmation, std::string(text), MessageButtons::YesNo, {}}) ==
               Answer::Yes;
    }
    Answer ConfirmYesNoCancel(std::string_view text) {
        return Message(
            {MessageKind::Confirmation, std::string(text), MessageButtons::YesNoCancel, {}});
    }
};

// Shows the text of an error (what() in UTF-8, as every error of the program
// carries it) in an error box. Characters Shift-JIS lacks become "?".
void ShowError(Questions& questions, const std::exception& error);

// UTF-8 to CP932, never failing: characters CP932 lacks become "?".
std::string Utf8ToCp932Lossy(std::string_view utf8);

}  // namespace ravelto
