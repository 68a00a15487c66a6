#include "support/scripted_questions.h"

#include <gtest/gtest.h>

#include "core/ledger/cp932.h"

namespace ravelto::testing {

template <class T>
T ScriptedQuestions::Take(const std::string& kind, const std::string& text, std::any request,
                          T fallback) {
    asked_.push_back({kind, text, std::move(request)});
    if (answers_.empty()) {
        ADD_FAILURE() << "no scripted answer for " << kind << ": " << Cp932ToUtf8Lenient(text);
        return fallback;
    }
    std::any answer = std::move(answers_.front());
    answers_.pop_front();
    if (T* value = std::any_cast<T>(&answer)) return std::move(*value);
    ADD_FAILURE() << "scripted answer of the wrong type for " << kind << ": "
                  << Cp932ToUtf8Lenient(text) << " (got " << answer.type().name() << ")";
    return fallback;
}

Answer ScriptedQuestions::Message(const MessageRequest& request) {
    return Take<Answer>("message", request.text, request, Answer::Cancel);
}

std::optional<std::string> ScriptedQuestions::InputBox(const InputRequest& request) {
    return Take<std::optional<std::string>>("input", request.prompt, request, std::nullopt);
}

std::optional<std::filesystem::path> ScriptedQuestions::OpenFile(const FileDialogRequest& request) {
    return Take<std::optional<std::filesystem::path>>("open", request.caption, request,
                                                      std::nullopt);
}

std::optional<std::filesystem::path> ScriptedQuestions::SaveFile(const FileDialogRequest& request) {
    return Take<std::optional<std::filesystem::path>>("save", request.caption, request,
                                                      std::nullopt);
}

std::optional<std::string> ScriptedQuestions::AskPassword(const PasswordRequest& request) {
    return Take<std::optional<std::string>>("password", request.caption, request, std::nullopt);
}

CompanyInfoResult ScriptedQuestions::EditCompanyInfo(const CompanyInfoRequest& request) {
    return Take<CompanyInfoResult>("company", {}, request,
                                   CompanyInfoResult{false, request.values});
}

std::optional<TitleColors> ScriptedQuestions::EditTitleColors(const TitleColorsRequest& request) {
    return Take<std::optional<TitleColors>>("colors", {}, request, std::nullopt);
}

std::optional<std::vector<std::string>> ScriptedQuestions::EditList(
    const ListEditRequest& request) {
    return Take<std::optional<std::vector<std::string>>>("list", request.heading, request,
                                                         std::nullopt);
}

std::optional<std::string> ScriptedQuestions::PickDate(const DatePickRequest& request) {
    return Take<std::optional<std::string>>("date", request.field_text, request, std::nullopt);
}

void ScriptedQuestions::ShowVersion() {
    asked_.push_back({"version", {}, {}});
}

}  // namespace ravelto::testing
