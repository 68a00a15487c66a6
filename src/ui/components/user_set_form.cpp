#include "ui/components/user_set_form.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "core/ledger/cp932.h"
#include "core/ledger/questions.h"
#include "core/ledger/settings_dialogs.h"
#include "ui/qtext.h"

namespace ravelto::ui {

bool CheckShiftJis(QWidget* parent, const QList<QLineEdit*>& edits) {
    for (QLineEdit* edit : edits) {
        // Pasted text keeps its line breaks; a settings line cannot hold them.
        if (edit->text().contains(QLatin1Char('\n')) || edit->text().contains(QLatin1Char('\r'))) {
            QMessageBox::warning(parent, parent->windowTitle(),
                                 QStringLiteral("改行は入力できません。1 行で入力してください。"));
            edit->setFocus();
            return false;
        }
        try {
            FromQ(edit->text());
        } catch (const TextError& error) {
            QMessageBox::warning(parent, parent->windowTitle(), QString::fromUtf8(error.what()));
            edit->setFocus();
            return false;
        }
    }
    return true;
}

TUserSetForm::TUserSetForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("UserSetForm"));
    setWindowTitle(QString::fromUtf8(dialog_text::kUserSetCaption));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    GroupBox1 = new QGroupBox(this);
    ScrollBox1 = new QScrollArea(GroupBox1);
    ScrollBox1->setWidgetResizable(true);
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    auto* inner = new QWidget;
    auto* grid = new QGridLayout(inner);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(8);
    std::array<QLineEdit**, 7> slots_ = {&Edit1, &Edit2, &Edit3, &Edit4, &Edit5, &Edit6, &Edit7};
    for (int i = 0; i < 7; ++i) {
        Labels[static_cast<size_t>(i)] =
            new QLabel(ToQ(CompanyInfo::Labels()[static_cast<size_t>(i)]), inner);
        auto* edit = new QLineEdit(inner);
        edit->setObjectName(QStringLiteral("Edit%1").arg(i + 1));
        edit->setMinimumWidth(i == 0 ? 320 : 260);
        *slots_[static_cast<size_t>(i)] = edit;
        grid->addWidget(Labels[static_cast<size_t>(i)], i, 0);
        grid->addWidget(edit, i, 1);
    }
    ScrollBox1->setWidget(inner);
    auto* group_layout = new QVBoxLayout(GroupBox1);
    group_layout->setContentsMargins(8, 8, 8, 8);
    group_layout->addWidget(ScrollBox1);

    OKBtn = new QPushButton(QString::fromUtf8(dialog_text::kOk), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QString::fromUtf8(dialog_text::kCancel), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    connect(OKBtn, &QPushButton::clicked, this, &TUserSetForm::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &TUserSetForm::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addLayout(buttons);
    inner->adjustSize();
    ScrollBox1->setMinimumSize(inner->sizeHint() + QSize(4, 4));
    // A fixed dialog border: the size it is laid out at.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TUserSetForm::SetValues(const CompanyInfo& values) {
    shown_ = values;
    auto edits = Edits();
    for (size_t i = 0; i < edits.size(); ++i)
        edits[i]->setText(ToQ(values.Lines[i]));
}

CompanyInfo TUserSetForm::Values() const {
    CompanyInfo values;
    auto edits = Edits();
    for (size_t i = 0; i < edits.size(); ++i)
        values.Lines[i] = FromQKeeping(edits[i]->text(), shown_.Lines[i]);
    return values;
}

void TUserSetForm::accept() {
    auto edits = Edits();
    if (!CheckShiftJis(this, QList<QLineEdit*>(edits.begin(), edits.end()))) return;
    QDialog::accept();
}

}  // namespace ravelto::ui
