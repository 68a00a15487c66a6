#pragma once

// TColorDlg "ﾀｲﾄﾙ色変更": the three colour names of the ledger window, each
// chosen from the 42 names (or typed). Values in, values out; the caller
// applies them and writes RcTitleColor.INI after OK.

#include <QDialog>

#include "core/ledger/title_colors.h"

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;

namespace ravelto::ui {

class TColorDlg : public QDialog {
    Q_OBJECT

  public:
    explicit TColorDlg(QWidget* parent = nullptr);

    void SetValues(const TitleColors& values);
    TitleColors Values() const;

    QFrame* Bevel1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QComboBox* ColorComboBox1;  // titles
    QComboBox* ColorComboBox2;  // borders
    QComboBox* ColorComboBox3;  // read-only fields
    QPushButton* OKBtn;

  public slots:
    void accept() override;

  protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace ravelto::ui
