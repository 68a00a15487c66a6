#pragma once

// TVersionDlg "ﾊﾞｰｼﾞｮﾝ情報": the product title and its version.

#include <QDialog>

class QLabel;
class QPushButton;

namespace ravelto::ui {

class TVersionDlg : public QDialog {
    Q_OBJECT

  public:
    explicit TVersionDlg(QWidget* parent = nullptr);

    QLabel* ProductName;
    QLabel* Version;
    QPushButton* OKButton;
};

}  // namespace ravelto::ui
