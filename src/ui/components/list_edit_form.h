#pragma once

// TListEditForm "ﾘｽﾄ修正": a list edited as lines of a memo (the payment
// kinds). Lines in, lines out; the caller uses and saves them after OK.

#include <QDialog>
#include <string>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace ravelto::ui {

class TListEditForm : public QDialog {
    Q_OBJECT

  public:
    explicit TListEditForm(QWidget* parent = nullptr);

    void SetHeading(const QString& heading);
    void SetLines(const std::vector<std::string>& cp932_lines);
    // The memo's lines; empty lines are kept as empty entries.
    std::vector<std::string> Lines() const;

    QLabel* Panel1;
    QPlainTextEdit* Memo1;
    QWidget* Panel2;  // bottom panel with the buttons
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

  public slots:
    void accept() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void PlaceButtons();

    std::vector<std::string> shown_lines_;  // untouched lines keep their bytes
};

}  // namespace ravelto::ui
