#pragma once

// What every benchmark shares: generated ledgers, made once per size for the
// whole run in a folder that is removed when the run ends, and a question
// interface that nobody answers.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/ledger/ledger_generator.h"
#include "core/ledger/questions.h"

namespace ravelto::bench {

// This run's folder under the temporary directory.
const std::filesystem::path& BenchRoot();

struct BenchLedger {
    std::filesystem::path start_dir;  // holds User.INI, so the start-up asks nothing
    std::filesystem::path data_dir;   // start_dir / "CARDATA"
    ledger::GeneratedLedger info;
};

// The generated ledger of `records` records, made on first use.
const BenchLedger& GeneratedLedgerOf(int records);

// Benchmarks never ask: every question gets the plain answer.
class NoQuestions : public Questions {
  public:
    Answer Message(const MessageRequest&) override { return Answer::Ok; }
    std::optional<std::string> InputBox(const InputRequest&) override { return {}; }
    std::optional<std::filesystem::path> OpenFile(const FileDialogRequest&) override { return {}; }
    std::optional<std::filesystem::path> SaveFile(const FileDialogRequest&) override { return {}; }
    std::optional<std::string> AskPassword(const PasswordRequest&) override { return {}; }
    CompanyInfoResult EditCompanyInfo(const CompanyInfoRequest& r) override {
        return {false, r.values};
    }
    std::optional<TitleColors> EditTitleColors(const TitleColorsRequest&) override { return {}; }
    std::optional<std::vector<std::string>> EditList(const ListEditRequest&) override { return {}; }
    void ShowVersion() override {}
};

}  // namespace ravelto::bench
