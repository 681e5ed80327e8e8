#pragma once

#include <string>
#include <vector>

#include <QWidget>

class QListWidget;
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
    const std::vector<std::string>& Lines() const { return lines_; }
    // Enables View and Save exactly when there are lines.
    void UpdateButtons();
    void DisableButtons();

    QListWidget* List() const { return list_; }
    QPushButton* ViewButton() const { return view_; }
    QPushButton* SaveButton() const { return save_; }

signals:
    void ViewClicked();
    void SaveClicked();

private:
    QListWidget* list_;
    QPushButton* view_;
    QPushButton* save_;
    std::vector<std::string> lines_;
    int shown_ = 0;
};

} // namespace tarvik
