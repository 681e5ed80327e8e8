#include "HudDialog.h"

#include "ColorClasses.h"
#include "diag/DebugLog.h"
#include "util/gui/WindowPlacement.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvik {

HudDialog::HudDialog(const HudContext& context, const char* windowName, QWidget* hud)
    : QDialog(hud)
    , context_(context)
    , windowName_(windowName)
{
    setObjectName(QString::fromLatin1(windowName));
}

HudDialog::~HudDialog()
{
    Unload();
}

HudDialog::Panel HudDialog::AddPanel(const char* frameName)
{
    auto* frame = new QFrame(this);
    frame->setObjectName(frameName);
    frame->setFrameShape(QFrame::StyledPanel);
    SetColorClass(*frame, WindowColorClass);
    auto* rows = new QGridLayout(frame);
    rows->setHorizontalSpacing(8);
    return {frame, rows};
}

QPushButton* HudDialog::AddButton(const char* text, const char* name)
{
    auto* button = new QPushButton(text, this);
    button->setObjectName(name);
    SetColorClass(*button, ControlColorClass);
    button->setAutoDefault(false);
    return button;
}

void HudDialog::LayOut(std::initializer_list<QWidget*> parts, QPushButton* accept,
                       QPushButton* cancel)
{
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(accept);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    for (QWidget* part : parts)
        layout->addWidget(part);
    layout->addLayout(buttons);
}

void HudDialog::FinishLoading()
{
    context_.debug.LogDebug("Activating/Loading " + std::string(windowName_) + ".", 3);
    adjustSize();
    LoadWindowPosition(*this, context_.store, QString::fromLatin1(windowName_), false);
    SetAlwaysOnTop(*this, true);
}

void HudDialog::done(int result)
{
    Unload();
    QDialog::done(result);
}

void HudDialog::Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    context_.debug.LogDebug("Unloading " + std::string(windowName_) + ".", 3);
    SaveWindowPosition(*this, context_.store, QString::fromLatin1(windowName_), false);
}

} // namespace tarvik
