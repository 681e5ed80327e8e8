#include "ErrorsTab.h"

#include "util/gui/QtText.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvik {

ErrorsTab::ErrorsTab(QWidget* parent)
    : QWidget(parent)
    , list_(new QListWidget(this))
    , view_(new QPushButton("View Log", this))
    , save_(new QPushButton("Save Log", this))
{
    list_->setObjectName("lstErrors");
    list_->setUniformItemSizes(true);
    view_->setObjectName("cmdViewErrorLog");
    save_->setObjectName("cmdSaveErrorLog");
    view_->setToolTip("View the problems found in a window of their own.");
    save_->setToolTip("Save the problems found to a file.");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(view_);
    buttons->addWidget(save_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    // A long line can be read whole by hovering after a click.
    connect(list_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { list_->setToolTip(item->text()); });
    connect(view_, &QPushButton::clicked, this, &ErrorsTab::ViewClicked);
    connect(save_, &QPushButton::clicked, this, &ErrorsTab::SaveClicked);
    DisableButtons();
}

void ErrorsTab::Clear()
{
    lines_.clear();
    shown_ = 0;
    list_->clear();
    list_->setToolTip(QString());
}

void ErrorsTab::Append(std::string_view line)
{
    lines_.emplace_back(line);
}

void ErrorsTab::Flush()
{
    if (shown_ == static_cast<int>(lines_.size()))
        return;
    QStringList texts;
    for (size_t i = static_cast<size_t>(shown_); i < lines_.size(); ++i)
        texts << ToQString(lines_[i]);
    list_->addItems(texts);
    shown_ = static_cast<int>(lines_.size());
}

int ErrorsTab::Count() const
{
    return static_cast<int>(lines_.size());
}

void ErrorsTab::UpdateButtons()
{
    Flush();
    const bool any = !lines_.empty();
    view_->setEnabled(any);
    save_->setEnabled(any);
}

void ErrorsTab::DisableButtons()
{
    view_->setEnabled(false);
    save_->setEnabled(false);
}

} // namespace tarvik
