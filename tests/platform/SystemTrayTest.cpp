#include "util/gui/SystemTray.h"

#include <QAction>
#include <QMenu>
#include <QStandardPaths>
#include <QTest>
#include <QWidget>

using tarvik::SystemTray;
using tarvik::TrayIconBackend;

namespace {

// A notification area that records what it was asked to show.
class FakeTray final : public TrayIconBackend {
public:
    bool IsAvailable() const override { return available; }
    void SetVisible(bool on) override { visible = on; }
    void SetIcon(const QIcon&) override {}
    void SetToolTip(const QString&) override {}
    void SetContextMenu(QMenu*) override {}
    void ShowMessage(const QString& title, const QString& text, QSystemTrayIcon::MessageIcon,
                     int) override
    {
        messages << title + ": " + text;
    }
    void Click(QSystemTrayIcon::ActivationReason reason) { Activated(reason); }

    bool available = true;
    bool visible = false;
    QStringList messages;
};

// A top-level window wired the way the main window wires its tray.
class Window final : public QWidget {
public:
    Window()
    {
        auto fake = std::make_unique<FakeTray>();
        tray = fake.get();
        systemTray = new SystemTray(this, std::move(fake));
    }
    void Minimise()
    {
        show();
        showMinimized();
        QCoreApplication::processEvents();
    }
    FakeTray* tray;
    SystemTray* systemTray;
    int closes = 0;

protected:
    void changeEvent(QEvent* event) override
    {
        QWidget::changeEvent(event);
        if (event->type() == QEvent::WindowStateChange)
            systemTray->WindowStateChanged();
    }
    void closeEvent(QCloseEvent* event) override
    {
        ++closes;
        QWidget::closeEvent(event);
    }
};

} // namespace

class SystemTrayTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void activatingTheIconRestoresThePreviousState_data()
    {
        QTest::addColumn<Qt::WindowState>("before");
        QTest::addColumn<QSystemTrayIcon::ActivationReason>("click");
        QTest::newRow("normal, double click") << Qt::WindowNoState << QSystemTrayIcon::DoubleClick;
        // Desktops with StatusNotifierItem report a single activation only.
        QTest::newRow("maximised, single click") << Qt::WindowMaximized << QSystemTrayIcon::Trigger;
    }
    void activatingTheIconRestoresThePreviousState()
    {
        QFETCH(Qt::WindowState, before);
        QFETCH(QSystemTrayIcon::ActivationReason, click);
        Window window;
        window.setWindowState(before);
        window.Minimise();
        QVERIFY(window.tray->visible);
        QTRY_VERIFY(window.isHidden());
        QVERIFY(window.systemTray->ShowBalloonTip("iconized", "Tarvik"));
        window.tray->Click(QSystemTrayIcon::Context);
        QVERIFY(window.isHidden());

        window.tray->Click(click);
        QVERIFY(window.isVisible());
        QCOMPARE(window.windowState(), Qt::WindowStates(before));
        QVERIFY(!window.tray->visible);
        // Balloons only while the icon shows.
        QVERIFY(!window.systemTray->ShowBalloonTip("shown", "Tarvik"));
        QCOMPARE(window.tray->messages, QStringList{"Tarvik: iconized"});

        // Again, restored from the icon's menu.
        window.showMinimized();
        QTRY_VERIFY(window.isHidden());
        QMenu* menu = window.systemTray->PopUpMenu();
        menu->findChild<QAction*>("mnuSystrayMainRestore")->trigger();
        QVERIFY(window.isVisible());
        QVERIFY(!window.tray->visible);
        menu->findChild<QAction*>("mnuSystrayMainExit")->trigger();
        QCOMPARE(window.closes, 1);
    }

    void minimisingWithoutAnIcon_data()
    {
        QTest::addColumn<bool>("trayAvailable");
        QTest::addColumn<bool>("iconize");
        QTest::addColumn<bool>("stealth");
        QTest::newRow("no notification area") << false << true << false;
        QTest::newRow("iconizing switched off") << true << false << false;
        QTest::newRow("stealth") << true << true << true;
        QTest::newRow("stealth, no notification area") << false << true << true;
    }
    void minimisingWithoutAnIcon()
    {
        QFETCH(bool, trayAvailable);
        QFETCH(bool, iconize);
        QFETCH(bool, stealth);
        Window window;
        window.tray->available = trayAvailable;
        window.systemTray->SetIconizeApp(iconize);
        window.systemTray->SetStealthApp(stealth);
        window.Minimise();
        QTRY_COMPARE(window.isHidden(), stealth);
        QVERIFY(!window.tray->visible);
        QVERIFY(!window.systemTray->ShowBalloonTip("text", "title"));
        if (!stealth) {
            QVERIFY(window.isMinimized());
            return;
        }

        // Leaving stealth shows the icon or, without one, the window itself.
        window.systemTray->SetStealthApp(false);
        QCOMPARE(window.tray->visible, trayAvailable);
        QCOMPARE(window.isHidden(), trayAvailable);
        window.systemTray->Restore();
        QVERIFY(window.isVisible());
        QVERIFY(!window.isMinimized());
    }
};

QTEST_MAIN(SystemTrayTest)
#include "SystemTrayTest.moc"
