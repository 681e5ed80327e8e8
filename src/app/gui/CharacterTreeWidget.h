#pragma once

#include "ui/CharacterTree.h"

#include <unordered_map>

#include <QTreeWidget>

namespace tarvik {

// The character tree as the user sees it: it mirrors the Qt-free tree model
// and reports clicks, the mouse button and whether a button is held.
class CharacterTreeWidget : public QTreeWidget {
    Q_OBJECT

public:
    explicit CharacterTreeWidget(QWidget* parent = nullptr);

    // Adds what the model reports as new and refreshes bold and colour.
    void Apply(const CharacterTree& model, const std::vector<CharacterTree::Addition>& additions);
    void RefreshMarks(const CharacterTree& model);
    void ClearAll();
    // Shows only the characters whose names contain the text, ignoring
    // case; an empty text shows them all. Categories follow their character.
    void SetFilter(const QString& text);
    const QString& Filter() const { return filter_; }

    QTreeWidgetItem* FindNode(const QString& key) const;
    static QString KeyOf(const QTreeWidgetItem* item);
    int LastMouseButton() const { return lastButton_; }
    bool ButtonHeld() const { return held_; }

signals:
    // A node was clicked with the left (1) or right (2) button.
    void NodeClicked(QTreeWidgetItem* item, int button);
    // The held state changed (press, release, focus lost).
    void PauseChanged(bool paused);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QTreeWidgetItem* Root();
    void SetHeld(bool held);
    void ApplyFilter(QTreeWidgetItem& character) const;

    std::unordered_map<CharacterId, QTreeWidgetItem*> characterItems_;
    QString filter_;
    int lastButton_ = 1;
    bool held_ = false;
};

} // namespace tarvik
