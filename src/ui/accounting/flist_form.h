#pragma once

// TFListForm "合計請求書の氏名の設定": the total-invoice name groups of
// RcTotalName.DB edited in a grid, with a record navigator, column widths
// kept in RcItemLen.INI and the window's placement kept per user.

#include <QAbstractTableModel>
#include <QDialog>
#include <QTableView>
#include <filesystem>
#include <optional>
#include <vector>

#include "core/ledger/record_store.h"

class QPushButton;
class QToolButton;

namespace ravelto {
class Questions;
}
namespace ravelto::platform {
class UserSettings;
}

namespace ravelto::ui {

class TRestorePos;

// The rows of a table for a grid, read and written through the record store.
// The record being inserted is shown as the last row; an empty table shows
// one blank row, and typing into it begins a new record. Text reaches the
// record only when it differs from what the field holds.
class TableGridModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    TableGridModel(store::Table& table, Questions& questions, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // The grid row of the table's current record (the record being inserted
    // included).
    int CurrentRow() const;
    // Moves the table's cursor to the record of `row` (posting first, as
    // every move does). Errors are shown.
    void MoveTo(int row);
    // Runs an operation on the table; errors are shown. The rows follow.
    bool Run(const std::function<void()>& op);
    // Re-reads everything the grid shows.
    void Sync();

    store::Table& Table() { return table_; }

  private:
    int RowsNow() const;
    bool IsPendingRow(int row) const;
    const store::Record& RowRecord(int row) const;

    store::Table& table_;
    Questions& questions_;
    int shown_rows_ = 0;
    mutable std::vector<std::optional<store::Record>> cache_;
};

// The grid: a table view whose open cell editor can be committed from outside
// (the navigator and OK do not take the focus from it).
class TDataGrid : public QTableView {
    Q_OBJECT

  public:
    using QTableView::QTableView;
    // Writes the text of an open cell editor into the model and closes it.
    void CommitEditor();
};

class TFListForm : public QDialog {
    Q_OBJECT

  public:
    // groups: RcTotalName.DB. start_dir holds RcItemLen.INI. The settings
    // store and the questions outlive the form.
    TFListForm(store::Table& groups, Questions& questions, platform::UserSettings& settings,
               std::filesystem::path start_dir, QWidget* parent = nullptr);

    QWidget* NavPanel;
    QToolButton* FirstBtn;
    QToolButton* PriorBtn;
    QToolButton* NextBtn;
    QToolButton* LastBtn;
    QToolButton* PostBtn;
    QToolButton* DeleteBtn;
    QToolButton* CancelBtn;
    QToolButton* InsertBtn;
    TDataGrid* DBGrid1;
    QWidget* Panel1;  // bottom band
    QPushButton* OKBtn;
    TRestorePos* RestorePos1;

    TableGridModel* Model() { return model_; }

    // Column widths from RcItemLen.INI (run once, when the form is made).
    void FormCreate();
    // Column widths to RcItemLen.INI, then the window closes.
    void OKBtnClick();
    // Keeps OK centred in the bottom band.
    void FormResize();

    // A column's width in characters, and back.
    int CharsOf(int pixels) const;
    int PixelsOf(int chars) const;

  public slots:
    void done(int result) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void Navigate(const std::function<void(store::Table&)>& op);
    void FollowCursor();

    TableGridModel* model_;
    Questions& questions_;
    std::filesystem::path start_dir_;
};

// N3Click: shows the form modally; a group still being edited when it closes
// is saved (a new one as well, so a group typed in is not lost when the
// program ends).
void N3Click(TFListForm& form);

}  // namespace ravelto::ui
