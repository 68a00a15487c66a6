#pragma once

// The ledger window over a ledger of the test's own: its tables in the test's
// data folder, scripted answers, an injected clock and recording platform
// layers. For the Qt tests only.

#include <gtest/gtest.h>

#include <QTest>
#include <fstream>
#include <memory>

#include "core/ledger/eradate.h"
#include "core/ledger/ledger_tables.h"
#include "core/ledger/record_store.h"
#include "platform/caps_lock.h"
#include "platform/help_viewer.h"
#include "platform/printers.h"
#include "platform/user_settings.h"
#include "support/scripted_questions.h"
#include "support/workspace.h"
#include "ui/ledgerwin/receive_data_form.h"

namespace ravelto::testing {

class LedgerWindowTest : public ::testing::Test {
  protected:
    explicit LedgerWindowTest(Date today)
        : db_(Workspace::DataDir()),
          ledger_(db_.Open(ledger::ReceiveTable())),
          totals_(db_.Open(ledger::TotalsTable())),
          clock_(today) {
        std::ofstream(Workspace::StartDir() / "User.INI") << "a\r\n";
    }

    // The window created and shown, before its start-up has run.
    ui::TReceiveDataForm& CreatedWindow() {
        if (!window_) Make()->show();
        return *window_;
    }

    // The window with its record events, active, the first view built.
    ui::TReceiveDataForm& StartedWindow() {
        if (!window_) {
            Make()->UseRecordEvents(db_);
            window_->show();
            window_->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
            window_->Timer1Timer();
        }
        return *window_;
    }

    void TearDown() override {
        EXPECT_EQ(questions_.Pending(), 0u);
        window_.reset();
    }

    store::Database db_;
    store::Table& ledger_;
    store::Table& totals_;
    FixedClock clock_;
    ScriptedQuestions questions_;
    platform::RecordingCapsLock caps_lock_;
    platform::FixedPrinterList printers_{QStringList{}};
    platform::RecordingHelpViewer help_;
    platform::MemoryUserSettings user_settings_;
    std::unique_ptr<ui::TReceiveDataForm> window_;

  private:
    ui::TReceiveDataForm* Make() {
        window_ = std::make_unique<ui::TReceiveDataForm>(
            ledger_, totals_, clock_, Workspace::StartDir(), questions_,
            ui::WindowPlatform{caps_lock_, printers_, help_, user_settings_});
        return window_.get();
    }
};

}  // namespace ravelto::testing
