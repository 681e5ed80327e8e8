#pragma once

#include <QColor>
#include <QStringList>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace tarvik {

// The log selection area: the folder, its files (sorted by name, several
// selectable), the log mask and the analysis buttons.
class LogSelectionPanel : public QWidget {
    Q_OBJECT

public:
    explicit LogSelectionPanel(QWidget* parent = nullptr);

    QString Folder() const { return folder_; }
    // Shows the folder's files; the path box shows the folder in lower case
    // (only what is shown: the real path is kept for opening files).
    void SetFolder(const QString& folder);
    void Refresh();
    QStringList SelectedNames() const;
    // Selects the entries whose names equal one of names, ignoring case;
    // returns the names of the entries selected.
    QStringList SelectNames(const QStringList& names);
    void ClearSelection();
    void SetMask(const QString& text, const QColor& color);
    QString MaskText() const;
    // The controls that must rest while monitoring.
    void SetSelectionEnabled(bool enabled);

    QLineEdit* PathBox() const { return path_; }
    QListWidget* FileList() const { return files_; }
    QLineEdit* MaskBox() const { return mask_; }
    QPushButton* BrowseButton() const { return browse_; }
    QPushButton* AnalyzeButton() const { return analyze_; }
    QPushButton* ReportButton() const { return report_; }
    QPushButton* HudButton() const { return hud_; }
    QPushButton* MeterButton() const { return meter_; }

signals:
    void BrowseClicked();
    void AnalyzeClicked();
    void ReportClicked();
    void HudClicked();
    void MeterClicked();

private:
    QString folder_;
    QLineEdit* path_;
    QPushButton* browse_;
    QListWidget* files_;
    QLineEdit* mask_;
    QPushButton* analyze_;
    QPushButton* report_;
    QPushButton* hud_;
    QPushButton* meter_;
};

} // namespace tarvik
