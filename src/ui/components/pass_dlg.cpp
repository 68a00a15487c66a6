#include "ui/components/pass_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/ledger/settings_dialogs.h"
#include "ui/components/user_set_form.h"

namespace ravelto::ui {

TPassDlg::TPassDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PassDlg"));
    setWindowTitle(QString::fromUtf8(dialog_text::kPassCaption));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    Label1 = new QLabel(QString::fromUtf8(dialog_text::kPassPrompt), this);
    MaskEdit1 = new QLineEdit(this);
    MaskEdit1->setObjectName(QStringLiteral("MaskEdit1"));
    MaskEdit1->setEchoMode(QLineEdit::Password);
    MaskEdit1->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));  // "*"
    MaskEdit1->setAttribute(Qt::WA_InputMethodEnabled, false);
    MaskEdit1->setInputMethodHints(Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhPreferLatin |
                                   Qt::ImhNoPredictiveText);
    MaskEdit1->setMinimumWidth(200);
    Label1->setBuddy(MaskEdit1);

    OKBtn = new QPushButton(QString::fromUtf8(dialog_text::kOk), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &TPassDlg::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->setSpacing(10);
    layout->addWidget(Label1);
    layout->addWidget(MaskEdit1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TPassDlg::Prepare(const QString& caption) {
    setWindowTitle(caption);
    MaskEdit1->clear();
    MaskEdit1->setFocus();
}

QString TPassDlg::Text() const {
    return MaskEdit1->text();
}

void TPassDlg::accept() {
    if (!CheckShiftJis(this, {MaskEdit1})) return;
    QDialog::accept();
}

}  // namespace ravelto::ui
