#pragma once

// TRestorePos: a window remembers where the user last put it and how large it
// was. The placement (outer rectangle, frame included, in screen pixels) is
// read from the per-user store under "\Software\" + KeyName when the window
// has been set up, before it is first shown, and written back when the window
// closes (its geometry is gone by the time it is destroyed).

#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <exception>
#include <functional>
#include <optional>

#include "platform/user_settings.h"

namespace ravelto::ui {

class TRestorePos : public QObject {
    Q_OBJECT

  public:
    enum Option { rpRestoreSize = 1, rpSaveNormal = 2 };

    // Watches `owner` (a window) for its close. The store must outlive this.
    TRestorePos(QWidget* owner, platform::UserSettings& store);

    bool Enabled = true;
    QString KeyName;
    int Options = rpRestoreSize | rpSaveNormal;
    QString PosXValueName = QStringLiteral("PosX");
    QString PosYValueName = QStringLiteral("PosY");
    QString WidthValueName = QStringLiteral("Width");
    QString HeightValueName = QStringLiteral("Height");

    // Sets the four value names at once ("CarData PosX", …).
    void SetValueNames(const QString& pos_x, const QString& pos_y, const QString& width,
                       const QString& height);

    // Reads the placement and applies it; each value on its own, a missing one
    // leaves that property as designed. Call once, before the window is shown.
    void Load();
    // Writes the placement now. Throws platform::UserSettingsError.
    void Save();
    // The rectangle Save writes: the outer rectangle, or the normal one of a
    // maximized window.
    QRect PlacementToSave() const;

    // Called when saving at close fails; by default a warning box.
    std::function<void(const std::exception&)> OnSaveError;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QMargins FrameMargins() const;
    void FixSizeOnceFrameKnown();

    QPointer<QWidget> owner_;
    platform::UserSettings& store_;
    std::optional<int> wanted_outer_width_;  // until the frame is known
    std::optional<int> wanted_outer_height_;
    bool in_close_ = false;
};

}  // namespace ravelto::ui
