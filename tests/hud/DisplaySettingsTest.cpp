#include "HudTestSupport.h"
#include "ui/gui/DisplaySettingsDialog.h"
#include "ui/gui/HudWindow.h"

#include <QLabel>
#include <QPushButton>
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

template <class T = QWidget>
T* Find(const QWidget& parent, const QString& name)
{
    T* child = parent.findChild<T*>(name);
    if (!child)
        qFatal("No %s", qPrintable(name));
    return child;
}

QPushButton* Button(const QWidget& dialog, const char* name, int index)
{
    return Find<QPushButton>(dialog, QString("%1_%2").arg(name).arg(index));
}

QColor Fore(const QWidget& widget)
{
    return widget.palette().color(QPalette::WindowText);
}
QColor Back(const QWidget& widget)
{
    return widget.palette().color(QPalette::Window);
}

// What the display settings may change on the HUD and in the options.
struct Snapshot {
    int32_t opacity;
    ColorValue colors[4];
    int hudAlpha;
    QColor hudLabelFore;
    QColor hudButtonBack;

    static Snapshot Take(const HudHarness& h, const HudWindow& hud)
    {
        const UserOptions& o = h.options;
        return {o.opacityPercent,
                {o.windowForegroundColor, o.windowBackgroundColor, o.controlForegroundColor,
                 o.controlBackgroundColor},
                Alpha(hud),
                Fore(*Find(hud, "lblTotalXP")),
                Find(hud, "cmdClearData")->palette().color(QPalette::Button)};
    }
    bool operator==(const Snapshot& other) const
    {
        return opacity == other.opacity && std::equal(colors, colors + 4, other.colors) &&
               hudAlpha == other.hudAlpha && hudLabelFore == other.hudLabelFore &&
               hudButtonBack == other.hudButtonBack;
    }
};

} // namespace

class DisplaySettingsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void opensWithTheCurrentOptions()
    {
        HudHarness h;
        h.options.opacityPercent = 70;
        HudWindow hud(h.Context());
        DisplaySettingsDialog dialog(h.Context(), &hud);
        QCOMPARE(dialog.parentWidget(), &hud);
        QVERIFY(dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));

        QCOMPARE(dialog.ExampleColor(0), HudHarness::WindowFore);
        QCOMPARE(dialog.ExampleColor(1), HudHarness::WindowBack);
        QCOMPARE(dialog.ExampleColor(2), HudHarness::ControlFore);
        QCOMPARE(dialog.ExampleColor(3), HudHarness::ControlBack);
        QCOMPARE(dialog.ExampleColor(4), QColor());

        QCOMPARE(Find<QSlider>(dialog, "cSliderOpacity")->value(), 70);
        QCOMPARE(Find<QLabel>(dialog, "lblOpacity")->text(), QString("70%"));
        QCOMPARE(Alpha(dialog), 178);

        // Coloured like the HUD; the examples keep their own colour.
        QCOMPARE(Back(dialog), HudHarness::WindowBack);
        QCOMPARE(Fore(*Find(dialog, "lblColorDescription_0")), HudHarness::WindowFore);
        QCOMPARE(Find(dialog, "cmdSave")->palette().color(QPalette::ButtonText),
                 HudHarness::ControlFore);
        QCOMPARE(Back(*Find(dialog, "lblColorExample_0")), HudHarness::WindowFore);

        // The preview follows the slider; the HUD keeps its opacity.
        Find<QSlider>(dialog, "cSliderOpacity")->setValue(20);
        QCOMPARE(Find<QLabel>(dialog, "lblOpacity")->text(), QString("20%"));
        QCOMPARE(Alpha(dialog), 51);
        QCOMPARE(Alpha(hud), 178);
    }

    void selectStartsFromTheRowColourAndCancelKeepsIt()
    {
        HudHarness h;
        HudWindow hud(h.Context());
        DisplaySettingsDialog dialog(h.Context(), &hud);
        h.dialogs.colors = {QColor(Qt::magenta)};
        Button(dialog, "cmdSelectColor", 1)->click();
        QCOMPARE(h.dialogs.pickedFrom.size(), 1);
        QCOMPARE(h.dialogs.pickedFrom.front(), HudHarness::WindowBack);
        QCOMPARE(dialog.ExampleColor(1), QColor(Qt::magenta));

        // Cancelled: the picker hands back what it started from.
        Button(dialog, "cmdSelectColor", 2)->click();
        QCOMPARE(h.dialogs.pickedFrom.back(), HudHarness::ControlFore);
        QCOMPARE(dialog.ExampleColor(2), HudHarness::ControlFore);
    }

    void testPreviewsOnTheDialogOnly()
    {
        HudHarness h;
        HudWindow hud(h.Context());
        const Snapshot before = Snapshot::Take(h, hud);
        DisplaySettingsDialog dialog(h.Context(), &hud);
        const QColor colors[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow};
        h.dialogs.colors = {colors[0], colors[1], colors[2], colors[3]};
        for (int i = 0; i < 4; ++i)
            Button(dialog, "cmdSelectColor", i)->click();

        const QWidget* label = Find(dialog, "lblOpacityLabel");
        const QWidget* save = Find(dialog, "cmdSave");
        Button(dialog, "cmdTestColor", 0)->click();
        QCOMPARE(Fore(dialog), colors[0]);
        QCOMPARE(Fore(*label), colors[0]);
        QCOMPARE(save->palette().color(QPalette::ButtonText), HudHarness::ControlFore);

        Button(dialog, "cmdTestColor", 1)->click();
        QCOMPARE(Back(dialog), colors[1]);
        QCOMPARE(Back(*label), colors[1]);
        QCOMPARE(Fore(*label), colors[0]);

        Button(dialog, "cmdTestColor", 2)->click();
        QCOMPARE(save->palette().color(QPalette::ButtonText), colors[2]);
        QCOMPARE(Fore(*label), colors[0]);
        Button(dialog, "cmdTestColor", 3)->click();
        QCOMPARE(save->palette().color(QPalette::Button), colors[3]);
        QCOMPARE(Find(dialog, "cSliderOpacity")->palette().color(QPalette::Button), colors[3]);

        // The examples show their own colour through every preview.
        for (int i = 0; i < 4; ++i)
            QCOMPARE(dialog.ExampleColor(i), colors[i]);
        QVERIFY(Snapshot::Take(h, hud) == before);
    }

    void savingStoresTheOptionsAndAppliesThemToTheHud()
    {
        HudHarness h;
        HudWindow hud(h.Context());
        hud.show();
        const QColor colors[] = {Qt::white, Qt::black, Qt::yellow, Qt::darkBlue};
        h.dialogs.colors = {colors[0], colors[1], colors[2], colors[3]};
        test::WhenModal([](QDialog* dialog) {
            if (!dialog)
                return;
            Find<QSlider>(*dialog, "cSliderOpacity")->setValue(20);
            for (int i = 0; i < 4; ++i)
                Button(*dialog, "cmdSelectColor", i)->click();
            Find<QPushButton>(*dialog, "cmdSave")->click();
        });
        Find<QPushButton>(hud, "cmdCustomizeDisplay")->click();

        QCOMPARE(h.options.opacityPercent, 20);
        QCOMPARE(h.options.windowForegroundColor, ToColorValue(colors[0]));
        QCOMPARE(h.options.windowBackgroundColor, ToColorValue(colors[1]));
        QCOMPARE(h.options.controlForegroundColor, ToColorValue(colors[2]));
        QCOMPARE(h.options.controlBackgroundColor, ToColorValue(colors[3]));

        QCOMPARE(Alpha(hud), 51);
        QCOMPARE(Back(hud), colors[1]);
        QCOMPARE(Fore(*Find(hud, "lblTotalXP")), colors[0]);
        QCOMPARE(Find(hud, "cmdClearData")->palette().color(QPalette::Button), colors[3]);
        const auto* grid = Find<QTableWidget>(hud, "msflexgridHUD");
        QCOMPARE(grid->item(0, 1)->foreground().color(), colors[2]);
        QCOMPARE(grid->item(0, 1)->background().color(), colors[3]);

        // The mouse-over handling uses the new opacity from now on.
        hud.findChild<QTimer*>("timerMouseOver")->stop();
        hud.UpdateMouseOver(true);
        QCOMPARE(Alpha(hud), 255);
        hud.UpdateMouseOver(false);
        QCOMPARE(Alpha(hud), 51);

        const std::string debug = h.DebugText();
        QVERIFY(debug.find("Activating/Loading frmDisplaySettings.") != std::string::npos);
        QVERIFY(debug.find("Unloading frmDisplaySettings.") != std::string::npos);
        QVERIFY(h.store.Read("WindowPosition", "frmDisplaySettings_Left").has_value());
        // A fixed-size dialog keeps no size.
        QVERIFY(!h.store.Read("WindowPosition", "frmDisplaySettings_Width").has_value());
    }

    void ejectingChangesNothing()
    {
        HudHarness h;
        h.options.opacityPercent = 90;
        HudWindow hud(h.Context());
        hud.show();
        const Snapshot before = Snapshot::Take(h, hud);
        h.dialogs.colors = {QColor(Qt::red)};
        test::WhenModal([](QDialog* dialog) {
            if (!dialog)
                return;
            Find<QSlider>(*dialog, "cSliderOpacity")->setValue(30);
            Button(*dialog, "cmdSelectColor", 0)->click();
            Button(*dialog, "cmdTestColor", 0)->click();
            Find<QPushButton>(*dialog, "cmdCancel")->click();
        });
        Find<QPushButton>(hud, "cmdCustomizeDisplay")->click();
        QCOMPARE(h.dialogs.pickedFrom.size(), 1);
        QVERIFY(Snapshot::Take(h, hud) == before);
        QCOMPARE(Alpha(hud), 230);
    }
};

QTEST_MAIN(DisplaySettingsTest)
#include "DisplaySettingsTest.moc"
