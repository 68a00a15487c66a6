#pragma once

// The record grid: one record panel per ledger record of the view, as many
// as fit the grid's height, and a scroll bar over the whole view. Each panel
// holds every control of the record panel bound to its own record.

#include <QColor>
#include <QFrame>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "core/ledger/record_store.h"
#include "core/ledgerwin/main_window_state.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QScrollBar;

namespace ravelto::ui {

class RecordPanel : public QFrame {
    Q_OBJECT
  public:
    explicit RecordPanel(QWidget* parent);
    // Places the controls for the window's width and the furigana setting.
    void Arrange(int window_width, bool furigana_shown);
    void BindFields(const store::Table& table);
    void Show(const store::Record* record);  // nullptr: an empty panel
    void SetCurrent(bool current);
    void SetPaymentKinds(const QStringList& kinds);
    void SetColors(const QColor& borders, const QColor& read_only);
    // Opens the controls of the editable field groups and makes the others
    // read-only (in the read-only colour).
    void SetEditable(const ledgerwin::EditableGroups& groups);
    // Whether the control takes entry (the check box carries it as its
    // "readOnly" property).
    bool IsEditable(const char* name) const;
    QWidget* Control(const char* name) const;
    QLineEdit* Memo(const char* name) const;
    QWidget* KanaPanel() const { return kana_panel_; }
    QWidget* LeftPanel1() const { return left_panel_; }

  signals:
    void Clicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ApplyColors();
    struct Bound {
        const char* name;
        const char* field;
        QWidget* widget;
        int field_index = -1;
    };
    QWidget* line_panel_;
    QWidget* kana_panel_;
    QWidget* panel3_;
    QWidget* left_panel_;
    std::vector<Bound> controls_;
    bool current_ = false;
    ledgerwin::EditableGroups editable_;
    QColor read_only_;
    QPalette base_palette_;
};

class RecordGrid : public QWidget {
    Q_OBJECT
  public:
    explicit RecordGrid(QWidget* parent);
    void SetTable(store::Table* table);  // nullptr shows nothing
    void SetFurigana(bool shown);
    void SetPaymentKinds(const QStringList& kinds);
    void SetColors(const QColor& borders, const QColor& read_only);
    void SetEditable(const ledgerwin::EditableGroups& groups);
    const ledgerwin::EditableGroups& Editable() const { return editable_; }
    // Re-reads what the panels show (after the view or the cursor changed).
    void Refresh();
    // Scrolls so that the current record is shown, then re-reads.
    void FollowCursor();
    int RowCount() const { return static_cast<int>(panels_.size()); }
    int TopRecord() const { return top_; }  // 1-based view position of the first panel
    RecordPanel* Panel(int row) const { return panels_[static_cast<size_t>(row)]; }
    QScrollBar* ScrollBar() const { return scroll_bar_; }

    // Clicking a panel: the record at that view position becomes current.
    std::function<void(int rec_no)> RecordClicked;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    void Rebuild();
    void KeepCursorVisible();

    store::Table* table_ = nullptr;
    bool furigana_ = true;
    int window_width_ = 672;
    int top_ = 1;
    int last_cursor_ = -1;
    std::string last_view_;
    QStringList kinds_;
    QColor borders_, read_only_;
    ledgerwin::EditableGroups editable_;
    std::vector<RecordPanel*> panels_;
    QScrollBar* scroll_bar_;
};

}  // namespace ravelto::ui
