// The date dialog asked for through Questions, as a date field of the ledger
// window asks for it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QTimer>
#include <functional>

#include "core/ledger/cp932.h"
#include "ui/components/date_dialog.h"
#include "ui/qt_questions.h"

namespace ravelto::ui {
namespace {

// Runs `act` on the date dialog once it is shown modally.
void WhenShown(const std::function<void(TDateSDlg&)>& act) {
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<TDateSDlg*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            ADD_FAILURE() << "no date dialog shown";
            return;
        }
        act(*dialog);
        if (dialog->isVisible()) dialog->reject();  // a failure, not a hang
    });
}

TEST(QtQuestionsDate, OpensOnTheFieldsDateAndGivesThePickedDay) {
    QtQuestions questions;
    Date shown{};
    WhenShown([&](TDateSDlg& dialog) {
        shown = dialog.CalendarDate();
        const QDate day(2002, 11, 20);
        dialog.Calendar1->setSelectedDate(day);
        emit dialog.Calendar1->clicked(day);
        dialog.Timer1Timer();
    });
    const auto picked = questions.PickDate({sj("平成１４年１１月３０日"), Date{2002, 11, 30}});
    EXPECT_EQ(shown, (Date{2002, 11, 30}));
    ASSERT_TRUE(picked.has_value());
    EXPECT_EQ(Cp932ToUtf8(*picked), "平成１４年１１月２０日");

    WhenShown([](TDateSDlg& dialog) { dialog.reject(); });
    EXPECT_FALSE(questions.PickDate({"", Date{2002, 12, 10}}).has_value());
}

}  // namespace
}  // namespace ravelto::ui
