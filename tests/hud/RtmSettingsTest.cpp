#include "HudTestSupport.h"
#include "ui/gui/HudWindow.h"
#include "ui/gui/RtmSettingsDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QStandardPaths>
#include <QTest>

using namespace tarvik;
using namespace tarvik::test;

namespace {

QString Text(const QWidget& dialog, const char* label)
{
    return Find<QLabel>(dialog, label)->text();
}

// Fugue length (minutes), warning (seconds), AB records, interval (minutes).
void SetSliders(const QWidget& dialog, int length, int warning, int records, int interval)
{
    Find<QSlider>(dialog, "cSliderFugueTimerLength")->setValue(length);
    Find<QSlider>(dialog, "cSliderFugueTimerWarning")->setValue(warning);
    Find<QSlider>(dialog, "cSliderlblNumABRecords")->setValue(records);
    Find<QSlider>(dialog, "cSliderRollingAverageInterval")->setValue(interval);
}

} // namespace

class RtmSettingsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void acceptingAppliesWritesTheFourKeysInOrderAndEmptiesTheHud()
    {
        HudHarness h;
        // A file without the section shows the order of the writes.
        h.config.path = h.dir.File("written.ini");
        QVERIFY(!WriteFileAtomically(h.config.path, "[Updates]\nURL=x\n"));
        h.session->SetMonitoringEnabled(true);
        h.RealTime().LogAttackBonus(true, 25);
        HudWindow hud(h.Context());
        QCOMPARE(Text(hud, "lblABOut"), QString("25"));

        h.dialogs.answers.enqueue(Dialogs::Answer::Yes);
        WhenModal([](QDialog& dialog) {
            SetSliders(dialog, 1, 60, 50, 3);
            Find<QPushButton>(dialog, "cmdAccept")->click();
        });
        Find<QPushButton>(hud, "cmdMonitoringOptions")->click();

        QCOMPARE(h.dialogs.questions.size(), 1);
        QCOMPARE(ReadText(h.config.path),
                 std::string("[Updates]\nURL=x\n\n[Real-time Monitoring]\n"
                             "RollingAverageInterval=3\nFugueTimerWarning=60\n"
                             "FugueTimerExpiration=1\nABAverageRecords=50\n"));
        RealTimeState& realTime = h.RealTime();
        // A timer must outlast its warning: one minute with 60 seconds runs 61.
        QCOMPARE(realTime.FugueExpirySeconds(), 61);
        QCOMPARE(realTime.FugueWarningSeconds(), 60);
        QCOMPARE(realTime.GetNumABRecords(), 50);
        QCOMPARE(realTime.RollingIntervalMinutes(), 3);
        QCOMPARE(Text(hud, "lblABOut"), QString("0"));

        RtmSettingsDialog reopened(h.Context(), &hud);
        QCOMPARE(Text(reopened, "lblFugueTimerLength"), QString("1 minute"));
        QCOMPARE(Text(reopened, "lblFugueTimerWarning"), QString("60 seconds"));
        QCOMPARE(Text(reopened, "lblNumABRecords"), QString("50 records"));
        QCOMPARE(Text(reopened, "lblRollingAverageInterval"), QString("3 minutes"));
    }

    void answeringNoOrCancellingChangesNothing()
    {
        HudHarness h;
        const std::string before = ReadText(h.config.path);
        HudWindow hud(h.Context());
        RtmSettingsDialog dialog(h.Context(), &hud);
        QSignalSpy finished(&dialog, &QDialog::finished);
        SetSliders(dialog, 9, 50, 70, 6);
        h.dialogs.answers.enqueue(Dialogs::Answer::No);
        Find<QPushButton>(dialog, "cmdAccept")->click();
        QCOMPARE(h.dialogs.questions.size(), 1);
        QCOMPARE(finished.count(), 0);

        Find<QPushButton>(dialog, "cmdCancel")->click();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(h.dialogs.questions.size(), 1);
        QCOMPARE(ReadText(h.config.path), before);
        RealTimeState& realTime = h.RealTime();
        QCOMPARE(realTime.FugueExpirySeconds(), 300);
        QCOMPARE(realTime.FugueWarningSeconds(), 30);
        QCOMPARE(realTime.GetNumABRecords(), 20);
        QCOMPARE(realTime.RollingIntervalMinutes(), 2);
    }

    void anUnwritableFileIsReportedAndTheSettingsStillApply()
    {
        HudHarness h;
        h.config.path = h.dir.File("missing-folder/Tarvik.ini");
        HudWindow hud(h.Context());
        RtmSettingsDialog dialog(h.Context(), &hud);
        SetSliders(dialog, 8, 30, 20, 2);
        h.dialogs.answers.enqueue(Dialogs::Answer::Yes);
        Find<QPushButton>(dialog, "cmdAccept")->click();
        QCOMPARE(h.RealTime().FugueExpirySeconds(), 480);
        QCOMPARE(h.dialogs.messages.size(), 1);
        QVERIFY(h.dialogs.messages.front().text.contains("missing-folder"));
    }
};

QTEST_MAIN(RtmSettingsTest)
#include "RtmSettingsTest.moc"
