#include "HudTestSupport.h"
#include "ui/gui/DisplaySettingsDialog.h"
#include "ui/gui/HudWindow.h"

#include <tuple>

#include <QPushButton>
#include <QSlider>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTest>

using namespace tarvik;
using namespace tarvik::test;

namespace {

QPushButton* Button(const QWidget& dialog, const char* name, int row)
{
    return Find<QPushButton>(dialog, QString("%1_%2").arg(name).arg(row));
}

QColor Fore(const QWidget& widget)
{
    return widget.palette().color(QPalette::WindowText);
}

QColor ButtonBack(const QWidget& widget)
{
    return widget.palette().color(QPalette::Button);
}

} // namespace

class DisplaySettingsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void savingStoresTheOptionsAndAppliesThemToTheHud()
    {
        HudHarness h;
        HudWindow hud(h.Context());
        hud.show();
        const QColor colors[] = {Qt::white, Qt::black, Qt::yellow, Qt::darkBlue};
        h.dialogs.colors = {colors[0], colors[1], colors[2], colors[3]};
        WhenModal([](QDialog& dialog) {
            Find<QSlider>(dialog, "cSliderOpacity")->setValue(20);
            for (int row = 0; row < 4; ++row)
                Button(dialog, "cmdSelectColor", row)->click();
            Find<QPushButton>(dialog, "cmdSave")->click();
        });
        Find<QPushButton>(hud, "cmdCustomizeDisplay")->click();

        // Each row's picker starts from that row's colour.
        QCOMPARE(h.dialogs.pickedFrom,
                 (QList<QColor>{HudHarness::WindowFore, HudHarness::WindowBack,
                                HudHarness::ControlFore, HudHarness::ControlBack}));
        QCOMPARE(h.options.opacityPercent, 20);
        QCOMPARE(h.options.windowForegroundColor, ToColorValue(colors[0]));
        QCOMPARE(h.options.windowBackgroundColor, ToColorValue(colors[1]));
        QCOMPARE(h.options.controlForegroundColor, ToColorValue(colors[2]));
        QCOMPARE(h.options.controlBackgroundColor, ToColorValue(colors[3]));

        QCOMPARE(Alpha(hud), 51);
        QCOMPARE(hud.palette().color(QPalette::Window), colors[1]);
        QCOMPARE(Fore(*Find(hud, "lblTotalXP")), colors[0]);
        QCOMPARE(ButtonBack(*Find(hud, "cmdClearData")), colors[3]);
        const QTableWidgetItem* header = Find<QTableWidget>(hud, "msflexgridHUD")->item(0, 1);
        QCOMPARE(header->foreground().color(), colors[2]);
        QCOMPARE(header->background().color(), colors[3]);

        // The mouse-over handling uses the new opacity from now on.
        Find<QTimer>(hud, "timerMouseOver")->stop();
        hud.UpdateMouseOver(true);
        QCOMPARE(Alpha(hud), 255);
        hud.UpdateMouseOver(false);
        QCOMPARE(Alpha(hud), 51);
    }

    void cancelChangesNothingOutsideTheDialog()
    {
        HudHarness h;
        h.options.opacityPercent = 70;
        HudWindow hud(h.Context());
        hud.show();
        const auto state = [&] {
            const UserOptions& o = h.options;
            return std::tuple(o.opacityPercent, o.windowForegroundColor, o.windowBackgroundColor,
                              o.controlForegroundColor, o.controlBackgroundColor, Alpha(hud),
                              Fore(*Find(hud, "lblTotalXP")));
        };
        const auto before = state();
        h.dialogs.colors = {QColor(Qt::red)};
        bool opened = false;
        WhenModal([&](QDialog& dialog) {
            opened = true;
            auto* opacity = Find<QSlider>(dialog, "cSliderOpacity");
            QCOMPARE(opacity->value(), 70);
            // The dialog previews on itself.
            opacity->setValue(30);
            QCOMPARE(Alpha(dialog), 76);
            Button(dialog, "cmdSelectColor", 0)->click();
            Button(dialog, "cmdTestColor", 0)->click();
            QCOMPARE(Fore(dialog), QColor(Qt::red));
            Find<QPushButton>(dialog, "cmdCancel")->click();
        });
        Find<QPushButton>(hud, "cmdCustomizeDisplay")->click();
        QVERIFY(opened);
        QVERIFY(state() == before);
        QCOMPARE(Alpha(hud), 178);
    }
};

QTEST_MAIN(DisplaySettingsTest)
#include "DisplaySettingsTest.moc"
