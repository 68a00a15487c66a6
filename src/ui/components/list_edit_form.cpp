#include "ui/components/list_edit_form.h"

#include <QEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QVBoxLayout>

#include "core/ledger/cp932.h"
#include "core/ledger/questions.h"
#include "core/ledger/settings_dialogs.h"
#include "ui/qtext.h"

namespace ravelto::ui {

TListEditForm::TListEditForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ListEditForm"));
    setWindowTitle(QString::fromUtf8(dialog_text::kListEditCaption));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setSizeGripEnabled(true);

    Panel1 = new QLabel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Raised);
    Panel1->setMinimumHeight(33);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);

    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFixedHeight(41);
    Panel2->installEventFilter(this);
    OKBtn = new QPushButton(QString::fromUtf8(dialog_text::kListOk), Panel2);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    CancelBtn = new QPushButton(QString::fromUtf8(dialog_text::kCancel), Panel2);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    for (QPushButton* button : {OKBtn, CancelBtn})
        button->setFixedSize(75, 25);
    // Enter starts a new line in the memo; it does not close the dialog.
    OKBtn->setAutoDefault(false);
    CancelBtn->setAutoDefault(false);
    connect(OKBtn, &QPushButton::clicked, this, &TListEditForm::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &TListEditForm::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1);
    layout->addWidget(Memo1, 1);
    layout->addWidget(Panel2);
    resize(250, 300);
}

void TListEditForm::SetHeading(const QString& heading) {
    Panel1->setText(heading);
}

void TListEditForm::SetLines(const std::vector<std::string>& cp932_lines) {
    shown_lines_ = cp932_lines;
    Memo1->setPlainText(
        ToQ(MemoText(std::vector<std::string>(cp932_lines.begin(), cp932_lines.end()))));
}

std::vector<std::string> TListEditForm::Lines() const {
    std::vector<std::string> lines;
    for (const std::string& utf8 : MemoLines(Memo1->toPlainText().toStdString())) {
        const QString line = QString::fromStdString(utf8);
        std::string cp932 = Utf8ToCp932Lossy(utf8);
        for (const std::string& shown : shown_lines_) {
            if (line == ToQ(shown)) {
                cp932 = shown;
                break;
            }
        }
        lines.push_back(std::move(cp932));
    }
    return lines;
}

void TListEditForm::accept() {
    try {
        FromQ(Memo1->toPlainText());
    } catch (const TextError& error) {
        QMessageBox::warning(this, windowTitle(), QString::fromUtf8(error.what()));
        Memo1->setFocus();
        return;
    }
    QDialog::accept();
}

bool TListEditForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Panel2 && event->type() == QEvent::Resize) PlaceButtons();
    return QDialog::eventFilter(watched, event);
}

void TListEditForm::PlaceButtons() {
    auto [ok_left, cancel_left] = ListEditButtonLefts(Panel2->width());
    int top = (Panel2->height() - OKBtn->height()) / 2;
    OKBtn->move(ok_left, top);
    CancelBtn->move(cancel_left, top);
}

}  // namespace ravelto::ui
