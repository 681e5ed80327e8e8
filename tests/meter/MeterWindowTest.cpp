// The meter window: locking, its stored settings and place, scaling, and
// repaints paced by the clock and the timers, never by waiting.
#include "meter/gui/MeterWindow.h"

#include "ManualTimers.h"
#include "config/UserOptions.h"
#include "fights/FightTracker.h"
#include "util/Clock.h"
#include "util/SettingsStore.h"
#include "util/WindowPosition.h"

#include <memory>

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QSet>
#include <QSignalSpy>
#include <QSizeGrip>
#include <QStandardPaths>
#include <QTest>
#include <QWindow>

using namespace tarvik;
using namespace std::chrono_literals;

class MeterWindowTest : public QObject {
    Q_OBJECT

private:
    // You (1), a friend (2) and an ogre (3) in one fight.
    struct Scene {
        Scene()
        {
            for (const char* name : {"You", "Friend", "Ogre"}) {
                auto c = std::make_unique<Character>();
                c->CreateCharacter(name, characters.NextId());
                characters.Add(name, std::move(c));
            }
            characters.At(CharacterId(2))->SetIsPartyMember(true);
        }
        void Damage(int32_t attacker, int32_t amount)
        {
            damage = {amount, 0, amount};
            tracker.OnDamage({DateTime::FromCivil(2026, 7, 3, 20, 0, 0), CharacterId(attacker),
                              CharacterId(3), damage, 1u});
        }
        MeterContext Context()
        {
            return {store,
                    options,
                    clock,
                    timers,
                    [this] {
                        ++fightAsked;
                        return tracker.Fights().empty()
                                   ? CurrentFightChoice{}
                                   : CurrentFightChoice{&tracker.Fights().back(), true};
                    },
                    [this] {
                        return Roster{characters, CharacterId(1), damageTypes, saveTypes};
                    },
                    [this] { return cursor; }};
        }

        MemorySettingsStore store;
        UserOptions options;
        ManualClock clock;
        test::ManualTimers timers;
        CharacterList characters;
        std::vector<std::string> damageTypes = {"Physical", "Fire", "Total"};
        std::vector<std::string> saveTypes = {"Fort", "Reflex", "Will"};
        FightTracker tracker{3};
        std::vector<int32_t> damage;
        QPoint cursor{-10000, -10000};
        int fightAsked = 0;
    };

    static bool TransparentForInput(const QWidget& window)
    {
        const bool widget = window.windowFlags().testFlag(Qt::WindowTransparentForInput);
        const QWindow* handle = window.windowHandle();
        const bool native = handle && handle->flags().testFlag(Qt::WindowTransparentForInput);
        return widget && native;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void defaultsAreATranslucentFramelessWindowOnTop()
    {
        Scene scene;
        MeterWindow meter(scene.Context());
        meter.show();
        QVERIFY(QTest::qWaitForWindowExposed(&meter));
        const Qt::WindowFlags flags = meter.windowFlags();
        QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
        QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!flags.testFlag(Qt::WindowTransparentForInput));
        // The stored defaults are the board's tests'; here the window takes them.
        QCOMPARE(qRound(meter.windowOpacity() * 100), 70);
    }

    void lockLetsClicksThroughAndTheGlyphUnderTheCursorUnlocks()
    {
        Scene scene;
        MeterWindow meter(scene.Context());
        QSignalSpy lockChanges(&meter, &MeterWindow::LockChanged);
        meter.show();
        QVERIFY(QTest::qWaitForWindowExposed(&meter));
        auto* grip = meter.findChild<QSizeGrip*>();
        QVERIFY(grip && grip->isVisible());

        meter.SetLocked(true);
        QVERIFY(meter.isVisible()); // changed in place, not hidden
        QVERIFY(TransparentForInput(meter));
        QVERIFY(!grip->isVisible());
        QCOMPARE(scene.store.Read("MeterOptions", "Locked").value_or(""), std::string("1"));

        // Where the cursor is at each poll: what shows and what takes clicks.
        struct Step {
            const char* where;
            QPoint cursor;
            bool glyph;
            bool transparent;
        };
        const QPoint inside = meter.mapToGlobal(QPoint(20, meter.height() - 10));
        const QPoint onGlyph = meter.mapToGlobal(meter.LockGlyphRect().center());
        const Step steps[] = {
            {"away", meter.mapToGlobal(QPoint(-50, -50)), false, true},
            {"over the meter", inside, true, true},
            {"on the glyph", onGlyph, true, false},
            {"back over the meter", inside, true, true},
            {"away again", meter.mapToGlobal(QPoint(meter.width() + 50, 0)), false, true},
        };
        for (const Step& step : steps) {
            scene.cursor = step.cursor;
            scene.timers.Advance(std::chrono::milliseconds(MeterWindow::CursorPollMs));
            QVERIFY2(meter.LockGlyphShown() == step.glyph, step.where);
            QVERIFY2(TransparentForInput(meter) == step.transparent, step.where);
        }

        // Locked, a click elsewhere moves nothing; on the glyph it unlocks.
        scene.cursor = onGlyph;
        scene.timers.Advance(std::chrono::milliseconds(MeterWindow::CursorPollMs));
        QTest::mouseClick(&meter, Qt::LeftButton, {}, meter.LockGlyphRect().center());
        QVERIFY(!meter.Locked());
        QVERIFY(!TransparentForInput(meter));
        QVERIFY(grip->isVisible());
        QCOMPARE(lockChanges.count(), 2);
        QCOMPARE(scene.store.Read("MeterOptions", "Locked").value_or(""), std::string("0"));
        // Unlocked, the poll rests.
        scene.cursor = meter.mapToGlobal(QPoint(-50, -50));
        scene.timers.Advance(1s);
        QVERIFY(!TransparentForInput(meter));
    }

    void settingsAndPlaceAreStoredAndRestored()
    {
        Scene scene;
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        const QPoint place = area.topLeft() + QPoint(40, 30);
        {
            MeterWindow meter(scene.Context());
            meter.show();
            meter.SetOpacityPercent(55);
            meter.SetMode(MeterMode::Healing);
            meter.SetLocked(true);
            meter.move(place);
            meter.resize(330, 210);
            meter.close();
        }
        MeterWindow again(scene.Context());
        QCOMPARE(again.OpacityPercent(), 55);
        QCOMPARE(qRound(again.windowOpacity() * 100), 55);
        QCOMPARE(again.Mode(), MeterMode::Healing);
        QCOMPARE(again.View().caption, std::string("Healing received"));
        QVERIFY(again.Locked());
        QVERIFY(again.windowFlags().testFlag(Qt::WindowTransparentForInput));
        QCOMPARE(again.size(), QSize(330, 210));
        QCOMPARE(again.pos(), place);

        // The opacity never drops below what keeps the meter visible.
        again.SetOpacityPercent(0);
        QCOMPARE(again.OpacityPercent(), MeterSettings::MinimumOpacity);
    }

    void aPlaceOnNoScreenComesBackToThePrimaryScreen()
    {
        Scene scene;
        // Far beyond every screen, as after a monitor was unplugged.
        WriteWindowPosition(scene.store, "frmMeter", 3'000'000, 3'000'000,
                            std::make_pair(4200.0, 2550.0));
        MeterWindow meter(scene.Context());
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY2(area.intersects(meter.frameGeometry()),
                 qPrintable(QString("%1,%2").arg(meter.x()).arg(meter.y())));
        QVERIFY(area.contains(meter.frameGeometry().topLeft()));
    }

    void contentsScaleWithTheWidth()
    {
        Scene scene;
        scene.Damage(1, 40);
        scene.Damage(2, 10);
        MeterWindow meter(scene.Context());
        meter.show();
        QVERIFY(QTest::qWaitForWindowExposed(&meter));
        const struct {
            int width;
            double scale;
        } cases[] = {{MeterWindow::DesignWidth, 1.0},
                     {MeterWindow::DesignWidth / 2, 0.5},
                     {MeterWindow::DesignWidth * 3, 3.0},
                     {MeterWindow::DesignWidth * 4, 3.0}};
        for (const auto& c : cases) {
            meter.resize(c.width, 400);
            QCOMPARE(meter.Scale(), c.scale);
            // The glyph grows with the text and stays inside the window.
            QVERIFY(meter.rect().contains(meter.LockGlyphRect()));
            QCOMPARE(meter.LockGlyphRect().height(), std::max(8, qRound(16 * c.scale)));
            QVERIFY(!meter.grab().isNull());
        }
        // Never narrower than half the design.
        meter.resize(10, 10);
        QVERIFY(meter.width() >= MeterWindow::DesignWidth / 2);
    }

    // Bars are tones between the two control colours: three quarters of the
    // way from the text colour for others, 58% for your own row, so they
    // show even where the control and window backgrounds are alike.
    void barsFollowTheHudColours()
    {
        Scene scene;
        scene.options.windowForegroundColor = 0x000000;
        scene.options.windowBackgroundColor = 0xF0F0F0;
        scene.options.controlForegroundColor = 0x000000;
        scene.options.controlBackgroundColor = 0xF0F0F0;
        scene.Damage(1, 40);
        scene.Damage(2, 40);
        MeterWindow meter(scene.Context());
        meter.resize(MeterWindow::DesignWidth, 200);
        const auto columnColours = [&meter] {
            const QImage image = meter.grab().toImage();
            QSet<QRgb> colours;
            for (int y = 0; y < image.height(); ++y)
                colours.insert(image.pixel(8, y) & 0xFFFFFF);
            return colours;
        };
        QSet<QRgb> colours = columnColours();
        QVERIFY(colours.contains(0xF0F0F0));
        QVERIFY(colours.contains(0x8B8B8B)); // your row: 240 x 0.58
        QVERIFY(colours.contains(0xB4B4B4)); // your friend's: 240 x 0.75

        // Changed in the HUD's display settings: the next refresh takes them.
        scene.options.windowBackgroundColor = 0x203040; // 0x00BBGGRR
        scene.options.controlBackgroundColor = 0x000000;
        scene.options.controlForegroundColor = 0xFFFFFF;
        scene.clock.Advance(100);
        meter.DataChanged();
        QCOMPARE(meter.BackgroundColor(), QColor(0x40, 0x30, 0x20));
        colours = columnColours();
        QVERIFY(colours.contains(0x403020));
        QVERIFY(colours.contains(0x6B6B6B)); // 255 x 0.42
        QVERIFY(colours.contains(0x404040)); // 255 x 0.25
    }

    void repaintsComeOnlyForChangesAndAtMostTwentyASecond()
    {
        Scene scene;
        scene.Damage(1, 40);
        MeterWindow meter(scene.Context());
        const int shown = meter.Repaints();
        QCOMPARE(meter.View().rows.size(), size_t{1});

        // Nothing new: the view is built again but not repainted.
        scene.clock.Advance(100);
        meter.DataChanged();
        QCOMPARE(meter.Repaints(), shown);

        // A change 10 ms later shows at once: the look that found nothing
        // new delays nothing. The next ones within 50 ms wait and come as one.
        scene.clock.Advance(10);
        scene.Damage(2, 10);
        meter.DataChanged();
        QCOMPARE(meter.Repaints(), shown + 1);
        QCOMPARE(meter.View().rows.size(), size_t{2});
        const int asked = scene.fightAsked;
        for (int i = 0; i < 4; ++i) {
            scene.clock.Advance(10);
            scene.Damage(2, 1);
            meter.DataChanged();
        }
        QCOMPARE(scene.fightAsked, asked);
        QCOMPARE(meter.View().rows[1].total, int64_t{10});
        // The first of them came 10 ms after the refresh: it waits 40 ms more.
        scene.clock.Advance(29);
        scene.timers.Advance(39ms);
        QCOMPARE(meter.Repaints(), shown + 1);
        scene.clock.Advance(1);
        scene.timers.Advance(1ms);
        QCOMPARE(meter.Repaints(), shown + 2);
        QCOMPARE(meter.View().rows[1].total, int64_t{14});
        QCOMPARE(scene.fightAsked, asked + 1);
    }
};

QTEST_MAIN(MeterWindowTest)
#include "MeterWindowTest.moc"
