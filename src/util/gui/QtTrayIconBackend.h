#pragma once

#include "TrayIconBackend.h"

#include <QSystemTrayIcon>

namespace tarvik {

// The desktop's notification area through QSystemTrayIcon.
class QtTrayIconBackend final : public TrayIconBackend {
public:
    QtTrayIconBackend();

    bool IsAvailable() const override;
    void SetVisible(bool visible) override;
    void SetIcon(const QIcon& icon) override;
    void SetToolTip(const QString& text) override;
    void SetContextMenu(QMenu* menu) override;
    void ShowMessage(const QString& title, const QString& text, QSystemTrayIcon::MessageIcon icon,
                     int milliseconds) override;

private:
    QSystemTrayIcon icon_;
};

} // namespace tarvik
