#include "ui/accounting/flist_form.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "core/accounting/name_groups.h"
#include "core/ledger/cp932.h"
#include "core/ledger/questions.h"
#include "core/ledger/settings_file.h"
#include "ui/components/restore_pos.h"
#include "ui/qtext.h"

namespace ravelto::ui {

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

}  // namespace

// ---- TableGridModel -------------------------------------------------------

TableGridModel::TableGridModel(store::Table& table, Questions& questions, QObject* parent)
    : QAbstractTableModel(parent), table_(table), questions_(questions) {
    shown_rows_ = RowsNow();
}

int TableGridModel::RowsNow() const {
    const int count = table_.RecordCount();
    if (table_.GetState() == store::State::Insert) return count + 1;
    return std::max(count, 1);
}

bool TableGridModel::IsPendingRow(int row) const {
    return table_.GetState() == store::State::Insert
               ? row == table_.RecordCount()
               : row == table_.RecNo() - 1 && table_.GetState() == store::State::Edit;
}

int TableGridModel::CurrentRow() const {
    if (table_.GetState() == store::State::Insert) return table_.RecordCount();
    return std::max(table_.RecNo() - 1, 0);
}

int TableGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shown_rows_;
}

int TableGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(table_.Def().fields.size());
}

const store::Record& TableGridModel::RowRecord(int row) const {
    if (cache_.size() != static_cast<size_t>(table_.RecordCount()))
        cache_.assign(table_.RecordCount(), std::nullopt);
    auto& slot = cache_[row];
    if (!slot) slot = table_.ReadAt(row + 1);
    return *slot;
}

QVariant TableGridModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    const int row = index.row(), col = index.column();
    try {
        if (IsPendingRow(row)) return ToQ(table_.Text(col));
        if (row < table_.RecordCount()) return ToQ(RowRecord(row).Text(col));
    } catch (const std::exception&) {
        // A row that cannot be read shows empty; the next operation reports.
    }
    return QString();
}

QVariant TableGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= columnCount()) return {};
        return ToQ(table_.Def().fields[section].name);
    }
    // The row marker of the current record: ▶, or * while it is edited or new.
    if (section != CurrentRow()) return QString();
    return table_.GetState() == store::State::Browse ? QString::fromUtf8("▶") : QStringLiteral("*");
}

Qt::ItemFlags TableGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool TableGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid()) return false;
    const int row = index.row(), col = index.column();
    // Text left as it was shown is not written back, nor checked: a field
    // holding bytes that are not Shift-JIS shows them as U+FFFD.
    if (data(index, Qt::EditRole).toString() == value.toString()) return true;
    std::string text;
    try {
        text = FromQ(value.toString());
    } catch (const std::exception& e) {
        ShowError(questions_, e);
        return false;
    }
    return Run([&] {
        store::Table& t = table_;
        if (!IsPendingRow(row)) {
            if (row >= t.RecordCount()) {
                // The blank row of an empty table.
                t.Append();
            } else {
                if (t.GetState() != store::State::Browse || t.RecNo() != row + 1)
                    t.SetRecNo(row + 1);
                t.Edit();
            }
        }
        t.SetText(col, text);
    });
}

bool TableGridModel::Run(const std::function<void()>& op) {
    bool ok = true;
    try {
        op();
    } catch (const std::exception& e) {
        ok = false;
        ShowError(questions_, e);
    }
    Sync();
    return ok;
}

void TableGridModel::MoveTo(int row) {
    if (row == CurrentRow()) return;
    if (row < 0 || row >= table_.RecordCount()) return;
    Run([&] { table_.SetRecNo(row + 1); });
}

void TableGridModel::Sync() {
    cache_.clear();
    const int now = RowsNow();
    if (now > shown_rows_) {
        beginInsertRows(QModelIndex(), shown_rows_, now - 1);
        shown_rows_ = now;
        endInsertRows();
    } else if (now < shown_rows_) {
        beginRemoveRows(QModelIndex(), now, shown_rows_ - 1);
        shown_rows_ = now;
        endRemoveRows();
    }
    if (shown_rows_ > 0) emit dataChanged(index(0, 0), index(shown_rows_ - 1, columnCount() - 1));
    emit headerDataChanged(Qt::Vertical, 0, shown_rows_ - 1);
}

// ---- TDataGrid -------------------------------------------------------------

void TDataGrid::CommitEditor() {
    if (state() != QAbstractItemView::EditingState) return;
    for (QWidget* editor : viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!editor->isVisible()) continue;
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
        break;
    }
}

// ---- TFListForm -------------------------------------------------------------

TFListForm::TFListForm(store::Table& groups, Questions& questions, platform::UserSettings& settings,
                       std::filesystem::path start_dir, QWidget* parent)
    : QDialog(parent), questions_(questions), start_dir_(std::move(start_dir)) {
    setObjectName(QStringLiteral("FListForm"));
    setWindowTitle(U("合計請求書の氏名の設定"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setSizeGripEnabled(true);
    QFont font(U("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    setFont(font);

    // The navigator: four groups of buttons.
    NavPanel = new QWidget(this);
    NavPanel->setObjectName(QStringLiteral("NavPanel"));
    auto* nav = new QHBoxLayout(NavPanel);
    nav->setContentsMargins(4, 3, 4, 3);
    nav->setSpacing(0);
    auto button = [&](const char* name, const char* glyph, const char* hint) {
        auto* b = new QToolButton(NavPanel);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(U(glyph));
        b->setToolTip(U(hint));
        b->setFixedSize(25, 25);
        nav->addWidget(b);
        return b;
    };
    FirstBtn = button("FirstBtn", "|◀", "先頭");
    PriorBtn = button("PriorBtn", "◀", "前へ");
    NextBtn = button("NextBtn", "▶", "次へ");
    LastBtn = button("LastBtn", "▶|", "最後");
    PostBtn = button("PostBtn", "✓", "登録");
    nav->addSpacing(8);
    DeleteBtn = button("DeleteBtn", "－", "削除");
    nav->addSpacing(8);
    CancelBtn = button("CancelBtn", "✕", "取消");
    nav->addSpacing(8);
    InsertBtn = button("InsertBtn", "＋", "追加");
    nav->addStretch(1);

    model_ = new TableGridModel(groups, questions, this);
    DBGrid1 = new TDataGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setModel(model_);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    DBGrid1->horizontalHeader()->setSectionsMovable(true);
    DBGrid1->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 6);
    DBGrid1->verticalHeader()->setFixedWidth(16);
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) model_->MoveTo(current.row());
            });

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(41);
    Panel1->installEventFilter(this);
    OKBtn = new QPushButton(QStringLiteral("OK"), Panel1);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(0, 8, 74, 25);
    OKBtn->setDefault(true);
    // Enter in the grid commits the cell; it does not close the window.
    OKBtn->setAutoDefault(false);
    connect(OKBtn, &QPushButton::clicked, this, &TFListForm::OKBtnClick);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(NavPanel);
    layout->addWidget(DBGrid1, 1);
    layout->addWidget(Panel1);
    resize(600, 320);

    auto navigate = [this](QToolButton* b, std::function<void(store::Table&)> op) {
        connect(b, &QToolButton::clicked, this, [this, op] { Navigate(op); });
    };
    navigate(FirstBtn, [](store::Table& t) { t.First(); });
    navigate(PriorBtn, [](store::Table& t) { t.Prior(); });
    navigate(NextBtn, [](store::Table& t) { t.Next(); });
    navigate(LastBtn, [](store::Table& t) { t.Last(); });
    navigate(PostBtn, [](store::Table& t) { t.Post(); });
    navigate(CancelBtn, [](store::Table& t) { t.Cancel(); });
    // A new group goes after the others, where it is kept.
    navigate(InsertBtn, [](store::Table& t) { t.Append(); });
    navigate(DeleteBtn, [this](store::Table& t) {
        if (t.GetState() != store::State::Insert && t.RecordCount() == 0) return;
        if (questions_.ConfirmYesNo(sj("レコードを削除しますか？"))) t.Delete();
    });

    RestorePos1 = new TRestorePos(this, settings);
    RestorePos1->KeyName = QStringLiteral("Ravelto");
    RestorePos1->SetValueNames(QStringLiteral("FList PosX"), QStringLiteral("FList PosY"),
                               QStringLiteral("FList Width"), QStringLiteral("FList Height"));
    FormCreate();
    RestorePos1->Load();
}

int TFListForm::PixelsOf(int chars) const {
    return chars * DBGrid1->fontMetrics().horizontalAdvance(QLatin1Char('0')) + 4;
}

int TFListForm::CharsOf(int pixels) const {
    const int unit = std::max(1, DBGrid1->fontMetrics().horizontalAdvance(QLatin1Char('0')));
    return std::max(1, (pixels - 4 + unit / 2) / unit);
}

void TFListForm::FormCreate() {
    // Defaults: names 20 characters, the postal code 10, the address 40.
    const int columns = model_->columnCount();
    for (int c = 0; c < columns; ++c) {
        int chars = c == accounting::grp::kPostCode ? 10 : c == accounting::grp::kAddress ? 40 : 20;
        DBGrid1->setColumnWidth(c, PixelsOf(chars));
    }
    try {
        for (const accounting::ColumnWidth& w : accounting::ReadColumnWidths(start_dir_))
            if (w.field_number >= 1 && w.field_number <= columns)
                DBGrid1->setColumnWidth(w.field_number - 1, PixelsOf(w.width));
    } catch (const std::exception& e) {
        ShowError(questions_, e);
    }
}

void TFListForm::OKBtnClick() {
    DBGrid1->CommitEditor();
    std::vector<accounting::ColumnWidth> widths;
    QHeaderView* header = DBGrid1->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        widths.push_back({logical + 1, CharsOf(header->sectionSize(logical))});
    }
    try {
        accounting::WriteColumnWidths(start_dir_, widths);
    } catch (const std::exception& e) {
        ShowError(questions_, e);
    }
    accept();
}

void TFListForm::done(int result) {
    DBGrid1->CommitEditor();
    // A dialog closed by OK gets no close event: keep its placement here.
    if (isVisible() && RestorePos1->Enabled) {
        try {
            RestorePos1->Save();
        } catch (const std::exception& e) {
            ShowError(questions_, e);
        }
    }
    QDialog::done(result);
}

void TFListForm::FormResize() {
    OKBtn->move(Panel1->width() / 2 - 37, OKBtn->y());
}

bool TFListForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Panel1 && event->type() == QEvent::Resize) FormResize();
    return QDialog::eventFilter(watched, event);
}

void TFListForm::showEvent(QShowEvent* event) {
    model_->Sync();
    FollowCursor();
    QDialog::showEvent(event);
}

void TFListForm::Navigate(const std::function<void(store::Table&)>& op) {
    // A cell being typed into reaches the record first.
    DBGrid1->CommitEditor();
    model_->Run([&] { op(model_->Table()); });
    FollowCursor();
}

void TFListForm::FollowCursor() {
    const int row = model_->CurrentRow();
    const int column = std::max(DBGrid1->currentIndex().column(), 0);
    QSignalBlocker block(DBGrid1->selectionModel());
    DBGrid1->setCurrentIndex(model_->index(row, column));
    DBGrid1->viewport()->update();
}

void N3Click(TFListForm& form) {
    form.exec();
    store::Table& t = form.Model()->Table();
    const bool pending = t.GetState() == store::State::Edit ||
                         (t.GetState() == store::State::Insert && t.Modified());
    form.Model()->Run([&] {
        if (pending)
            t.Post();
        else if (t.GetState() == store::State::Insert)
            t.Cancel();
    });
}

}  // namespace ravelto::ui
