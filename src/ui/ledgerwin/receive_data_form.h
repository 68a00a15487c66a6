#pragma once

// TReceiveDataForm: the ledger window. It renders the core's state and
// forwards its events (tab selected, menu command, close) to the core.

#include <QColor>
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/ledgerwin/receive_data_form.h"

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabBar;
class QTimer;
class QToolButton;

namespace ravelto {
class Questions;
}

namespace ravelto::platform {
class CapsLock;
class PrinterList;
class HelpViewer;
class UserSettings;
}  // namespace ravelto::platform

namespace ravelto::ui {

class RecordGrid;
class TRestorePos;

// The platform layers the window uses; they outlive it.
struct WindowPlatform {
    platform::CapsLock& caps_lock;
    const platform::PrinterList& printers;
    platform::HelpViewer& help;
    platform::UserSettings& user_settings;
};

class TReceiveDataForm : public QMainWindow {
    Q_OBJECT
  public:
    TReceiveDataForm(store::Table& ledger, store::Table& totals, const Clock& clock,
                     std::filesystem::path start_dir, Questions& questions, WindowPlatform platform,
                     QWidget* parent = nullptr);
    ~TReceiveDataForm() override;

    ledgerwin::ReceiveDataForm& Core() { return *core_; }
    // Record entry: the record events of the ledger, on the database both
    // tables belong to. Called before the delayed start-up; without it the
    // grid only shows the ledger.
    void UseRecordEvents(store::Database& db);
    // The one-shot delayed start-up (also run directly by tests).
    void Timer1Timer();
    QTimer* Timer1() const { return timer1_; }
    // Called once the first view is shown.
    std::function<void()> FirstViewShown;
    // How long the delayed start-up took, in milliseconds.
    long long StartupMs() const { return startup_ms_; }

    // Controls, for tests and the screenshots.
    QTabBar* TabControl1() const { return tab_bar_; }
    RecordGrid* DBCtrlGrid1() const { return grid_; }
    QWidget* Panel1() const { return panel1_; }
    QLabel* ModePanel() const { return mode_panel_; }
    QLabel* TotalPanel() const { return total_panel_; }
    QWidget* SortPanel() const { return sort_panel_; }
    QWidget* FilterPanel() const { return filter_panel_; }
    QWidget* LeftPanel() const { return left_panel_; }
    QWidget* TotalPanel1() const { return total_panel1_; }
    QFrame* SpeedPanel1() const { return speed_panel_; }
    QLineEdit* TotalMemo(const char* field) const;
    QWidget* OTotalPanel() const { return ototal_panel_; }
    QLabel* OTotalLabel() const { return ototal_label_; }
    QLabel* TotalLabel() const { return total_label_; }
    // TotalMemo1 … TotalMemo11 of OTotalPanel.
    QLineEdit* OTotalMemo(int number) const {
        return ototal_memos_[static_cast<size_t>(number - 1)];
    }
    QComboBox* ComboBox1() const { return combo_box1_; }
    QComboBox* ComboBox2() const { return combo_box2_; }
    QWidget* KakuteiPanel() const { return kakutei_panel_; }
    QWidget* KojinPanel() const { return kojin_panel_; }
    QWidget* TopControl(const char* name) const { return top_controls_.at(name); }
    QAction* Action(const char* name) const;
    QLabel* Title(int number) const { return titles_[static_cast<size_t>(number - 1)]; }
    TRestorePos* RestorePos() const { return restore_pos_; }

    void ApplyTitleColors();

  signals:
    // The window has closed: the program ends (other windows, such as the
    // help, go with it).
    void Closed();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildTopBar();
    void BuildTabArea();
    void BuildMenus();
    void LayOut();
    void Render();
    void RenderTotals();
    void PlaceTotalLabels();
    void Run(const std::function<void()>& command);  // errors shown
    // A command of the user (menu, shortcut, box): commits what was typed
    // first, and does not run when that was refused.
    void Command(const std::function<void()>& command);
    // Record entry through the grid's controls and the navigators.
    void ConnectGrid();
    void Navigate(ledgerwin::NavButton button);
    bool CommitControl(int row, int field);  // false: refused
    // Commits text typed but not yet committed, before a command posts or
    // moves. False: it was refused, and the command must not run.
    bool CommitTyped();
    void DropTyped();
    QAction* AddAction(QMenu* menu, const char* name, const QString& caption,
                       const QKeySequence& shortcut = {});

    Questions& questions_;
    WindowPlatform platform_;
    std::unique_ptr<ledgerwin::ReceiveDataForm> core_;
    TRestorePos* restore_pos_;
    QTimer* timer1_;
    QWidget* central_;
    QFrame* speed_panel_;
    QWidget* kakutei_panel_;
    QWidget* kojin_panel_;
    QWidget* sort_panel_;
    QWidget* filter_panel_;
    QComboBox* combo_box1_;
    QComboBox* combo_box2_;
    QLabel* mode_panel_;
    QLabel* total_panel_;
    QLabel* commant2_panel_;
    std::map<std::string, QWidget*> top_controls_;
    std::vector<QToolButton*> navigator_buttons_;
    QWidget* tab_area_;
    QWidget* panel1_;
    QWidget* left_panel_;
    std::vector<QLabel*> titles_;
    RecordGrid* grid_;
    QWidget* bottom_panel_;
    QLabel* total_label_;
    QWidget* total_panel1_;
    QWidget* ototal_panel_;
    QLabel* ototal_label_;
    std::vector<std::pair<std::string, QLineEdit*>> total_memos_;
    std::vector<QLineEdit*> ototal_memos_;
    QTabBar* tab_bar_;
    std::map<std::string, QAction*> actions_;
    std::vector<QAction*> settle_day_actions_;
    QAction* repair_separator_ = nullptr;
    bool rendering_ = false;
    // A command of the core is running: the control events it causes (the
    // focus moved on by a post) are not the user's.
    bool busy_ = false;
    long long startup_ms_ = 0;
};

}  // namespace ravelto::ui
