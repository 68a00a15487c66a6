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

namespace ravelto::ui {

class RecordGrid;

// What the window needs from outside: the questions, the platform and the
// settings dialogs. Empty hooks do nothing.
struct WindowServices {
    ledgerwin::FormPrompts prompts;
    ledgerwin::FormPlatform platform;
    std::function<void()> show_version;       // ﾊﾞｰｼﾞｮﾝ情報
    std::function<void()> edit_company_info;  // 自社情報
    // ﾀｲﾄﾙ色変更: true when the colours changed (the window then asks
    // title_colors again).
    std::function<bool()> edit_title_colors;
    // The three colours: titles, borders, read-only fields (invalid: not applied).
    std::function<std::array<QColor, 3>()> title_colors;
    // パスワードの設定: the new password, or nothing.
    std::function<std::optional<std::string>()> ask_new_password;
    // リスト修正 ▸ 入金種別: the new list, or nothing.
    std::function<std::optional<std::vector<std::string>>(const std::vector<std::string>&)>
        edit_payment_kinds;
    std::function<void()> show_help;                       // 目次
    std::function<void(const std::exception&)> show_error;  // a failed command
    // Window placement: restore before the first show, save on close.
    std::function<void(QWidget&)> restore_placement;
    std::function<void(QWidget&)> save_placement;
};

class TReceiveDataForm : public QMainWindow {
    Q_OBJECT
  public:
    TReceiveDataForm(store::Table& ledger, store::Table& totals, const Clock& clock,
                     std::filesystem::path start_dir, WindowServices services,
                     QWidget* parent = nullptr);
    ~TReceiveDataForm() override;

    ledgerwin::ReceiveDataForm& Core() { return *core_; }
    // The one-shot delayed start-up (also run directly by tests).
    void Timer1Timer();
    QTimer* Timer1() const { return timer1_; }
    // Called once the first view is shown (or the start-up ended).
    std::function<void()> FirstViewShown;

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
    QAction* Action(const char* name) const;
    QLabel* Title(int number) const { return titles_[static_cast<size_t>(number - 1)]; }

    void ApplyTitleColors();

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
    void Run(const std::function<void()>& command);  // a menu command: errors shown
    QAction* AddAction(QMenu* menu, const char* name, const QString& caption,
                       const QKeySequence& shortcut = {});

    std::unique_ptr<ledgerwin::ReceiveDataForm> core_;
    WindowServices services_;
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
    std::array<QColor, 3> colors_;
    bool rendering_ = false;
};

}  // namespace ravelto::ui
