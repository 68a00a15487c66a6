#pragma once

// TPassDlg: the start-up password prompt ("パスワード") and the setting
// ("パスワードの設定"). The text is masked with "*" and typed without the
// input method.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace ravelto::ui {

class TPassDlg : public QDialog {
    Q_OBJECT

  public:
    explicit TPassDlg(QWidget* parent = nullptr);

    // Caption and an empty entry for one question.
    void Prepare(const QString& caption);
    QString Text() const;

    QLabel* Label1;
    QLineEdit* MaskEdit1;
    QPushButton* OKBtn;

  public slots:
    void accept() override;
};

}  // namespace ravelto::ui
