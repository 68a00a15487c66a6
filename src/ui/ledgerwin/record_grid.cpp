#include "ui/ledgerwin/record_grid.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <string_view>

#include "core/ledger/cp932.h"
#include "core/ledgerwin/window_layout.h"
#include "ui/qtext.h"

namespace ravelto::ui {

using ledgerwin::Area;

namespace {

// A payment-kind list that offers nothing while its record is read-only:
// neither the list nor the keys and the wheel that step through it (the
// box would show a kind its record does not hold).
class KindComboBox : public QComboBox {
  public:
    using QComboBox::QComboBox;
    void showPopup() override {
        if (!ReadOnly()) QComboBox::showPopup();
    }

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        switch (event->key()) {
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_PageUp:
            case Qt::Key_PageDown:
            case Qt::Key_Home:
            case Qt::Key_End:
            case Qt::Key_F4:
            case Qt::Key_Space:
                if (ReadOnly()) {
                    event->ignore();
                    return;
                }
                break;
            default:
                break;
        }
        QComboBox::keyPressEvent(event);
    }
    void wheelEvent(QWheelEvent* event) override {
        if (ReadOnly())
            event->ignore();  // the grid scrolls instead
        else
            QComboBox::wheelEvent(event);
    }

  private:
    bool ReadOnly() const { return lineEdit() == nullptr || lineEdit()->isReadOnly(); }
};

void SetBackground(QWidget* w, const QColor& color) {
    if (!color.isValid()) return;
    QPalette p = w->palette();
    p.setColor(QPalette::Base, color);
    p.setColor(QPalette::Window, color);
    w->setPalette(p);
}

}  // namespace

RecordPanel::RecordPanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("DBCtrlGridPanel"));
    setAutoFillBackground(true);
    line_panel_ = new QWidget(this);
    line_panel_->setObjectName(QStringLiteral("LinePanel1"));
    line_panel_->setAutoFillBackground(true);
    kana_panel_ = new QWidget(this);
    kana_panel_->setObjectName(QStringLiteral("kanaPanel"));
    panel3_ = new QWidget(this);
    panel3_->setObjectName(QStringLiteral("Panel3"));
    left_panel_ = new QWidget(panel3_);
    left_panel_->setObjectName(QStringLiteral("LeftPanel1"));

    for (const auto& c : ledgerwin::RecordControls(ledgerwin::kInitialWidth)) {
        QWidget* parent_widget =
            c.kana_row ? kana_panel_ : (c.place.area == Area::Block ? left_panel_ : panel3_);
        QWidget* w = nullptr;
        switch (c.kind) {
            case ledgerwin::RecordControl::Memo: {
                auto* edit = new QLineEdit(parent_widget);
                edit->setReadOnly(true);
                edit->setFrame(true);
                edit->setTextMargins(0, 0, 0, 0);
                edit->setAlignment(c.right_aligned ? Qt::AlignRight | Qt::AlignVCenter
                                                   : Qt::AlignLeft | Qt::AlignVCenter);
                w = edit;
                break;
            }
            case ledgerwin::RecordControl::Combo: {
                auto* combo = new KindComboBox(parent_widget);
                combo->setEditable(true);
                combo->lineEdit()->setReadOnly(true);
                combo->setInsertPolicy(QComboBox::NoInsert);
                w = combo;
                break;
            }
            case ledgerwin::RecordControl::Check: {
                // Its clicks are the panel's: a toggle is committed to the
                // record, never kept by the box alone.
                auto* check = new QCheckBox(QStringLiteral("不含"), parent_widget);
                check->setProperty("readOnly", true);
                check->setFocusPolicy(Qt::NoFocus);
                w = check;
                break;
            }
        }
        w->setObjectName(QString::fromLatin1(c.name));
        w->installEventFilter(this);
        if (auto* combo = qobject_cast<QComboBox*>(w)) combo->lineEdit()->installEventFilter(this);
        controls_.push_back({c.name, c.field, w, -1, {}, false});
    }
    // Keys the user typed (never text set from the record).
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        QWidget* w = controls_[i].widget;
        QLineEdit* edit = qobject_cast<QLineEdit*>(w);
        if (auto* combo = qobject_cast<QComboBox*>(w)) {
            edit = combo->lineEdit();
            connect(combo, &QComboBox::activated, this, [this, i](int) {
                Bound& b = controls_[i];
                if (!IsEditable(b.name)) return;
                Typed(b);
                if (FieldCommit && b.typed) FieldCommit(b.field_index);
            });
        }
        if (edit != nullptr)
            connect(edit, &QLineEdit::textEdited, this, [this, i] { Typed(controls_[i]); });
    }
    base_palette_ = Memo("DBMemo1")->palette();
    // The reading of the name in light grey, as the input method captured it.
    QPalette kana = Memo("DBMemo25")->palette();
    kana.setColor(QPalette::Text, QColor(0x80, 0x80, 0x80));
    Memo("DBMemo25")->setPalette(kana);
}

QWidget* RecordPanel::Control(const char* name) const {
    for (const Bound& b : controls_)
        if (std::string_view(b.name) == name) return b.widget;
    return nullptr;
}

QLineEdit* RecordPanel::Memo(const char* name) const {
    return qobject_cast<QLineEdit*>(Control(name));
}

void RecordPanel::Arrange(int window_width, bool furigana_shown) {
    const int width = window_width - ledgerwin::kGridScrollBarWidth;
    int y = 0;
    line_panel_->setGeometry(0, y, width, ledgerwin::kSeparatorHeight);
    y += ledgerwin::kSeparatorHeight;
    kana_panel_->setVisible(furigana_shown);
    if (furigana_shown) {
        kana_panel_->setGeometry(0, y, width, ledgerwin::kKanaRowHeight);
        y += ledgerwin::kKanaRowHeight;
    }
    panel3_->setGeometry(0, y, width, 5 * ledgerwin::kRecordRowHeight);
    const ledgerwin::Block block = ledgerwin::AmountBlock(window_width);
    left_panel_->setGeometry(block.left, 2 * ledgerwin::kRecordRowHeight, block.width,
                             3 * ledgerwin::kRecordRowHeight);
    for (const auto& c : ledgerwin::RecordControls(window_width)) {
        QWidget* w = Control(c.name);
        int top = c.place.y;
        if (c.place.area == Area::Block) top -= 2 * ledgerwin::kRecordRowHeight;
        w->setGeometry(c.place.x, top, c.place.width, c.place.height);
    }
    setFixedSize(width, y + 5 * ledgerwin::kRecordRowHeight);
}

void RecordPanel::SetPaymentKinds(const QStringList& kinds) {
    for (const Bound& b : controls_) {
        if (auto* combo = qobject_cast<QComboBox*>(b.widget)) {
            const QString text = combo->currentText();
            combo->clear();
            combo->addItems(kinds);
            combo->setEditText(text);
        }
    }
}

void RecordPanel::SetColors(const QColor& borders, const QColor& read_only) {
    SetBackground(line_panel_, borders);
    read_only_ = read_only;
    ApplyColors();
}

void RecordPanel::SetEditable(const ledgerwin::EditableGroups& groups) {
    editable_ = groups;
    for (const Bound& b : controls_) {
        const bool open = ledgerwin::ControlEditable(groups, b.name);
        if (auto* edit = qobject_cast<QLineEdit*>(b.widget))
            edit->setReadOnly(!open);
        else if (auto* combo = qobject_cast<QComboBox*>(b.widget))
            combo->lineEdit()->setReadOnly(!open);
        else
            b.widget->setProperty("readOnly", !open);
    }
    ApplyColors();
}

bool RecordPanel::IsEditable(const char* name) const {
    const QWidget* w = Control(name);
    if (auto* edit = qobject_cast<const QLineEdit*>(w)) return !edit->isReadOnly();
    if (auto* combo = qobject_cast<const QComboBox*>(w)) return !combo->lineEdit()->isReadOnly();
    return w != nullptr && !w->property("readOnly").toBool();
}

void RecordPanel::ApplyColors() {
    // The read-only colour marks what cannot be typed into now.
    for (const Bound& b : controls_) {
        auto* edit = qobject_cast<QLineEdit*>(b.widget);
        if (edit == nullptr) continue;
        if (edit->isReadOnly() && read_only_.isValid()) {
            SetBackground(edit, read_only_);
        } else {
            QPalette p = edit->palette();
            p.setColor(QPalette::Base, base_palette_.color(QPalette::Base));
            p.setColor(QPalette::Window, base_palette_.color(QPalette::Window));
            edit->setPalette(p);
        }
    }
}

void RecordPanel::BindFields(const store::Table& table) {
    for (Bound& b : controls_)
        b.field_index = table.FieldIndex(sj(b.field));
}

void RecordPanel::SetControlText(Bound& b, const std::string& value) {
    // Typed text waits for its commit; the record does not overwrite it.
    if (b.typed) return;
    b.shown = value;
    const QString text = ToQ(value);
    if (auto* edit = qobject_cast<QLineEdit*>(b.widget)) {
        if (edit->text() != text) edit->setText(text);
        if (!edit->hasFocus()) edit->setCursorPosition(0);
    } else if (auto* combo = qobject_cast<QComboBox*>(b.widget)) {
        if (combo->currentText() != text) combo->setEditText(text);
    } else if (auto* check = qobject_cast<QCheckBox*>(b.widget)) {
        check->setChecked(text == QLatin1String("True"));
    }
}

void RecordPanel::Show(const store::Record* record) {
    for (Bound& b : controls_)
        SetControlText(b, record != nullptr && b.field_index >= 0 ? record->Text(b.field_index)
                                                                  : std::string());
}

void RecordPanel::ShowPending(const store::Table& table) {
    for (Bound& b : controls_)
        SetControlText(b, b.field_index >= 0 ? table.Text(b.field_index) : std::string());
}

RecordPanel::Bound* RecordPanel::BoundOf(QObject* watched) {
    for (Bound& b : controls_) {
        if (b.widget == watched) return &b;
        if (auto* combo = qobject_cast<QComboBox*>(b.widget))
            if (combo->lineEdit() == watched) return &b;
    }
    return nullptr;
}

const RecordPanel::Bound* RecordPanel::BoundOfField(int field) const {
    for (const Bound& b : controls_)
        if (b.field_index == field && field >= 0) return &b;
    return nullptr;
}

void RecordPanel::Typed(Bound& b) {
    if (b.field_index < 0) return;
    b.typed = true;
    if (FieldKey) FieldKey(b.field_index);
}

std::string RecordPanel::CommitText(int field) const {
    const Bound* b = BoundOfField(field);
    if (b == nullptr) return {};
    QString text;
    if (auto* edit = qobject_cast<QLineEdit*>(b->widget))
        text = edit->text();
    else if (auto* combo = qobject_cast<QComboBox*>(b->widget))
        text = combo->currentText();
    else if (auto* check = qobject_cast<QCheckBox*>(b->widget))
        return check->isChecked() ? "True" : "False";
    return FromQKeeping(text, b->shown);
}

int RecordPanel::TypedField() const {
    for (const Bound& b : controls_)
        if (b.typed) return b.field_index;
    return -1;
}

void RecordPanel::DropTyped(int field) {
    for (Bound& b : controls_)
        if (field < 0 || b.field_index == field) b.typed = false;
}

RecordPanel::TypedText RecordPanel::TakeTyped() {
    for (Bound& b : controls_) {
        if (!b.typed) continue;
        TypedText typed{b.name, {}, b.shown};
        if (auto* edit = qobject_cast<QLineEdit*>(b.widget))
            typed.text = edit->text();
        else if (auto* combo = qobject_cast<QComboBox*>(b.widget))
            typed.text = combo->currentText();
        b.typed = false;
        return typed;
    }
    return {};
}

void RecordPanel::PutTyped(const TypedText& typed) {
    if (typed.name == nullptr) return;
    for (Bound& b : controls_) {
        if (std::string_view(b.name) != typed.name) continue;
        if (auto* edit = qobject_cast<QLineEdit*>(b.widget))
            edit->setText(typed.text);
        else if (auto* combo = qobject_cast<QComboBox*>(b.widget))
            combo->setEditText(typed.text);
        else
            return;
        b.shown = typed.shown;
        b.typed = true;
    }
}

const char* RecordPanel::FocusedControl() const {
    const QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr) return nullptr;
    for (const Bound& b : controls_)
        if (b.widget == focus || b.widget->isAncestorOf(focus)) return b.name;
    return nullptr;
}

void RecordPanel::SetCurrent(bool current) {
    if (current == current_) return;
    current_ = current;
    QPalette p = palette();
    p.setColor(QPalette::Window,
               current ? QColor(0xFF, 0xFF, 0xE0) : QPalette().color(QPalette::Window));
    setPalette(p);
}

void RecordPanel::mousePressEvent(QMouseEvent* event) {
    emit Clicked();
    QFrame::mousePressEvent(event);
}

bool RecordPanel::eventFilter(QObject* watched, QEvent* event) {
    Bound* b = BoundOf(watched);
    if (b == nullptr) return QFrame::eventFilter(watched, event);
    const int field = b->field_index;
    auto* check = qobject_cast<QCheckBox*>(b->widget);
    switch (event->type()) {
        case QEvent::FocusIn:
            emit Clicked();
            break;
        case QEvent::MouseButtonPress:
            emit Clicked();
            if (FieldClick && field >= 0) FieldClick(field);
            if (check != nullptr) {
                // A click toggles the mark of the record, when it is open.
                if (IsEditable(b->name) && field >= 0) {
                    check->setChecked(!check->isChecked());
                    Typed(*b);
                    if (FieldCommit && b->typed) FieldCommit(field);
                }
                return true;
            }
            break;
        case QEvent::MouseButtonRelease:
            if (check != nullptr) return true;
            break;
        case QEvent::MouseButtonDblClick:
            if (FieldDblClick && field >= 0) FieldDblClick(field);
            if (check != nullptr) return true;
            break;
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                if (CancelKey) CancelKey();
                return true;
            }
            break;
        case QEvent::InputMethod: {
            // The input method's commit is text committed to the field.
            auto* im = static_cast<QInputMethodEvent*>(event);
            if (im->commitString().isEmpty()) break;
            static_cast<QObject*>(watched)->event(event);
            if (FieldCommit && b->typed) FieldCommit(field);
            return true;
        }
        case QEvent::FocusOut: {
            // Leaving for a popup or another window is not leaving the field.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) break;
            if (field < 0) break;
            if (FieldCommit && b->typed) FieldCommit(field);
            if (FieldExit) FieldExit(field);
            break;
        }
        default:
            break;
    }
    return QFrame::eventFilter(watched, event);
}

RecordGrid::RecordGrid(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("DBCtrlGrid1"));
    scroll_bar_ = new QScrollBar(Qt::Vertical, this);
    scroll_bar_->setObjectName(QStringLiteral("DBCtrlGrid1ScrollBar"));
    connect(scroll_bar_, &QScrollBar::valueChanged, this, [this](int value) {
        if (value + 1 != top_) ScrollTo(value + 1);
    });
}

void RecordGrid::SetTable(store::Table* table) {
    if (table != table_) {
        table_ = table;
        top_ = 1;
        if (table_ != nullptr)
            for (RecordPanel* p : panels_)
                p->BindFields(*table_);
    }
    Refresh();
}

void RecordGrid::FollowCursor() {
    KeepCursorVisible();
    Refresh();
}

void RecordGrid::SetFurigana(bool shown) {
    if (shown == furigana_) return;
    furigana_ = shown;
    Rebuild();
}

void RecordGrid::SetPaymentKinds(const QStringList& kinds) {
    kinds_ = kinds;
    for (RecordPanel* p : panels_)
        p->SetPaymentKinds(kinds);
}

void RecordGrid::SetColors(const QColor& borders, const QColor& read_only) {
    borders_ = borders;
    read_only_ = read_only;
    for (RecordPanel* p : panels_)
        p->SetColors(borders, read_only);
}

void RecordGrid::SetEditable(const ledgerwin::EditableGroups& groups) {
    if (groups == editable_) return;
    editable_ = groups;
    for (RecordPanel* p : panels_)
        p->SetEditable(groups);
}

void RecordGrid::resizeEvent(QResizeEvent*) {
    Rebuild();
}

void RecordGrid::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0) ScrollTo(top_ - steps);
    event->accept();
}

void RecordGrid::Rebuild() {
    window_width_ = width();
    const int rows = std::max(1, ledgerwin::GridRows(height(), furigana_));
    // The record being entered keeps what was typed into it and the focus,
    // in whichever panel shows it afterwards.
    const int old_row = current_row_;
    RecordPanel::TypedText carried;
    const char* focus_name = nullptr;
    if (old_row >= 0 && old_row < RowCount()) {
        carried = Panel(old_row)->TakeTyped();
        focus_name = Panel(old_row)->FocusedControl();
    }
    rebuilding_ = true;
    if (focus_name != nullptr && old_row >= rows) setFocus(Qt::OtherFocusReason);
    while (static_cast<int>(panels_.size()) > rows) {
        delete panels_.back();
        panels_.pop_back();
    }
    rebuilding_ = false;
    while (static_cast<int>(panels_.size()) < rows) {
        auto* panel = new RecordPanel(this);
        const int row = static_cast<int>(panels_.size());
        connect(panel, &RecordPanel::Clicked, this, [this, row] { ActivateRow(row); });
        panel->FieldKey = [this, row](int field) {
            if (FieldKey && !rebuilding_) FieldKey(row, field);
        };
        panel->FieldCommit = [this, row](int field) {
            if (FieldCommit && !rebuilding_) FieldCommit(row, field);
        };
        panel->FieldExit = [this, row](int field) {
            if (FieldExit && !rebuilding_) FieldExit(row, field);
        };
        panel->FieldDblClick = [this, row](int field) {
            if (FieldDblClick && !rebuilding_) FieldDblClick(row, field);
        };
        panel->FieldClick = [this, row](int field) {
            if (FieldClick && !rebuilding_) FieldClick(row, field);
        };
        panel->CancelKey = [this] {
            if (CancelKey) CancelKey();
        };
        panel->SetPaymentKinds(kinds_);
        if (table_ != nullptr) panel->BindFields(*table_);
        panel->SetColors(borders_, read_only_);
        panel->SetEditable(editable_);
        panel->show();
        panels_.push_back(panel);
    }
    const int row_height =
        furigana_ ? ledgerwin::kRowHeightWithKana : ledgerwin::kRowHeightWithoutKana;
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        panels_[i]->Arrange(window_width_, furigana_);
        panels_[i]->move(0, static_cast<int>(i) * row_height);
    }
    scroll_bar_->setGeometry(width() - ledgerwin::kGridScrollBarWidth, 0,
                             ledgerwin::kGridScrollBarWidth, height());
    // Fewer panels: the record being entered stays in sight, in the last.
    if (old_row >= rows) top_ += old_row - (rows - 1);
    Refresh();
    if (current_row_ >= 0) {
        Panel(current_row_)->PutTyped(carried);
        if (focus_name != nullptr && current_row_ != old_row)
            Panel(current_row_)->Control(focus_name)->setFocus(Qt::OtherFocusReason);
    }
}

void RecordGrid::ActivateRow(int row) {
    // Another record's panel: that record becomes current. The new record's
    // panel maps to none.
    if (table_ == nullptr || row == current_row_) return;
    const int pos = top_ + row;
    const int insert = InsertPos();
    if (pos == insert) return;
    const int rec_no = insert > 0 && pos > insert ? pos - 1 : pos;
    if (rec_no <= table_->RecordCount() && RecordClicked) RecordClicked(rec_no);
}

int RecordGrid::InsertPos() const {
    if (table_ == nullptr || table_->GetState() != store::State::Insert) return 0;
    return std::max(1, table_->RecNo());
}

int RecordGrid::ShownCount() const {
    if (table_ == nullptr) return 0;
    return table_->RecordCount() + (InsertPos() > 0 ? 1 : 0);
}

int RecordGrid::CurrentPos() const {
    if (table_ == nullptr) return 0;
    const int insert = InsertPos();
    return insert > 0 ? insert : table_->RecNo();
}

int RecordGrid::MaxTop() const {
    return std::max(1, ShownCount() - RowCount() + 1);
}

void RecordGrid::ScrollTo(int top) {
    top = std::clamp(top, 1, MaxTop());
    if (table_ == nullptr || top == top_ || scrolling_) {
        // The bar shows where the grid stands.
        const QSignalBlocker block(scroll_bar_);
        scroll_bar_->setValue(top_ - 1);
        return;
    }
    scrolling_ = true;
    // The current record's panel is about to show another record: what was
    // typed there goes to the record first, as on leaving the field.
    const bool committed = !BeforeScroll || BeforeScroll();
    const char* focus_name =
        committed && current_row_ >= 0 ? Panel(current_row_)->FocusedControl() : nullptr;
    // Leaving the field runs its exit (the sums, the balances) while its
    // record is still the panel's.
    if (focus_name != nullptr) setFocus(Qt::OtherFocusReason);
    if (committed) {
        top_ = std::clamp(top, 1, MaxTop());
        Refresh();
        // The focus goes with its record while the record stays in sight.
        if (focus_name != nullptr && current_row_ >= 0)
            Panel(current_row_)->Control(focus_name)->setFocus(Qt::OtherFocusReason);
    } else {
        const QSignalBlocker block(scroll_bar_);
        scroll_bar_->setValue(top_ - 1);
    }
    scrolling_ = false;
}

void RecordGrid::KeepCursorVisible() {
    if (table_ == nullptr) return;
    const int rec_no = CurrentPos();
    const int rows = RowCount();
    if (rec_no < 1) return;
    if (rec_no < top_) top_ = rec_no;
    if (rec_no >= top_ + rows) top_ = rec_no - rows + 1;
}

void RecordGrid::Refresh() {
    // Where the focus stands before the panels change (a panel hidden below
    // takes the focus with it).
    int focus_row = -1;
    const char* focus_name = nullptr;
    for (int row = 0; row < RowCount() && focus_name == nullptr; ++row) {
        focus_name = Panel(row)->FocusedControl();
        focus_row = row;
    }
    // A new view starts at its top; a cursor that moved is brought into sight.
    // Scrolling alone leaves the cursor where it is.
    std::string view;
    if (table_ != nullptr)
        view = table_->Filter() + (table_->Filtered() ? "\x01" : "\x02") + table_->Order();
    if (view != last_view_) {
        last_view_ = view;
        top_ = 1;
        last_cursor_ = -1;
    }
    const int cursor = CurrentPos();
    if (cursor != last_cursor_) {
        last_cursor_ = cursor;
        KeepCursorVisible();
    }
    const int count = ShownCount();
    const int insert = InsertPos();
    const bool editing = table_ != nullptr && table_->GetState() != store::State::Browse;
    const int rows = RowCount();
    const int max_top = std::max(1, count - rows + 1);
    top_ = std::clamp(top_, 1, max_top);
    {
        const QSignalBlocker block(scroll_bar_);
        scroll_bar_->setRange(0, max_top - 1);
        scroll_bar_->setPageStep(std::max(1, rows));
        scroll_bar_->setValue(top_ - 1);
    }
    // An empty view shows one blank panel: typing into it begins a record.
    const int current = count == 0 && table_ != nullptr ? 1 : cursor;
    current_row_ = current >= top_ && current < top_ + rows ? current - top_ : -1;
    for (int row = 0; row < rows; ++row) {
        RecordPanel* panel = panels_[static_cast<size_t>(row)];
        const int pos = top_ + row;
        if (pos == current && editing) {
            // The record being entered, as it stands.
            panel->ShowPending(*table_);
            panel->setVisible(true);
        } else if (pos <= count) {
            const int rec_no = insert > 0 && pos > insert ? pos - 1 : pos;
            const store::Record record = table_->ReadAt(rec_no);
            // Typed text stays only in the current record's panel.
            if (pos != current) panel->DropTyped();
            panel->Show(&record);
            panel->setVisible(true);
        } else {
            if (pos != current) panel->DropTyped();
            panel->Show(nullptr);
            panel->setVisible(pos == current);
        }
        panel->SetCurrent(pos == current);
    }
    // The focus stands in the current record's panel: after the cursor moved
    // (a navigator, a tab change) the same control of the new current panel
    // takes it, so the field with the focus is always the one typed into.
    if (focus_name != nullptr && focus_row != current_row_ && current_row_ >= 0 && !rebuilding_)
        Panel(current_row_)->Control(focus_name)->setFocus(Qt::OtherFocusReason);
}

}  // namespace ravelto::ui
