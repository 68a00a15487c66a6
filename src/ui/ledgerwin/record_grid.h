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
    // Shows the table's current record as it stands while it is edited or
    // new. Controls holding typed text not yet committed keep it.
    void ShowPending(const store::Table& table);
    // The control's text for its field, CP932; text the user did not change
    // comes back as the bytes it was shown from.
    std::string CommitText(int field) const;
    // The field of a control holding typed text not yet committed, or -1.
    int TypedField() const;
    // Forgets typed text: the next showing puts the field's value back.
    void DropTyped(int field = -1);
    // Typed text not yet committed, carried to another panel showing the
    // same record (when the grid is laid out anew).
    struct TypedText {
        const char* name = nullptr;  // the control; nullptr: nothing typed
        QString text;
        std::string shown;
    };
    TypedText TakeTyped();  // and forgets it here
    void PutTyped(const TypedText& typed);
    // The control holding the focus, or nullptr.
    const char* FocusedControl() const;

    // What the user does in a control, by field (the grid adds the row).
    std::function<void(int field)> FieldKey;     // a key changed the text
    std::function<void(int field)> FieldCommit;  // text committed
    std::function<void(int field)> FieldExit;    // the focus left
    std::function<void(int field)> FieldDblClick;
    std::function<void(int field)> FieldClick;
    std::function<void()> CancelKey;  // Escape
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
        std::string shown;   // the field's value as last shown (CP932)
        bool typed = false;  // typed text not yet committed
    };
    Bound* BoundOf(QObject* watched);
    const Bound* BoundOfField(int field) const;
    void SetControlText(Bound& b, const std::string& text);
    void Typed(Bound& b);
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
    // The row showing the current record (a new one included; row 0 of an
    // empty view), or -1 when it is scrolled out of sight.
    int CurrentRow() const { return current_row_; }
    // Makes the record of a row current, as a click on its panel does.
    void ActivateRow(int row);

    // Before a scroll shows another record in the current record's panel:
    // what was typed there is committed first. False: refused, the grid
    // stays where it was.
    std::function<bool()> BeforeScroll;
    // Scrolls so that the panel of row 0 shows view position `top`, as the
    // scroll bar and the wheel do.
    void ScrollTo(int top);

    // The record panels' control events, with the row they came from.
    std::function<void(int row, int field)> FieldKey;
    std::function<void(int row, int field)> FieldCommit;
    std::function<void(int row, int field)> FieldExit;
    std::function<void(int row, int field)> FieldDblClick;
    std::function<void(int row, int field)> FieldClick;
    std::function<void()> CancelKey;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    void Rebuild();
    void KeepCursorVisible();
    // Positions in the grid: the view's records, with a new record shown
    // where it is inserted.
    int ShownCount() const;
    int CurrentPos() const;
    int InsertPos() const;  // 0: no new record
    int MaxTop() const;

    store::Table* table_ = nullptr;
    bool furigana_ = true;
    int window_width_ = 672;
    int top_ = 1;
    int last_cursor_ = -1;
    int current_row_ = -1;
    bool scrolling_ = false;
    bool rebuilding_ = false;  // the panels' control events are not the user's
    std::string last_view_;
    QStringList kinds_;
    QColor borders_, read_only_;
    ledgerwin::EditableGroups editable_;
    std::vector<RecordPanel*> panels_;
    QScrollBar* scroll_bar_;
};

}  // namespace ravelto::ui
