// Shows the HUD and its two settings dialogs filled with example data, to
// look at their layout without a game running (for instance under Xvfb).
//   tarvik_hud_preview [dark]
// The windows stay open until the program is ended.

#include "HudTestSupport.h"
#include "ui/gui/DisplaySettingsDialog.h"
#include "ui/gui/HudWindow.h"
#include "ui/gui/RtmSettingsDialog.h"

#include <QStandardPaths>

using namespace tarvik;

int main(int argc, char** argv)
{
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    test::HudHarness h;
    if (argc > 1 && QString::fromLocal8Bit(argv[1]) == "dark") {
        h.options.windowForegroundColor = ToColorValue(QColor(0xE8, 0xE8, 0xE8));
        h.options.windowBackgroundColor = ToColorValue(QColor(0x20, 0x28, 0x30));
        h.options.controlForegroundColor = ToColorValue(QColor(0xF0, 0xD0, 0x60));
        h.options.controlBackgroundColor = ToColorValue(QColor(0x30, 0x3A, 0x48));
    } else {
        const QPalette standard = app.palette();
        h.options.windowForegroundColor = ToColorValue(standard.color(QPalette::WindowText));
        h.options.windowBackgroundColor = ToColorValue(standard.color(QPalette::Window));
        h.options.controlForegroundColor = ToColorValue(Qt::black);
        h.options.controlBackgroundColor = ToColorValue(standard.color(QPalette::Button));
    }

    h.session->SetMonitoringEnabled(true);
    RealTimeState& realTime = h.RealTime();
    for (int32_t bonus : {24, 27, 25})
        realTime.LogAttackBonus(true, bonus);
    for (int32_t bonus : {31, 33})
        realTime.LogAttackBonus(false, bonus);
    realTime.SetLastConcealment(50);
    (void)realTime.LogAttackDamage(true, h.Damage({{0, 18}, {6, 7}, {10, 3}}));
    (void)realTime.LogAttackDamage(true, h.Damage({{0, 23}, {2, 4}}));
    (void)realTime.LogAttackDamage(false, h.Damage({{0, 31}, {7, 12}}));
    h.session->Data().experienceTotal = 1'284'350;
    realTime.StartFugueTimer(h.clock.Now().AddSeconds(-280));

    HudWindow hud(h.Context());
    hud.move(20, 20);
    hud.show();
    hud.UpdateFugueLabels();

    DisplaySettingsDialog display(h.Context(), &hud);
    display.move(20, 300);
    display.show();
    RtmSettingsDialog rtm(h.Context(), &hud);
    rtm.move(480, 300);
    rtm.show();
    return app.exec();
}
