// On a real X server: the meter shares the screen's colormap, so XRender
// compositors let its opacity show, and keeps sharing it when its native
// window is made again.
#include "ManualTimers.h"
#include "PrivateXvfb.h"
#include "config/UserOptions.h"
#include "fights/Roster.h"
#include "meter/gui/MeterWindow.h"
#include "util/Clock.h"
#include "util/SettingsStore.h"
#include "util/gui/ScreenColormap.h"

#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

#include <QApplication>
#include <QStandardPaths>
#include <QTest>

using namespace tarvik;

class MeterColormapTest : public QObject {
    Q_OBJECT

private:
    // The colormap a window has on the server, and the screen's own.
    static std::pair<uint32_t, uint32_t> Colormaps(const QWidget& window)
    {
        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        xcb_connection_t* connection = x11->connection();
        xcb_get_window_attributes_reply_t* reply = xcb_get_window_attributes_reply(
            connection, xcb_get_window_attributes(connection, window.winId()), nullptr);
        const uint32_t own = reply ? reply->colormap : 0;
        std::free(reply);
        return {own, xcb_setup_roots_iterator(xcb_get_setup(connection)).data->default_colormap};
    }

    static void ShowAndWait(QWidget& window)
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server (Xvfb, Debian package xvfb)");
    }

    void aPlainWindowTakesTheScreensColormap()
    {
        QWidget window;
        window.resize(200, 100);
        QVERIFY(!ShareScreenColormap(window)); // no native window yet
        ShowAndWait(window);
        QVERIFY(ShareScreenColormap(window));
        const auto [own, screen] = Colormaps(window);
        QCOMPARE(own, screen);
    }

    void theMeterSharesItWhenShownAndWhenMadeAgain()
    {
        MemorySettingsStore store;
        UserOptions options;
        ManualClock clock;
        test::ManualTimers timers;
        CharacterList characters;
        const std::vector<std::string> types = {"Physical", "Total"};
        const std::vector<std::string> saves = {"Fort"};
        MeterWindow meter({store, options, clock, timers, [] { return CurrentFightChoice{}; },
                           [&] {
                               return Roster{characters, CharacterId::None(), types, saves};
                           },
                           [] { return QPoint(-10000, -10000); }});
        ShowAndWait(meter);
        {
            const auto [own, screen] = Colormaps(meter);
            QCOMPARE(own, screen);
        }
        meter.SetLocked(true);
        meter.SetLocked(false);
        // A change of flags through QWidget makes a new native window.
        meter.setWindowFlags(meter.windowFlags() | Qt::WindowDoesNotAcceptFocus);
        ShowAndWait(meter);
        {
            const auto [own, screen] = Colormaps(meter);
            QCOMPARE(own, screen);
        }
    }
};

int main(int argc, char** argv)
{
    // Its own server, so the test needs no display and disturbs none.
    std::unique_ptr<test::PrivateXvfb> server;
    if (test::PrivateXvfb::IsInstalled())
        server = std::make_unique<test::PrivateXvfb>();
    if (server && !server->Display().empty()) {
        ::setenv("DISPLAY", server->Display().c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    } else {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication app(argc, argv);
    MeterColormapTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "MeterColormapTest.moc"
