#include "ui/components/version_dlg.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/ledger/settings_dialogs.h"

namespace ravelto::ui {

TVersionDlg::TVersionDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("VersionDlg"));
    setWindowTitle(QString::fromUtf8(dialog_text::kVersionCaption));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    ProductName = new QLabel(QString::fromUtf8(dialog_text::kProductTitle), panel);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    QFont title_font = ProductName->font();
    title_font.setPixelSize(20);
    title_font.setBold(true);
    ProductName->setFont(title_font);
    ProductName->setAlignment(Qt::AlignCenter);
    Version = new QLabel(QString::fromUtf8(dialog_text::kVersionLine), panel);
    Version->setObjectName(QStringLiteral("Version"));
    Version->setAlignment(Qt::AlignCenter);
    auto* panel_layout = new QVBoxLayout(panel);
    panel_layout->setContentsMargins(24, 20, 24, 20);
    panel_layout->setSpacing(12);
    panel_layout->addWidget(ProductName);
    panel_layout->addWidget(Version);

    OKButton = new QPushButton(QString::fromUtf8(dialog_text::kOk), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &TVersionDlg::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace ravelto::ui
