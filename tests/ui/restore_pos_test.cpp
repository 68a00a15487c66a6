#include "ui/components/restore_pos.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QScreen>
#include <QWidget>
#include <memory>

#include "platform/user_settings.h"

namespace ravelto::ui {
namespace {

using platform::MemoryUserSettings;

const QString kKey = QStringLiteral("Ravelto");

// A window as the program makes one: designed at 672 x 493, placement under
// the ledger window's value names.
struct Window {
    explicit Window(MemoryUserSettings& store) : widget(std::make_unique<QWidget>()) {
        widget->resize(672, 493);
        widget->move(40, 30);
        pos = new TRestorePos(widget.get(), store);
        pos->KeyName = kKey;
        pos->SetValueNames(QStringLiteral("CarData PosX"), QStringLiteral("CarData PosY"),
                           QStringLiteral("CarData Width"), QStringLiteral("CarData Height"));
        pos->OnSaveError = [](const std::exception& e) { ADD_FAILURE() << e.what(); };
    }
    void Open() {
        pos->Load();
        widget->show();
        QApplication::processEvents();
    }
    std::unique_ptr<QWidget> widget;
    TRestorePos* pos;
};

int Value(const MemoryUserSettings& store, const char* name) {
    return store.ReadInt(kKey, QString::fromUtf8(name)).value_or(-1);
}

TEST(RestorePos, FirstStartKeepsTheDesignAndCloseSavesTheOuterRectangle) {
    MemoryUserSettings store;
    Window first(store);
    first.Open();
    EXPECT_EQ(first.widget->size(), QSize(672, 493));
    QRect frame = first.widget->frameGeometry();
    EXPECT_TRUE(first.widget->close());
    EXPECT_EQ(Value(store, "CarData PosX"), frame.x());
    EXPECT_EQ(Value(store, "CarData PosY"), frame.y());
    EXPECT_EQ(Value(store, "CarData Width"), frame.width());
    EXPECT_EQ(Value(store, "CarData Height"), frame.height());
}

// The window reopens exactly as large as it was left, frame included: saving,
// restoring and saving again gives the same four values, start after start.
TEST(RestorePos, SaveRestoreSaveGivesTheSameValues) {
    MemoryUserSettings store;
    {
        Window w(store);
        w.Open();
        w.widget->setGeometry(120, 80, 800, 600);
        QApplication::processEvents();
        w.widget->close();
    }
    auto saved = store.values;
    ASSERT_EQ(saved.size(), 4u);
    ASSERT_GT(Value(store, "CarData Width"), 800);  // the frame is part of the saved size
    for (int start = 0; start < 3; ++start) {
        Window w(store);
        w.Open();
        EXPECT_EQ(w.widget->frameGeometry().size(),
                  QSize(Value(store, "CarData Width"), Value(store, "CarData Height")));
        w.widget->close();
        EXPECT_EQ(store.values, saved) << "start " << start;
    }
}

TEST(RestorePos, OneMissingValueKeepsThatPropertyAsDesigned) {
    MemoryUserSettings store;
    store.WriteInt(kKey, QStringLiteral("CarData PosX"), 200);
    store.WriteInt(kKey, QStringLiteral("CarData PosY"), 150);
    store.WriteInt(kKey, QStringLiteral("CarData Height"), 404);
    Window w(store);
    w.Open();
    EXPECT_EQ(w.widget->frameGeometry().topLeft(), QPoint(200, 150));
    EXPECT_EQ(w.widget->width(), 672);  // designed width, without the frame
    EXPECT_EQ(w.widget->frameGeometry().height(), 404);

    MemoryUserSettings only_x;
    only_x.WriteInt(kKey, QStringLiteral("CarData PosX"), 10);
    Window v(only_x);
    v.Open();
    EXPECT_EQ(v.widget->frameGeometry().x(), 10);
    EXPECT_EQ(v.widget->frameGeometry().y(), 30);
    EXPECT_EQ(v.widget->size(), QSize(672, 493));
}

// Values from the store are only 32-bit integers: a size that no window can
// have keeps the designed one, and no value overflows on its way to the window.
TEST(RestorePos, SizesNoWindowCanHaveKeepTheDesign) {
    MemoryUserSettings store;
    store.WriteInt(kKey, QStringLiteral("CarData PosX"), INT32_MAX);
    store.WriteInt(kKey, QStringLiteral("CarData PosY"), INT32_MIN);
    store.WriteInt(kKey, QStringLiteral("CarData Width"), INT32_MIN);
    store.WriteInt(kKey, QStringLiteral("CarData Height"), 0);
    Window w(store);
    w.Open();
    EXPECT_EQ(w.widget->size(), QSize(672, 493));

    // A width no desktop can show would only take memory: the window is kept
    // within twice the desktop.
    MemoryUserSettings huge;
    huge.WriteInt(kKey, QStringLiteral("CarData Width"), INT32_MAX);
    Window v(huge);
    v.Open();
    EXPECT_LE(v.widget->width(), 2 * v.widget->screen()->virtualSize().width());
    EXPECT_EQ(v.widget->height(), 493);
}

TEST(RestorePos, MaximizedWindowSavesItsNormalRectangle) {
    MemoryUserSettings store;
    Window w(store);
    w.Open();
    w.widget->setGeometry(100, 100, 700, 500);
    QApplication::processEvents();
    QRect normal_frame = w.widget->frameGeometry();
    w.widget->showMaximized();
    QApplication::processEvents();
    EXPECT_EQ(w.pos->PlacementToSave(), normal_frame);
    w.widget->close();
    EXPECT_EQ(Value(store, "CarData Width"), normal_frame.width());
    EXPECT_EQ(Value(store, "CarData PosX"), normal_frame.x());
}

class RefusingWindow : public QWidget {
  protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

TEST(RestorePos, RefusedCloseSavesNothingDisabledSavesNothing) {
    MemoryUserSettings store;
    RefusingWindow window;
    auto* pos = new TRestorePos(&window, store);
    pos->KeyName = kKey;
    window.show();
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(store.values.empty());

    Window w(store);
    w.pos->Enabled = false;
    w.Open();
    w.widget->close();
    EXPECT_TRUE(store.values.empty());
}

TEST(RestorePos, WithoutRestoreSizeOnlyThePositionIsKept) {
    MemoryUserSettings store;
    Window w(store);
    w.pos->Options = TRestorePos::rpSaveNormal;
    w.Open();
    w.widget->close();
    EXPECT_EQ(store.values.size(), 2u);
}

}  // namespace
}  // namespace ravelto::ui
