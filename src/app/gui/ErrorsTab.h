#pragma once

#include "ErrorLinesModel.h"

#include <string>
#include <vector>

#include <QWidget>

class QListView;
class QPushButton;

namespace tarvik {

// The "Errors" tab: the problems of the latest read and the buttons to view
// and save them.
class ErrorsTab : public QWidget {
    Q_OBJECT

public:
    explicit ErrorsTab(QWidget* parent = nullptr);

    void Clear();
    // Lines arrive in batches; Flush shows the pending ones.
    void Append(std::string_view line);
    void Flush();
    int Count() const;
    // The raw lines, as they were read (for saving without re-encoding).
    const std::vector<std::string>& Lines() const { return model_.Lines(); }
    // Enables View and Save exactly when there are lines.
    void UpdateButtons();
    void DisableButtons();

    QListView* List() const { return list_; }
    QPushButton* ViewButton() const { return view_; }
    QPushButton* SaveButton() const { return save_; }

signals:
    void ViewClicked();
    void SaveClicked();

private:
    ErrorLinesModel model_;
    QListView* list_;
    QPushButton* view_;
    QPushButton* save_;
};

} // namespace tarvik
