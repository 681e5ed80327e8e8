#include "HudTestSupport.h"
#include "app/IniFile.h"
#include "ui/gui/HudWindow.h"
#include "ui/gui/RtmSettingsDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QStandardPaths>
#include <QTest>

using namespace tarvik;
using tarvik::test::HudHarness;

namespace {

template <class T = QWidget>
T* Find(const QWidget& parent, const char* name)
{
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    if (!child)
        qFatal("No %s", name);
    return child;
}

QString Text(const QWidget& dialog, const char* label)
{
    return Find<QLabel>(dialog, label)->text();
}

struct Sliders {
    explicit Sliders(const QWidget& dialog)
        : length(Find<QSlider>(dialog, "cSliderFugueTimerLength"))
        , warning(Find<QSlider>(dialog, "cSliderFugueTimerWarning"))
        , records(Find<QSlider>(dialog, "cSliderlblNumABRecords"))
        , interval(Find<QSlider>(dialog, "cSliderRollingAverageInterval"))
    {
    }
    void Set(int newLength, int newWarning, int newRecords, int newInterval)
    {
        length->setValue(newLength);
        warning->setValue(newWarning);
        records->setValue(newRecords);
        interval->setValue(newInterval);
    }
    QSlider* length;
    QSlider* warning;
    QSlider* records;
    QSlider* interval;
};

} // namespace

class RtmSettingsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void opensWithTheRunningValues()
    {
        HudHarness h;
        QCOMPARE(h.config.realTime.fugueTimerExpiration, 5);
        QCOMPARE(h.config.realTime.fugueTimerWarning, 30);
        QCOMPARE(h.config.realTime.abAverageRecords, 20);
        QCOMPARE(h.config.realTime.rollingAverageInterval, 2);
        HudWindow hud(h.Context());
        RtmSettingsDialog dialog(h.Context(), &hud);
        QCOMPARE(dialog.parentWidget(), &hud);
        QVERIFY(dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));

        QCOMPARE(Text(dialog, "lblFugueTimerLength"), QString("5 minutes"));
        QCOMPARE(Text(dialog, "lblFugueTimerWarning"), QString("30 seconds"));
        QCOMPARE(Text(dialog, "lblNumABRecords"), QString("20 records"));
        QCOMPARE(Text(dialog, "lblRollingAverageInterval"), QString("2 minutes"));
        Sliders sliders(dialog);
        // Every change shows in the value label.
        sliders.Set(1, 45, 10, 1);
        QCOMPARE(Text(dialog, "lblFugueTimerLength"), QString("1 minute"));
        QCOMPARE(Text(dialog, "lblFugueTimerWarning"), QString("45 seconds"));
        QCOMPARE(Text(dialog, "lblNumABRecords"), QString("10 records"));
        QCOMPARE(Text(dialog, "lblRollingAverageInterval"), QString("1 minute"));

        QCOMPARE(Find(dialog, "lblFugueTimerLength")->palette().color(QPalette::WindowText),
                 HudHarness::WindowFore);
        QCOMPARE(Find(dialog, "cmdAccept")->palette().color(QPalette::Button),
                 HudHarness::ControlBack);
    }

    void acceptingAppliesAndWritesTheFileInOrder()
    {
        HudHarness h;
        // A file without the section shows the order of the writes.
        h.config.path = h.dir.File("written.ini");
        test::WriteBytes(h.config.path, "[Updates]\nURL=x\n");
        RealTimeState& realTime = h.RealTime();
        realTime.LogAttackBonus(true, 25);
        HudWindow hud(h.Context());
        RtmSettingsDialog dialog(h.Context(), &hud);
        QSignalSpy finished(&dialog, &QDialog::finished);
        Sliders(dialog).Set(7, 45, 50, 3);
        h.dialogs.answers = {Dialogs::Answer::Yes};
        Find<QPushButton>(dialog, "cmdAccept")->click();

        QCOMPARE(h.dialogs.questions.size(), 1);
        const auto& question = h.dialogs.questions.front();
        QCOMPARE(question.icon, Dialogs::Icon::Question);
        QCOMPARE(question.text,
                 QString("WARNING:  Accepting these settings will apply them immediately, as "
                         "well as erase all current real-time data.\nAre you sure you want to "
                         "accept the settings?"));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));

        QCOMPARE(realTime.FugueExpirySeconds(), 420);
        QCOMPARE(realTime.FugueWarningSeconds(), 45);
        QCOMPARE(realTime.GetNumABRecords(), 50);
        QCOMPARE(realTime.RollingIntervalMinutes(), 3);
        int32_t own = -1;
        int32_t enemy = -1;
        realTime.GetAverageAB(own, enemy);
        QCOMPARE(own, 0);

        QCOMPARE(test::ReadText(h.config.path),
                 std::string("[Updates]\nURL=x\n\n[Real-time Monitoring]\n"
                             "RollingAverageInterval=3\nFugueTimerWarning=45\n"
                             "FugueTimerExpiration=7\nABAverageRecords=50\n"));
        const std::string debug = h.DebugText();
        QVERIFY(debug.find("Activating/Loading frmRTMSettings.") != std::string::npos);
        QVERIFY(debug.find("RTM Monitoring:  Setting RTM configuration.") != std::string::npos);
        QVERIFY(debug.find("Unloading frmRTMSettings.") != std::string::npos);
    }

    void answeringNoChangesNothingAndStaysOpen()
    {
        HudHarness h;
        const std::string before = test::ReadText(h.config.path);
        HudWindow hud(h.Context());
        RtmSettingsDialog dialog(h.Context(), &hud);
        QSignalSpy finished(&dialog, &QDialog::finished);
        Sliders(dialog).Set(9, 50, 70, 6);
        h.dialogs.answers = {Dialogs::Answer::No};
        Find<QPushButton>(dialog, "cmdAccept")->click();

        QCOMPARE(h.dialogs.questions.size(), 1);
        QCOMPARE(finished.count(), 0);
        QCOMPARE(test::ReadText(h.config.path), before);
        RealTimeState& realTime = h.RealTime();
        QCOMPARE(realTime.FugueExpirySeconds(), 300);
        QCOMPARE(realTime.FugueWarningSeconds(), 30);
        QCOMPARE(realTime.GetNumABRecords(), 20);
        QCOMPARE(realTime.RollingIntervalMinutes(), 2);

        // Cancel and Exit neither applies nor writes.
        Find<QPushButton>(dialog, "cmdCancel")->click();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(h.dialogs.questions.size(), 1);
        QCOMPARE(test::ReadText(h.config.path), before);
        QCOMPARE(realTime.FugueExpirySeconds(), 300);
    }

    void oneMinuteWithSixtySecondsWarningReopensAsOneMinute()
    {
        HudHarness h;
        HudWindow hud(h.Context());
        {
            RtmSettingsDialog dialog(h.Context(), &hud);
            Sliders(dialog).Set(1, 60, 20, 2);
            h.dialogs.answers = {Dialogs::Answer::Yes};
            Find<QPushButton>(dialog, "cmdAccept")->click();
        }
        QCOMPARE(h.RealTime().FugueExpirySeconds(), 61);
        const IniDocument written = IniDocument::Load(h.config.path);
        QCOMPARE(written.Value("Real-time Monitoring", "FugueTimerExpiration"), std::string("1"));
        QCOMPARE(written.Value("Real-time Monitoring", "FugueTimerWarning"), std::string("60"));

        RtmSettingsDialog reopened(h.Context(), &hud);
        QCOMPARE(Sliders(reopened).length->value(), 1);
        QCOMPARE(Text(reopened, "lblFugueTimerLength"), QString("1 minute"));
        QCOMPARE(Text(reopened, "lblFugueTimerWarning"), QString("60 seconds"));
    }

    void anUnwritableFileIsReportedAndTheSettingsStillApply()
    {
        HudHarness h;
        h.config.path = h.dir.File("missing-folder/Tarvik.ini");
        HudWindow hud(h.Context());
        RtmSettingsDialog dialog(h.Context(), &hud);
        Sliders(dialog).Set(8, 30, 20, 2);
        h.dialogs.answers = {Dialogs::Answer::Yes};
        Find<QPushButton>(dialog, "cmdAccept")->click();
        QCOMPARE(h.RealTime().FugueExpirySeconds(), 480);
        QCOMPARE(h.dialogs.messages.size(), 1);
        QCOMPARE(h.dialogs.messages.front().icon, Dialogs::Icon::Exclamation);
        QVERIFY(h.dialogs.messages.front().text.contains("missing-folder"));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(RtmSettingsTest)
#include "RtmSettingsTest.moc"
