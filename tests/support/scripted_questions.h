#pragma once

// Questions answered from a queue, for tests: each question takes the next
// answer, which must be of the type that question returns (a mismatch or an
// empty queue fails the test and answers Cancel / nothing). Everything asked
// is recorded in order.

#include <any>
#include <deque>
#include <string>
#include <vector>

#include "core/ledger/questions.h"

namespace ravelto::testing {

class ScriptedQuestions : public Questions {
  public:
    struct Asked {
        std::string kind;  // "message", "input", "open", "save", "password", "company",
                           // "colors", "list", "version", "date"
        std::string text;  // message text, prompt, caption or heading (CP932)
        std::any request;  // the request as given
    };

    // The next answer. Types: Answer (Message), std::optional<std::string>
    // (InputBox, AskPassword, PickDate), std::optional<std::filesystem::path> (file
    // dialogs), CompanyInfoResult, std::optional<TitleColors>,
    // std::optional<std::vector<std::string>>. ShowVersion takes none.
    template <class T>
    ScriptedQuestions& Then(T answer) {
        answers_.emplace_back(std::move(answer));
        return *this;
    }
    ScriptedQuestions& ThenText(std::string cp932) {
        return Then(std::optional<std::string>(std::move(cp932)));
    }
    ScriptedQuestions& ThenClosed() { return Then(std::optional<std::string>()); }

    const std::vector<Asked>& AskedList() const { return asked_; }
    size_t Pending() const { return answers_.size(); }

    Answer Message(const MessageRequest& request) override;
    std::optional<std::string> InputBox(const InputRequest& request) override;
    std::optional<std::filesystem::path> OpenFile(const FileDialogRequest& request) override;
    std::optional<std::filesystem::path> SaveFile(const FileDialogRequest& request) override;
    std::optional<std::string> AskPassword(const PasswordRequest& request) override;
    CompanyInfoResult EditCompanyInfo(const CompanyInfoRequest& request) override;
    std::optional<TitleColors> EditTitleColors(const TitleColorsRequest& request) override;
    std::optional<std::vector<std::string>> EditList(const ListEditRequest& request) override;
    void ShowVersion() override;
    std::optional<std::string> PickDate(const DatePickRequest& request) override;

    // Takes the next answer as T for a question of `kind`; records the question.
    template <class T>
    T Take(const std::string& kind, const std::string& text, std::any request, T fallback);

  private:
    std::deque<std::any> answers_;
    std::vector<Asked> asked_;
};

}  // namespace ravelto::testing
