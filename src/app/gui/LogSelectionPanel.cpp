#include "LogSelectionPanel.h"

#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace tarvik {

LogSelectionPanel::LogSelectionPanel(QWidget* parent)
    : QWidget(parent)
    , path_(new QLineEdit(this))
    , browse_(new QPushButton("Browse", this))
    , files_(new QListWidget(this))
    , mask_(new QLineEdit(this))
    , analyze_(new QPushButton("Analyze Logs", this))
    , report_(new QPushButton("Generate Report", this))
    , hud_(new QPushButton("HUD", this))
    , meter_(new QPushButton("Meter", this))
{
    path_->setObjectName("txtLogPath");
    path_->setReadOnly(true);
    browse_->setObjectName("cmdBrowseLogs");
    browse_->setToolTip("Browse to select the logs to analyze");
    files_->setObjectName("fileLogs");
    files_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    files_->setUniformItemSizes(true);
    mask_->setObjectName("txtLogFileMask");
    mask_->setReadOnly(true);
    mask_->setToolTip(
        "The file names of the game's logs; while monitoring, the log being followed.");
    analyze_->setObjectName("cmdAnalyze");
    analyze_->setToolTip(
        "Analyze the logs selected in the file window (left.) NOT used for real-time analysis.");
    report_->setObjectName("cmdGenerateReport");
    report_->setToolTip("Generate a report of all log statistics so far.");
    hud_->setObjectName("cmdHUDMode");
    hud_->setToolTip("Switch to HUD mode.");
    meter_->setObjectName("cmdMeter");
    meter_->setToolTip("Show or hide the live meter of the current fight over the game.");

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel("Log folder:", this), 0, 0, 1, 2);
    layout->addWidget(path_, 1, 0);
    layout->addWidget(browse_, 1, 1);
    layout->addWidget(files_, 2, 0, 1, 2);
    layout->addWidget(new QLabel("Log files:", this), 3, 0, 1, 2);
    layout->addWidget(mask_, 4, 0, 1, 2);
    auto* buttons = new QGridLayout;
    buttons->addWidget(analyze_, 0, 0);
    buttons->addWidget(report_, 0, 1);
    buttons->addWidget(hud_, 1, 0);
    buttons->addWidget(meter_, 1, 1);
    layout->addLayout(buttons, 5, 0, 1, 2);
    layout->setRowStretch(2, 1);

    connect(browse_, &QPushButton::clicked, this, &LogSelectionPanel::BrowseClicked);
    connect(analyze_, &QPushButton::clicked, this, &LogSelectionPanel::AnalyzeClicked);
    connect(report_, &QPushButton::clicked, this, &LogSelectionPanel::ReportClicked);
    connect(hud_, &QPushButton::clicked, this, &LogSelectionPanel::HudClicked);
    connect(meter_, &QPushButton::clicked, this, &LogSelectionPanel::MeterClicked);
}

void LogSelectionPanel::SetFolder(const QString& folder)
{
    folder_ = QDir::cleanPath(folder);
    path_->setText(QDir::toNativeSeparators(folder_).toLower());
    path_->setCursorPosition(0);
    path_->setToolTip(QDir::toNativeSeparators(folder_));
    Refresh();
}

void LogSelectionPanel::Refresh()
{
    const QStringList selected = SelectedNames();
    files_->clear();
    QDir dir(folder_);
    dir.setFilter(QDir::Files | QDir::Hidden);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    files_->addItems(dir.entryList());
    SelectNames(selected);
}

QStringList LogSelectionPanel::SelectedNames() const
{
    QStringList names;
    for (int row = 0; row < files_->count(); ++row) {
        if (files_->item(row)->isSelected())
            names << files_->item(row)->text();
    }
    return names;
}

QStringList LogSelectionPanel::SelectNames(const QStringList& names)
{
    QStringList chosen;
    for (int row = 0; row < files_->count(); ++row) {
        QListWidgetItem* entry = files_->item(row);
        for (const QString& name : names) {
            if (entry->text().compare(name, Qt::CaseInsensitive) == 0) {
                entry->setSelected(true);
                chosen << entry->text();
                break;
            }
        }
    }
    return chosen;
}

void LogSelectionPanel::ClearSelection()
{
    files_->clearSelection();
}

void LogSelectionPanel::SetMask(const QString& text, const QColor& color)
{
    mask_->setText(text);
    QPalette colors = mask_->palette();
    colors.setColor(QPalette::Text, color);
    mask_->setPalette(colors);
}

QString LogSelectionPanel::MaskText() const
{
    return mask_->text();
}

void LogSelectionPanel::SetSelectionEnabled(bool enabled)
{
    files_->setEnabled(enabled);
    browse_->setEnabled(enabled);
    analyze_->setEnabled(enabled);
    report_->setEnabled(enabled);
}

} // namespace tarvik
