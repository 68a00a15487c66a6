#include "platform/help_viewer.h"

#include <QDialog>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace ravelto::platform {

QtHelpViewer::QtHelpViewer(QWidget* parent) : parent_(parent) {}

QtHelpViewer::~QtHelpViewer() {
    if (window_ && window_->parent() == nullptr) delete window_;
}

void QtHelpViewer::ShowContents() {
    if (!window_) {
        window_ = new QDialog(parent_, Qt::Window);
        window_->setWindowTitle(QStringLiteral("ラヴェルト For Win32 ヘルプ"));
        window_->resize(640, 560);
        auto* layout = new QVBoxLayout(window_);
        layout->setContentsMargins(0, 0, 0, 0);
        browser_ = new QTextBrowser(window_);
        browser_->setObjectName(QStringLiteral("HelpBrowser"));
        browser_->setOpenExternalLinks(false);
        browser_->setHtml(HelpPageHtml());
        layout->addWidget(browser_);
    }
    browser_->scrollToAnchor(QStringLiteral("contents"));
    window_->show();
    window_->raise();
    window_->activateWindow();
}

}  // namespace ravelto::platform
