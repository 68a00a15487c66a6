#pragma once

// What the ledger window does with its five settings dialogs: the company
// information, the title colours, the start-up password, the payment-kind
// list and the version. Each asks through Questions and writes its settings
// file through the settings structures; a file that cannot be written ends
// the OK with the file's error shown, and what was typed stays in memory.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/ledger/company_info.h"
#include "core/ledger/questions.h"
#include "core/ledger/title_colors.h"

namespace ravelto {

// Texts of the dialogs, UTF-8 as the windows show them.
namespace dialog_text {
inline constexpr const char* kUserSetCaption = "自社情報";
inline constexpr const char* kColorCaption = "ﾀｲﾄﾙ色変更";
inline constexpr const char* kColorLabels[3] = {"ﾀｲﾄﾙの色", "境界線の色", "書き込み不可部分の色"};
inline constexpr const char* kPassCaption = "パスワード";
inline constexpr const char* kPassSetCaption = "パスワードの設定";
inline constexpr const char* kPassPrompt = "パスワードを入力してください。";
inline constexpr const char* kListEditCaption = "ﾘｽﾄ修正";
inline constexpr const char* kPaymentKindsHeading = "”入金種別”の修正";
inline constexpr const char* kVersionCaption = "ﾊﾞｰｼﾞｮﾝ情報";
inline constexpr const char* kProductTitle = "ラヴェルト For Win32";
inline constexpr const char* kVersionLine = "Version 1.20";
inline constexpr const char* kOk = "OK";
inline constexpr const char* kListOk = "OK(&Y)";
inline constexpr const char* kCancel = "ｷｬﾝｾﾙ";
}  // namespace dialog_text

// 自社情報(&J): shows the company information. What was typed becomes
// `current` whether the dialog ends with OK or ｷｬﾝｾﾙ (printing uses it until
// the program ends); OK also writes User.INI. Returns true for OK.
bool EditCompanyInfo(Questions& questions, const std::filesystem::path& start_dir,
                     CompanyInfo& current);

// The start-up step: without User.INI in the start directory, ask for the
// company information once.
void AskCompanyInfoWhenMissing(Questions& questions, const std::filesystem::path& start_dir,
                               CompanyInfo& current);

// ﾀｲﾄﾙ色変更(&T): shows the colour dialog with `current`. After OK the new
// names are returned (the caller applies them) and RcTitleColor.INI is
// written; otherwise nothing changes.
std::optional<TitleColors> EditTitleColors(Questions& questions,
                                           const std::filesystem::path& start_dir,
                                           const TitleColors& current);

// パスワードの設定: asks for the new password; after OK RcPass.INI holds the
// text typed (empty removes the password from the next start). Returns true
// when the file was written.
bool SetStartupPassword(Questions& questions, const std::filesystem::path& start_dir);

// The start-up prompt. True when no password is set or the text typed is
// exactly the password; closing the prompt without OK refuses.
bool AskStartupPassword(Questions& questions, std::string_view startup_password);

// リスト修正 ▸ 入金種別: edits the payment kinds. After OK the memo's lines
// are returned (the caller gives them to the three payment-kind boxes) and
// RcInType.INI is written; ｷｬﾝｾﾙ returns nothing.
std::optional<std::vector<std::string>> EditPaymentKinds(Questions& questions,
                                                         const std::filesystem::path& start_dir,
                                                         const std::vector<std::string>& current);

// The lines of a memo's text (CR LF or LF), empty lines kept as empty
// entries; a line end at the very end starts no new line.
std::vector<std::string> MemoLines(std::string_view text);
// The memo text of a list: each line followed by a line end.
std::string MemoText(const std::vector<std::string>& lines, std::string_view line_end = "\n");

// Left edges of the list dialog's two buttons for a bottom panel `width`
// wide: one third and two thirds of the width, less 37.
std::pair<int, int> ListEditButtonLefts(int width);

}  // namespace ravelto
