#pragma once

#include "HudDialog.h"

#include <array>

#include <QColor>

class QLabel;
class QSlider;

namespace tarvik {

// "Customize Display": the HUD's opacity and four colours. Choices are
// previewed on the dialog only; saving stores them in the user options and
// emits Saved() so the HUD applies them.
class DisplaySettingsDialog : public HudDialog {
    Q_OBJECT

public:
    // Row order of the colours: window foreground, window background,
    // control foreground, control background.
    static constexpr int ColorCount = 4;

    DisplaySettingsDialog(const HudContext& context, QWidget* hud);

    QColor ExampleColor(int index) const;
    void SetExampleColor(int index, const QColor& color);

signals:
    void Saved();

private:
    void SelectColor(int index);
    void TestColor(int index);
    void OpacityChanged(int percent);
    void Save();

    QSlider* opacity_;
    QLabel* opacityText_;
    std::array<QLabel*, ColorCount> examples_{};
};

} // namespace tarvik
