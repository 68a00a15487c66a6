// Record entry through the ledger window's real controls: keys typed into the
// record grid, leaving fields, clicks on panels and the navigators, with the
// record events on real tables and scripted answers.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTabBar>
#include <QTest>
#include <QToolButton>
#include <fstream>

#include "core/ledger/cp932.h"
#include "core/ledger/ledger_tables.h"
#include "core/ledger/record_store.h"
#include "platform/caps_lock.h"
#include "platform/help_viewer.h"
#include "platform/printers.h"
#include "platform/user_settings.h"
#include "support/scripted_questions.h"
#include "support/workspace.h"
#include "ui/ledgerwin/receive_data_form.h"
#include "ui/ledgerwin/record_grid.h"
#include "ui/qtext.h"

namespace ravelto::ui {
namespace {

using testing::Workspace;

const char* const kDec = "平成１４年１２月";
const char* const kNov = "平成１４年１１月";

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class RecordEntryTest : public ::testing::Test {
  protected:
    RecordEntryTest()
        : db_(Workspace::DataDir()),
          ledger_(db_.Open(ledger::ReceiveTable())),
          totals_(db_.Open(ledger::TotalsTable())),
          clock_({2002, 12, 10}) {
        std::ofstream(Workspace::StartDir() / "User.INI") << "a\r\n";
    }

    // A month's totals record and its records, each of 売上 1000 still owed.
    void AddMonth(const char* label, int mode, int records) {
        totals_.AppendRecord({sj(label)});
        ASSERT_TRUE(totals_.Locate(sj("売上日"), {sj(label)}, false));
        totals_.Edit();
        totals_.SetInt(sj("書込モード"), mode);
        for (const char* f : {"売上", "請求合計", "売掛残金", "残金合計"})
            totals_.SetInt(sj(f), 1000 * records);
        totals_.Post();
        for (int i = 0; i < records; ++i) {
            ledger_.Append();
            ledger_.SetText(sj("売上日"), sj(label) + sj("０") + std::to_string(i + 1) + sj("日"));
            ledger_.SetText(sj("氏名"), sj("顧客") + std::to_string(i + 1));
            for (const char* f : {"売上", "請求合計", "売掛残金", "残金合計"})
                ledger_.SetInt(sj(f), 1000);
            ledger_.Post();
        }
    }

    TReceiveDataForm& Window() {
        if (!window_) {
            window_ = std::make_unique<TReceiveDataForm>(
                ledger_, totals_, clock_, Workspace::StartDir(), questions_,
                WindowPlatform{caps_lock_, printers_, help_, user_settings_});
            window_->UseRecordEvents(db_);
            window_->show();
            window_->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
            window_->Timer1Timer();
        }
        return *window_;
    }

    RecordGrid* Grid() { return Window().DBCtrlGrid1(); }
    QLineEdit* Memo(int row, const char* name) { return Grid()->Panel(row)->Memo(name); }
    QToolButton* Nav(const char* navigator, const char* hint) {
        return Window().TopControl(navigator)->findChild<QToolButton*>(U(navigator) + "_" +
                                                                       U(hint));
    }

    // Keys into a control of the grid, as the user types them.
    void Type(QLineEdit* edit, const QString& text) {
        edit->setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(edit->hasFocus());
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    // Text the input method commits into a control: committed to the field.
    void Compose(QLineEdit* edit, const char* utf8) {
        edit->setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(edit->hasFocus());
        edit->selectAll();
        QInputMethodEvent event;
        event.setCommitString(U(utf8));
        QApplication::sendEvent(edit, &event);
    }
    // Enter: the window moves on to the next control.
    void Enter(QWidget* w) { QTest::keyClick(w, Qt::Key_Return); }

    std::vector<std::string> Messages() const {
        std::vector<std::string> out;
        for (const auto& asked : questions_.AskedList())
            if (asked.kind == "message") out.push_back(Cp932ToUtf8(asked.text));
        return out;
    }

    void TearDown() override {
        EXPECT_EQ(questions_.Pending(), 0u);
        window_.reset();
    }

    store::Database db_;
    store::Table& ledger_;
    store::Table& totals_;
    FixedClock clock_;
    testing::ScriptedQuestions questions_;
    platform::RecordingCapsLock caps_lock_;
    platform::FixedPrinterList printers_{QStringList{}};
    platform::RecordingHelpViewer help_;
    platform::MemoryUserSettings user_settings_;
    std::unique_ptr<TReceiveDataForm> window_;
};

TEST_F(RecordEntryTest, AmountTypedAndLeftMovesTheBalancesAndEscapeRestoresThem) {
    AddMonth(kDec, 1, 2);
    AddMonth(kNov, 2, 0);
    Window();
    ASSERT_EQ(Grid()->CurrentRow(), 0);
    const QString name = Memo(0, "YomiDBMemo1")->text();
    EXPECT_EQ(Memo(0, "DBMemo24")->text(), "1000");
    EXPECT_EQ(Window().TotalMemo("残金合計")->text(), "2000");

    // A key puts the record into edit state; nothing is written before the commit.
    Type(Memo(0, "DBMemo18"), "300");
    EXPECT_EQ(ledger_.GetState(), store::State::Edit);
    EXPECT_EQ(ledger_.Text(sj("入金額1")), "");
    EXPECT_EQ(Memo(0, "DBMemo18")->text(), "300");
    Enter(Memo(0, "DBMemo18"));
    EXPECT_FALSE(Memo(0, "DBMemo18")->hasFocus());
    EXPECT_EQ(ledger_.Int(sj("入金額1")), 300);
    EXPECT_EQ(Memo(0, "DBMemo24")->text(), "700");
    EXPECT_EQ(Window().TotalMemo("残金合計")->text(), "1700");
    EXPECT_EQ(Window().TotalMemo("入金額")->text(), "300");

    // Escape in the record drops the edit and the totals' share of it.
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, Qt::Key_Escape);
    EXPECT_EQ(ledger_.GetState(), store::State::Browse);
    EXPECT_EQ(Memo(0, "DBMemo18")->text(), "");
    EXPECT_EQ(Memo(0, "DBMemo24")->text(), "1000");
    EXPECT_EQ(Window().TotalMemo("残金合計")->text(), "2000");
    EXPECT_EQ(Window().TotalMemo("入金額")->text(), "");

    // The same through the cancel navigator, after typing without leaving.
    Type(Memo(0, "DBMemo18"), "400");
    Nav("DBNavigator3", "取消")->click();
    EXPECT_EQ(ledger_.GetState(), store::State::Browse);
    EXPECT_EQ(Memo(0, "DBMemo18")->text(), "");
    EXPECT_EQ(Window().TotalMemo("入金額")->text(), "");

    // Posted: the record and its totals are stored.
    Type(Memo(0, "DBMemo18"), "250");
    Nav("DBNavigator1", "登録")->click();
    EXPECT_EQ(ledger_.GetState(), store::State::Browse);
    EXPECT_EQ(Memo(0, "YomiDBMemo1")->text(), name);
    EXPECT_EQ(Memo(0, "DBMemo24")->text(), "750");
    EXPECT_EQ(Window().TotalMemo("残金合計")->text(), "1750");
    EXPECT_EQ(totals_.GetState(), store::State::Browse);
    EXPECT_TRUE(Messages().empty());

    // A click in a date field shows its hint in the status bar.
    QTest::mouseClick(Memo(0, "DBMemo17"), Qt::LeftButton);
    EXPECT_EQ(Window().statusBar()->currentMessage(),
              U(" ダブルクリックでカレンダー表示で入力出来ます。"));
}

TEST_F(RecordEntryTest, AmountThatIsNoNumberIsRefusedAndTheFieldShowsTheOldValue) {
    AddMonth(kDec, 1, 1);
    AddMonth(kNov, 2, 0);
    Window();
    questions_.Then(Answer::Ok);
    Type(Memo(0, "DBMemo13"), "abc");
    Enter(Memo(0, "DBMemo13"));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Memo(0, "DBMemo13")->text(), "1000");
    EXPECT_EQ(ledger_.Int(sj("売上")), 1000);
    EXPECT_EQ(Window().TotalMemo("売上")->text(), "1000");

    // Beyond 32 bits: refused the same way, never wrapped.
    questions_.Then(Answer::Ok);
    Type(Memo(0, "DBMemo13"), "4294967296");
    Enter(Memo(0, "DBMemo13"));
    EXPECT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Memo(0, "DBMemo13")->text(), "1000");
    Nav("DBNavigator1", "登録")->click();
    EXPECT_EQ(ledger_.Int(sj("売上")), 1000);
}

TEST_F(RecordEntryTest, ClickOnAnotherPanelPostsTheTypedRecordAndMovesThere) {
    AddMonth(kDec, 1, 3);
    Window();
    ASSERT_GE(Grid()->RowCount(), 2);
    ASSERT_EQ(ledger_.RecNo(), 1);
    const QString first = Memo(0, "YomiDBMemo1")->text();

    Type(Memo(0, "DBMemo18"), "100");
    QTest::mouseClick(Memo(1, "YomiDBMemo1"), Qt::LeftButton);
    EXPECT_EQ(ledger_.GetState(), store::State::Browse);
    EXPECT_EQ(ledger_.RecNo(), 2);
    EXPECT_EQ(Grid()->CurrentRow(), 1);
    // The first record was stored with what was typed into it.
    ASSERT_TRUE(ledger_.Locate(sj("氏名"), {FromQKeeping(first, "")}, false));
    EXPECT_EQ(ledger_.Int(sj("入金額1")), 100);
    EXPECT_EQ(Window().TotalMemo("残金合計")->text(), "2900");
}

TEST_F(RecordEntryTest, TypingIntoTheBlankPanelOfAnEmptyMonthBeginsARecord) {
    AddMonth(kDec, 1, 0);
    AddMonth(kNov, 2, 1);
    Window();
    ASSERT_EQ(ledger_.RecordCount(), 0);
    EXPECT_TRUE(Memo(0, "YomiDBMemo1")->isVisible());
    EXPECT_EQ(Grid()->CurrentRow(), 0);

    Compose(Memo(0, "YomiDBMemo1"), "山田");
    EXPECT_EQ(ledger_.GetState(), store::State::Insert);
    EXPECT_EQ(ledger_.Text(sj("氏名")), sj("山田"));
    Enter(Memo(0, "YomiDBMemo1"));
    EXPECT_EQ(Memo(0, "YomiDBMemo1")->text(), U("山田"));

    // No 売上日: neither the post nor the tab change lets it go.
    questions_.Then(Answer::Ok);
    Nav("DBNavigator1", "登録")->click();
    questions_.Then(Answer::Ok);
    Window().TabControl1()->setCurrentIndex(2);
    EXPECT_EQ(Window().TabControl1()->currentIndex(), 1);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"　売上日を入力してください。",
                                                    "　売上日を入力してください。"}));
    EXPECT_EQ(ledger_.GetState(), store::State::Insert);

    Compose(Memo(0, "DBMemo6"), "平成１４年１２月０５日");
    Type(Memo(0, "DBMemo13"), "1500");
    Enter(Memo(0, "DBMemo13"));
    Nav("DBNavigator1", "登録")->click();
    EXPECT_EQ(ledger_.GetState(), store::State::Browse);
    ASSERT_EQ(ledger_.RecordCount(), 1);
    EXPECT_EQ(ledger_.Int(sj("売上")), 1500);
    EXPECT_EQ(Window().TotalMemo("売上")->text(), "1500");
    EXPECT_EQ(Memo(0, "DBMemo6")->text(), U("平成１４年１２月０５日"));
    EXPECT_EQ(Window().TotalPanel()->text(), "1");
}

TEST_F(RecordEntryTest, NavigatorsInsertAndDeleteWithTheDateDialogAndTheExclusionMark) {
    AddMonth(kDec, 1, 2);
    AddMonth(kNov, 2, 0);
    Window();

    // The exclusion mark toggles the record's field, nothing else.
    auto* mark = qobject_cast<QCheckBox*>(Grid()->Panel(0)->Control("DBCheckBox1"));
    ASSERT_NE(mark, nullptr);
    QTest::mouseClick(mark, Qt::LeftButton);
    EXPECT_EQ(ledger_.GetState(), store::State::Edit);
    EXPECT_EQ(ledger_.Text(sj("合計請求不含")), "True");
    EXPECT_TRUE(mark->isChecked());
    Nav("DBNavigator3", "取消")->click();
    EXPECT_FALSE(mark->isChecked());

    // A new record: its panel is blank and current; the date comes from the dialog.
    Nav("DBNavigator4", "追加")->click();
    ASSERT_EQ(ledger_.GetState(), store::State::Insert);
    const int row = Grid()->CurrentRow();
    ASSERT_GE(row, 0);
    EXPECT_EQ(Memo(row, "YomiDBMemo1")->text(), "");
    questions_.ThenText(sj("平成14年12月05日"));
    QTest::mouseDClick(Memo(row, "DBMemo6"), Qt::LeftButton);
    EXPECT_FALSE(ledger_.Text(sj("売上日")).empty());
    EXPECT_EQ(Memo(row, "DBMemo6")->text(), ToQ(ledger_.Text(sj("売上日"))));
    Type(Memo(row, "DBMemo13"), "500");
    Nav("DBNavigator1", "登録")->click();
    EXPECT_EQ(ledger_.GetState(), store::State::Browse);
    EXPECT_EQ(ledger_.RecordCount(), 3);
    EXPECT_EQ(Window().TotalMemo("売上")->text(), "2500");
    EXPECT_EQ(Window().TotalPanel()->text(), "3");

    // Delete asks once, in Japanese, and takes the record's share off the totals.
    ASSERT_TRUE(ledger_.Locate(sj("売上"), {"500"}, false));
    Grid()->FollowCursor();
    questions_.Then(Answer::Yes);
    Nav("DBNavigator2", "削除")->click();
    EXPECT_EQ(Messages(), std::vector<std::string>{"レコードを削除しますか？"});
    EXPECT_EQ(ledger_.RecordCount(), 2);
    EXPECT_EQ(Window().TotalMemo("売上")->text(), "2000");
    EXPECT_EQ(Window().TotalPanel()->text(), "2");
}

TEST_F(RecordEntryTest, ClosingWithARecordThatCannotBeSavedKeepsTheWindowOpen) {
    AddMonth(kDec, 1, 1);
    Window();
    Nav("DBNavigator4", "追加")->click();
    Type(Memo(Grid()->CurrentRow(), "DBMemo13"), "700");
    // Yes, save it: refused without a 売上日, so the window stays with the record.
    questions_.Then(Answer::Yes).Then(Answer::Ok);
    EXPECT_FALSE(Window().close());
    EXPECT_TRUE(Window().isVisible());
    EXPECT_EQ(ledger_.GetState(), store::State::Insert);
    EXPECT_EQ(ledger_.Int(sj("売上")), 700);
    // No: dropped, and the totals keep nothing of it.
    questions_.Then(Answer::No);
    EXPECT_TRUE(Window().close());
    EXPECT_EQ(ledger_.RecordCount(), 1);
    EXPECT_EQ(totals_.Int(sj("売上")), 1000);
}

}  // namespace
}  // namespace ravelto::ui
