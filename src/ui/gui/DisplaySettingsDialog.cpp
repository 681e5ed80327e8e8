#include "DisplaySettingsDialog.h"

#include "ColorClasses.h"
#include "config/UserOptions.h"
#include "ui/HudSettings.h"
#include "ui/HudView.h"
#include "util/gui/Dialogs.h"
#include "util/gui/QtText.h"
#include "util/gui/WindowPlacement.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

namespace tarvik {

namespace {

constexpr const char* WindowName = "frmDisplaySettings";

QString Indexed(const char* name, int index)
{
    return QString::fromLatin1(name) + QLatin1Char('_') + QString::number(index);
}

} // namespace

DisplaySettingsDialog::DisplaySettingsDialog(const HudContext& context, QWidget* hud)
    : HudDialog(context, WindowName, hud)
    , opacity_(new QSlider(Qt::Horizontal, this))
    , opacityText_(new QLabel("100%", this))
{
    setWindowTitle("Display Settings");

    // A plain frame under its caption: a group box shades its inside, which
    // would set off the labels' own background.
    auto* caption = new QLabel("Customize the HUD:", this);
    caption->setObjectName("frameColorCaption");
    SetColorClass(*caption, WindowColorClass);
    const auto [frame, rows] = AddPanel("frameColor");

    auto* opacityLabel = new QLabel("Window Opacity:", this);
    opacityLabel->setObjectName("lblOpacityLabel");
    SetColorClass(*opacityLabel, WindowColorClass);
    opacityText_->setObjectName("lblOpacity");
    opacityText_->setMinimumWidth(fontMetrics().horizontalAdvance("100%") + 4);
    SetColorClass(*opacityText_, WindowColorClass);
    opacity_->setObjectName("cSliderOpacity");
    opacity_->setRange(20, 100);
    opacity_->setValue(60);
    SetColorClass(*opacity_, ControlColorClass);
    rows->addWidget(opacityLabel, 0, 0);
    rows->addWidget(opacity_, 0, 1, 1, 2);
    rows->addWidget(opacityText_, 0, 3);

    const char* descriptions[ColorCount] = {
        "Window foreground color:", "Window background color:", "Control foreground color:",
        "Control background color:"};
    for (int i = 0; i < ColorCount; ++i) {
        auto* description = new QLabel(descriptions[i], this);
        description->setObjectName(Indexed("lblColorDescription", i));
        SetColorClass(*description, WindowColorClass);
        // The example shows its colour whatever the classes do, so it has none.
        auto* example = new QLabel(this);
        example->setObjectName(Indexed("lblColorExample", i));
        example->setFrameShape(QFrame::Box);
        example->setFixedSize(48, 20);
        example->setAutoFillBackground(true);
        examples_[static_cast<size_t>(i)] = example;
        auto* select = new QPushButton("Select", this);
        select->setObjectName(Indexed("cmdSelectColor", i));
        auto* test = new QPushButton("Test", this);
        test->setObjectName(Indexed("cmdTestColor", i));
        for (QPushButton* button : {select, test}) {
            SetColorClass(*button, ControlColorClass);
            button->setAutoDefault(false);
        }
        connect(select, &QPushButton::clicked, this, [this, i] { SelectColor(i); });
        connect(test, &QPushButton::clicked, this, [this, i] { TestColor(i); });
        rows->addWidget(description, i + 1, 0);
        rows->addWidget(example, i + 1, 1);
        rows->addWidget(select, i + 1, 2);
        rows->addWidget(test, i + 1, 3);
    }

    QPushButton* save = AddButton("Looks Awesome!", "cmdSave");
    connect(save, &QPushButton::clicked, this, &DisplaySettingsDialog::Save);
    LayOut({caption, frame}, save, AddButton("Eject, Eject, Eject!", "cmdCancel"));

    const UserOptions& options = context_.options;
    const ColorValue colors[ColorCount] = {
        options.windowForegroundColor, options.windowBackgroundColor,
        options.controlForegroundColor, options.controlBackgroundColor};
    for (int i = 0; i < ColorCount; ++i)
        SetExampleColor(i, FromColorValue(colors[i]));
    connect(opacity_, &QSlider::valueChanged, this, &DisplaySettingsDialog::OpacityChanged);
    opacity_->setValue(options.opacityPercent);
    OpacityChanged(opacity_->value());
    ApplyHudColors(*this, options);
    FinishLoading();
}

QColor DisplaySettingsDialog::ExampleColor(int index) const
{
    if (index < 0 || index >= ColorCount)
        return {};
    return examples_[static_cast<size_t>(index)]->palette().color(QPalette::Window);
}

void DisplaySettingsDialog::SetExampleColor(int index, const QColor& color)
{
    if (index < 0 || index >= ColorCount || !color.isValid())
        return;
    QLabel* example = examples_[static_cast<size_t>(index)];
    QPalette palette = example->palette();
    palette.setColor(QPalette::Window, color);
    example->setPalette(palette);
}

void DisplaySettingsDialog::SelectColor(int index)
{
    // The picker gives back the colour it started from when cancelled.
    SetExampleColor(index, context_.dialogs.PickColor(this, ExampleColor(index)));
}

void DisplaySettingsDialog::TestColor(int index)
{
    const QColor color = ExampleColor(index);
    switch (index) {
    case 0:
        SetFormColors(*this, color, std::nullopt);
        SetControlColors(*this, WindowColorClass, color, std::nullopt);
        break;
    case 1:
        SetFormColors(*this, std::nullopt, color);
        SetControlColors(*this, WindowColorClass, std::nullopt, color);
        break;
    case 2:
        SetControlColors(*this, ControlColorClass, color, std::nullopt);
        break;
    case 3:
        SetControlColors(*this, ControlColorClass, std::nullopt, color);
        break;
    default:
        break;
    }
}

void DisplaySettingsDialog::OpacityChanged(int percent)
{
    opacityText_->setText(ToQString(OpacityText(percent)));
    setWindowOpacity(OpacityAlpha(percent) / 255.0);
}

void DisplaySettingsDialog::Save()
{
    UserOptions& options = context_.options;
    options.opacityPercent = opacity_->value();
    options.windowForegroundColor = ToColorValue(ExampleColor(0));
    options.windowBackgroundColor = ToColorValue(ExampleColor(1));
    options.controlForegroundColor = ToColorValue(ExampleColor(2));
    options.controlBackgroundColor = ToColorValue(ExampleColor(3));
    emit Saved();
    accept();
}

} // namespace tarvik
