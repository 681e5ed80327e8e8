#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <QAbstractListModel>

namespace tarvik {

// The lines of the Errors tab as a list view shows them: lines arrive in
// batches and become rows when flushed; a row's text is made only when the
// view asks for it, so tens of thousands of lines cost no widget items.
class ErrorLinesModel final : public QAbstractListModel {
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    void Clear();
    void Append(std::string_view line) { lines_.emplace_back(line); }
    // Shows the lines appended since the last flush.
    void Flush();
    // The raw lines, as they were read, shown or not.
    const std::vector<std::string>& Lines() const { return lines_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    std::vector<std::string> lines_;
    int shown_ = 0;
};

} // namespace tarvik
