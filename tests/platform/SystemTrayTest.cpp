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
    struct Message {
        QString title;
        QString text;
        QSystemTrayIcon::MessageIcon icon;
    };

    bool IsAvailable() const override { return available; }
    void SetVisible(bool on) override { visible = on; }
    void SetIcon(const QIcon& newIcon) override { icon = newIcon; }
    void SetToolTip(const QString& text) override { toolTip = text; }
    void SetContextMenu(QMenu* newMenu) override { menu = newMenu; }
    void ShowMessage(const QString& title, const QString& text, QSystemTrayIcon::MessageIcon kind,
                     int) override
    {
        messages.append({title, text, kind});
    }
    void Click(QSystemTrayIcon::ActivationReason reason) { Activated(reason); }

    bool available = true;
    bool visible = false;
    QIcon icon;
    QString toolTip;
    QMenu* menu = nullptr;
    QList<Message> messages;
};

// A top-level window wired the way the main window wires its tray.
class Window final : public QWidget {
public:
    Window()
    {
        auto fake = std::make_unique<FakeTray>();
        tray = fake.get();
        systemTray = new SystemTray(this, std::move(fake));
        setWindowTitle(QStringLiteral("Tarvik - Neverwinter Nights Combat Log Analyzer"));
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

QAction* MenuAction(SystemTray& tray, const char* name)
{
    return tray.PopUpMenu()->findChild<QAction*>(QLatin1String(name));
}

} // namespace

class SystemTrayTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void minimisingHidesTheWindowBehindAnIcon()
    {
        Window window;
        window.show();
        window.showMinimized();
        QVERIFY(window.systemTray->IsIconized());
        QVERIFY(window.tray->visible);
        QCOMPARE(window.tray->toolTip, window.windowTitle());
        QVERIFY(!window.tray->icon.isNull());
        QTRY_VERIFY(window.isHidden());
    }

    void activatingTheIconRestoresThePreviousState_data()
    {
        QTest::addColumn<Qt::WindowState>("before");
        QTest::addColumn<QSystemTrayIcon::ActivationReason>("click");
        QTest::newRow("normal, double click") << Qt::WindowNoState << QSystemTrayIcon::DoubleClick;
        QTest::newRow("maximised, double click")
            << Qt::WindowMaximized << QSystemTrayIcon::DoubleClick;
        // Desktops with StatusNotifierItem report a single activation only.
        QTest::newRow("maximised, single click") << Qt::WindowMaximized << QSystemTrayIcon::Trigger;
    }
    void activatingTheIconRestoresThePreviousState()
    {
        QFETCH(Qt::WindowState, before);
        QFETCH(QSystemTrayIcon::ActivationReason, click);
        Window window;
        window.setWindowState(before);
        window.show();
        window.showMinimized();
        QTRY_VERIFY(window.isHidden());

        window.tray->Click(click);
        QVERIFY(window.isVisible());
        QCOMPARE(window.windowState(), Qt::WindowStates(before));
        QVERIFY(!window.tray->visible);
        QVERIFY(!window.systemTray->IsIconized());

        // A second minimise works the same way.
        window.showMinimized();
        QVERIFY(window.systemTray->IsIconized());
        QTRY_VERIFY(window.isHidden());
    }

    void otherClicksLeaveTheWindowHidden()
    {
        Window window;
        window.show();
        window.showMinimized();
        QTRY_VERIFY(window.isHidden());
        window.tray->Click(QSystemTrayIcon::Context);
        window.tray->Click(QSystemTrayIcon::MiddleClick);
        QVERIFY(window.isHidden());
        QVERIFY(window.systemTray->IsIconized());
    }

    void withoutIconizeAppMinimisingIsLeftAlone()
    {
        Window window;
        window.systemTray->SetIconizeApp(false);
        window.show();
        window.showMinimized();
        QCoreApplication::processEvents();
        QVERIFY(window.isVisible());
        QVERIFY(window.isMinimized());
        QVERIFY(!window.tray->visible);
        QVERIFY(!window.systemTray->IsIconized());
    }

    void withoutANotificationAreaTheWindowMinimisesNormally()
    {
        Window window;
        window.tray->available = false;
        window.show();
        window.showMinimized();
        QCoreApplication::processEvents();
        QVERIFY(window.isVisible());
        QVERIFY(window.isMinimized());
        QVERIFY(!window.tray->visible);
        QVERIFY(!window.systemTray->IsIconized());
        QVERIFY(
            !window.systemTray->ShowBalloonTip(QStringLiteral("text"), QStringLiteral("title")));
    }

    void stealthHidesWithoutIconUntilSwitchedOff()
    {
        Window window;
        window.systemTray->SetStealthApp(true);
        window.show();
        window.showMinimized();
        QTRY_VERIFY(window.isHidden());
        QVERIFY(window.systemTray->IsIconized());
        QVERIFY(!window.tray->visible);

        window.systemTray->SetStealthApp(false);
        QVERIFY(window.tray->visible);
        QVERIFY(window.isHidden());

        // Switching it on again takes the icon away; the window stays hidden.
        window.systemTray->SetStealthApp(true);
        QVERIFY(!window.tray->visible);
        QVERIFY(window.isHidden());
        window.systemTray->Restore();
        QVERIFY(window.isVisible());
    }

    void leavingStealthWithoutANotificationAreaBringsTheWindowBack()
    {
        Window window;
        window.tray->available = false;
        window.systemTray->SetStealthApp(true);
        window.show();
        window.showMinimized();
        QTRY_VERIFY(window.isHidden());

        window.systemTray->SetStealthApp(false);
        QVERIFY(window.isVisible());
        QVERIFY(!window.isMinimized());
        QVERIFY(!window.systemTray->IsIconized());
    }

    void balloonTipsShowOnlyWithTheIcon()
    {
        Window window;
        window.show();
        QVERIFY(!window.systemTray->ShowBalloonTip(QStringLiteral("NeverWinter Nights is running!"),
                                                   QStringLiteral("Tarvik")));
        window.showMinimized();
        QVERIFY(window.systemTray->ShowBalloonTip(QStringLiteral("NeverWinter Nights is running!"),
                                                  QStringLiteral("Tarvik")));
        QCOMPARE(window.tray->messages.size(), 1);
        QCOMPARE(window.tray->messages[0].title, QStringLiteral("Tarvik"));
        QCOMPARE(window.tray->messages[0].text, QStringLiteral("NeverWinter Nights is running!"));
        QCOMPARE(window.tray->messages[0].icon, QSystemTrayIcon::Information);

        window.systemTray->SetStealthApp(true);
        QVERIFY(!window.systemTray->ShowBalloonTip(QStringLiteral("x"), QStringLiteral("y")));
        window.systemTray->SetStealthApp(false);
        window.systemTray->Restore();
        QVERIFY(!window.systemTray->ShowBalloonTip(QStringLiteral("x"), QStringLiteral("y")));
        QCOMPARE(window.tray->messages.size(), 1);
    }

    void trayMenuRestoresAndExits()
    {
        Window window;
        QMenu* menu = window.systemTray->PopUpMenu();
        QVERIFY(menu);
        QCOMPARE(menu->objectName(), QStringLiteral("mnuSystrayMain"));
        QCOMPARE(window.tray->menu, menu);
        QStringList texts;
        for (const QAction* action : menu->actions())
            texts << action->text();
        QCOMPARE(texts, (QStringList{QStringLiteral("Restore"), QStringLiteral("E&xit")}));

        window.show();
        window.showMinimized();
        QTRY_VERIFY(window.isHidden());
        MenuAction(*window.systemTray, "mnuSystrayMainRestore")->trigger();
        QVERIFY(window.isVisible());
        QVERIFY(!window.tray->visible);

        MenuAction(*window.systemTray, "mnuSystrayMainExit")->trigger();
        QCOMPARE(window.closes, 1);
    }

    void windowShownByItsOwnerDropsTheIcon()
    {
        Window window;
        window.show();
        window.showMinimized();
        QTRY_VERIFY(window.isHidden());
        window.showNormal();
        QVERIFY(!window.tray->visible);
        QVERIFY(!window.systemTray->IsIconized());
    }

    void iconChangesInPlaceAndUnloadRemovesIt()
    {
        Window window;
        window.show();
        window.showMinimized();
        window.systemTray->SetToolTip(QStringLiteral("Tarvik - monitoring"));
        QCOMPARE(window.tray->toolTip, QStringLiteral("Tarvik - monitoring"));
        QPixmap red(16, 16);
        red.fill(Qt::red);
        window.systemTray->SetIcon(QIcon(red));
        QCOMPARE(window.tray->icon.pixmap(16, 16).toImage().pixelColor(0, 0), QColor(Qt::red));

        window.systemTray->Unload();
        QVERIFY(!window.tray->visible);
        QVERIFY(!window.systemTray->IsIconized());
    }
};

QTEST_MAIN(SystemTrayTest)
#include "SystemTrayTest.moc"
