#include "DebugTab.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTextEdit>

namespace tarvik {

DebugTab::DebugTab(QWidget* parent)
    : QWidget(parent)
    , slider_(new QSlider(Qt::Horizontal, this))
    , level_(new QLabel("Debug Mode:  Disabled", this))
    , info_(new QTextEdit(this))
    , buffer_(new QProgressBar(this))
    , bufferLabel_(new QLabel(this))
    , view_(new QPushButton("View Log", this))
    , clear_(new QPushButton("Clear Log", this))
{
    slider_->setObjectName("sliderDebug");
    slider_->setRange(0, 4);
    slider_->setPageStep(1);
    slider_->setTickPosition(QSlider::TicksBelow);
    slider_->setTickInterval(1);
    // A drag is one change, reported when the handle is let go: the
    // question it raises must not come at every step on the way.
    slider_->setTracking(false);
    slider_->setToolTip("Disabled, Low, Medium, High, Ludicrous: how much Tarvik writes to its "
                        "debug log.");
    level_->setObjectName("lblDebugLevel");
    info_->setObjectName("txtDebugLogInfo");
    info_->setReadOnly(true);
    buffer_->setObjectName("pbarBufferUtilization");
    buffer_->setRange(0, 100);
    buffer_->setTextVisible(false);
    bufferLabel_->setObjectName("lblBufferUtilization");
    view_->setObjectName("cmdViewDebugLog");
    clear_->setObjectName("cmdClearDebugLog");
    auto* bufferCaption = new QLabel("Buffer Remaining:", this);
    bufferCaption->setObjectName("lblBufferUtilizationLabel");

    auto* layout = new QGridLayout(this);
    layout->addWidget(level_, 0, 0, 1, 3);
    layout->addWidget(slider_, 1, 0, 1, 3);
    layout->addWidget(info_, 2, 0, 1, 3);
    layout->addWidget(bufferCaption, 3, 0);
    layout->addWidget(buffer_, 3, 1);
    layout->addWidget(bufferLabel_, 3, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(view_);
    buttons->addWidget(clear_);
    layout->addLayout(buttons, 4, 0, 1, 3);
    layout->setRowStretch(2, 1);
}

} // namespace tarvik
