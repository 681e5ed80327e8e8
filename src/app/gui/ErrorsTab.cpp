#include "ErrorsTab.h"

#include <QHBoxLayout>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvik {

ErrorsTab::ErrorsTab(QWidget* parent)
    : QWidget(parent)
    , list_(new QListView(this))
    , view_(new QPushButton("View Log", this))
    , save_(new QPushButton("Save Log", this))
{
    list_->setObjectName("lstErrors");
    list_->setModel(&model_);
    list_->setUniformItemSizes(true);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
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
    connect(list_, &QListView::clicked, this,
            [this](const QModelIndex& index) { list_->setToolTip(index.data().toString()); });
    connect(view_, &QPushButton::clicked, this, &ErrorsTab::ViewClicked);
    connect(save_, &QPushButton::clicked, this, &ErrorsTab::SaveClicked);
    DisableButtons();
}

void ErrorsTab::Clear()
{
    model_.Clear();
    list_->setToolTip(QString());
}

void ErrorsTab::Append(std::string_view line)
{
    model_.Append(line);
}

void ErrorsTab::Flush()
{
    model_.Flush();
}

int ErrorsTab::Count() const
{
    return static_cast<int>(model_.Lines().size());
}

void ErrorsTab::UpdateButtons()
{
    Flush();
    const bool any = !model_.Lines().empty();
    view_->setEnabled(any);
    save_->setEnabled(any);
}

void ErrorsTab::DisableButtons()
{
    view_->setEnabled(false);
    save_->setEnabled(false);
}

} // namespace tarvik
