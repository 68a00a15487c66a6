// A post that the storage refuses, through the ledger window's real controls:
// the error is shown and the record panel still holds what was typed, with
// its balances and the month's totals, ready to be posted again.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <fstream>

#include "core/ledger/cp932.h"
#include "core/ledger/ledger_tables.h"
#include "core/ledger/record_store.h"
#include "support/ledger_window_test.h"
#include "support/workspace.h"
#include "ui/ledgerwin/receive_data_form.h"
#include "ui/ledgerwin/record_grid.h"

namespace ravelto::ui {
namespace {

using testing::Workspace;

class RecordEntryFailureTest : public testing::LedgerWindowTest {
  protected:
    RecordEntryFailureTest() : LedgerWindowTest({2002, 12, 10}) {
        // The open month with one record of 売上 1000, and a closed month.
        totals_.AppendRecord(
            {sj("平成１４年１１月"), "", "", "", "", "", "", "", "", "", "", "", "2"});
        totals_.AppendRecord({sj("平成１４年１２月"), "", "", "", "", "1000", "1000", "", "", "",
                              "1000", "1000", "1"});
        ledger_.Append();
        ledger_.SetText(sj("売上日"), sj("平成１４年１２月０１日"));
        ledger_.SetText(sj("氏名"), sj("顧客"));
        for (const char* f : {"売上", "請求合計", "売掛残金", "残金合計"})
            ledger_.SetInt(sj(f), 1000);
        ledger_.Post();
    }

    TReceiveDataForm& Window() { return StartedWindow(); }

    QLineEdit* Memo(const char* name) { return Window().DBCtrlGrid1()->Panel(0)->Memo(name); }
    QToolButton* PostButton() {
        return Window()
            .TopControl("DBNavigator1")
            ->findChild<QToolButton*>(QString::fromUtf8("DBNavigator1_登録"));
    }

    // Every write to the totals file fails until the trigger is dropped.
    void RefuseTotalsWrites(bool on) {
        sqlite3* other = nullptr;
        ASSERT_EQ(sqlite3_open((Workspace::DataDir() / "RcivTotal.db").string().c_str(), &other),
                  SQLITE_OK);
        const char* sql = on ? "CREATE TRIGGER refuse BEFORE UPDATE ON records "
                               "BEGIN SELECT RAISE(ABORT, 'disk error'); END"
                             : "DROP TRIGGER refuse";
        EXPECT_EQ(sqlite3_exec(other, sql, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(other);
    }

    std::vector<std::string> Stored(const store::TableDef& def, const char* field) {
        store::Database other(Workspace::DataDir());
        store::Table& t = other.Open(def);
        std::vector<std::string> out;
        for (int i = 1; i <= t.RecordCount(); ++i)
            out.push_back(t.ReadAt(i).Text(sj(field)));
        return out;
    }
};

TEST_F(RecordEntryFailureTest, AFailedPostShowsTheErrorAndKeepsWhatWasTyped) {
    Window();
    QLineEdit* payment = Memo("DBMemo18");
    payment->setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(payment->hasFocus());
    QTest::keyClicks(payment, "300");
    QTest::keyClick(payment, Qt::Key_Return);
    ASSERT_EQ(Memo("DBMemo24")->text(), "700");
    ASSERT_EQ(Window().TotalMemo("入金額")->text(), "300");

    RefuseTotalsWrites(true);
    questions_.Then(Answer::Ok);
    PostButton()->click();
    ASSERT_EQ(questions_.AskedList().size(), 1u);
    EXPECT_FALSE(questions_.AskedList()[0].text.empty());
    EXPECT_EQ(ledger_.GetState(), store::State::Edit);
    EXPECT_EQ(Memo("DBMemo18")->text(), "300");
    EXPECT_EQ(Memo("DBMemo24")->text(), "700");
    EXPECT_EQ(Window().TotalMemo("入金額")->text(), "300");
    EXPECT_EQ(Window().TotalMemo("残金合計")->text(), "700");
    EXPECT_EQ(Stored(ledger::ReceiveTable(), "入金額1"), std::vector<std::string>{""});

    // Once the storage takes writes again, the same post stores it once.
    RefuseTotalsWrites(false);
    PostButton()->click();
    EXPECT_EQ(ledger_.GetState(), store::State::Browse);
    EXPECT_EQ(Stored(ledger::ReceiveTable(), "入金額1"), std::vector<std::string>{"300"});
    EXPECT_EQ(Stored(ledger::TotalsTable(), "入金額"), (std::vector<std::string>{"", "300"}));
    EXPECT_EQ(Stored(ledger::TotalsTable(), "残金合計"), (std::vector<std::string>{"", "700"}));
    EXPECT_EQ(Window().TotalMemo("残金合計")->text(), "700");
}

}  // namespace
}  // namespace ravelto::ui
