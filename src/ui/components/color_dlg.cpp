#include "ui/components/color_dlg.h"

#include <QComboBox>
#include <QCompleter>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "core/ledger/questions.h"
#include "core/ledger/settings_dialogs.h"
#include "platform/system_colors.h"
#include "ui/components/user_set_form.h"
#include "ui/qtext.h"

namespace ravelto::ui {

namespace {

QComboBox* MakeColorBox(QWidget* parent, const QString& name) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxVisibleItems(16);
    box->setMinimumWidth(320);
    for (const auto& color_name : ColorNames())
        box->addItem(ToQ(color_name));
    // The list drops down while typing; names are found by any part of them,
    // as most begin with a space.
    auto* completer = new QCompleter(box->model(), box);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    completer->setFilterMode(Qt::MatchContains);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    box->setCompleter(completer);
    return box;
}

}  // namespace

TColorDlg::TColorDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ColorDlg"));
    setWindowTitle(QString::fromUtf8(dialog_text::kColorCaption));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    Bevel1 = new QFrame(this);
    Bevel1->setFrameShape(QFrame::Box);
    Bevel1->setFrameShadow(QFrame::Sunken);
    auto* grid = new QGridLayout(Bevel1);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->setVerticalSpacing(10);
    QLabel** labels[3] = {&Label1, &Label2, &Label3};
    QComboBox** boxes[3] = {&ColorComboBox1, &ColorComboBox2, &ColorComboBox3};
    for (int i = 0; i < 3; ++i) {
        *labels[i] = new QLabel(QString::fromUtf8(dialog_text::kColorLabels[i]), Bevel1);
        *boxes[i] = MakeColorBox(Bevel1, QStringLiteral("ColorComboBox%1").arg(i + 1));
        (*labels[i])->setBuddy(*boxes[i]);
        grid->addWidget(*labels[i], i, 0);
        grid->addWidget(*boxes[i], i, 1);
    }

    OKBtn = new QPushButton(QString::fromUtf8(dialog_text::kOk), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &TColorDlg::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Bevel1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    SetValues(TitleColors());
}

void TColorDlg::SetValues(const TitleColors& values) {
    shown_ = values;
    ColorComboBox1->setEditText(ToQ(values.Titles));
    ColorComboBox2->setEditText(ToQ(values.Borders));
    ColorComboBox3->setEditText(ToQ(values.ReadOnly));
}

TitleColors TColorDlg::Values() const {
    TitleColors values;
    values.Titles = FromQKeeping(ColorComboBox1->currentText(), shown_.Titles);
    values.Borders = FromQKeeping(ColorComboBox2->currentText(), shown_.Borders);
    values.ReadOnly = FromQKeeping(ColorComboBox3->currentText(), shown_.ReadOnly);
    return values;
}

void TColorDlg::accept() {
    if (!CheckShiftJis(this, {ColorComboBox1->lineEdit(), ColorComboBox2->lineEdit(),
                              ColorComboBox3->lineEdit()}))
        return;
    QDialog::accept();
}

bool ApplyNamedColor(std::string_view cp932_name, const QList<QWidget*>& elements) {
    QColor color = platform::ToQColor(ColorByName(cp932_name));
    if (!color.isValid()) return false;
    for (QWidget* element : elements) {
        QPalette palette = element->palette();
        for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
            palette.setColor(role, color);
        element->setPalette(palette);
        element->setAutoFillBackground(true);
    }
    return true;
}

void TColorDlg::showEvent(QShowEvent* event) {
    // Centred on the screen.
    if (QScreen* screen = this->screen()) {
        QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
    QDialog::showEvent(event);
}

}  // namespace ravelto::ui
