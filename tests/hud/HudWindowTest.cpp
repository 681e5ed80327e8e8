#include "ui/gui/HudWindow.h"

#include "HudTestSupport.h"
#include "ui/gui/ColorClasses.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTest>

using namespace tarvik;
using tarvik::test::HudHarness;

namespace {

int Alpha(const QWidget& window)
{
    return qRound(window.windowOpacity() * 255);
}

} // namespace

class HudWindowTest : public QObject {
    Q_OBJECT

private:
    template <class T = QWidget>
    static T* Find(const QWidget& hud, const char* name)
    {
        T* child = hud.findChild<T*>(QString::fromLatin1(name));
        if (!child)
            qFatal("The HUD has no %s", name);
        return child;
    }
    static QString Cell(const HudWindow& hud, int row, int column)
    {
        const QTableWidgetItem* item = Find<QTableWidget>(hud, "msflexgridHUD")->item(row, column);
        return item ? item->text() : QString("<none>");
    }
    static QTimer* Timer(const HudWindow& hud, const char* name)
    {
        return hud.findChild<QTimer*>(QString::fromLatin1(name));
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void showsItsStatisticsAndTheGrid()
    {
        HudHarness h;
        HudWindow hud(h.Context());
        QCOMPARE(hud.windowTitle(), QString("Tarvik HUD Mode"));
        QVERIFY(hud.windowFlags().testFlag(Qt::WindowStaysOnTopHint));

        // Each caption label explains its value label.
        for (const char* name : {"lblTotalXP", "lblNumFugueTimers", "lblNextFugueTimer", "lblABIn",
                                 "lblABOut", "lblConceal"}) {
            const QLabel* value = Find<QLabel>(hud, name);
            const QLabel* caption = Find<QLabel>(hud, (std::string(name) + "Label").c_str());
            QVERIFY2(!value->toolTip().isEmpty(), name);
            QCOMPARE(caption->toolTip(), value->toolTip());
        }
        QVERIFY(Find<QLabel>(hud, "lblABIn")->toolTip().contains("against your character"));
        QVERIFY(Find<QLabel>(hud, "lblABOut")->toolTip().contains("your character's"));

        // Short damage type names over the two rows of attacks.
        const auto* grid = Find<QTableWidget>(hud, "msflexgridHUD");
        const std::vector<std::string>& shortTypes = h.config.analysis.shortDamageTypes;
        QCOMPARE(grid->rowCount(), 3);
        QCOMPARE(grid->columnCount(), static_cast<int>(shortTypes.size()) + 1);
        QCOMPARE(Cell(hud, 0, 0), QString());
        QCOMPARE(Cell(hud, 0, 1), QString::fromStdString(shortTypes.front()));
        QCOMPARE(Cell(hud, 0, grid->columnCount() - 1), QString("Total"));
        QCOMPARE(Cell(hud, 1, 0), QString("C Attacks"));
        QCOMPARE(Cell(hud, 2, 0), QString("E Attacks"));

        const std::string debug = h.DebugText();
        QVERIFY(debug.find("Loading frmHUD.") != std::string::npos);
        QVERIFY(debug.find("HUD:  Data cleared by user request.") != std::string::npos);
    }

    void opacityFollowsTheOptionAndTheMouse()
    {
        HudHarness h;
        h.options.opacityPercent = 80;
        HudWindow hud(h.Context());
        // The tick would read the real cursor; this test moves it by hand.
        Timer(hud, "timerMouseOver")->stop();
        QCOMPARE(Alpha(hud), 204);

        hud.UpdateMouseOver(true);
        QCOMPARE(Alpha(hud), 255);
        hud.UpdateMouseOver(true);
        QCOMPARE(Alpha(hud), 255);
        hud.UpdateMouseOver(false);
        QCOMPARE(Alpha(hud), 204);

        h.options.opacityPercent = 50;
        hud.ApplyUserOptions();
        QCOMPARE(Alpha(hud), 128);
        h.options.opacityPercent = 100;
        hud.ApplyUserOptions();
        QCOMPARE(Alpha(hud), 255);
        hud.UpdateMouseOver(true);
        hud.UpdateMouseOver(false);
        QCOMPARE(Alpha(hud), 255);
    }

    void hoverSliderSetsTheOnTopTimer()
    {
        HudHarness h;
        HudWindow hud(h.Context());
        auto* slider = Find<QSlider>(hud, "cSliderOnTop");
        auto* caption = Find<QLabel>(hud, "cSliderOnTopCaption");
        QTimer* onTop = Timer(hud, "timerOnTop");
        // A missing level is stored as Standard at once.
        QCOMPARE(slider->value(), 3);
        QCOMPARE(h.store.Read("HUDOptions", "HoverBehavior").value_or(""), std::string("3"));
        QCOMPARE(h.hoverIntervals, std::vector<int>{250});

        const struct {
            int level;
            bool running;
            int interval;
            const char* caption;
        } steps[] = {{4, true, 100, "Aggressive"},
                     {2, true, 500, "Relaxed"},
                     // Disabled stops the timer and leaves its interval alone.
                     {1, false, 500, "Disabled"},
                     {3, true, 250, "Standard"}};
        for (const auto& step : steps) {
            slider->setValue(step.level);
            QCOMPARE(onTop->isActive(), step.running);
            QCOMPARE(onTop->interval(), step.interval);
            QCOMPARE(caption->text(), QString(step.caption));
            QCOMPARE(h.store.Read("HUDOptions", "HoverBehavior").value_or(""),
                     std::to_string(step.level));
            QCOMPARE(h.hoverIntervals.back(), step.interval);
        }
        for (int interval : h.hoverIntervals)
            QVERIFY(interval >= 100 && interval <= 500);
        QVERIFY(h.DebugText().find("HUD:  Setting hover behavior to Disabled.") !=
                std::string::npos);
    }

    void settingsDialogsRestTheOnTopTimer()
    {
        HudHarness h;
        h.store.Write("HUDOptions", "HoverBehavior", "1");
        HudWindow hud(h.Context());
        hud.show();
        QTimer* onTop = Timer(hud, "timerOnTop");
        QVERIFY(!onTop->isActive());

        for (const char* button : {"cmdCustomizeDisplay", "cmdMonitoringOptions"}) {
            QString opened;
            bool onTopDuring = true;
            bool childOfHud = false;
            bool topmost = false;
            test::WhenModal([&](QDialog* dialog) {
                onTopDuring = onTop->isActive();
                if (!dialog)
                    return;
                opened = dialog->objectName();
                childOfHud = dialog->parentWidget() == &hud;
                topmost = dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            });
            Find<QPushButton>(hud, button)->click();
            QVERIFY2(!opened.isEmpty(), button);
            QVERIFY(!onTopDuring);
            QVERIFY(childOfHud);
            QVERIFY(topmost);
            // Runs again afterwards, even with hovering disabled.
            QVERIFY(onTop->isActive());
        }
    }

    void acceptedRtmSettingsEmptyTheShownAttackBonus()
    {
        HudHarness h;
        h.session->SetMonitoringEnabled(true);
        h.RealTime().LogAttackBonus(true, 21);
        h.RealTime().LogAttackBonus(false, 17);
        HudWindow hud(h.Context());
        QCOMPARE(Find<QLabel>(hud, "lblABOut")->text(), QString("21"));
        QCOMPARE(Find<QLabel>(hud, "lblABIn")->text(), QString("17"));

        h.dialogs.answers = {Dialogs::Answer::Yes};
        test::WhenModal([](QDialog* dialog) {
            if (dialog)
                Find<QPushButton>(*dialog, "cmdAccept")->click();
        });
        Find<QPushButton>(hud, "cmdMonitoringOptions")->click();
        QCOMPARE(h.dialogs.questions.size(), 1);
        QCOMPARE(Find<QLabel>(hud, "lblABOut")->text(), QString("0"));
        QCOMPARE(Find<QLabel>(hud, "lblABIn")->text(), QString("0"));
    }

    void gridShowsTheAveragesOfTheRollingRecords()
    {
        HudHarness h;
        h.session->SetMonitoringEnabled(true);
        HudWindow hud(h.Context());
        const int total = h.config.analysis.DamageTypeCount();
        const int fire = 6; // the shipped configuration's seventh damage type
        QCOMPARE(h.config.analysis.shortDamageTypes[fire], std::string("Fire"));

        RealTimeState& realTime = h.RealTime();
        QVERIFY(realTime.LogAttackDamage(true, h.Damage({{0, 10}})));
        QVERIFY(realTime.LogAttackDamage(true, h.Damage({{0, 20}, {fire, 6}})));
        QVERIFY(realTime.LogAttackDamage(false, h.Damage({{0, 8}})));
        // More than one interval later a new record starts.
        h.clock.Advance(3 * 60 * 1000);
        QVERIFY(realTime.LogAttackDamage(true, h.Damage({{0, 30}})));
        QCOMPARE(realTime.OwnAttackRecords().size(), size_t{2});
        h.session->Data().realTimeDataChanged = true;

        // Physical (15 + 30) / 2, fire 6 in the one interval that had fire.
        for (int refresh = 0; refresh < 3; ++refresh) {
            hud.UpdateDisplay(refresh > 0);
            QCOMPARE(Cell(hud, 1, 1), QString("22"));
            QCOMPARE(Cell(hud, 1, fire + 1), QString("6"));
            QCOMPARE(Cell(hud, 1, 2), QString("0"));
            QCOMPARE(Cell(hud, 1, total), QString("28"));
            QCOMPARE(Cell(hud, 2, 1), QString("8"));
            QCOMPARE(Cell(hud, 2, total), QString("8"));
        }
        QVERIFY(!h.session->Data().realTimeDataChanged);
    }

    void clearHudDataKeepsTheFugueTimers()
    {
        HudHarness h;
        h.session->SetMonitoringEnabled(true);
        RealTimeState& realTime = h.RealTime();
        QVERIFY(realTime.LogAttackDamage(true, h.Damage({{0, 12}})));
        QVERIFY(realTime.LogAttackDamage(false, h.Damage({{1, 4}})));
        realTime.LogAttackBonus(true, 30);
        realTime.LogAttackBonus(false, 25);
        realTime.SetLastConcealment(50);
        realTime.StartFugueTimer(h.clock.Now());
        HudWindow hud(h.Context());
        QCOMPARE(Cell(hud, 1, 1), QString("12"));
        QCOMPARE(Find<QLabel>(hud, "lblConceal")->text(), QString("50%"));

        h.session->Data().realTimeDataChanged = true;
        Find<QPushButton>(hud, "cmdClearData")->click();
        QVERIFY(realTime.OwnAttackRecords().empty());
        QVERIFY(realTime.EnemyAttackRecords().empty());
        QCOMPARE(realTime.FugueTimerCount(), size_t{1});
        QVERIFY(!h.session->Data().realTimeDataChanged);
        const int columns = Find<QTableWidget>(hud, "msflexgridHUD")->columnCount();
        for (int column = 1; column < columns; ++column) {
            QCOMPARE(Cell(hud, 1, column), QString("0"));
            QCOMPARE(Cell(hud, 2, column), QString("0"));
        }
        QCOMPARE(Find<QLabel>(hud, "lblABOut")->text(), QString("0"));
        QCOMPARE(Find<QLabel>(hud, "lblABIn")->text(), QString("0"));
        QCOMPARE(Find<QLabel>(hud, "lblConceal")->text(), QString("0%"));
        hud.UpdateFugueLabels();
        QCOMPARE(Find<QLabel>(hud, "lblNumFugueTimers")->text(), QString("1"));
    }

    void statisticLabels()
    {
        HudHarness h;
        h.session->SetMonitoringEnabled(true);
        HudWindow hud(h.Context());
        auto* xp = Find<QLabel>(hud, "lblTotalXP");
        auto* conceal = Find<QLabel>(hud, "lblConceal");
        QCOMPARE(conceal->text(), QString("0%"));

        h.session->Data().experienceTotal = 1234567;
        h.RealTime().SetLastConcealment(35);
        h.RealTime().LogAttackBonus(true, 20);
        h.RealTime().LogAttackBonus(true, 25);
        h.RealTime().LogAttackBonus(false, 18);
        // Nothing changed as far as the HUD knows: no refresh.
        hud.UpdateDisplay(false);
        QCOMPARE(xp->text(), QString("0"));

        h.session->Data().realTimeDataChanged = true;
        hud.UpdateDisplay(false);
        QCOMPARE(xp->text(), QString("1,234,567"));
        QCOMPARE(conceal->text(), QString("35%"));
        QCOMPARE(Find<QLabel>(hud, "lblABOut")->text(), QString("22"));
        QCOMPARE(Find<QLabel>(hud, "lblABIn")->text(), QString("18"));

        h.session->Data().experienceTotal = 999;
        hud.UpdateDisplay(true);
        QCOMPARE(xp->text(), QString("999"));
    }

    void fugueLabelsCountDownAndTurnBold()
    {
        HudHarness h;
        HudWindow hud(h.Context());
        auto* count = Find<QLabel>(hud, "lblNumFugueTimers");
        auto* next = Find<QLabel>(hud, "lblNextFugueTimer");
        RealTimeState& realTime = h.RealTime();
        QCOMPARE(realTime.FugueExpirySeconds(), 300);
        QCOMPARE(realTime.FugueWarningSeconds(), 30);

        realTime.StartFugueTimer(h.clock.Now());
        h.clock.Advance(60 * 1000);
        realTime.StartFugueTimer(h.clock.Now());
        hud.UpdateFugueLabels();
        QCOMPARE(count->text(), QString("2"));
        QCOMPARE(next->text(), QString("4:00"));
        QVERIFY(!next->font().bold());

        h.clock.Advance(210 * 1000);
        hud.UpdateFugueLabels();
        QCOMPARE(next->text(), QString("0:30"));
        QVERIFY(next->font().bold());

        // The first expires; the second has a minute left.
        h.clock.Advance(31 * 1000);
        hud.UpdateFugueLabels();
        QCOMPARE(count->text(), QString("1"));
        QCOMPARE(next->text(), QString("0:59"));
        QVERIFY(!next->font().bold());

        h.clock.Advance(60 * 1000);
        hud.UpdateFugueLabels();
        QCOMPARE(count->text(), QString("n/a"));
        QCOMPARE(next->text(), QString("n/a"));
        QVERIFY(!next->font().bold());
    }

    void refreshStopsForGoodWithoutMonitoring()
    {
        HudHarness h;
        h.session->SetMonitoringEnabled(true);
        HudWindow hud(h.Context());
        QTimer* refresh = Timer(hud, "timerUpdateDisplay");
        QVERIFY(refresh->isActive());

        h.session->SetMonitoringEnabled(false);
        h.session->Data().experienceTotal = 5000;
        h.session->Data().realTimeDataChanged = true;
        hud.UpdateDisplay(false);
        QVERIFY(!refresh->isActive());
        QCOMPARE(Find<QLabel>(hud, "lblTotalXP")->text(), QString("0"));
        QVERIFY(h.session->Data().realTimeDataChanged);
        QVERIFY(h.DebugText().find("HUD:  Shutting down update timer, monitoring is not active.") !=
                std::string::npos);

        // Monitoring again: a forced refresh shows the data, the timer stays off.
        h.session->SetMonitoringEnabled(true);
        hud.UpdateDisplay(true);
        QCOMPARE(Find<QLabel>(hud, "lblTotalXP")->text(), QString("5,000"));
        QVERIFY(!refresh->isActive());
        QVERIFY(Timer(hud, "timerFugueTimers")->isActive());
    }

    void colourClassesColourTheirControls()
    {
        HudHarness h;
        HudWindow hud(h.Context());
        QCOMPARE(hud.palette().color(QPalette::Window), HudHarness::WindowBack);
        QCOMPARE(hud.palette().color(QPalette::WindowText), HudHarness::WindowFore);

        const char* windowClass[] = {"frameMiscStatistics",
                                     "lblTotalXP",
                                     "lblTotalXPLabel",
                                     "lblNumFugueTimers",
                                     "lblNextFugueTimerLabel",
                                     "lblABIn",
                                     "lblABOutLabel",
                                     "lblConceal",
                                     "lblOnTop"};
        for (const char* name : windowClass) {
            const QWidget* control = Find(hud, name);
            QCOMPARE(control->property(ColorClassProperty).toString(), QString("WINDOWCOLOR"));
            QCOMPARE(control->palette().color(QPalette::WindowText), HudHarness::WindowFore);
            QCOMPARE(control->palette().color(QPalette::Window), HudHarness::WindowBack);
        }
        const char* controlClass[] = {"msflexgridHUD", "cSliderOnTop", "cmdCustomizeDisplay",
                                      "cmdMonitoringOptions", "cmdClearData"};
        for (const char* name : controlClass) {
            const QWidget* control = Find(hud, name);
            QCOMPARE(control->property(ColorClassProperty).toString(), QString("CONTROLCOLOR"));
            QCOMPARE(control->palette().color(QPalette::ButtonText), HudHarness::ControlFore);
            QCOMPARE(control->palette().color(QPalette::Button), HudHarness::ControlBack);
        }
        QCOMPARE(Find(hud, "cSliderOnTop")->palette().color(QPalette::Highlight),
                 HudHarness::ControlFore);

        // The whole grid follows the control colours, header cells included.
        const auto* grid = Find<QTableWidget>(hud, "msflexgridHUD");
        QCOMPARE(grid->palette().color(QPalette::Text), HudHarness::ControlFore);
        QCOMPARE(grid->palette().color(QPalette::Base), HudHarness::ControlBack);
        QCOMPARE(grid->palette().color(QPalette::Highlight), HudHarness::ControlBack);
        QCOMPARE(grid->palette().color(QPalette::HighlightedText), HudHarness::ControlFore);
        QCOMPARE(grid->item(0, 1)->foreground().color(), HudHarness::ControlFore);
        QCOMPARE(grid->item(1, 0)->background().color(), HudHarness::ControlBack);

        // New options reach every class.
        h.options.controlBackgroundColor = ToColorValue(Qt::yellow);
        h.options.windowForegroundColor = ToColorValue(Qt::blue);
        hud.ApplyUserOptions();
        QCOMPARE(Find(hud, "cmdClearData")->palette().color(QPalette::Button), QColor(Qt::yellow));
        QCOMPARE(grid->item(0, 1)->background().color(), QColor(Qt::yellow));
        QCOMPARE(Find(hud, "lblConceal")->palette().color(QPalette::WindowText), QColor(Qt::blue));
        QCOMPARE(Find(hud, "lblConceal")->palette().color(QPalette::Window),
                 HudHarness::WindowBack);
    }

    void closingSavesThePlaceAndAnnouncesIt()
    {
        HudHarness h;
        HudWindow hud(h.Context());
        hud.show();
        hud.move(120, 90);
        QSignalSpy closed(&hud, &HudWindow::Closed);
        QVERIFY(hud.close());
        QCOMPARE(closed.count(), 1);
        QVERIFY(h.store.Read("WindowPosition", "frmHUD_Left").has_value());
        QVERIFY(h.store.Read("WindowPosition", "frmHUD_Width").has_value());
        for (QTimer* timer : hud.findChildren<QTimer*>())
            QVERIFY2(!timer->isActive(), qPrintable(timer->objectName()));
        QVERIFY(h.DebugText().find("Unloading frmHUD.") != std::string::npos);

        // The next HUD opens where this one was.
        HudWindow again(h.Context());
        QCOMPARE(again.pos(), hud.pos());
    }

    void waylandHintIsShownOnce()
    {
        HudHarness h;
        {
            HudWindow hud(h.Context());
            hud.ShowPlatformHint("xcb");
            hud.ShowPlatformHint("offscreen");
            QCOMPARE(h.dialogs.messages.size(), 0);
            hud.ShowPlatformHint("wayland-egl");
            QCOMPARE(h.dialogs.messages.size(), 1);
            QVERIFY(h.dialogs.messages.front().text.contains("QT_QPA_PLATFORM=xcb"));
            QCOMPARE(h.dialogs.messages.front().title, QString("Tarvik HUD Mode"));
            hud.ShowPlatformHint("wayland");
        }
        HudWindow later(h.Context());
        later.ShowPlatformHint("wayland");
        QCOMPARE(h.dialogs.messages.size(), 1);
        QCOMPARE(h.store.Read("HUDOptions", "WaylandHintShown").value_or(""), std::string("-1"));
    }
};

QTEST_MAIN(HudWindowTest)
#include "HudWindowTest.moc"
