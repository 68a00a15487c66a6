#pragma once

// The date dialog through which every date field is entered. The caller sets
// the date it shows, opens it modally and reads DateEdit afterwards: empty
// when no date was picked, else the picked date with single-byte digits
// (平成14年12月05日), which goes through ChangeChar before it is stored.

#include <QDate>
#include <QDialog>
#include <string>
#include <string_view>

#include "core/ledger/eradate.h"

class QCalendarWidget;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTimer;

namespace ravelto::ui {

class TDateSDlg : public QDialog {
    Q_OBJECT

  public:
    // The calendar starts on the clock's today.
    explicit TDateSDlg(const Clock& clock, QWidget* parent = nullptr);

    // The whole round of a date field: shows the date of the field's text,
    // runs modally and gives the text to store (ChangeChar applied), or ""
    // when no date was picked.
    std::string PickDate(std::string_view cp932_field_text);

    // The date shown, from a field's text: CharToDate, then the calendar's
    // day 1, year, month and day in that order.
    void SetDateFromText(std::string_view cp932_field_text);
    // The calendar's date set part by part. The year stays within the years an
    // era date can be written in; a day beyond the month is its last day.
    void SetCalendarDay(int day);
    void SetCalendarYear(int year);
    void SetCalendarMonth(int month);
    Date CalendarDate() const;

    // The result after the dialog closed: DateEdit as CP932, and the same
    // through ChangeChar as a field stores it ("" when nothing was picked).
    std::string DateEditText() const;
    std::string PickedText() const;

    // Timer1 fired: closes the dialog when a day was picked. Public so that
    // it can be fired without waiting.
    void Timer1Timer();
    bool Picked() const { return picked_; }

    QLabel* Panel2;
    QLabel* YearLabel;
    QSpinBox* YearEdit;
    QLineEdit* Edit1;
    QSpinBox* MonthEdit;
    QCalendarWidget* Calendar1;
    QLineEdit* DateEdit;
    QTimer* Timer1;

  protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FormShow();
    void YearEditChange(int value);
    void MonthEditChange(int month);
    void Calendar1Click(QDate date);
    void Calendar1SelectionChanged();
    void ShowYearMonth();
    void ShowEra(EraYear era);
    void MoveCalendar(QDate date);
    void PlaceHeader();

    const Clock& clock_;
    Era shown_era_ = Era::kHeisei;
    bool picked_ = false;
};

}  // namespace ravelto::ui
