#include "ErrorLinesModel.h"

#include "util/gui/QtText.h"

#include <QGuiApplication>
#include <QPalette>

namespace tarvik {

void ErrorLinesModel::Clear()
{
    beginResetModel();
    lines_.clear();
    classes_.clear();
    shown_ = 0;
    problems_.clear();
    counts_ = {};
    endResetModel();
}

void ErrorLinesModel::Flush()
{
    if (shown_ == lines_.size())
        return;
    const int firstRow = rowCount();
    const size_t firstProblem = problems_.size();
    for (size_t i = shown_; i < lines_.size(); ++i) {
        ++counts_[classes_[i]];
        if (classes_[i] == LineClass::Problem)
            problems_.push_back(static_cast<int>(i));
    }
    const int added =
        static_cast<int>(problemsOnly_ ? problems_.size() - firstProblem : lines_.size() - shown_);
    if (added == 0) {
        shown_ = lines_.size();
        return;
    }
    beginInsertRows(QModelIndex(), firstRow, firstRow + added - 1);
    shown_ = lines_.size();
    endInsertRows();
}

void ErrorLinesModel::SetProblemsOnly(bool problemsOnly)
{
    if (problemsOnly == problemsOnly_)
        return;
    beginResetModel();
    problemsOnly_ = problemsOnly;
    endResetModel();
}

size_t ErrorLinesModel::LineOf(int row) const
{
    return problemsOnly_ ? static_cast<size_t>(problems_[static_cast<size_t>(row)])
                         : static_cast<size_t>(row);
}

QString ErrorLinesModel::LineText(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    return ToQString(lines_[LineOf(row)]);
}

int ErrorLinesModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return static_cast<int>(problemsOnly_ ? problems_.size() : shown_);
}

int ErrorLinesModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ErrorLinesModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const size_t line = LineOf(index.row());
    const LineClass lineClass = classes_[line];
    switch (role) {
    case Qt::DisplayRole:
        if (index.column() == ClassColumn)
            return QString::fromUtf8(LineClassName(lineClass).data(),
                                     static_cast<qsizetype>(LineClassName(lineClass).size()));
        return ToQString(lines_[line]);
    case Qt::ForegroundRole:
        // Lines that are no fault of the log stay in the background.
        if (lineClass != LineClass::Problem)
            return QGuiApplication::palette().color(QPalette::Disabled, QPalette::Text);
        return {};
    default:
        return {};
    }
}

QVariant ErrorLinesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    if (section == ClassColumn)
        return QStringLiteral("Kind");
    if (section == LineColumn)
        return QStringLiteral("Line");
    return {};
}

} // namespace tarvik
