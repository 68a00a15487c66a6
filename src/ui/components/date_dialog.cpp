#include "ui/components/date_dialog.h"

#include <QCalendarWidget>
#include <QEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>
#include <algorithm>

#include "core/ledger/cp932.h"
#include "ui/qtext.h"

namespace ravelto::ui {

namespace {

constexpr int kClientWidth = 185;
constexpr int kClientHeight = 149;
constexpr int kPanelHeight = 20;

QDate ToQDate(Date date) {
    return QDate(date.year, date.month, date.day);
}

// A date of that year and month, its day lowered to fit the month.
QDate FittedDate(int year, int month, int day) {
    return QDate(year, month, std::clamp(day, 1, DaysInMonth(year, month)));
}

}  // namespace

TDateSDlg::TDateSDlg(const Clock& clock, QWidget* parent) : QDialog(parent), clock_(clock) {
    setWindowTitle(QStringLiteral("日付設定"));
    setFixedSize(kClientWidth, kClientHeight);

    Panel2 = new QLabel(QStringLiteral("　　 　　　　　　年　　　　　　月　"), this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel2->setAlignment(Qt::AlignCenter);
    Panel2->setGeometry(0, 0, kClientWidth, kPanelHeight);

    YearLabel = new QLabel(QStringLiteral("平成"), this);
    YearLabel->setObjectName(QStringLiteral("YearLabel"));

    YearEdit = new QSpinBox(this);
    YearEdit->setObjectName(QStringLiteral("YearEdit"));
    YearEdit->setRange(0, 100000);

    // Focus only passes through it on its way between the year and the month.
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setFocusPolicy(Qt::TabFocus);

    MonthEdit = new QSpinBox(this);
    MonthEdit->setObjectName(QStringLiteral("MonthEdit"));
    MonthEdit->setRange(1, 12);

    // Digits only: the input method stays closed in all three edits.
    for (QWidget* edit : {static_cast<QWidget*>(YearEdit), static_cast<QWidget*>(Edit1),
                          static_cast<QWidget*>(MonthEdit)})
        edit->setAttribute(Qt::WA_InputMethodEnabled, false);

    Calendar1 = new QCalendarWidget(this);
    Calendar1->setObjectName(QStringLiteral("Calendar1"));
    Calendar1->setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
    Calendar1->setFirstDayOfWeek(Qt::Sunday);
    Calendar1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    Calendar1->setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    Calendar1->setNavigationBarVisible(false);  // the year and month edits move it
    Calendar1->setGridVisible(true);
    Calendar1->setDateRange(ToQDate(kFirstEraDate), ToQDate(kLastEraDate));
    Calendar1->setGeometry(0, kPanelHeight, kClientWidth, kClientHeight - kPanelHeight);

    DateEdit = new QLineEdit(this);
    DateEdit->setObjectName(QStringLiteral("DateEdit"));
    DateEdit->hide();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(10);

    PlaceHeader();
    setTabOrder(YearEdit, Edit1);
    setTabOrder(Edit1, MonthEdit);
    setTabOrder(MonthEdit, Calendar1);
    Edit1->installEventFilter(this);

    connect(YearEdit, &QSpinBox::valueChanged, this, &TDateSDlg::YearEditChange);
    connect(MonthEdit, &QSpinBox::valueChanged, this, &TDateSDlg::MonthEditChange);
    // clicked comes only from a click on a day, never from a move the program
    // makes; activated is Enter (or a double click) on the selected day.
    connect(Calendar1, &QCalendarWidget::clicked, this, &TDateSDlg::Calendar1Click);
    connect(Calendar1, &QCalendarWidget::activated, this, &TDateSDlg::Calendar1Click);
    connect(Calendar1, &QCalendarWidget::selectionChanged, this,
            &TDateSDlg::Calendar1SelectionChanged);
    connect(Timer1, &QTimer::timeout, this, &TDateSDlg::Timer1Timer);

    MoveCalendar(ToQDate(std::clamp(clock_.Today(), kFirstEraDate, kLastEraDate)));
    ShowYearMonth();
}

// The caption of Panel2 leaves room for the era name, the year and the month
// and shows 年 and 月 after them; the edits go over the blanks.
void TDateSDlg::PlaceHeader() {
    const QString caption = Panel2->text();
    // The caption must fit the panel, or 年 and 月 would fall off its ends.
    QFont font = Panel2->font();
    for (int pixels = QFontMetrics(font).height(); pixels > 8; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetrics(font).horizontalAdvance(caption) <= kClientWidth - 4) break;
    }
    for (QWidget* part : {static_cast<QWidget*>(Panel2), static_cast<QWidget*>(YearLabel),
                          static_cast<QWidget*>(YearEdit), static_cast<QWidget*>(MonthEdit)})
        part->setFont(font);
    const QFontMetrics metrics(font);
    const int year_mark = caption.indexOf(QStringLiteral("年"));
    const int month_mark = caption.indexOf(QStringLiteral("月"));
    const int origin = (kClientWidth - metrics.horizontalAdvance(caption)) / 2;
    auto x_at = [&](int index) { return origin + metrics.horizontalAdvance(caption.left(index)); };

    const int label_end = x_at(3);  // the era name over the first blanks
    const int year_start = std::max(label_end, 2);
    const int year_end = x_at(year_mark);
    const int month_start = x_at(year_mark + 1);
    const int month_end = x_at(month_mark);
    YearLabel->setGeometry(2, 2, std::max(year_start - 2, 1), kPanelHeight - 4);
    YearLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    YearEdit->setGeometry(year_start, 0, std::max(year_end - year_start, 1), kPanelHeight);
    MonthEdit->setGeometry(month_start, 0, std::max(month_end - month_start, 1), kPanelHeight);
    Edit1->setGeometry(MonthEdit->geometry());
    Edit1->stackUnder(MonthEdit);
}

std::string TDateSDlg::PickDate(std::string_view field_text) {
    SetDateFromText(field_text);
    exec();
    return PickedText();
}

void TDateSDlg::SetDateFromText(std::string_view field_text) {
    const Date date = CharToDate(field_text, clock_);
    SetCalendarDay(1);
    SetCalendarYear(date.year);
    SetCalendarMonth(date.month);
    SetCalendarDay(date.day);
}

void TDateSDlg::SetCalendarDay(int day) {
    const QDate shown = Calendar1->selectedDate();
    MoveCalendar(FittedDate(shown.year(), shown.month(), day));
}

void TDateSDlg::SetCalendarYear(int year) {
    const QDate shown = Calendar1->selectedDate();
    year = std::clamp(year, kFirstEraDate.year, kLastEraDate.year);
    MoveCalendar(FittedDate(year, shown.month(), shown.day()));
}

void TDateSDlg::SetCalendarMonth(int month) {
    const QDate shown = Calendar1->selectedDate();
    MoveCalendar(FittedDate(shown.year(), std::clamp(month, 1, 12), shown.day()));
}

Date TDateSDlg::CalendarDate() const {
    const QDate shown = Calendar1->selectedDate();
    return {shown.year(), shown.month(), shown.day()};
}

std::string TDateSDlg::DateEditText() const {
    return FromQ(DateEdit->text());
}

std::string TDateSDlg::PickedText() const {
    const std::string text = DateEditText();
    return text.empty() ? std::string() : ChangeChar(text);
}

void TDateSDlg::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TDateSDlg::FormShow() {
    Timer1->stop();
    ShowYearMonth();
    DateEdit->clear();
    picked_ = false;
}

void TDateSDlg::done(int result) {
    Timer1->stop();
    DateEdit->setText(picked_ ? ToQ(FormatEraDate(CalendarDate())) : QString());
    QDialog::done(result);
}

void TDateSDlg::Timer1Timer() {
    Timer1->stop();
    if (picked_) accept();
}

void TDateSDlg::Calendar1Click(QDate) {
    picked_ = true;
    Timer1->start();
}

void TDateSDlg::YearEditChange(int value) {
    const EraYear rolled = RollEra({shown_era_, value});
    const int year =
        std::clamp(rolled.year + EraOffset(rolled.era), kFirstEraDate.year, kLastEraDate.year);
    ShowEra(EraOfYear(year));
    SetCalendarYear(year);
}

void TDateSDlg::MonthEditChange(int month) {
    SetCalendarMonth(month);
}

// The user moved the selection inside the calendar (arrow keys, a day of the
// next month): the edits follow it.
void TDateSDlg::Calendar1SelectionChanged() {
    ShowYearMonth();
}

void TDateSDlg::ShowYearMonth() {
    const QDate shown = Calendar1->selectedDate();
    ShowEra(EraOfYear(shown.year()));
    const QSignalBlocker quiet(MonthEdit);
    MonthEdit->setValue(shown.month());
}

void TDateSDlg::ShowEra(EraYear era) {
    shown_era_ = era.era;
    YearLabel->setText(ToQ(EraName(era.era)));
    const QSignalBlocker quiet(YearEdit);
    YearEdit->setValue(era.year);
}

void TDateSDlg::MoveCalendar(QDate date) {
    const QSignalBlocker quiet(Calendar1);  // a move of ours is no selection by the user
    Calendar1->setSelectedDate(date);
    Calendar1->setCurrentPage(date.year(), date.month());
}

// Edit1 hands the focus on at once: from the year to the month going
// forward, back to the year going backward.
bool TDateSDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit1 && event->type() == QEvent::FocusIn) {
        const bool backward = static_cast<QFocusEvent*>(event)->reason() == Qt::BacktabFocusReason;
        QWidget* next = backward ? static_cast<QWidget*>(YearEdit) : MonthEdit;
        QMetaObject::invokeMethod(
            next,
            [next, backward] {
                next->setFocus(backward ? Qt::BacktabFocusReason : Qt::TabFocusReason);
            },
            Qt::QueuedConnection);
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace ravelto::ui
