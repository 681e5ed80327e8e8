#include "RtmSettingsDialog.h"

#include "ColorClasses.h"
#include "analysis/Session.h"
#include "config/Configuration.h"
#include "config/ProgramInfo.h"
#include "diag/DebugLog.h"
#include "ui/HudSettings.h"
#include "util/gui/Dialogs.h"
#include "util/gui/QtText.h"

#include <string>
#include <utility>

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

namespace tarvik {

namespace {

constexpr const char* WindowName = "frmRTMSettings";
constexpr const char* Section = "Real-time Monitoring";

} // namespace

RtmSettingsDialog::RtmSettingsDialog(const HudContext& context, QWidget* hud)
    : HudDialog(context, WindowName, hud)
{
    setWindowTitle("Real-time Monitoring Settings");

    const auto [frame, rows] = AddPanel("frameSettings");
    fugueLength_ =
        AddRow(rows, 0, "cSliderFugueTimerLength", "lblFugeTimerLengthLabel",
               "Fugue Timer Length:", "lblFugueTimerLength", "minute", 1, 60,
               "The length of time for the fugue timer to expire.  Default is five minutes.");
    fugueWarning_ = AddRow(rows, 1, "cSliderFugueTimerWarning", "lblFugueTimerWarningLabel",
                           "Fugue Timer Warning:", "lblFugueTimerWarning", "second", 10, 60,
                           "The amount of time Tarvik will alert the user of an expiring timer.  "
                           "Default is 30 seconds.");
    abRecords_ = AddRow(rows, 2, "cSliderlblNumABRecords", "lblNumABRecordsLabel",
                        "Number of AB Records:", "lblNumABRecords", "record", 10, 100,
                        "The number of recent attack bonuses averaged for AB In and AB Out, "
                        "from 10 to 100.  Default is 20 records.");
    rollingInterval_ =
        AddRow(rows, 3, "cSliderRollingAverageInterval", "lblRollingAverageIntervalLabel",
               "Attack Data Interval:", "lblRollingAverageInterval", "minute", 1, 60,
               "The interval that attack data is rolled and averaged while being "
               "displayed.  Default is two minutes.");

    QPushButton* accept = AddButton("Accept Settings", "cmdAccept");
    connect(accept, &QPushButton::clicked, this, &RtmSettingsDialog::AcceptSettings);
    LayOut({frame}, accept, AddButton("Cancel and Exit", "cmdCancel"));

    ApplyHudColors(*this, context_.options);
    const RealTimeState& realTime = context_.session.RealTime();
    const std::pair<Row*, int> running[] = {
        {&rollingInterval_, realTime.RollingIntervalMinutes()},
        {&abRecords_, realTime.GetNumABRecords()},
        {&fugueLength_, FugueLengthMinutes(realTime.FugueExpirySeconds())},
        {&fugueWarning_, realTime.FugueWarningSeconds()},
    };
    for (const auto& [row, value] : running) {
        row->slider->setValue(value);
        ShowValue(*row);
    }
    FinishLoading();
}

RtmSettingsDialog::Row RtmSettingsDialog::AddRow(QGridLayout* layout, int row,
                                                 const char* sliderName, const char* labelName,
                                                 const char* caption, const char* valueName,
                                                 const char* unit, int minimum, int maximum,
                                                 const QString& tooltip)
{
    Row result;
    result.unit = unit;
    auto* label = new QLabel(caption, this);
    label->setObjectName(labelName);
    result.slider = new QSlider(Qt::Horizontal, this);
    result.slider->setObjectName(sliderName);
    result.slider->setRange(minimum, maximum);
    result.slider->setMinimumWidth(180);
    result.value = new QLabel(this);
    result.value->setObjectName(valueName);
    // Wide enough for the longest text of the row, so the slider keeps its place.
    result.value->setMinimumWidth(
        fontMetrics().horizontalAdvance(ToQString(CountWithUnit(maximum, unit))) + 4);
    for (QWidget* part : std::initializer_list<QWidget*>{label, result.slider, result.value})
        part->setToolTip(tooltip);
    SetColorClass(*label, WindowColorClass);
    SetColorClass(*result.value, WindowColorClass);
    SetColorClass(*result.slider, ControlColorClass);
    layout->addWidget(label, row, 0);
    layout->addWidget(result.slider, row, 1);
    layout->addWidget(result.value, row, 2);
    connect(result.slider, &QSlider::valueChanged, this, [result] { ShowValue(result); });
    return result;
}

void RtmSettingsDialog::ShowValue(const Row& row)
{
    row.value->setText(ToQString(CountWithUnit(row.slider->value(), row.unit)));
}

void RtmSettingsDialog::AcceptSettings()
{
    const QString question = QStringLiteral(
        "WARNING:  Accepting these settings will apply them immediately, as well as erase all "
        "current real-time data.\nAre you sure you want to accept the settings?");
    if (context_.dialogs.Ask(this, Dialogs::Icon::Question, ToQString(ProgramInfo::ProductName()),
                             question) != Dialogs::Answer::Yes)
        return;
    context_.debug.LogDebug("RTM Monitoring:  Setting RTM configuration.", 3);
    const int interval = rollingInterval_.slider->value();
    const int records = abRecords_.slider->value();
    const int length = fugueLength_.slider->value();
    const int warning = fugueWarning_.slider->value();
    RealTimeState& realTime = context_.session.RealTime();
    realTime.SetRTRollingAverage(interval);
    realTime.SetNumABRecords(records);
    realTime.SetFugueTimers(length, warning);

    const ConfigurationFile& file = context_.config.file;
    const std::string& path = file.WritePath();
    const std::pair<const char*, int> keys[] = {
        {"RollingAverageInterval", interval},
        {"FugueTimerWarning", warning},
        {"FugueTimerExpiration", length},
        {"ABAverageRecords", records},
    };
    bool written = true;
    for (const auto& [key, value] : keys)
        written = file.Write(Section, key, std::to_string(value)) && written;
    if (!written) {
        context_.debug.LogDebug("RTM Monitoring:  Could not write the settings to " + path + ".",
                                1);
        context_.dialogs.Message(
            this, Dialogs::Icon::Exclamation, ToQString(ProgramInfo::ProductName()),
            "The new settings are in use, but they could not be saved to " + ToQString(path) + ".");
    }
    accept();
}

} // namespace tarvik
