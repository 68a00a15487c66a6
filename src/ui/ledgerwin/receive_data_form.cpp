#include "ui/ledgerwin/receive_data_form.h"

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <chrono>

#include "core/ledger/cp932.h"
#include "core/ledger/questions.h"
#include "core/ledger/record_store.h"
#include "core/ledger/title_colors.h"
#include "core/ledgerwin/record_events.h"
#include "core/ledgerwin/window_layout.h"
#include "platform/caps_lock.h"
#include "platform/help_viewer.h"
#include "platform/printers.h"
#include "platform/system_colors.h"
#include "ui/application_setup.h"
#include "ui/components/restore_pos.h"
#include "ui/ledgerwin/record_grid.h"
#include "ui/qtext.h"

namespace ravelto::ui {

using namespace ledgerwin;

namespace {

enum class Glyph {
    First,
    Prior,
    Next,
    Last,
    Post,
    Delete,
    Cancel,
    Insert,
    Find,
    FindNext,
    FindBack
};

// The navigator and search glyphs, drawn rather than shipped as images.
QIcon MakeGlyph(Glyph glyph) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(0x20, 0x20, 0x60);
    p.setPen(QPen(ink, 1.5));
    p.setBrush(ink);
    auto triangle = [&](double x, bool left) {
        QPainterPath path;
        if (left) {
            path.moveTo(x + 5, 3);
            path.lineTo(x, 8);
            path.lineTo(x + 5, 13);
        } else {
            path.moveTo(x, 3);
            path.lineTo(x + 5, 8);
            path.lineTo(x, 13);
        }
        path.closeSubpath();
        p.drawPath(path);
    };
    switch (glyph) {
        case Glyph::First:
            p.drawLine(QPointF(4, 3), QPointF(4, 13));
            triangle(6, true);
            break;
        case Glyph::Prior:
            triangle(5, true);
            break;
        case Glyph::Next:
            triangle(6, false);
            break;
        case Glyph::Last:
            triangle(5, false);
            p.drawLine(QPointF(12, 3), QPointF(12, 13));
            break;
        case Glyph::Post:
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(QColor(0x00, 0x80, 0x00), 2));
            p.drawPolyline(QPolygonF({QPointF(3, 8), QPointF(7, 12), QPointF(13, 4)}));
            break;
        case Glyph::Delete:
            p.drawRect(QRectF(3, 7, 10, 2));
            break;
        case Glyph::Cancel:
            p.setPen(QPen(QColor(0xA0, 0x00, 0x00), 2));
            p.drawLine(QPointF(4, 4), QPointF(12, 12));
            p.drawLine(QPointF(12, 4), QPointF(4, 12));
            break;
        case Glyph::Insert:
            p.drawRect(QRectF(3, 7, 10, 2));
            p.drawRect(QRectF(7, 3, 2, 10));
            break;
        case Glyph::Find:
        case Glyph::FindNext:
        case Glyph::FindBack: {
            const double dx = glyph == Glyph::Find ? 0 : (glyph == Glyph::FindNext ? -2 : 3);
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QRectF(3 + dx, 2, 7, 7));
            p.setPen(QPen(ink, 2.5));
            p.drawLine(QPointF(9 + dx, 8), QPointF(12 + dx, 12));
            p.setPen(QPen(ink, 1));
            p.setBrush(ink);
            if (glyph == Glyph::FindNext) triangle(10.5, false);
            if (glyph == Glyph::FindBack) triangle(0, true);
            break;
        }
    }
    return QIcon(pm);
}

// The navigator button a glyph stands on.
NavButton ButtonOf(Glyph glyph) {
    switch (glyph) {
        case Glyph::First:
            return NavButton::First;
        case Glyph::Prior:
            return NavButton::Prior;
        case Glyph::Next:
            return NavButton::Next;
        case Glyph::Last:
            return NavButton::Last;
        case Glyph::Post:
            return NavButton::Post;
        case Glyph::Delete:
            return NavButton::Delete;
        case Glyph::Cancel:
            return NavButton::Cancel;
        default:
            return NavButton::Insert;
    }
}

QFont PixelFont(int pixels, bool bold = false) {
    QFont f = QApplication::font();
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

QLabel* SunkenLabel(QWidget* parent, const QString& text, const char* name) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setLineWidth(1);
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    return label;
}

// OTotalLabel under TotalLabel in personal mode.
constexpr int kPersonalLabelHeight = 20;

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

}  // namespace

TReceiveDataForm::TReceiveDataForm(store::Table& ledger, store::Table& totals, const Clock& clock,
                                   std::filesystem::path start_dir, Questions& questions,
                                   WindowPlatform platform, QWidget* parent)
    : QMainWindow(parent), questions_(questions), platform_(platform) {
    setObjectName(QStringLiteral("ReceiveDataForm"));
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    setFont(font);
    setMinimumWidth(kMinWindowWidth);
    resize(kInitialWidth, kInitialHeight);

    FormPlatform form_platform;
    form_platform.set_caps_lock = [this](bool on) { platform_.caps_lock.Set(on); };
    form_platform.printer_names = [this] {
        std::vector<std::string> names;
        for (const QString& name : platform_.printers.Names())
            names.push_back(Utf8ToCp932Lossy(name.toStdString()));
        return names;
    };
    core_ = std::make_unique<ReceiveDataForm>(ledger, totals, clock, std::move(start_dir),
                                              questions_, std::move(form_platform));
    restore_pos_ = new TRestorePos(this, platform_.user_settings);
    restore_pos_->setObjectName(QStringLiteral("RestorePos1"));
    restore_pos_->KeyName = QStringLiteral("Ravelto");
    restore_pos_->SetValueNames(QStringLiteral("CarData PosX"), QStringLiteral("CarData PosY"),
                                QStringLiteral("CarData Width"), QStringLiteral("CarData Height"));
    central_ = new QWidget(this);
    central_->setObjectName(QStringLiteral("TabControl1Host"));
    setCentralWidget(central_);
    BuildTopBar();
    BuildTabArea();
    BuildMenus();
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->setSizeGripEnabled(true);

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setSingleShot(true);
    timer1_->setInterval(1000);
    connect(timer1_, &QTimer::timeout, this, &TReceiveDataForm::Timer1Timer);

    qApp->installEventFilter(this);
    core_->Changed = [this] { Render(); };
    core_->FormCreate();
    ApplyTitleColors();
    restore_pos_->Load();
    Render();
    timer1_->start();
}

TReceiveDataForm::~TReceiveDataForm() {
    // The controls going away are no user's entry.
    busy_ = true;
    qApp->removeEventFilter(this);
    core_->Changed = nullptr;
}

void TReceiveDataForm::BuildTopBar() {
    speed_panel_ = new QFrame(central_);
    speed_panel_->setObjectName(QStringLiteral("SpeedPanel1"));
    speed_panel_->setFrameStyle(QFrame::Panel | QFrame::Raised);

    auto navigator = [&](const char* name,
                         std::initializer_list<std::pair<Glyph, const char*>> buttons) {
        auto* nav = new QWidget(speed_panel_);
        nav->setObjectName(QString::fromLatin1(name));
        auto* layout = new QHBoxLayout(nav);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        for (const auto& [glyph, hint] : buttons) {
            auto* b = new QToolButton(nav);
            b->setIcon(MakeGlyph(glyph));
            b->setToolTip(Q(hint));
            b->setFixedSize(21, 25);
            b->setAutoRaise(false);
            b->setObjectName(QString::fromLatin1(name) + QLatin1Char('_') + Q(hint));
            layout->addWidget(b);
            navigator_buttons_.push_back(b);
            const NavButton button = ButtonOf(glyph);
            connect(b, &QToolButton::clicked, this, [this, button] { Navigate(button); });
        }
        top_controls_[name] = nav;
    };
    navigator("DBNavigator1", {{Glyph::First, "先頭"},
                               {Glyph::Prior, "前へ"},
                               {Glyph::Next, "次へ"},
                               {Glyph::Last, "最後"},
                               {Glyph::Post, "登録"}});
    navigator("DBNavigator2", {{Glyph::Delete, "削除"}});
    navigator("DBNavigator3", {{Glyph::Cancel, "取消"}});
    navigator("DBNavigator4", {{Glyph::Insert, "追加"}});

    auto speed = [&](const char* name, Glyph glyph, const char* hint) {
        auto* b = new QToolButton(speed_panel_);
        b->setObjectName(QString::fromLatin1(name));
        b->setIcon(MakeGlyph(glyph));
        b->setToolTip(Q(hint));
        b->setAutoRaise(true);
        top_controls_[name] = b;
    };
    speed("FindSpeed", Glyph::Find, "検索");
    speed("FindNextSpeed", Glyph::FindNext, "次を検索");
    speed("FindBackSpeed", Glyph::FindBack, "前を検索");

    kakutei_panel_ = new QWidget(speed_panel_);
    kakutei_panel_->setObjectName(QStringLiteral("KakuteiPanel"));
    auto* button1 = new QPushButton(Q("確　　定"), kakutei_panel_);
    button1->setObjectName(QStringLiteral("Button1"));
    button1->setGeometry(0, 0, 70, 25);
    top_controls_["KakuteiPanel"] = kakutei_panel_;

    kojin_panel_ = new QWidget(speed_panel_);
    kojin_panel_->setObjectName(QStringLiteral("kojinPanel"));
    auto* button2 = new QPushButton(Q("一括入金"), kojin_panel_);
    button2->setObjectName(QStringLiteral("Button2"));
    button2->setGeometry(0, 0, 60, 25);
    auto* button3 = new QPushButton(Q("期間限定"), kojin_panel_);
    button3->setObjectName(QStringLiteral("Button3"));
    button3->setGeometry(64, 0, 60, 25);
    top_controls_["kojinPanel"] = kojin_panel_;
    // The top bar's buttons leave the focus in the field being entered, as
    // the navigators do: the click commits what was typed there first.
    for (QPushButton* b : {button1, button2, button3})
        b->setFocusPolicy(Qt::TabFocus);

    sort_panel_ = new QWidget(speed_panel_);
    sort_panel_->setObjectName(QStringLiteral("SortPanel"));
    combo_box1_ = new QComboBox(sort_panel_);
    combo_box1_->setObjectName(QStringLiteral("ComboBox1"));
    combo_box1_->addItems({Q("売上日"), Q("ふりがな"), Q("入庫日"), Q("出庫日")});
    combo_box1_->setCurrentIndex(0);
    combo_box1_->setToolTip(Q("ソート設定"));
    connect(combo_box1_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (rendering_ || index < 0) return;
        Command([this] { core_->ComboBox1Change(FromQ(combo_box1_->currentText())); });
        // Refused or done, the box shows the order in force.
        Render();
    });
    top_controls_["SortPanel"] = sort_panel_;

    filter_panel_ = new QWidget(speed_panel_);
    filter_panel_->setObjectName(QStringLiteral("FilterPanel"));
    combo_box2_ = new QComboBox(filter_panel_);
    combo_box2_->setObjectName(QStringLiteral("ComboBox2"));
    combo_box2_->addItems({Q("全て"), Q("残金のみ")});
    combo_box2_->setCurrentIndex(0);
    combo_box2_->setToolTip(Q("フィルタ設定"));
    connect(combo_box2_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (rendering_ || index < 0) return;
        Command([this] { core_->ComboBox2Change(FromQ(combo_box2_->currentText())); });
        Render();
    });
    top_controls_["FilterPanel"] = filter_panel_;

    mode_panel_ = SunkenLabel(speed_panel_, Q("入力モード"), "ModePanel");
    mode_panel_->setFont(PixelFont(16));
    top_controls_["ModePanel"] = mode_panel_;
    total_panel_ = new QLabel(speed_panel_);
    total_panel_->setObjectName(QStringLiteral("TotalPanel"));
    total_panel_->setFont(PixelFont(16));
    total_panel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    top_controls_["TotalPanel"] = total_panel_;
    commant2_panel_ = new QLabel(Q("件"), speed_panel_);
    commant2_panel_->setObjectName(QStringLiteral("Commant2Panel"));
    commant2_panel_->setFont(PixelFont(16));
    commant2_panel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    top_controls_["Commant2Panel"] = commant2_panel_;
}

void TReceiveDataForm::BuildTabArea() {
    tab_area_ = new QWidget(central_);
    tab_area_->setObjectName(QStringLiteral("TabControl1"));

    panel1_ = new QWidget(tab_area_);
    panel1_->setObjectName(QStringLiteral("Panel1"));
    left_panel_ = new QWidget(panel1_);
    left_panel_->setObjectName(QStringLiteral("LeftPanel"));
    for (const auto& t : ColumnTitles(kInitialWidth)) {
        QWidget* parent = t.place.area == Area::Block ? left_panel_ : panel1_;
        QLabel* label = SunkenLabel(parent, Q(t.caption), t.name);
        label->setWordWrap(t.place.height > kTitleRowHeight);
        titles_.push_back(label);
    }

    grid_ = new RecordGrid(tab_area_);
    ConnectGrid();

    bottom_panel_ = new QWidget(tab_area_);
    bottom_panel_->setObjectName(QStringLiteral("BottomPanel"));
    total_label_ = new QLabel(Q("合　計"), bottom_panel_);
    total_label_->setObjectName(QStringLiteral("TotalLabel"));
    total_label_->setFont(PixelFont(24, true));
    total_label_->setAlignment(Qt::AlignCenter);
    total_panel1_ = new QFrame(bottom_panel_);
    total_panel1_->setObjectName(QStringLiteral("TotalPanel1"));
    ototal_panel_ = new QFrame(bottom_panel_);
    ototal_panel_->setObjectName(QStringLiteral("OTotalPanel"));
    ototal_label_ = new QLabel(bottom_panel_);
    ototal_label_->setObjectName(QStringLiteral("OTotalLabel"));
    ototal_label_->setFont(PixelFont(12));
    ototal_label_->setAlignment(Qt::AlignCenter);
    for (const auto& c : TotalsControls(kInitialWidth)) {
        auto* memo = new QLineEdit(total_panel1_);
        memo->setObjectName(Q(c.field));
        memo->setReadOnly(true);
        memo->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        memo->setToolTip(Q(c.field));
        total_memos_.emplace_back(c.field, memo);
        auto* plain = new QLineEdit(ototal_panel_);
        plain->setObjectName(QStringLiteral("TotalMemo") +
                             QString::number(ototal_memos_.size() + 1));
        plain->setReadOnly(true);
        plain->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        plain->setToolTip(Q(c.field));
        ototal_memos_.push_back(plain);
    }

    tab_bar_ = new QTabBar(tab_area_);
    tab_bar_->setObjectName(QStringLiteral("TabControl1Tabs"));
    tab_bar_->setShape(QTabBar::RoundedSouth);
    tab_bar_->setExpanding(false);
    tab_bar_->setUsesScrollButtons(true);
    tab_bar_->setDrawBase(true);
    connect(tab_bar_, &QTabBar::currentChanged, this, [this](int index) {
        if (rendering_ || index < 0) return;
        // Before the start-up let the ledger in, a tab shows nothing.
        if (!core_->View().unlocked) {
            Render();
            return;
        }
        // What was typed reaches the record before the tab change posts it.
        if (busy_ || !CommitTyped()) {
            Render();
            return;
        }
        Run([this, index] { core_->SelectTab(index); });
    });
}

void TReceiveDataForm::UseRecordEvents(store::Database& db) {
    core_->UseRecordEvents(db);
    // A post that ran a field's pending exit moves on to the next control;
    // that focus change is not the user leaving the field again.
    core_->RecordEvents()->MoveFocusOn = [this] {
        QWidget* focus = QApplication::focusWidget();
        if (focus != nullptr && grid_->isAncestorOf(focus)) focusNextChild();
    };
}

void TReceiveDataForm::ConnectGrid() {
    grid_->RecordClicked = [this](int rec_no) {
        if (busy_) return;
        LedgerRecordEvents* events = core_->RecordEvents();
        if (events == nullptr) {
            Run([this, rec_no] { core_->Ledger().SetRecNo(rec_no); });
        } else if (CommitTyped()) {
            // Posts the record being entered first, as any move does.
            Run([events, rec_no] { events->MoveTo(rec_no); });
        }
        grid_->FollowCursor();
        Render();
    };
    grid_->FieldKey = [this](int row, int field) {
        if (busy_) return;
        LedgerRecordEvents* events = core_->RecordEvents();
        if (events == nullptr) return;
        // Typing into another record's panel (the focus moved on there)
        // moves to that record first.
        if (row != grid_->CurrentRow()) grid_->ActivateRow(row);
        if (row != grid_->CurrentRow()) return;
        Run([events, field] { events->FieldKey(field); });
    };
    grid_->FieldCommit = [this](int row, int field) { CommitControl(row, field); };
    grid_->FieldExit = [this](int row, int field) {
        if (busy_) return;
        LedgerRecordEvents* events = core_->RecordEvents();
        if (events == nullptr || row != grid_->CurrentRow()) return;
        Run([events, field] { events->FieldExit(field); });
    };
    grid_->FieldDblClick = [this](int row, int field) {
        if (busy_) return;
        LedgerRecordEvents* events = core_->RecordEvents();
        if (events == nullptr || row != grid_->CurrentRow() || !IsDateField(field)) return;
        if (!CommitTyped()) return;
        Run([events, field] { events->DateFieldDblClick(field); });
    };
    grid_->FieldClick = [this](int, int field) {
        if (busy_) return;
        LedgerRecordEvents* events = core_->RecordEvents();
        if (events == nullptr) return;
        if (const std::optional<std::string> hint = events->FieldClick(field))
            statusBar()->showMessage(ToQ(*hint));
    };
    grid_->BeforeScroll = [this] { return busy_ || CommitTyped(); };
    grid_->CancelKey = [this] {
        if (!busy_) Navigate(NavButton::Cancel);
    };
}

bool TReceiveDataForm::CommitControl(int row, int field) {
    if (busy_ || row < 0 || row >= grid_->RowCount()) return false;
    LedgerRecordEvents* events = core_->RecordEvents();
    RecordPanel* panel = grid_->Panel(row);
    if (events == nullptr || row != grid_->CurrentRow()) {
        // Not the record being entered: its panel shows its record again.
        panel->DropTyped(field);
        Render();
        return false;
    }
    std::string text;
    try {
        text = panel->CommitText(field);
    } catch (const TextError& error) {
        // A character the ledger cannot hold: nothing is written, and the
        // typed text stays in its control to be mended.
        ShowError(questions_, error);
        return false;
    }
    bool taken = false;
    Run([&] { taken = events->CommitField(field, text); });
    // Taken or refused, the control now shows the field's value.
    panel->DropTyped(field);
    Render();
    return taken;
}

bool TReceiveDataForm::CommitTyped() {
    if (core_->RecordEvents() == nullptr) return true;
    // Only the current record's panel edits its record; what other panels
    // hold goes when they are shown again.
    const int row = grid_->CurrentRow();
    if (row < 0) return true;
    const int field = grid_->Panel(row)->TypedField();
    // Refused: the record keeps its value, and the command waits.
    return field < 0 || CommitControl(row, field);
}

void TReceiveDataForm::DropTyped() {
    for (int r = 0; r < grid_->RowCount(); ++r)
        grid_->Panel(r)->DropTyped();
}

void TReceiveDataForm::Navigate(NavButton button) {
    if (busy_) return;
    LedgerRecordEvents* events = core_->RecordEvents();
    if (events == nullptr) {
        // Showing only: the moves.
        Run([this, button] {
            store::Table& t = core_->Ledger();
            if (button == NavButton::First) t.First();
            if (button == NavButton::Prior) t.Prior();
            if (button == NavButton::Next) t.Next();
            if (button == NavButton::Last) t.Last();
        });
    } else {
        // Cancel and delete drop what was typed; the others post it.
        if (button == NavButton::Cancel || button == NavButton::Delete)
            DropTyped();
        else if (!CommitTyped())
            return;
        Run([events, button] { events->NavigatorClick(button); });
    }
    grid_->FollowCursor();
    Render();
}

QAction* TReceiveDataForm::AddAction(QMenu* menu, const char* name, const QString& caption,
                                     const QKeySequence& shortcut) {
    auto* action = new QAction(caption, this);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    menu->addAction(action);
    actions_[name] = action;
    return action;
}

void TReceiveDataForm::BuildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    QMenu* file = bar->addMenu(Q("ﾌｧｲﾙ(&F)"));
    file->setObjectName(QStringLiteral("File1"));
    AddAction(file, "Backup1", Q("ﾊﾞｯｸｱｯﾌﾟ(&B)"), QKeySequence(Qt::CTRL | Qt::Key_B));
    AddAction(file, "Restore1", Q("ﾘｽﾄｱ(&R)"), QKeySequence(Qt::CTRL | Qt::Key_R));
    file->addSeparator();
    AddAction(file, "RepairWrite1", Q("修理明細書書込"));
    repair_separator_ = file->addSeparator();
    AddAction(file, "ListPrint1", Q("一覧印刷(&P)"), QKeySequence(Qt::CTRL | Qt::Key_P));
    for (int i = 1; i <= 10; ++i) {
        const std::string name = "Print" + std::to_string(i);
        QAction* a = AddAction(file, "", Q("定型印刷"));
        actions_.erase("");
        a->setObjectName(QString::fromStdString(name));
        a->setVisible(false);
        actions_[name] = a;
    }
    file->addSeparator();
    connect(AddAction(file, "Exit1", Q("終了(&X)")), &QAction::triggered, this, &QWidget::close);

    QMenu* edit = bar->addMenu(Q("編集(&E)"));
    edit->setObjectName(QStringLiteral("Edit1"));
    AddAction(edit, "N6", Q("データ整理"));
    AddAction(edit, "N7", Q("再計算"));
    edit->addSeparator();
    QAction* furigana = AddAction(edit, "Furigana1", Q("ふりがな(&F)"));
    furigana->setCheckable(true);
    connect(furigana, &QAction::triggered, this, [this] {
        Command([this] {
            core_->Furigana1Click();
            LayOut();
        });
    });
    AddAction(edit, "Kakutei1", Q("確定設定"), QKeySequence(Qt::CTRL | Qt::Key_S));
    QMenu* list = edit->addMenu(Q("リスト修正"));
    list->setObjectName(QStringLiteral("ListEdit1"));
    connect(AddAction(list, "N14", Q("入金種別")), &QAction::triggered, this,
            [this] { Command([this] { core_->N14Click(); }); });
    connect(AddAction(edit, "User1", Q("自社情報(&J)")), &QAction::triggered, this,
            [this] { Command([this] { core_->User1Click(); }); });
    AddAction(edit, "ItemLen1", Q("印刷等桁数設定(&S)"));
    connect(AddAction(edit, "T1", Q("ﾀｲﾄﾙ色変更(&T)")), &QAction::triggered, this, [this] {
        Command([this] {
            core_->T1Click();
            ApplyTitleColors();
        });
    });
    QMenu* personal = edit->addMenu(Q("個人モード設定"));
    personal->setObjectName(QStringLiteral("Personal1"));
    QAction* pr1 = AddAction(personal, "Pr1", Q("当月のみ"));
    pr1->setCheckable(true);
    connect(pr1, &QAction::triggered, this, [this] { Command([this] { core_->Pr1Click(); }); });
    QMenu* import = edit->addMenu(Q("取り込み設定"));
    import->setObjectName(QStringLiteral("ImportSet1"));
    actions_["ImportSet1"] = import->menuAction();
    AddAction(import, "NoImport1", Q("不取込名称"));
    QAction* items_only = AddAction(import, "DispItem1", Q("表示項目のみ"));
    items_only->setCheckable(true);
    connect(items_only, &QAction::triggered, this,
            [this] { Command([this] { core_->DisplayItemsOnlyClick(); }); });
    AddAction(edit, "WriteSet1", Q("書き込み設定"));
    QMenu* settle = edit->addMenu(Q("決済日"));
    settle->setObjectName(QStringLiteral("Settle1"));
    const char* settle_names[] = {"Settle0",  "Settle5",  "Settle10",
                                  "Settle15", "Settle20", "Settle25"};
    const char* settle_captions[] = {"月末", "　５日", "１０日", "１５日", "２０日", "２５日"};
    for (int i = 0; i < 6; ++i) {
        QAction* a = AddAction(settle, settle_names[i], Q(settle_captions[i]));
        a->setCheckable(true);
        // The check follows SettleDay; changing it comes with the closing.
        connect(a, &QAction::triggered, this, [this] { Render(); });
        settle_day_actions_.push_back(a);
    }
    AddAction(edit, "TotalName1", Q("合計請求書氏名設定"));
    connect(AddAction(edit, "N4", Q("パスワードの設定")), &QAction::triggered, this,
            [this] { Command([this] { core_->N4Click(); }); });
    QMenu* backup = edit->addMenu(Q("バックアップ方法"));
    backup->setObjectName(QStringLiteral("BackupWay1"));
    QAction* limited = AddAction(backup, "BackupLimit1", Q("期間限定"));
    limited->setCheckable(true);
    connect(limited, &QAction::triggered, this,
            [this] { Command([this] { core_->BackupPeriodLimitClick(); }); });
    edit->addSeparator();
    AddAction(edit, "ListPrintSet1", Q("一覧印刷設定"));
    AddAction(edit, "PrintSet1", Q("印刷設定"));
    AddAction(edit, "PrintOrder1", Q("印刷順序変更"));

    QMenu* search = bar->addMenu(Q("検索(&S)"));
    search->setObjectName(QStringLiteral("Search1"));
    AddAction(search, "Find1", Q("検索(&F)"), QKeySequence(Qt::CTRL | Qt::Key_F));
    AddAction(search, "FindNext1", Q("次を検索(&S)"), QKeySequence(Qt::Key_F3));
    AddAction(search, "FindBack1", Q("前を検索(&B)"), QKeySequence(Qt::SHIFT | Qt::Key_F3));

    QMenu* help = bar->addMenu(Q("ﾍﾙﾌﾟ(&H)"));
    help->setObjectName(QStringLiteral("Help1"));
    connect(AddAction(help, "Contents1", Q("目次(&C)")), &QAction::triggered, this,
            [this] { Command([this] { platform_.help.ShowContents(); }); });
    help->addSeparator();
    connect(AddAction(help, "Var1", Q("ﾊﾞｰｼﾞｮﾝ情報（&A)")), &QAction::triggered, this,
            [this] { Command([this] { core_->Var1Click(); }); });

    // Opening a menu leads to a command: what was typed goes to the record
    // first. Refused, the menu closes again and the user stays in the field.
    for (QMenu* menu : {file, edit, search, help}) {
        connect(menu, &QMenu::aboutToShow, this, [this, menu] {
            if (busy_ || CommitTyped()) return;
            Render();
            QMetaObject::invokeMethod(menu, &QMenu::close, Qt::QueuedConnection);
        });
    }
}

QAction* TReceiveDataForm::Action(const char* name) const {
    auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

QLineEdit* TReceiveDataForm::TotalMemo(const char* field) const {
    for (const auto& [name, memo] : total_memos_)
        if (name == field) return memo;
    return nullptr;
}

void TReceiveDataForm::Command(const std::function<void()>& command) {
    // What was typed reaches the record before a command sees the ledger; a
    // refused entry keeps the user where they were.
    if (busy_) return;
    if (!CommitTyped()) {
        Render();
        return;
    }
    Run(command);
}

void TReceiveDataForm::Run(const std::function<void()>& command) {
    const bool was_busy = busy_;
    busy_ = true;
    try {
        command();
    } catch (const std::exception& error) {
        ShowError(questions_, error);
    }
    busy_ = was_busy;
    Render();
}

void TReceiveDataForm::Timer1Timer() {
    const auto began = std::chrono::steady_clock::now();
    timer1_->stop();
    bool go_on = true;
    try {
        go_on = core_->Timer1Timer();
    } catch (const std::exception& error) {
        ShowError(questions_, error);
    }
    Render();
    LayOut();
    if (!go_on) {
        close();
        return;
    }
    startup_ms_ = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - began)
                      .count();
    if (FirstViewShown) FirstViewShown();
}

void TReceiveDataForm::ApplyTitleColors() {
    // A name that stands for no colour leaves the elements as they are.
    const TitleColors& names = core_->View().title_colors;
    const QColor titles = platform::ToQColor(ColorByName(names.Titles));
    const QColor borders = platform::ToQColor(ColorByName(names.Borders));
    const QColor read_only = platform::ToQColor(ColorByName(names.ReadOnly));
    if (titles.isValid()) {
        for (QLabel* t : titles_) {
            QPalette p = t->palette();
            p.setColor(QPalette::Window, titles);
            t->setPalette(p);
        }
    }
    grid_->SetColors(borders, read_only);
}

void TReceiveDataForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (width() < kMinWindowWidth) {
        resize(ClampWindowWidth(width()), height());
        return;
    }
    LayOut();
}

void TReceiveDataForm::LayOut() {
    const int w = central_->width();
    const int h = central_->height();
    speed_panel_->setGeometry(0, 0, w, kTopBarHeight);
    for (const auto& place : TopBarLayout(w)) {
        QWidget* c = top_controls_[place.name];
        const int control_height = std::string_view(place.name).ends_with("Panel") &&
                                           std::string_view(place.name) != "KakuteiPanel" &&
                                           std::string_view(place.name) != "kojinPanel"
                                       ? 23
                                       : 25;
        c->setGeometry(place.x, (kTopBarHeight - control_height) / 2, place.width, control_height);
    }
    combo_box1_->setGeometry(0, 0, sort_panel_->width(), sort_panel_->height());
    combo_box2_->setGeometry(0, 0, filter_panel_->width(), filter_panel_->height());

    tab_area_->setGeometry(0, kTopBarHeight, w, h - kTopBarHeight);
    const int tab_height = tab_bar_->sizeHint().height();
    const int area_h = h - kTopBarHeight;
    panel1_->setGeometry(0, 0, w, kTitlePanelHeight);
    const Block block = AmountBlock(w);
    left_panel_->setGeometry(block.left, 2 * kTitleRowHeight, block.width, 3 * kTitleRowHeight);
    const auto titles = ColumnTitles(w);
    for (std::size_t i = 0; i < titles.size(); ++i) {
        const Place& p = titles[i].place;
        const int y = p.area == Area::Block ? p.y - 2 * kTitleRowHeight : p.y;
        titles_[i]->setGeometry(p.x, y, p.width, p.height);
    }
    const int grid_h = std::max(0, area_h - kTitlePanelHeight - kBottomPanelHeight - tab_height);
    grid_->setGeometry(0, kTitlePanelHeight, w, grid_h);
    bottom_panel_->setGeometry(0, kTitlePanelHeight + grid_h, w, kBottomPanelHeight);
    const Span totals = TotalsPanelSpan(w);
    PlaceTotalLabels();
    total_panel1_->setGeometry(totals.left, 0, totals.width, kBottomPanelHeight);
    ototal_panel_->setGeometry(totals.left, 0, totals.width, kBottomPanelHeight);
    const auto controls = TotalsControls(w);
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const Place& p = controls[i].place;
        total_memos_[i].second->setGeometry(p.x, p.y, p.width, p.height);
        ototal_memos_[i]->setGeometry(p.x, p.y, p.width, p.height);
    }
    tab_bar_->setGeometry(0, area_h - tab_height, w, tab_height);
}

void TReceiveDataForm::PlaceTotalLabels() {
    // 合　計 fills the label column; in personal mode 残　金 stands over the
    // month the totals are of.
    const int left = TotalsPanelSpan(central_->width()).left;
    if (core_->View().unlocked && core_->View().ototal_panel) {
        total_label_->setGeometry(0, 0, left, kBottomPanelHeight - kPersonalLabelHeight);
        ototal_label_->setGeometry(0, kBottomPanelHeight - kPersonalLabelHeight, left,
                                   kPersonalLabelHeight);
    } else {
        total_label_->setGeometry(0, 0, left, kBottomPanelHeight);
    }
}

void TReceiveDataForm::Render() {
    if (rendering_) return;
    rendering_ = true;
    const WindowView& v = core_->View();
    const MainWindowState& s = core_->State();

    // The tabs.
    bool same = tab_bar_->count() == static_cast<int>(v.tab_captions.size());
    for (int i = 0; same && i < tab_bar_->count(); ++i)
        same = tab_bar_->tabText(i) == ToQ(v.tab_captions[static_cast<size_t>(i)]);
    if (!same) {
        while (tab_bar_->count() > 0)
            tab_bar_->removeTab(0);
        for (const std::string& caption : v.tab_captions)
            tab_bar_->addTab(ToQ(caption));
    }
    if (v.tab_index >= 0 && v.tab_index < tab_bar_->count()) tab_bar_->setCurrentIndex(v.tab_index);
    tab_area_->setVisible(v.tabs_visible);

    // Nothing of the ledger, and no command, before the start-up let it in.
    const bool open = v.unlocked;
    for (auto& [name, action] : actions_)
        action->setEnabled(open);
    for (QToolButton* b : navigator_buttons_)
        b->setEnabled(open);
    top_controls_["DBNavigator2"]->setEnabled(open && v.delete_enabled);
    top_controls_["DBNavigator4"]->setEnabled(open && v.insert_enabled);
    for (const char* name :
         {"FindSpeed", "FindNextSpeed", "FindBackSpeed", "SortPanel", "FilterPanel"})
        top_controls_[name]->setEnabled(open);
    {
        // The boxes show the order and the balance clause in force.
        const QSignalBlocker block1(combo_box1_);
        const std::string sort_item = SortItemOf(s.SortIndexName);
        if (!sort_item.empty()) combo_box1_->setCurrentText(ToQ(sort_item));
        const QSignalBlocker block2(combo_box2_);
        combo_box2_->setCurrentIndex(s.BalanceOnly == 1 ? 1 : 0);
    }
    kakutei_panel_->setVisible(open && v.kakutei_panel);
    kojin_panel_->setVisible(open && v.kojin_panel);
    mode_panel_->setText(ToQ(v.mode_caption));
    total_panel_->setText(open ? QString::number(core_->RecordCount()) : QString());

    // Menu checks and hidden entries.
    actions_["Furigana1"]->setChecked(v.furigana);
    actions_["Pr1"]->setChecked(v.current_month_only);
    actions_["DispItem1"]->setChecked(v.display_items_only);
    actions_["BackupLimit1"]->setChecked(v.backup_period_limited);
    actions_["RepairWrite1"]->setVisible(v.repair_write_visible);
    repair_separator_->setVisible(v.repair_write_visible);
    actions_["ImportSet1"]->setVisible(v.import_settings_visible);
    actions_["WriteSet1"]->setVisible(v.write_settings_visible);
    const int settle = SettleDayMenuIndex(s.SettleDay);
    for (int i = 0; i < static_cast<int>(settle_day_actions_.size()); ++i)
        settle_day_actions_[static_cast<size_t>(i)]->setChecked(i == settle);

    // The grid and the totals.
    QStringList kinds;
    for (const std::string& k : v.payment_kinds)
        kinds << ToQ(k);
    grid_->SetPaymentKinds(kinds);
    grid_->SetFurigana(v.furigana);
    grid_->SetEditable(open ? v.editable : EditableGroups{});
    grid_->SetTable(open ? &core_->Ledger() : nullptr);
    total_label_->setText(ToQ(v.total_label));
    total_panel1_->setVisible(open && v.total_panel1 && !v.ototal_panel);
    // Personal mode: the customer's totals of the newest month stand where
    // the month's totals stood.
    const bool personal = open && v.ototal_panel;
    ototal_panel_->setVisible(personal);
    ototal_label_->setVisible(personal);
    ototal_label_->setText(ToQ(v.personal_totals_label));
    for (std::size_t i = 0; i < ototal_memos_.size() && i < v.personal_totals.size(); ++i)
        ototal_memos_[i]->setText(ToQ(v.personal_totals[i]));
    PlaceTotalLabels();
    RenderTotals();
    rendering_ = false;
}

void TReceiveDataForm::RenderTotals() {
    store::Table& totals = core_->Totals();
    // A month's first totals record shows while it is being begun, too.
    const bool show = core_->View().unlocked &&
                      (totals.RecordCount() > 0 || totals.GetState() == store::State::Insert);
    for (const auto& [field, memo] : total_memos_)
        memo->setText(show ? ToQ(totals.Text(sj(field))) : QString());
}

void TReceiveDataForm::paintEvent(QPaintEvent* event) {
    // FormPaint: the record count of the ledger view.
    if (core_->View().unlocked) total_panel_->setText(QString::number(core_->RecordCount()));
    QMainWindow::paintEvent(event);
}

bool TReceiveDataForm::eventFilter(QObject* watched, QEvent* event) {
    // A button of the top bar: what was typed goes to the record before the
    // button sees the click; refused, the click goes nowhere. The navigators
    // do their own (cancel and delete drop the typed text instead).
    if (event->type() == QEvent::MouseButtonPress) {
        auto* button = qobject_cast<QAbstractButton*>(watched);
        const bool navigator = std::find(navigator_buttons_.begin(), navigator_buttons_.end(),
                                         watched) != navigator_buttons_.end();
        if (button != nullptr && !navigator && speed_panel_->isAncestorOf(button) &&
            button->isEnabled() && !busy_ && !CommitTyped()) {
            Render();
            return true;
        }
    }
    // A shortcut of a menu command: what was typed goes to the record first.
    if (event->type() == QEvent::Shortcut) {
        auto* action = qobject_cast<QAction*>(watched);
        if (action != nullptr && action->parent() == this && !busy_ && !CommitTyped()) {
            Render();
            return true;
        }
    }
    // The window sees keys before its controls: Enter moves to the next control.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && widget != nullptr &&
            widget->window() == this &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            focusNextChild();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TReceiveDataForm::closeEvent(QCloseEvent* event) {
    bool close = false;
    // What was typed reaches the record before the window asks about it.
    if (busy_ || !CommitTyped()) {
        event->ignore();
        return;
    }
    busy_ = true;
    try {
        close = core_->FormCloseQuery();
    } catch (const std::exception& error) {
        ShowError(questions_, error);
        close = false;
    }
    busy_ = false;
    if (!close) {
        event->ignore();
        Render();
        return;
    }
    timer1_->stop();
    event->accept();
    emit Closed();
}

}  // namespace ravelto::ui
