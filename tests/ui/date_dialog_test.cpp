#include "ui/components/date_dialog.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "core/ledger/cp932.h"

namespace ravelto::ui {
namespace {

class DateDialogTest : public ::testing::Test {
  protected:
    DateDialogTest() : clock_({2002, 12, 5}), dialog_(clock_) {}

    // Opens the dialog as a date field does, on the date of the field's text.
    void Open(const char* field_text) {
        dialog_.SetDateFromText(sj(field_text));
        dialog_.show();
        QApplication::processEvents();
    }

    std::string Era() const { return dialog_.YearLabel->text().toStdString(); }
    int Year() const { return dialog_.YearEdit->value(); }
    int Month() const { return dialog_.MonthEdit->value(); }

    // A real mouse click on the cell of a day of the month shown.
    void ClickDay(int day) {
        auto* view = dialog_.Calendar1->findChild<QTableView*>();
        ASSERT_NE(view, nullptr);
        const QAbstractItemModel* model = view->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            for (int column = 0; column < model->columnCount(); ++column) {
                const QModelIndex index = model->index(row, column);
                // Day 15 and its neighbours appear once: the grey days of the months
                // before and after lie at the two ends of the grid.
                if (model->data(index).toString() == QString::number(day)) {
                    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                                      view->visualRect(index).center());
                    return;
                }
            }
        }
        FAIL() << "no cell for day " << day;
    }

    void TypeYear(const char* digits) {
        dialog_.YearEdit->selectAll();
        QTest::keyClicks(dialog_.YearEdit, QString::fromLatin1(digits));
    }

    FixedClock clock_;
    TDateSDlg dialog_;
};

TEST_F(DateDialogTest, ClickOnADayPicksItAndCloses) {
    Open("平成１４年１２月０５日");
    EXPECT_EQ(Era(), "平成");
    EXPECT_EQ(Year(), 14);
    EXPECT_EQ(Month(), 12);

    ClickDay(15);
    EXPECT_TRUE(dialog_.Picked());
    EXPECT_TRUE(dialog_.Timer1->isActive());
    EXPECT_TRUE(dialog_.isVisible());  // closes when Timer1 fires
    dialog_.Timer1Timer();

    EXPECT_FALSE(dialog_.isVisible());
    EXPECT_EQ(dialog_.result(), QDialog::Accepted);
    EXPECT_EQ(dialog_.DateEdit->text().toStdString(), "平成14年12月15日");
    EXPECT_EQ(Cp932ToUtf8(dialog_.PickedText()), "平成１４年１２月１５日");
}

TEST_F(DateDialogTest, MovingByYearOrMonthDoesNotClose) {
    Open("平成１４年０１月３１日");
    TypeYear("12");
    EXPECT_EQ(dialog_.CalendarDate(), (Date{2000, 1, 31}));
    QTest::keyClick(dialog_.MonthEdit, Qt::Key_Up);  // February: the day comes down to fit
    EXPECT_EQ(dialog_.CalendarDate(), (Date{2000, 2, 29}));
    TypeYear("13");
    EXPECT_EQ(dialog_.CalendarDate(), (Date{2001, 2, 28}));
    QTest::keyClick(dialog_.MonthEdit, Qt::Key_Up);
    EXPECT_EQ(dialog_.CalendarDate(), (Date{2001, 3, 28}));

    QApplication::processEvents();
    EXPECT_FALSE(dialog_.Picked());
    EXPECT_FALSE(dialog_.Timer1->isActive());
    EXPECT_TRUE(dialog_.isVisible());

    // Closed without a pick, the dialog leaves nothing behind.
    QTest::keyClick(&dialog_, Qt::Key_Escape);
    EXPECT_FALSE(dialog_.isVisible());
    EXPECT_TRUE(dialog_.DateEdit->text().isEmpty());
    EXPECT_EQ(dialog_.PickedText(), "");
}

TEST_F(DateDialogTest, YearEditRollsBetweenEras) {
    Open("平成１４年１２月０５日");
    TypeYear("0");
    EXPECT_EQ(Era(), "昭和");
    EXPECT_EQ(Year(), 63);
    EXPECT_EQ(dialog_.CalendarDate(), (Date{1988, 12, 5}));

    TypeYear("64");  // 昭和６４年 is 平成元年 for the dialog
    EXPECT_EQ(Era(), "平成");
    EXPECT_EQ(Year(), 1);
    EXPECT_EQ(dialog_.CalendarDate().year, 1989);

    TypeYear("100");  // two era digits end at 平成９９年
    EXPECT_EQ(Year(), 99);
    EXPECT_EQ(dialog_.CalendarDate().year, 2087);
}

TEST_F(DateDialogTest, YearEditStaysInTheEraTable) {
    Open("明治０３年０５月１０日");
    EXPECT_EQ(Era(), "明治");
    EXPECT_EQ(Year(), 3);
    TypeYear("0");
    EXPECT_EQ(Era(), "明治");
    EXPECT_EQ(Year(), 1);
    EXPECT_EQ(dialog_.CalendarDate(), (Date{1868, 5, 10}));
    EXPECT_EQ(dialog_.Calendar1->minimumDate(), QDate(1868, 1, 1));
    EXPECT_EQ(dialog_.Calendar1->maximumDate(), QDate(2087, 12, 31));
}

TEST_F(DateDialogTest, EraShownIsChosenByTheYearAlone) {
    Open("昭和６３年０６月０１日");
    EXPECT_EQ(Era(), "昭和");
    EXPECT_EQ(Year(), 63);
    dialog_.reject();

    Open("昭和６４年０１月０５日");
    EXPECT_EQ(Era(), "平成");
    EXPECT_EQ(Year(), 1);
    EXPECT_EQ(Month(), 1);
    // The picked date itself is written by the day each era began.
    ClickDay(5);
    dialog_.Timer1Timer();
    EXPECT_EQ(dialog_.DateEdit->text().toStdString(), "昭和64年01月05日");
}

TEST_F(DateDialogTest, KeysMoveTheCalendarAndEnterPicks) {
    Open("平成１４年１２月３１日");
    auto* view = dialog_.Calendar1->findChild<QTableView*>();
    ASSERT_NE(view, nullptr);
    QTest::keyClick(view, Qt::Key_Right);
    EXPECT_EQ(dialog_.CalendarDate(), (Date{2003, 1, 1}));
    EXPECT_EQ(Year(), 15);  // the edits follow the calendar
    EXPECT_EQ(Month(), 1);
    EXPECT_FALSE(dialog_.Picked());

    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_TRUE(dialog_.Picked());
    dialog_.Timer1Timer();
    EXPECT_EQ(Cp932ToUtf8(dialog_.PickedText()), "平成１５年０１月０１日");
}

TEST_F(DateDialogTest, ShowingAgainForgetsTheLastPick) {
    Open("平成１４年１２月０５日");
    ClickDay(15);
    dialog_.Timer1Timer();
    ASSERT_FALSE(dialog_.DateEdit->text().isEmpty());

    Open("平成１４年１２月０５日");
    EXPECT_TRUE(dialog_.DateEdit->text().isEmpty());
    EXPECT_FALSE(dialog_.Picked());
    dialog_.close();  // the window's close button
    EXPECT_TRUE(dialog_.DateEdit->text().isEmpty());
}

TEST_F(DateDialogTest, EmptyFieldOpensOnToday) {
    clock_.Set({2026, 12, 11});
    Open("");
    EXPECT_EQ(dialog_.CalendarDate(), (Date{2026, 12, 11}));
    EXPECT_EQ(Era(), "平成");
    EXPECT_EQ(Year(), 38);
}

TEST_F(DateDialogTest, PickDateRunsModallyAndGivesTheTextToStore) {
    QMetaObject::invokeMethod(
        &dialog_,
        [this] {
            ClickDay(20);
            dialog_.Timer1Timer();
            if (dialog_.isVisible()) dialog_.reject();  // a failure, not a hang
        },
        Qt::QueuedConnection);
    EXPECT_EQ(Cp932ToUtf8(dialog_.PickDate(sj("平成１４年１１月３０日"))),
              "平成１４年１１月２０日");

    QMetaObject::invokeMethod(
        &dialog_, [this] { dialog_.reject(); }, Qt::QueuedConnection);
    EXPECT_EQ(dialog_.PickDate(sj("平成１４年１１月３０日")), "");
}

TEST_F(DateDialogTest, FocusPassesThroughEdit1) {
    Open("平成１４年１２月０５日");
    dialog_.activateWindow();
    QApplication::setActiveWindow(&dialog_);
    dialog_.YearEdit->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
    if (!dialog_.YearEdit->hasFocus()) GTEST_SKIP() << "no focus on this platform";

    QTest::keyClick(dialog_.YearEdit, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_TRUE(dialog_.MonthEdit->hasFocus());
    QTest::keyClick(dialog_.MonthEdit, Qt::Key_Backtab, Qt::ShiftModifier);
    QApplication::processEvents();
    EXPECT_TRUE(dialog_.YearEdit->hasFocus());
}

TEST_F(DateDialogTest, LooksAsTheFormIsLaidOut) {
    EXPECT_EQ(dialog_.windowTitle(), QStringLiteral("日付設定"));
    EXPECT_EQ(dialog_.size(), QSize(185, 149));
    EXPECT_EQ(dialog_.minimumSize(), dialog_.maximumSize());
    EXPECT_EQ(dialog_.Panel2->text(), QStringLiteral("　　 　　　　　　年　　　　　　月　"));
    EXPECT_EQ(dialog_.Panel2->height(), 20);
    EXPECT_EQ(dialog_.YearEdit->minimum(), 0);
    EXPECT_EQ(dialog_.YearEdit->maximum(), 100000);
    EXPECT_EQ(dialog_.MonthEdit->minimum(), 1);
    EXPECT_EQ(dialog_.MonthEdit->maximum(), 12);
    EXPECT_EQ(dialog_.Calendar1->firstDayOfWeek(), Qt::Sunday);
    EXPECT_FALSE(dialog_.Edit1->testAttribute(Qt::WA_InputMethodEnabled));
    dialog_.show();
    EXPECT_FALSE(dialog_.DateEdit->isVisible());
    EXPECT_TRUE(dialog_.Calendar1->isVisible());
}

}  // namespace
}  // namespace ravelto::ui
