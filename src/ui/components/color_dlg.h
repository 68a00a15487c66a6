#pragma once

// TColorDlg "ﾀｲﾄﾙ色変更": the three colour names of the ledger window, each
// chosen from the 42 names (or typed). Values in, values out; the caller
// applies them and writes RcTitleColor.INI after OK.

#include <QDialog>
#include <QList>
#include <string_view>

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

  private:
    TitleColors shown_;  // as SetValues gave them: untouched names keep their bytes
};

// Gives `elements` the background of the colour `cp932_name` stands for (the
// panel's face, an edit field's base). A name that stands for no colour
// ("　黒　色", a name not in the list) leaves them as they are. Returns
// whether a colour was applied.
bool ApplyNamedColor(std::string_view cp932_name, const QList<QWidget*>& elements);

}  // namespace ravelto::ui
