#pragma once

#include "HudDialog.h"

class QGridLayout;
class QLabel;
class QSlider;

namespace tarvik {

// "Set RTM Options": fugue timer length and warning, the number of
// attack-bonus samples and the attack data interval. Accepting applies them
// to the real-time state at once and writes them to the configuration file.
class RtmSettingsDialog : public HudDialog {
    Q_OBJECT

public:
    RtmSettingsDialog(const HudContext& context, QWidget* hud);

    // Asks first; on No the dialog stays open and nothing changes.
    void AcceptSettings();

private:
    struct Row {
        QSlider* slider = nullptr;
        QLabel* value = nullptr;
        const char* unit = "";
    };
    Row AddRow(QGridLayout* layout, int row, const char* sliderName, const char* labelName,
               const char* caption, const char* valueName, const char* unit, int minimum,
               int maximum, const QString& tooltip);
    static void ShowValue(const Row& row);

    Row fugueLength_;
    Row fugueWarning_;
    Row abRecords_;
    Row rollingInterval_;
};

} // namespace tarvik
