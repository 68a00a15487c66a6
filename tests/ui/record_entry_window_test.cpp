// Record entry through the ledger window's real controls: keys typed into the
// record grid, leaving fields, clicks on panels and the navigators, with the
// record events on real tables and scripted answers.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>
#include <fstream>
#include <utility>

#include "core/ledger/cp932.h"
#include "core/ledger/ledger_tables.h"
#include "core/ledger/record_store.h"
#include "support/ledger_window_test.h"
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

class RecordEntryTest : public testing::LedgerWindowTest {
  protected:
    RecordEntryTest() : LedgerWindowTest({2002, 12, 10}) {}

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

    TReceiveDataForm& Window() { return StartedWindow(); }

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

TEST_F(RecordEntryTest, TextWithACharacterTheLedgerCannotHoldIsRefusedAndKeptToMend) {
    AddMonth(kDec, 1, 1);
    AddMonth(kNov, 2, 0);
    Window();
    const std::string name = ledger_.Text(sj("氏名"));
    QLineEdit* memo = Memo(0, "YomiDBMemo1");

    // Committed by the input method: a message naming the character,
    // nothing written, the text still there.
    questions_.Then(Answer::Ok);
    Compose(memo, "髙橋😀");
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages()[0].find("U+1F600"), std::string::npos) << Messages()[0];
    EXPECT_EQ(memo->text(), U("髙橋😀"));
    EXPECT_EQ(ledger_.Text(sj("氏名")), name);

    // A post waits for it too, and writes nothing.
    questions_.Then(Answer::Ok);
    Nav("DBNavigator1", "登録")->click();
    EXPECT_EQ(Messages().size(), 2u);
    EXPECT_EQ(memo->text(), U("髙橋😀"));
    EXPECT_EQ(store::Database(Workspace::DataDir())
                  .Open(ledger::ReceiveTable())
                  .ReadAt(1)
                  .Text(sj("氏名")),
              name);

    // Mended, it is taken: 髙 is a character of the ledger's own.
    Compose(memo, "髙橋");
    Nav("DBNavigator1", "登録")->click();
    EXPECT_EQ(Messages().size(), 2u);
    EXPECT_EQ(ledger_.GetState(), store::State::Browse);
    EXPECT_EQ(ledger_.Text(sj("氏名")), sj("髙橋"));
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

TEST_F(RecordEntryTest, TheFirstTotalsOfAFreshLedgerShowWhileTheRecordIsEntered) {
    Window();
    ASSERT_EQ(Window().TabControl1()->count(), 2);
    ASSERT_EQ(totals_.RecordCount(), 0);
    EXPECT_EQ(Window().TotalMemo("売上")->text(), "");

    Compose(Memo(0, "YomiDBMemo1"), "山田");
    Compose(Memo(0, "DBMemo6"), "平成１４年１２月０５日");
    Type(Memo(0, "DBMemo13"), "1500");
    Enter(Memo(0, "DBMemo13"));
    // The month's totals record being begun shows as it follows the record.
    EXPECT_EQ(totals_.GetState(), store::State::Insert);
    EXPECT_EQ(Window().TotalMemo("売上")->text(), "1500");
    EXPECT_EQ(Window().TotalMemo("残金合計")->text(), "1500");
    EXPECT_EQ(Window().TotalMemo("入金額")->text(), "0");

    Nav("DBNavigator1", "登録")->click();
    EXPECT_EQ(totals_.RecordCount(), 1);
    EXPECT_EQ(Window().TotalMemo("売上")->text(), "1500");
    EXPECT_TRUE(Messages().empty());
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

// ---- Typed text not yet committed, and what comes before its commit ------------

// What the user does while text typed into a field still waits for its commit.
enum class Interruption {
    ScrollBar,   // the scroll bar moves the record's panel out of sight
    Wheel,       // the wheel does
    NextButton,  // navigator buttons
    PostButton,
    InsertButton,
    TabChange,
    SortBox,
    BalanceBox,
    CloseWindow,
    MenuOpened,    // a menu is opened with the mouse
    MenuShortcut,  // a menu command's shortcut
    MenuCommand,   // a menu command (当月のみ)
};

const char* NameOf(Interruption i) {
    switch (i) {
        case Interruption::ScrollBar:
            return "ScrollBar";
        case Interruption::Wheel:
            return "Wheel";
        case Interruption::NextButton:
            return "NextButton";
        case Interruption::PostButton:
            return "PostButton";
        case Interruption::InsertButton:
            return "InsertButton";
        case Interruption::TabChange:
            return "TabChange";
        case Interruption::SortBox:
            return "SortBox";
        case Interruption::BalanceBox:
            return "BalanceBox";
        case Interruption::CloseWindow:
            return "CloseWindow";
        case Interruption::MenuOpened:
            return "MenuOpened";
        case Interruption::MenuShortcut:
            return "MenuShortcut";
        case Interruption::MenuCommand:
            return "MenuCommand";
    }
    return "";
}

class TypedTextTest : public RecordEntryTest, public ::testing::WithParamInterface<Interruption> {
  protected:
    // Six records of the open month (more than the panels show) and a closed
    // month to change to.
    void SetUpLedger() {
        AddMonth(kDec, 1, 6);
        AddMonth(kNov, 2, 1);
        Window();
        ASSERT_LT(Grid()->RowCount(), 6);
        ASSERT_EQ(Grid()->CurrentRow(), 0);
        name_ = Memo(0, "YomiDBMemo1")->text();
    }

    void Interrupt(Interruption i) {
        QLineEdit* memo = Memo(0, "DBMemo18");
        switch (i) {
            case Interruption::ScrollBar:
                Grid()->ScrollBar()->setValue(Grid()->ScrollBar()->maximum());
                break;
            case Interruption::Wheel: {
                const QPointF at(20, 20);
                QWheelEvent wheel(at, Grid()->mapToGlobal(at), QPoint(), QPoint(0, -120),
                                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(Grid(), &wheel);
                break;
            }
            case Interruption::NextButton:
                Nav("DBNavigator1", "次へ")->click();
                break;
            case Interruption::PostButton:
                Nav("DBNavigator1", "登録")->click();
                break;
            case Interruption::InsertButton:
                Nav("DBNavigator4", "追加")->click();
                break;
            case Interruption::TabChange:
                Window().TabControl1()->setCurrentIndex(2);
                break;
            case Interruption::SortBox:
                Window().ComboBox1()->setCurrentText(U("ふりがな"));
                break;
            case Interruption::BalanceBox:
                Window().ComboBox2()->setCurrentText(U("残金のみ"));
                break;
            case Interruption::CloseWindow:
                Window().close();
                break;
            case Interruption::MenuOpened: {
                QMenuBar* bar = Window().menuBar();
                QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier,
                                  bar->actionGeometry(bar->actions()[1]).center());
                QWidget* popup = QApplication::activePopupWidget();
                opened_ = popup != nullptr;
                if (popup != nullptr) popup->close();
                QApplication::processEvents();
                break;
            }
            case Interruption::MenuShortcut:
                QTest::keyClick(memo, Qt::Key_B, Qt::ControlModifier);
                break;
            case Interruption::MenuCommand:
                Window().Action("Pr1")->trigger();
                break;
        }
    }

    // The user is where they were before the refused commit.
    void ExpectStayed(Interruption i) {
        SCOPED_TRACE(NameOf(i));
        EXPECT_TRUE(Window().isVisible());
        EXPECT_EQ(Window().TabControl1()->currentIndex(), 1);
        EXPECT_EQ(ledger_.RecNo(), 1);
        EXPECT_EQ(Grid()->TopRecord(), 1);
        EXPECT_EQ(Grid()->ScrollBar()->value(), 0);
        EXPECT_EQ(Grid()->CurrentRow(), 0);
        EXPECT_EQ(Window().ComboBox1()->currentText(), U("売上日"));
        EXPECT_EQ(Window().ComboBox2()->currentText(), U("全て"));
        EXPECT_FALSE(Window().Action("Pr1")->isChecked());
        EXPECT_NE(ledger_.GetState(), store::State::Insert);
    }

    QString name_;
    bool opened_ = true;
};

TEST_P(TypedTextTest, TypedAmountReachesTheRecordFirst) {
    const Interruption what = GetParam();
    SetUpLedger();
    Type(Memo(0, "DBMemo18"), "300");
    ASSERT_EQ(ledger_.Text(sj("入金額1")), "");
    if (what == Interruption::CloseWindow) questions_.Then(Answer::Yes);  // save it
    Interrupt(what);
    EXPECT_TRUE(opened_);
    // Held by the record being entered, or stored with it.
    if (ledger_.GetState() == store::State::Edit) {
        EXPECT_EQ(ledger_.Int(sj("入金額1")), 300);
    }

    // Whatever came next, the record holds what was typed, counted once.
    if (Window().isVisible()) {
        if (ledger_.GetState() == store::State::Insert) Nav("DBNavigator3", "取消")->click();
        if (ledger_.GetState() == store::State::Edit) Nav("DBNavigator1", "登録")->click();
        if (Window().TabControl1()->currentIndex() != 1) Window().TabControl1()->setCurrentIndex(1);
    }
    EXPECT_EQ(ledger_.GetState(), store::State::Browse);
    ASSERT_TRUE(ledger_.Locate(sj("氏名"), {FromQKeeping(name_, "")}, false));
    EXPECT_EQ(ledger_.Int(sj("入金額1")), 300);
    EXPECT_EQ(ledger_.Int(sj("残金合計")), 700);
    EXPECT_EQ(totals_.Int(sj("入金額")), 300);
    EXPECT_EQ(totals_.Int(sj("残金合計")), 5700);
    // No message but the closing's own question.
    EXPECT_EQ(Messages().size(), what == Interruption::CloseWindow ? 1u : 0u);
}

TEST_P(TypedTextTest, RefusedAmountKeepsTheUserWhereTheyWere) {
    const Interruption what = GetParam();
    SetUpLedger();
    Type(Memo(0, "DBMemo18"), "12x");
    questions_.Then(Answer::Ok);
    Interrupt(what);
    ASSERT_EQ(Messages().size(), 1u);
    ExpectStayed(what);
    EXPECT_EQ(Memo(0, "DBMemo18")->text(), "");
    EXPECT_EQ(ledger_.Text(sj("入金額1")), "");
    // The field keeps the window's focus.
    EXPECT_EQ(Window().focusWidget(), Memo(0, "DBMemo18"));
    EXPECT_EQ(totals_.Int(sj("入金額")), 0);
}

INSTANTIATE_TEST_SUITE_P(Interruptions, TypedTextTest,
                         ::testing::Values(Interruption::ScrollBar, Interruption::Wheel,
                                           Interruption::NextButton, Interruption::PostButton,
                                           Interruption::InsertButton, Interruption::TabChange,
                                           Interruption::SortBox, Interruption::BalanceBox,
                                           Interruption::CloseWindow, Interruption::MenuOpened,
                                           Interruption::MenuShortcut, Interruption::MenuCommand),
                         [](const ::testing::TestParamInfo<Interruption>& info) {
                             return std::string(NameOf(info.param));
                         });

TEST_F(RecordEntryTest, ScrollingCommitsAsLeavingAndTheFocusGoesWithItsRecord) {
    AddMonth(kDec, 1, 6);
    Window();
    RecordGrid* grid = Grid();
    ASSERT_GE(grid->RowCount(), 2);
    // The second record at the top, current, with a sales date of another
    // month typed (not committed by the input method): the scroll runs the
    // range check, which empties the field and keeps the grid where it is.
    grid->ScrollBar()->setValue(1);
    QTest::mouseClick(Memo(0, "YomiDBMemo1"), Qt::LeftButton);
    ASSERT_EQ(ledger_.RecNo(), 2);
    const QString name = Memo(0, "YomiDBMemo1")->text();
    Memo(0, "DBMemo6")->setFocus(Qt::MouseFocusReason);
    Memo(0, "DBMemo6")->selectAll();
    QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, U("平成１４年１１月３０日"));
    QApplication::sendEvent(Memo(0, "DBMemo6"), &key);
    ASSERT_EQ(Grid()->Panel(0)->TypedField(), ledger_.FieldIndex(sj("売上日")));
    questions_.Then(Answer::Ok);
    grid->ScrollBar()->setValue(0);
    EXPECT_EQ(Messages(), std::vector<std::string>{"　売上日が範囲外です。"});
    EXPECT_EQ(ledger_.Text(sj("売上日")), "");
    EXPECT_EQ(grid->TopRecord(), 2);
    EXPECT_EQ(Memo(0, "DBMemo6")->text(), "");
    EXPECT_TRUE(Memo(0, "DBMemo6")->hasFocus());

    // An amount typed, then one up: the record and the focus go to the
    // second panel, and the field was left on the way (the balances follow).
    Compose(Memo(0, "DBMemo6"), "平成１４年１２月２０日");
    Type(Memo(0, "DBMemo18"), "400");
    grid->ScrollBar()->setValue(0);
    ASSERT_EQ(grid->CurrentRow(), 1);
    EXPECT_EQ(Memo(1, "YomiDBMemo1")->text(), name);
    EXPECT_TRUE(Memo(1, "DBMemo18")->hasFocus());
    EXPECT_EQ(ledger_.Int(sj("入金額1")), 400);
    EXPECT_EQ(ledger_.Int(sj("残金合計")), 600);
    EXPECT_EQ(Window().TotalMemo("残金合計")->text(), "5600");

    // Out of sight: the focus leaves the panels, none of which holds typed text.
    Type(Memo(1, "DBMemo18"), "500");
    grid->ScrollBar()->setValue(grid->ScrollBar()->maximum());
    EXPECT_EQ(grid->CurrentRow(), -1);
    EXPECT_FALSE(grid->Panel(1)->isAncestorOf(QApplication::focusWidget()));
    EXPECT_EQ(ledger_.Int(sj("入金額1")), 500);
    EXPECT_EQ(Window().TotalMemo("残金合計")->text(), "5500");
    for (int row = 0; row < grid->RowCount(); ++row)
        EXPECT_EQ(grid->Panel(row)->TypedField(), -1);
    grid->ScrollBar()->setValue(0);
    EXPECT_EQ(Memo(1, "DBMemo18")->text(), "500");
    Nav("DBNavigator1", "登録")->click();
    EXPECT_EQ(ledger_.GetState(), store::State::Browse);
    EXPECT_EQ(totals_.Int(sj("残金合計")), 5500);
}

TEST_F(RecordEntryTest, ShrinkingTheWindowKeepsTheTypedTextAndTheRecordInSight) {
    AddMonth(kDec, 1, 6);
    Window().resize(672, 800);
    QApplication::processEvents();
    const int rows = Grid()->RowCount();
    ASSERT_GE(rows, 4);
    QTest::mouseClick(Memo(rows - 1, "DBMemo1"), Qt::LeftButton);
    ASSERT_EQ(ledger_.RecNo(), rows);
    const QString name = Memo(rows - 1, "YomiDBMemo1")->text();
    Type(Memo(rows - 1, "DBMemo18"), "300");

    Window().resize(672, 493);
    QApplication::processEvents();
    ASSERT_LT(Grid()->RowCount(), rows);
    const int row = Grid()->CurrentRow();
    ASSERT_EQ(row, Grid()->RowCount() - 1);
    EXPECT_EQ(Memo(row, "YomiDBMemo1")->text(), name);
    EXPECT_EQ(Memo(row, "DBMemo18")->text(), "300");
    EXPECT_TRUE(Memo(row, "DBMemo18")->hasFocus());
    EXPECT_EQ(ledger_.Text(sj("入金額1")), "");
    Enter(Memo(row, "DBMemo18"));
    EXPECT_EQ(ledger_.RecNo(), rows);
    EXPECT_EQ(ledger_.Int(sj("入金額1")), 300);
    EXPECT_EQ(Window().TotalMemo("残金合計")->text(), "5700");
}

TEST_F(RecordEntryTest, TopBarButtonsCommitTheTypedTextBeforeTheirClick) {
    AddMonth(kDec, 1, 2);
    Window();
    auto* button = Window().KakuteiPanel()->findChild<QPushButton*>(QStringLiteral("Button1"));
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isVisible());
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });

    // Refused: the message, and the click goes nowhere.
    Type(Memo(0, "DBMemo18"), "9x");
    questions_.Then(Answer::Ok);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(Messages().size(), 1u);
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(Memo(0, "DBMemo18")->hasFocus());

    // The cancel navigator drops a bad entry without a word about it.
    Type(Memo(0, "DBMemo18"), "9x");
    QTest::mouseClick(Nav("DBNavigator3", "取消"), Qt::LeftButton);
    EXPECT_EQ(Messages().size(), 1u);
    EXPECT_EQ(ledger_.GetState(), store::State::Browse);
    EXPECT_EQ(Memo(0, "DBMemo18")->text(), "");

    Type(Memo(0, "DBMemo18"), "300");
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(ledger_.Int(sj("入金額1")), 300);
    EXPECT_TRUE(Memo(0, "DBMemo18")->hasFocus());
}

TEST_F(RecordEntryTest, TheFocusFollowsTheCurrentRecordToItsPanel) {
    AddMonth(kDec, 1, 3);
    AddMonth(kNov, 2, 1);
    Window();
    ASSERT_GE(Grid()->RowCount(), 2);
    Memo(0, "DBMemo18")->setFocus(Qt::MouseFocusReason);
    Nav("DBNavigator1", "次へ")->click();
    ASSERT_EQ(Grid()->CurrentRow(), 1);
    EXPECT_TRUE(Memo(1, "DBMemo18")->hasFocus());
    // Typing goes into the record that is current, nowhere else.
    Type(Memo(1, "DBMemo18"), "100");
    Enter(Memo(1, "DBMemo18"));
    EXPECT_EQ(ledger_.RecNo(), 2);
    EXPECT_EQ(ledger_.Int(sj("入金額1")), 100);
    Nav("DBNavigator1", "登録")->click();
    // A tab change lands on the first record of the month shown.
    Window().TabControl1()->setCurrentIndex(2);
    ASSERT_EQ(Grid()->CurrentRow(), 0);
    EXPECT_TRUE(Grid()->Panel(0)->isAncestorOf(QApplication::focusWidget()));
}

// ---- The payment-kind lists and the status-bar hints, by mode ------------------

// Where the current record stands: the open month with a record entered
// here (入力モード) or imported (引用モード), a closed month, personal mode.
enum class Where { Entry, Quoted, Closed, Personal };

class RecordModesTest : public RecordEntryTest {
  protected:
    // The open month holds a record entered here and an imported one (書込モード 1).
    void SetUpLedger(bool inspection_linked) {
        if (inspection_linked) std::ofstream(Workspace::StartDir() / "Tessaro.exe") << "";
        AddMonth(kDec, 1, 2);
        AddMonth(kNov, 2, 1);
        ASSERT_TRUE(ledger_.Locate(sj("氏名"), {sj("顧客2")}, false));
        ledger_.Edit();
        ledger_.SetInt(sj("書込モード"), 1);
        ledger_.Post();
        Window();
    }
    void GoTo(Where where) {
        switch (where) {
            case Where::Entry:
            case Where::Quoted: {
                const char* name = where == Where::Entry ? "顧客1" : "顧客2";
                for (int row = 0; row < Grid()->RowCount(); ++row)
                    if (Memo(row, "YomiDBMemo1")->text() == U(name))
                        QTest::mouseClick(Memo(row, "DBMemo1"), Qt::LeftButton);
                ASSERT_EQ(Memo(Grid()->CurrentRow(), "YomiDBMemo1")->text(), U(name));
                ASSERT_EQ(Window().ModePanel()->text(),
                          U(where == Where::Entry ? "入力モード" : "引用モード"));
                break;
            }
            case Where::Closed:
                Window().TabControl1()->setCurrentIndex(2);
                ASSERT_EQ(Window().ModePanel()->text(), U("閲覧モード"));
                break;
            case Where::Personal:
                Window().TabControl1()->setCurrentIndex(0);
                ASSERT_EQ(Window().ModePanel()->text(), U("閲覧モード"));
                break;
        }
        ASSERT_GE(Grid()->CurrentRow(), 0);
    }
};

TEST_F(RecordModesTest, PaymentKindChoiceWritesTheRecordWhereThePaymentsAreOpen) {
    SetUpLedger(false);
    struct {
        Where where;
        bool written;
    } cases[] = {
        {Where::Entry, true},
        {Where::Quoted, true},
        {Where::Closed, false},
        {Where::Personal, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.where));
        if (Window().TabControl1()->currentIndex() != 1) Window().TabControl1()->setCurrentIndex(1);
        GoTo(c.where);
        const int row = Grid()->CurrentRow();
        for (const auto& [control, field] :
             {std::pair{"DBComboBox1", "お預り種別"}, std::pair{"DBComboBox2", "入金1種別"},
              std::pair{"DBComboBox3", "入金2種別"}}) {
            SCOPED_TRACE(control);
            auto* combo = qobject_cast<QComboBox*>(Grid()->Panel(row)->Control(control));
            ASSERT_NE(combo, nullptr);
            ASSERT_EQ(combo->count(), 2);  // 口座振込み, 持参
            const std::string before = ledger_.Text(sj(field));
            // The user picks the second kind with the keyboard.
            combo->setFocus(Qt::MouseFocusReason);
            QTest::keyClick(combo, Qt::Key_Down);
            if (c.written) {
                EXPECT_EQ(ledger_.GetState(), store::State::Edit);
                EXPECT_EQ(ledger_.Text(sj(field)), sj("持参"));
                EXPECT_EQ(combo->currentText(), U("持参"));
            } else {
                EXPECT_EQ(ledger_.GetState(), store::State::Browse);
                EXPECT_EQ(ledger_.Text(sj(field)), before);
                // The list shows the record's kind, not a choice that was not taken.
                EXPECT_EQ(combo->currentText(), ToQ(before));
            }
        }
        if (c.written) {
            Nav("DBNavigator1", "登録")->click();
            EXPECT_EQ(ledger_.Text(sj("入金2種別")), sj("持参"));
        }
    }
    EXPECT_TRUE(Messages().empty());
}

// With and without the inspection program beside the ledger.
class HintTest : public RecordModesTest, public ::testing::WithParamInterface<bool> {};

TEST_P(HintTest, HintsInTheStatusBarFollowTheMode) {
    const bool linked = GetParam();
    const char* const calendar = " ダブルクリックでカレンダー表示で入力出来ます。";
    const char* const postal = " ダブルクリックで郵便番号７桁検索で入力出来ます。";
    const char* const address = " ダブルクリックで住所検索で入力出来ます。";
    const char* const inspection = linked ? " ダブルクリックで車検管理表から呼び出せます。" : "";
    struct {
        Where where;
        const char* control;
        const char* hint;  // empty: the status bar is emptied
    } cases[] = {
        {Where::Entry, "DBMemo2", postal},
        {Where::Entry, "DBMemo26", address},
        {Where::Entry, "DBMemo6", calendar},
        {Where::Entry, "DBMemo8", calendar},
        {Where::Entry, "DBMemo19", calendar},
        {Where::Entry, "YomiDBMemo1", inspection},
        {Where::Entry, "DBMemo5", inspection},
        {Where::Entry, "DBMemo25", inspection},
        {Where::Entry, "DBMemo16", ""},
        {Where::Entry, "DBMemo24", ""},
        {Where::Quoted, "DBMemo2", ""},
        {Where::Quoted, "DBMemo26", ""},
        {Where::Quoted, "DBMemo6", ""},
        {Where::Quoted, "DBMemo15", calendar},  // the payments stay open
        {Where::Quoted, "YomiDBMemo1", ""},
        {Where::Quoted, "DBMemo18", ""},
        {Where::Closed, "DBMemo2", ""},
        {Where::Closed, "DBMemo26", ""},
        {Where::Closed, "DBMemo7", ""},
        {Where::Closed, "DBMemo17", ""},
        {Where::Closed, "YomiDBMemo1", ""},
        {Where::Closed, "DBMemo13", ""},
        {Where::Personal, "DBMemo6", ""},
        {Where::Personal, "YomiDBMemo1", ""},
    };
    SetUpLedger(linked);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.control);
        SCOPED_TRACE(static_cast<int>(c.where));
        const int tab = c.where == Where::Closed ? 2 : (c.where == Where::Personal ? 0 : 1);
        if (Window().TabControl1()->currentIndex() != tab || tab == 1) {
            if (Window().TabControl1()->currentIndex() != 1)
                Window().TabControl1()->setCurrentIndex(1);
            GoTo(c.where);
        }
        Window().statusBar()->showMessage(U("前の表示"));
        QTest::mouseClick(Memo(Grid()->CurrentRow(), c.control), Qt::LeftButton);
        EXPECT_EQ(Window().statusBar()->currentMessage(), U(c.hint));
    }
    EXPECT_TRUE(Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(InspectionLink, HintTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Linked" : "NotLinked");
                         });

}  // namespace
}  // namespace ravelto::ui
