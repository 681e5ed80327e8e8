#pragma once

#include "analysis/LineClass.h"

#include <string>
#include <string_view>
#include <vector>

#include <QAbstractTableModel>

namespace tarvik {

// The lines of the Errors tab as a view shows them: the class of each line,
// then the line. Lines arrive in batches and become rows when flushed; a
// row's text is made only when the view asks for it, so tens of thousands of
// lines cost no widget items. It shows all lines, or the problems only.
class ErrorLinesModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { ClassColumn, LineColumn, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    void Clear();
    void Append(std::string_view line, LineClass lineClass)
    {
        lines_.emplace_back(line);
        classes_.push_back(lineClass);
    }
    // Shows the lines appended since the last flush.
    void Flush();
    void SetProblemsOnly(bool problemsOnly);
    bool ProblemsOnly() const { return problemsOnly_; }
    // The raw lines, as they were read, shown or not.
    const std::vector<std::string>& Lines() const { return lines_; }
    // The lines shown so far, by class.
    const LineCounts& Counts() const { return counts_; }
    // The line of a row as it is shown.
    QString LineText(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    // The index into lines_ of a row, in the current mode.
    size_t LineOf(int row) const;

    std::vector<std::string> lines_;
    std::vector<LineClass> classes_;
    size_t shown_ = 0;          // lines flushed
    std::vector<int> problems_; // the flushed lines that are problems, by index
    LineCounts counts_;         // of the flushed lines
    bool problemsOnly_ = false;
};

} // namespace tarvik
