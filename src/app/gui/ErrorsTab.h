#pragma once

#include "ErrorLinesModel.h"

#include <string>
#include <vector>

#include <QWidget>

class QLabel;
class QPushButton;
class QRadioButton;
class QTreeView;

namespace tarvik {

// The "Errors" tab: the lines of the latest read that gave no record, each
// marked with its class, all of them or the problems only, and the buttons
// to view and save them.
class ErrorsTab : public QWidget {
    Q_OBJECT

public:
    explicit ErrorsTab(QWidget* parent = nullptr);

    void Clear();
    // Lines arrive in batches; Flush shows the pending ones.
    void Append(std::string_view line, LineClass lineClass = LineClass::Problem);
    void Flush();
    int Count() const;
    // The raw lines, as they were read (for saving without re-encoding).
    const std::vector<std::string>& Lines() const { return model_.Lines(); }
    // Enables View and Save exactly when there are lines.
    void UpdateButtons();
    void DisableButtons();

    QTreeView* List() const { return list_; }
    const ErrorLinesModel& Model() const { return model_; }
    QRadioButton* AllButton() const { return all_; }
    QRadioButton* ProblemsOnlyButton() const { return problemsOnly_; }
    QLabel* CountsLabel() const { return counts_; }
    QPushButton* ViewButton() const { return view_; }
    QPushButton* SaveButton() const { return save_; }

signals:
    void ViewClicked();
    void SaveClicked();

private:
    void ShowCounts();

    ErrorLinesModel model_;
    QTreeView* list_;
    QRadioButton* all_;
    QRadioButton* problemsOnly_;
    QLabel* counts_;
    QPushButton* view_;
    QPushButton* save_;
};

} // namespace tarvik
