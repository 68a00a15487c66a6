#include "ui/components/restore_pos.h"

#include <QCloseEvent>
#include <QEvent>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>

namespace ravelto::ui {

TRestorePos::TRestorePos(QWidget* owner, platform::UserSettings& store)
    : QObject(owner), owner_(owner), store_(store) {
    owner->installEventFilter(this);
    OnSaveError = [this](const std::exception& error) {
        QMessageBox::warning(owner_, owner_ ? owner_->windowTitle() : QString(),
                             QString::fromUtf8(error.what()));
    };
}

void TRestorePos::SetValueNames(const QString& pos_x, const QString& pos_y, const QString& width,
                                const QString& height) {
    PosXValueName = pos_x;
    PosYValueName = pos_y;
    WidthValueName = width;
    HeightValueName = height;
}

QMargins TRestorePos::FrameMargins() const {
    QRect frame = owner_->frameGeometry();
    QRect inner = owner_->geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
}

namespace {

// A stored edge within what a window can have, so the arithmetic on it cannot
// overflow.
std::optional<int> Edge(std::optional<int32_t> value) {
    if (!value) return std::nullopt;
    return std::clamp<int>(*value, -QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

// A stored size: one that no window can have (0 or less) counts as missing,
// and none is larger than `largest`.
std::optional<int> Extent(std::optional<int32_t> value, int largest) {
    if (!value || *value <= 0) return std::nullopt;
    return std::min<int>(*value, largest);
}

// No window the user left is larger than twice the whole desktop; a stored
// size beyond it is damaged, and its backing store alone could take
// gigabytes of memory.
QSize LargestSize(const QWidget* window) {
    const QScreen* screen = window->screen();
    if (screen == nullptr) return {QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    const QSize desktop = screen->virtualSize();
    return {std::clamp(2 * desktop.width(), 1, QWIDGETSIZE_MAX),
            std::clamp(2 * desktop.height(), 1, QWIDGETSIZE_MAX)};
}

}  // namespace

void TRestorePos::Load() {
    if (!owner_ || !Enabled || KeyName.isEmpty()) return;
    if (!store_.KeyExists(KeyName)) return;
    QPoint pos = owner_->pos();
    if (auto x = Edge(store_.ReadInt(KeyName, PosXValueName))) pos.setX(*x);
    if (auto y = Edge(store_.ReadInt(KeyName, PosYValueName))) pos.setY(*y);
    owner_->move(pos);  // a window's position is that of its frame
    if (!(Options & rpRestoreSize)) return;
    // The stored size is the outer one; the window is sized without its frame.
    // Before the window is shown its frame is not known yet: the frame is taken
    // off as soon as it is, so the window is not a frame larger at every start.
    QMargins frame = FrameMargins();
    QSize size = owner_->size();
    const QSize largest = LargestSize(owner_);
    std::optional<int> w = Extent(store_.ReadInt(KeyName, WidthValueName), largest.width());
    std::optional<int> h = Extent(store_.ReadInt(KeyName, HeightValueName), largest.height());
    if (w) size.setWidth(*w - frame.left() - frame.right());
    if (h) size.setHeight(*h - frame.top() - frame.bottom());
    owner_->resize(size);
    if (frame.isNull()) {
        wanted_outer_width_ = w;
        wanted_outer_height_ = h;
    }
}

void TRestorePos::FixSizeOnceFrameKnown() {
    if ((!wanted_outer_width_ && !wanted_outer_height_) || !owner_->isVisible()) return;
    QMargins frame = FrameMargins();
    if (frame.isNull()) return;
    std::optional<int> w = wanted_outer_width_;
    std::optional<int> h = wanted_outer_height_;
    wanted_outer_width_.reset();
    wanted_outer_height_.reset();
    if (owner_->isMaximized() || owner_->isFullScreen()) return;
    QSize size = owner_->size();
    if (w) size.setWidth(*w - frame.left() - frame.right());
    if (h) size.setHeight(*h - frame.top() - frame.bottom());
    owner_->resize(size);
}

QRect TRestorePos::PlacementToSave() const {
    if ((Options & rpSaveNormal) && owner_->isMaximized())
        return owner_->normalGeometry().marginsAdded(FrameMargins());
    return owner_->frameGeometry();
}

void TRestorePos::Save() {
    if (!owner_ || !Enabled || KeyName.isEmpty()) return;
    QRect rect = PlacementToSave();
    store_.WriteInt(KeyName, PosXValueName, rect.left());
    store_.WriteInt(KeyName, PosYValueName, rect.top());
    if (Options & rpRestoreSize) {
        store_.WriteInt(KeyName, WidthValueName, rect.width());
        store_.WriteInt(KeyName, HeightValueName, rect.height());
    }
}

bool TRestorePos::eventFilter(QObject* watched, QEvent* event) {
    if (watched != owner_) return false;
    switch (event->type()) {
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize:
            FixSizeOnceFrameKnown();
            break;
        case QEvent::Close:
            if (in_close_) break;
            // Let the window decide first (it may refuse to close); save only
            // when it does close, while its geometry is still there.
            in_close_ = true;
            watched->event(event);
            in_close_ = false;
            if (event->isAccepted()) {
                try {
                    Save();
                } catch (const std::exception& error) {
                    if (OnSaveError) OnSaveError(error);
                }
            }
            return true;
        default:
            break;
    }
    return false;
}

}  // namespace ravelto::ui
