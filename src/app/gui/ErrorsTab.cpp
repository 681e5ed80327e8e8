#include "ErrorsTab.h"

#include "ui/StatusTexts.h"
#include "util/gui/QtText.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace tarvik {

ErrorsTab::ErrorsTab(QWidget* parent)
    : QWidget(parent)
    , list_(new QTreeView(this))
    , all_(new QRadioButton("All", this))
    , problemsOnly_(new QRadioButton("Problems only", this))
    , counts_(new QLabel(this))
    , view_(new QPushButton("View Log", this))
    , save_(new QPushButton("Save Log", this))
{
    list_->setObjectName("lstErrors");
    list_->setModel(&model_);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setItemsExpandable(false);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    // The class column is as wide as its longest name; the line takes the rest.
    list_->header()->setStretchLastSection(true);
    list_->header()->setSectionResizeMode(ErrorLinesModel::ClassColumn, QHeaderView::Fixed);
    list_->header()->resizeSection(
        ErrorLinesModel::ClassColumn,
        list_->fontMetrics().horizontalAdvance(QStringLiteral("session header")) +
            4 * list_->fontMetrics().averageCharWidth());
    all_->setObjectName("optErrorsAll");
    problemsOnly_->setObjectName("optErrorsProblems");
    all_->setToolTip("Every line that gave no record, each with what it is.");
    problemsOnly_->setToolTip("Only the lines that are problems: no session headers, engine "
                              "lines, chat copies or further lines of a message.");
    all_->setChecked(true);
    auto* filter = new QButtonGroup(this);
    filter->addButton(all_);
    filter->addButton(problemsOnly_);
    counts_->setObjectName("lblErrorCounts");
    view_->setObjectName("cmdViewErrorLog");
    save_->setObjectName("cmdSaveErrorLog");
    view_->setToolTip("View the problems found in a window of their own.");
    save_->setToolTip("Save the problems found to a file.");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(all_);
    buttons->addWidget(problemsOnly_);
    buttons->addWidget(counts_, 1);
    buttons->addWidget(view_);
    buttons->addWidget(save_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    // A long line can be read whole by hovering after a click.
    connect(list_, &QTreeView::clicked, this,
            [this](const QModelIndex& index) { list_->setToolTip(model_.LineText(index.row())); });
    connect(problemsOnly_, &QRadioButton::toggled, this, [this](bool on) {
        model_.SetProblemsOnly(on);
        list_->setToolTip(QString());
    });
    connect(view_, &QPushButton::clicked, this, &ErrorsTab::ViewClicked);
    connect(save_, &QPushButton::clicked, this, &ErrorsTab::SaveClicked);
    DisableButtons();
}

void ErrorsTab::Clear()
{
    model_.Clear();
    list_->setToolTip(QString());
    ShowCounts();
}

void ErrorsTab::Append(std::string_view line, LineClass lineClass)
{
    model_.Append(line, lineClass);
}

void ErrorsTab::Flush()
{
    model_.Flush();
    ShowCounts();
}

void ErrorsTab::ShowCounts()
{
    counts_->setText(model_.Counts().Total() == 0 ? QString()
                                                  : ToQString(LineClassesText(model_.Counts())));
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
