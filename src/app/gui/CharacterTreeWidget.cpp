#include "CharacterTreeWidget.h"

#include "util/gui/QtText.h"

#include <QHeaderView>
#include <QMouseEvent>

namespace tarvik {

namespace {
constexpr int KeyRole = Qt::UserRole + 1;
}

CharacterTreeWidget::CharacterTreeWidget(QWidget* parent)
    : QTreeWidget(parent)
{
    setObjectName("tvCharacters");
    setHeaderHidden(true);
    setColumnCount(1);
    // Long names scroll sideways instead of being cut.
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setUniformRowHeights(true);
    setExpandsOnDoubleClick(false);
    // The root cannot be collapsed.
    connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
        if (item == topLevelItem(0))
            expandItem(item);
    });
    // Right clicks are handled on the press, where the context menu opens.
    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) {
        if (lastButton_ == 1)
            emit NodeClicked(item, 1);
    });
}

QString CharacterTreeWidget::KeyOf(const QTreeWidgetItem* item)
{
    return item ? item->data(0, KeyRole).toString() : QString();
}

QTreeWidgetItem* CharacterTreeWidget::Root()
{
    if (topLevelItemCount() == 0) {
        auto* root = new QTreeWidgetItem(this, QStringList("Statistics"));
        root->setData(0, KeyRole, QString(CharacterTree::RootKey));
        expandItem(root);
    }
    return topLevelItem(0);
}

void CharacterTreeWidget::Apply(const CharacterTree& model,
                                const std::vector<CharacterTree::Addition>& additions)
{
    QTreeWidgetItem* root = Root();
    for (const auto& addition : additions) {
        const CharacterTree::CharacterNode* node = model.Find(addition.id);
        if (!node)
            continue;
        QTreeWidgetItem*& item = characterItems_[addition.id];
        if (!item) {
            item = new QTreeWidgetItem(root, QStringList(ToQString(node->text)));
            item->setData(0, KeyRole, QString::fromStdString(node->key));
            ApplyFilter(*item);
        }
        for (const auto category : addition.categoriesAdded) {
            auto* child =
                new QTreeWidgetItem(item, QStringList(CharacterTree::CategoryText(category)));
            child->setData(
                0, KeyRole,
                QString::fromStdString(CharacterTree::CategoryKey(addition.id, category)));
        }
    }
    expandItem(root);
    RefreshMarks(model);
}

void CharacterTreeWidget::RefreshMarks(const CharacterTree& model)
{
    for (const auto& node : model.Nodes()) {
        const auto found = characterItems_.find(node.id);
        if (found == characterItems_.end())
            continue;
        QTreeWidgetItem* item = found->second;
        QFont font = item->font(0);
        if (font.bold() != node.bold) {
            font.setBold(node.bold);
            item->setFont(0, font);
        }
        item->setForeground(0, node.blue ? QBrush(QColor(0, 0, 255)) : QBrush());
    }
}

void CharacterTreeWidget::SetFilter(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed == filter_)
        return;
    filter_ = trimmed;
    setUpdatesEnabled(false);
    for (const auto& [id, item] : characterItems_)
        ApplyFilter(*item);
    setUpdatesEnabled(true);
}

void CharacterTreeWidget::ApplyFilter(QTreeWidgetItem& character) const
{
    const bool shown =
        filter_.isEmpty() || character.text(0).contains(filter_, Qt::CaseInsensitive);
    if (character.isHidden() == shown)
        character.setHidden(!shown);
}

void CharacterTreeWidget::ClearAll()
{
    characterItems_.clear();
    clear();
}

QTreeWidgetItem* CharacterTreeWidget::FindNode(const QString& key) const
{
    QTreeWidgetItemIterator it(const_cast<CharacterTreeWidget*>(this));
    for (; *it; ++it) {
        if (KeyOf(*it) == key)
            return *it;
    }
    return nullptr;
}

void CharacterTreeWidget::SetHeld(bool held)
{
    if (held_ == held)
        return;
    held_ = held;
    emit PauseChanged(held);
}

void CharacterTreeWidget::mousePressEvent(QMouseEvent* event)
{
    lastButton_ = event->button() == Qt::RightButton ? 2 : 1;
    SetHeld(true);
    QTreeWidget::mousePressEvent(event);
    if (event->button() == Qt::RightButton) {
        if (QTreeWidgetItem* item = itemAt(event->position().toPoint())) {
            setCurrentItem(item);
            emit NodeClicked(item, 2);
        }
    }
}

void CharacterTreeWidget::mouseMoveEvent(QMouseEvent* event)
{
    SetHeld(event->buttons() != Qt::NoButton);
    QTreeWidget::mouseMoveEvent(event);
}

void CharacterTreeWidget::mouseReleaseEvent(QMouseEvent* event)
{
    lastButton_ = event->button() == Qt::RightButton ? 2 : 1;
    SetHeld(false);
    QTreeWidget::mouseReleaseEvent(event);
}

void CharacterTreeWidget::focusOutEvent(QFocusEvent* event)
{
    SetHeld(false);
    QTreeWidget::focusOutEvent(event);
}

} // namespace tarvik
