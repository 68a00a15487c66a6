#pragma once

// TUserSetForm "自社情報": the seven lines of the company information. Values
// in, values out; the caller keeps them and writes User.INI after OK.

#include <QDialog>
#include <array>

#include "core/ledger/company_info.h"

class QLineEdit;
class QPushButton;
class QGroupBox;
class QScrollArea;
class QLabel;

namespace ravelto::ui {

class TUserSetForm : public QDialog {
    Q_OBJECT

  public:
    explicit TUserSetForm(QWidget* parent = nullptr);

    void SetValues(const CompanyInfo& values);
    // The texts of the seven fields (characters Shift-JIS lacks become "?";
    // OK refuses them first).
    CompanyInfo Values() const;

    QGroupBox* GroupBox1;
    QScrollArea* ScrollBox1;
    std::array<QLabel*, 7> Labels;
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QLineEdit* Edit3;
    QLineEdit* Edit4;
    QLineEdit* Edit5;
    QLineEdit* Edit6;
    QLineEdit* Edit7;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

    std::array<QLineEdit*, 7> Edits() const {
        return {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7};
    }

  public slots:
    void accept() override;

  private:
    CompanyInfo shown_;  // as SetValues gave them: untouched fields keep their bytes
};

// Checks that every edit holds only text a settings line can store: Shift-JIS
// and no line break (pasted text keeps its line breaks); otherwise says what
// cannot be kept, focuses that edit and returns false.
bool CheckShiftJis(QWidget* parent, const QList<QLineEdit*>& edits);

}  // namespace ravelto::ui
