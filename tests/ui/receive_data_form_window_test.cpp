#include "ui/ledgerwin/receive_data_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTabBar>
#include <fstream>

#include "core/ledger/cp932.h"
#include "core/ledger/ledger_tables.h"
#include "core/ledger/record_store.h"
#include "support/ledger_window_test.h"
#include "support/workspace.h"
#include "ui/ledgerwin/record_grid.h"
#include "ui/qtext.h"

namespace ravelto::ui {
namespace {

using testing::Workspace;

class WindowTest : public testing::LedgerWindowTest {
  protected:
    WindowTest() : LedgerWindowTest({2003, 1, 15}) {}

    void AddMonth(const char* label, int mode, int records) {
        totals_.AppendRecord({sj(label)});
        totals_.Last();
        totals_.Edit();
        totals_.SetInt(sj("書込モード"), mode);
        totals_.SetInt(sj("売上"), 1000 * records);
        totals_.Post();
        for (int i = 0; i < records; ++i) {
            ledger_.Append();
            ledger_.SetText(sj("売上日"), sj(label) + sj("１０日"));
            ledger_.SetText(sj("氏名"), sj("顧客") + std::to_string(i + 1));
            ledger_.SetText(sj("ふりがな"), sj("ｺｷｬｸ"));
            ledger_.SetInt(sj("売上"), 1000);
            ledger_.SetText(sj("合計請求不含"), i == 0 ? "True" : "False");
            ledger_.Post();
        }
    }

    TReceiveDataForm& Window() { return CreatedWindow(); }

    QStringList GridNames() {
        QStringList names;
        RecordGrid* grid = Window().DBCtrlGrid1();
        for (int row = 0; row < grid->RowCount(); ++row) {
            RecordPanel* panel = grid->Panel(row);
            if (panel->isVisible()) names << panel->Memo("YomiDBMemo1")->text();
        }
        return names;
    }

    bool Caps() const { return !caps_lock_.Requests().empty() && caps_lock_.Requests().back(); }
};

TEST_F(WindowTest, ShowsTheRecordsOfTheMonthInTheGrid) {
    AddMonth("平成１４年１２月", 2, 2);
    AddMonth("平成１５年０１月", 1, 5);
    Window();
    EXPECT_EQ(Window().size(), QSize(672, 493));
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("ラヴェルト For Win32"));
    EXPECT_TRUE(GridNames().isEmpty());  // nothing before the start-up
    EXPECT_TRUE(Caps());
    Window().Timer1Timer();

    QTabBar* tabs = Window().TabControl1();
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->shape(), QTabBar::RoundedSouth);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("個人モード"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("平成１５年０１月"));
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_EQ(Window().TotalPanel()->text(), QStringLiteral("5"));
    EXPECT_EQ(Window().ModePanel()->text(), QStringLiteral("入力モード"));
    EXPECT_EQ(Window().TotalMemo("売上")->text(), QStringLiteral("5000"));

    // As many panels as fit, each bound to its own record; the scroll bar reaches the rest.
    RecordGrid* grid = Window().DBCtrlGrid1();
    EXPECT_EQ(grid->RowCount(), grid->height() / 110);
    const QStringList shown = GridNames();
    ASSERT_EQ(shown.size(), grid->RowCount());
    EXPECT_EQ(QSet<QString>(shown.begin(), shown.end()).size(), shown.size());
    for (const QString& name : shown)
        EXPECT_TRUE(name.startsWith(QStringLiteral("顧客")));
    EXPECT_EQ(grid->ScrollBar()->maximum(), 5 - grid->RowCount());
    grid->ScrollBar()->setValue(grid->ScrollBar()->maximum());
    EXPECT_EQ(grid->TopRecord(), 5 - grid->RowCount() + 1);
    Window().Action("Pr1")->trigger();  // re-renders: the grid stays where it was scrolled
    EXPECT_EQ(grid->TopRecord(), 5 - grid->RowCount() + 1);
    EXPECT_EQ(grid->Panel(grid->RowCount() - 1)->Memo("YomiDBMemo1")->text().isEmpty(), false);
    // 入力モード: the record's fields open, the sums never.
    EXPECT_TRUE(grid->Panel(0)->IsEditable("DBMemo6"));
    EXPECT_FALSE(grid->Panel(0)->IsEditable("DBMemo11"));
    EXPECT_EQ(grid->Panel(0)->Memo("DBMemo6")->text(), QStringLiteral("平成１５年０１月１０日"));

    // The closed month: nothing open, no insert, delete or 確定.
    tabs->setCurrentIndex(2);
    EXPECT_EQ(Window().ModePanel()->text(), QStringLiteral("閲覧モード"));
    for (const char* name : {"DBMemo6", "DBMemo18", "DBComboBox1", "DBCheckBox1"})
        EXPECT_FALSE(grid->Panel(0)->IsEditable(name)) << name;
    EXPECT_FALSE(Window().TopControl("DBNavigator2")->isEnabled());
    EXPECT_FALSE(Window().TopControl("DBNavigator4")->isEnabled());
    EXPECT_FALSE(Window().KakuteiPanel()->isVisible());
    EXPECT_EQ(Window().TotalPanel()->text(), QStringLiteral("2"));
    EXPECT_EQ(GridNames().size(), 2);

    // Furigana off: 92-pixel panels, the reading row hidden.
    const int rows_with = grid->RowCount();
    Window().Action("Furigana1")->trigger();
    EXPECT_FALSE(Window().Action("Furigana1")->isChecked());
    EXPECT_FALSE(grid->Panel(0)->KanaPanel()->isVisible());
    EXPECT_EQ(grid->RowCount(), std::max(1, grid->height() / 92));
    EXPECT_GE(grid->RowCount(), rows_with);
}

TEST_F(WindowTest, BalanceFilterAndSortBoxes) {
    AddMonth("平成１４年１２月", 2, 0);
    AddMonth("平成１５年０１月", 1, 0);
    struct {
        const char* date;
        const char* name;
        const char* kana;
        int balance;
    } records[] = {
        {"平成１５年０１月０１日", "済み一", "ｱ", 0},
        {"平成１５年０１月０２日", "残り", "ｳ", 1200},
        {"平成１５年０１月０３日", "済み二", "ｲ", 0},
        {"平成１４年１２月０１日", "前月残り", "ｱ", 300},
        {"平成１４年１２月０２日", "前月済み", "ｲ", 0},
    };
    int number = 0;
    for (const auto& r : records) {
        ledger_.Append();
        ledger_.SetText(sj("売上日"), sj(r.date));
        ledger_.SetText(sj("氏名"), sj(r.name));
        ledger_.SetText(sj("ふりがな"), sj(r.kana));
        ledger_.SetInt(sj("残金合計"), r.balance);
        ledger_.SetInt(sj("項番"), ++number);
        ledger_.Post();
    }
    Window().resize(672, 800);  // room for every record of a month
    Window().Timer1Timer();
    ASSERT_GE(Window().DBCtrlGrid1()->RowCount(), 3);
    EXPECT_EQ(GridNames(), (QStringList{"済み二", "残り", "済み一"}));

    Window().ComboBox1()->setCurrentText(QStringLiteral("ふりがな"));
    EXPECT_EQ(GridNames(), (QStringList{"済み一", "済み二", "残り"}));

    Window().ComboBox2()->setCurrentText(QStringLiteral("残金のみ"));
    EXPECT_EQ(GridNames(), (QStringList{"残り"}));
    EXPECT_EQ(Window().TotalPanel()->text(), QStringLiteral("1"));
    // Both hold across a tab change.
    Window().TabControl1()->setCurrentIndex(2);
    EXPECT_EQ(GridNames(), (QStringList{"前月残り"}));
    EXPECT_EQ(Window().ComboBox2()->currentText(), QStringLiteral("残金のみ"));
    Window().ComboBox2()->setCurrentText(QStringLiteral("全て"));
    EXPECT_EQ(GridNames(), (QStringList{"前月残り", "前月済み"}));
    EXPECT_EQ(Window().TotalPanel()->text(), QStringLiteral("2"));
}

TEST_F(WindowTest, EverySortChoiceReordersThePanelsAndHoldsAcrossTabChanges) {
    AddMonth("平成１４年１２月", 2, 1);
    AddMonth("平成１５年０１月", 1, 0);
    // Each order puts the three records another way.
    struct {
        const char* name;
        const char* date;
        const char* in_date;
        const char* out_date;
        const char* kana;
        int key;
    } records[] = {
        {"甲", "平成１５年０１月０２日", "平成１５年０１月０９日", "平成１５年０１月０５日", "ｳ",
         20030102},
        {"乙", "平成１５年０１月０３日", "平成１５年０１月０１日", "平成１５年０１月０７日", "ｱ",
         20030103},
        {"丙", "平成１５年０１月０１日", "平成１５年０１月０５日", "平成１５年０１月０９日", "ｲ",
         20030101},
    };
    for (const auto& r : records) {
        ledger_.Append();
        ledger_.SetText(sj("売上日"), sj(r.date));
        ledger_.SetText(sj("入庫日"), sj(r.in_date));
        ledger_.SetText(sj("出庫日"), sj(r.out_date));
        ledger_.SetText(sj("氏名"), sj(r.name));
        ledger_.SetText(sj("ふりがな"), sj(r.kana));
        ledger_.SetInt(sj("項番"), r.key);
        ledger_.Post();
    }
    Window().resize(672, 800);
    Window().Timer1Timer();
    ASSERT_GE(Window().DBCtrlGrid1()->RowCount(), 3);
    struct {
        const char* item;
        QStringList names;
    } choices[] = {
        {"入庫日", {"甲", "丙", "乙"}},
        {"出庫日", {"丙", "乙", "甲"}},
        {"ふりがな", {"乙", "丙", "甲"}},
        {"売上日", {"乙", "甲", "丙"}},
    };
    for (const auto& c : choices) {
        SCOPED_TRACE(c.item);
        Window().ComboBox1()->setCurrentText(QString::fromUtf8(c.item));
        EXPECT_EQ(GridNames(), c.names);
        Window().TabControl1()->setCurrentIndex(2);
        Window().TabControl1()->setCurrentIndex(1);
        EXPECT_EQ(GridNames(), c.names);
        EXPECT_EQ(Window().ComboBox1()->currentText(), QString::fromUtf8(c.item));
        EXPECT_EQ(Window().TotalPanel()->text(), QStringLiteral("3"));
    }
}

TEST_F(WindowTest, PersonalTabShowsTheCustomersTotals) {
    AddMonth("平成１４年１２月", 2, 2);
    AddMonth("平成１５年０１月", 1, 3);
    Window().Timer1Timer();
    ledger_.First();
    const QString name = ToQ(ledger_.Text(sj("氏名")));
    EXPECT_TRUE(Window().TotalPanel1()->isVisible());
    EXPECT_FALSE(Window().OTotalPanel()->isVisible());
    EXPECT_TRUE(Window().KakuteiPanel()->isVisible());
    EXPECT_TRUE(Window().TopControl("DBNavigator4")->isEnabled());

    Window().TabControl1()->setCurrentIndex(0);
    EXPECT_EQ(GridNames(), (QStringList{name}));
    EXPECT_FALSE(Window().TotalPanel1()->isVisible());
    EXPECT_TRUE(Window().OTotalPanel()->isVisible());
    EXPECT_TRUE(Window().OTotalLabel()->isVisible());
    EXPECT_EQ(Window().OTotalLabel()->text(), QStringLiteral("（平成１５年０１月分）"));
    EXPECT_EQ(Window().TotalLabel()->text(), QStringLiteral("残　金"));
    EXPECT_EQ(Window().OTotalMemo(5)->text(), QStringLiteral("\\1,000"));  // 売上
    EXPECT_EQ(Window().OTotalMemo(1)->text(), QStringLiteral("\\0"));
    // The personal line stands where the month line stood.
    EXPECT_EQ(Window().OTotalMemo(5)->geometry(), Window().TotalMemo("売上")->geometry());
    EXPECT_EQ(Window().ModePanel()->text(), QStringLiteral("閲覧モード"));
    EXPECT_TRUE(Window().KojinPanel()->isVisible());
    EXPECT_FALSE(Window().KakuteiPanel()->isVisible());
    EXPECT_FALSE(Window().TopControl("DBNavigator2")->isEnabled());
    EXPECT_FALSE(Window().TopControl("DBNavigator4")->isEnabled());
    RecordPanel* panel = Window().DBCtrlGrid1()->Panel(0);
    EXPECT_TRUE(panel->IsEditable("DBCheckBox1"));
    EXPECT_FALSE(panel->IsEditable("DBMemo18"));
    EXPECT_FALSE(panel->IsEditable("YomiDBMemo1"));

    // Back to the month: its own totals line.
    Window().TabControl1()->setCurrentIndex(1);
    EXPECT_TRUE(Window().TotalPanel1()->isVisible());
    EXPECT_FALSE(Window().OTotalPanel()->isVisible());
    EXPECT_FALSE(Window().OTotalLabel()->isVisible());
    EXPECT_EQ(Window().TotalLabel()->text(), QStringLiteral("合　計"));
    EXPECT_FALSE(Window().KojinPanel()->isVisible());
    EXPECT_TRUE(panel->IsEditable("DBMemo18"));
}

TEST_F(WindowTest, ResizeRules) {
    AddMonth("平成１５年０１月", 1, 1);
    Window().Timer1Timer();
    Window().resize(600, 493);
    QApplication::processEvents();
    EXPECT_EQ(Window().width(), 672);
    EXPECT_EQ(Window().SortPanel()->width(), 50);
    EXPECT_EQ(Window().LeftPanel()->x(), 0);
    EXPECT_EQ(Window().LeftPanel()->width(), 480);
    Window().resize(1000, 600);
    QApplication::processEvents();
    EXPECT_EQ(Window().SortPanel()->width(), 120);
    EXPECT_EQ(Window().FilterPanel()->width(), 120);
    EXPECT_EQ(Window().LeftPanel()->x(), 178);
    EXPECT_EQ(Window().LeftPanel()->width(), 630);
    EXPECT_EQ(Window().TotalPanel1()->width(), 1000 - 178 - 137);
    // Every record panel's block stands under the titles' block.
    RecordGrid* grid = Window().DBCtrlGrid1();
    EXPECT_EQ(grid->Panel(0)->LeftPanel1()->x(), 178);
    for (int n = 1; n <= 27; ++n)
        EXPECT_TRUE(Window().Title(n)->isVisibleTo(&Window())) << n;
    // Titles stand over their fields, on screen.
    struct Pair {
        int title;
        const char* control;
    } pairs[] = {{1, "YomiDBMemo1"},  {3, "DBMemo2"},   {7, "DBMemo6"},   {11, "DBMemo16"},
                 {12, "DBComboBox1"}, {22, "DBMemo20"}, {24, "DBMemo21"}, {27, "DBMemo24"}};
    for (const Pair& p : pairs) {
        QWidget* title = Window().Title(p.title);
        QWidget* field = grid->Panel(0)->Control(p.control);
        EXPECT_EQ(title->mapTo(&Window(), QPoint(0, 0)).x(),
                  field->mapTo(&Window(), QPoint(0, 0)).x())
            << p.control;
        EXPECT_EQ(title->width(), field->width()) << p.control;
    }
}

TEST_F(WindowTest, LockedUntilThePasswordIsGiven) {
    std::ofstream(Workspace::StartDir() / "RcPass.INI") << "pw\r\n";
    AddMonth("平成１５年０１月", 1, 3);
    Window();
    EXPECT_FALSE(Window().TabControl1()->isVisibleTo(&Window()));
    EXPECT_FALSE(Window().Action("Backup1")->isEnabled());
    EXPECT_FALSE(Window().Action("Var1")->isEnabled());
    EXPECT_TRUE(GridNames().isEmpty());
    questions_.ThenText("pw");
    Window().Timer1Timer();
    EXPECT_TRUE(Window().TabControl1()->isVisibleTo(&Window()));
    EXPECT_TRUE(Window().Action("Var1")->isEnabled());
    EXPECT_EQ(GridNames().size(), std::min(3, Window().DBCtrlGrid1()->RowCount()));
}

TEST_F(WindowTest, WrongPasswordClosesTheWindow) {
    std::ofstream(Workspace::StartDir() / "RcPass.INI") << "pw\r\n";
    AddMonth("平成１５年０１月", 1, 3);
    questions_.ThenText("nope");
    Window();
    Window().Timer1Timer();
    EXPECT_FALSE(Window().isVisible());
    EXPECT_TRUE(GridNames().isEmpty());
    EXPECT_FALSE(Caps());
}

TEST_F(WindowTest, EnterMovesToTheNextControl) {
    AddMonth("平成１５年０１月", 1, 2);
    Window().Timer1Timer();
    Window().activateWindow();
    QLineEdit* name = Window().DBCtrlGrid1()->Panel(0)->Memo("YomiDBMemo1");
    name->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), name);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(name, &enter);
    EXPECT_NE(QApplication::focusWidget(), name);
    EXPECT_EQ(QApplication::focusWidget(), Window().DBCtrlGrid1()->Panel(0)->Memo("DBMemo1"));
}

TEST_F(WindowTest, MenuTable) {
    Window();
    struct Entry {
        const char* name;
        const char* text;
        QKeySequence shortcut;
    } entries[] = {
        {"Backup1", "ﾊﾞｯｸｱｯﾌﾟ(&B)", QKeySequence(Qt::CTRL | Qt::Key_B)},
        {"Restore1", "ﾘｽﾄｱ(&R)", QKeySequence(Qt::CTRL | Qt::Key_R)},
        {"ListPrint1", "一覧印刷(&P)", QKeySequence(Qt::CTRL | Qt::Key_P)},
        {"Kakutei1", "確定設定", QKeySequence(Qt::CTRL | Qt::Key_S)},
        {"Find1", "検索(&F)", QKeySequence(Qt::CTRL | Qt::Key_F)},
        {"FindNext1", "次を検索(&S)", QKeySequence(Qt::Key_F3)},
        {"FindBack1", "前を検索(&B)", QKeySequence(Qt::SHIFT | Qt::Key_F3)},
        {"Var1", "ﾊﾞｰｼﾞｮﾝ情報（&A)", {}},
        {"Contents1", "目次(&C)", {}},
        {"Exit1", "終了(&X)", {}},
    };
    for (const Entry& e : entries) {
        QAction* a = Window().Action(e.name);
        ASSERT_NE(a, nullptr) << e.name;
        EXPECT_EQ(a->text(), QString::fromUtf8(e.text));
        EXPECT_EQ(a->shortcut(), e.shortcut) << e.name;
    }
    for (int i = 1; i <= 10; ++i)
        EXPECT_FALSE(Window().Action(("Print" + std::to_string(i)).c_str())->isVisible());
    EXPECT_FALSE(Window().Action("RepairWrite1")->isVisible());
    EXPECT_FALSE(Window().Action("ImportSet1")->isVisible());
    EXPECT_FALSE(Window().Action("WriteSet1")->isVisible());
    EXPECT_TRUE(Window().Action("DispItem1")->isChecked());
    EXPECT_TRUE(Window().Action("Settle0")->isChecked());
    EXPECT_FALSE(Window().Action("Settle20")->isChecked());
    EXPECT_FALSE(Window().Action("Pr1")->isChecked());
    const QList<QAction*> menus = Window().menuBar()->actions();
    ASSERT_EQ(menus.size(), 4);
    EXPECT_EQ(menus[0]->text(), QStringLiteral("ﾌｧｲﾙ(&F)"));
    EXPECT_EQ(menus[3]->text(), QStringLiteral("ﾍﾙﾌﾟ(&H)"));
}

TEST_F(WindowTest, CloseQuestionCancelKeepsTheWindowOpen) {
    AddMonth("平成１５年０１月", 1, 1);
    Window().Timer1Timer();
    ledger_.Edit();
    ledger_.SetText(sj("氏名"), sj("変更"));
    questions_.Then(Answer::Cancel);
    EXPECT_FALSE(Window().close());
    EXPECT_EQ(questions_.AskedList().size(), 1u);
    EXPECT_TRUE(Window().isVisible());
    EXPECT_FALSE(Caps());
    EXPECT_TRUE(std::filesystem::exists(Workspace::StartDir() / "Receive.INI"));
    questions_.Then(Answer::No);
    EXPECT_TRUE(Window().close());
    // The placement is kept for the next start.
    EXPECT_EQ(user_settings_.ReadInt(QStringLiteral("Ravelto"), QStringLiteral("CarData Width")),
              std::optional<int32_t>(Window().frameGeometry().width()));
}

}  // namespace
}  // namespace ravelto::ui
