#pragma once

// Help: ﾍﾙﾌﾟ ▸ 目次(&C) opens the program's help page at its contents. The
// page is compiled into the program and shown in a window of its own (a text
// browser), so it needs no web browser. Replaceable in tests.

#include <QDialog>
#include <QPointer>
#include <QString>

class QWidget;
class QTextBrowser;

namespace ravelto::platform {

class HelpViewer {
  public:
    virtual ~HelpViewer() = default;
    virtual void ShowContents() = 0;
};

class QtHelpViewer : public HelpViewer {
  public:
    explicit QtHelpViewer(QWidget* parent = nullptr);
    ~QtHelpViewer() override;
    // Shows the help window (created on first use) at the contents.
    void ShowContents() override;
    // The window and its browser, once shown.
    QDialog* Window() const { return window_; }
    QTextBrowser* Browser() const { return browser_; }

  private:
    QWidget* parent_;
    QPointer<QDialog> window_;
    QTextBrowser* browser_ = nullptr;
};

class RecordingHelpViewer : public HelpViewer {
  public:
    void ShowContents() override { ++shown; }
    int shown = 0;
};

// The help page (HTML, Japanese).
QString HelpPageHtml();

}  // namespace ravelto::platform
