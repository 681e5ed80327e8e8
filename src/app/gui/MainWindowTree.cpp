// The main window's log choice, character tree and detail views.
#include "CharacterTreeWidget.h"
#include "LogSelectionPanel.h"
#include "MainWindow.h"
#include "analysis/Session.h"
#include "ui/DetailViews.h"
#include "ui/NodeAction.h"
#include "ui/SessionStatistics.h"
#include "ui/gui/DetailsWindow.h"
#include "util/gui/Dialogs.h"
#include "util/gui/QtText.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>

namespace tarvik {

void MainWindow::Browse()
{
    const QStringList chosen =
        dialogs_.OpenFiles(this, "Select the log files to analyze:", logPanel_->Folder(),
                           "Text files (*.txt);;Log files (*.log);;All files (*)");
    if (chosen.isEmpty())
        return;
    debug_.LogDebug("User has selected new path and/or logfiles to analyze.", 2);
    SelectLogs(chosen);
}

void MainWindow::SelectLogs(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    logPanel_->SetFolder(QFileInfo(paths.first()).absolutePath());
    logPanel_->ClearSelection();
    QStringList names;
    for (const QString& path : paths)
        names << QFileInfo(path).fileName();
    for (const QString& name : logPanel_->SelectNames(names)) {
        debug_.Log(2,
                   [&] { return ("[" + name + "] selected for analysis by user.").toStdString(); });
    }
}

void MainWindow::AnalyzeSelected()
{
    AnalyzeLogs(logPanel_->SelectedNames());
}

void MainWindow::AnalyzeLogs(const QStringList& names)
{
    QStringList paths;
    const QDir folder(logPanel_->Folder());
    for (const QString& name : names)
        paths << folder.filePath(name);
    AnalyzeFiles(paths);
}

void MainWindow::ShowResults()
{
    tree_->ClearAll();
    treeModel_.Clear();
    UpdateCharacterTree();
    FightDataChanged();
}

void MainWindow::UpdateCharacterTree()
{
    debug_.LogDebug("Updating character treeview.", 3);
    session_->Marks().RecountParty();
    const auto additions = treeModel_.Update(session_->Data());
    tree_->Apply(treeModel_, additions);
    ShowPartyCount();
}

void MainWindow::ShowPartyCount()
{
    const PartyCountText shown = ::tarvik::ShowPartyCount(session_->Data().partyMemberCount);
    partyMembers_->setText(ToQString(shown.text));
    partyMembers_->setStyleSheet(shown.blue ? "color: #0000ff;" : "color: #000000;");
}

CharacterId MainWindow::SelectedCharacterId() const
{
    const CharacterTree::KeyInfo info =
        CharacterTree::ParseKey(CharacterTreeWidget::KeyOf(tree_->currentItem()).toStdString());
    return info.level >= 1 ? info.id : CharacterId::None();
}

void MainWindow::ShowNode(QTreeWidgetItem* item, int button)
{
    if (!item || !isVisible())
        return;
    debug_.Log(3, [&] {
        return "Character tree node [" + item->text(0).toStdString() + "] was clicked.";
    });
    if (button == 1 && item->childCount() > 0)
        tree_->expandItem(item);
    AnalysisData& data = session_->Data();
    const QString key = CharacterTreeWidget::KeyOf(item);
    const NodeAction action = ResolveNodeClick(key.toStdString(), data);
    if (action.kind != NodeAction::Kind::Nothing && action.kind != NodeAction::Kind::Explain)
        detailKey_ = key;
    const Character* character = data.characters.At(action.characterId);
    switch (action.kind) {
    case NodeAction::Kind::Nothing:
        return;
    case NodeAction::Kind::SessionStatistics:
        debug_.LogDebug("Showing global statistics.", 3);
        detailCharacterId_ = CharacterId::None();
        ShowDetails(BuildSessionStatistics(*session_));
        return;
    case NodeAction::Kind::GeneralInfo:
        debug_.LogDebug("Showing character information.", 3);
        Action("mnuCharacterContextParty")->setChecked(character->IsPartyMember());
        detailCharacterId_ = character->ID();
        ShowDetails(BuildGeneralInfo(*session_, *character));
        if (button == 2 && isVisible()) {
            Action("mnuCharacterContextParty")->setChecked(character->IsPartyMember());
            Action("mnuCharacterContextMyCharacter")
                ->setChecked(character->ID() == data.userCharacterId);
            tree_->setFocus();
            characterMenu_->popup(QCursor::pos());
        }
        return;
    default:
        break;
    }
    debug_.LogDebug("Showing specific character data.", 3);
    detailCharacterId_ = character->ID();
    switch (action.kind) {
    case NodeAction::Kind::AttacksMade:
        ShowDetails(BuildAttacks(*session_, *character, true));
        break;
    case NodeAction::Kind::EnemyAttacks:
        ShowDetails(BuildAttacks(*session_, *character, false));
        break;
    case NodeAction::Kind::Spells:
        ShowDetails(BuildSpells(*session_, *character));
        break;
    case NodeAction::Kind::Kills:
        ShowDetails(BuildKillsOrDeaths(*session_, *character, true));
        break;
    case NodeAction::Kind::Deaths:
        ShowDetails(BuildKillsOrDeaths(*session_, *character, false));
        break;
    case NodeAction::Kind::Explain:
        if (item->parent())
            tree_->setCurrentItem(item->parent());
        SetStatusMessage(action.statusText);
        break;
    default:
        break;
    }
}

void MainWindow::ShowDetails(const DetailGrid& grid)
{
    if (!isVisible())
        return;
    if (!details_) {
        details_ = new DetailsWindow(store_, debug_, this);
        details_->setAttribute(Qt::WA_DeleteOnClose);
    }
    details_->ClearDetailScreen();
    details_->ShowGrid(grid);
    tree_->setFocus();
}

void MainWindow::UnloadDetails()
{
    if (details_)
        details_->close();
}

void MainWindow::ContextPartyMember()
{
    if (const CharacterId id = SelectedCharacterId(); !id.IsNone()) {
        session_->Marks().TogglePartyMember(id);
        ShowMarks();
    }
}

void MainWindow::ContextMyCharacter()
{
    if (const CharacterId id = SelectedCharacterId(); !id.IsNone()) {
        session_->Marks().SelectUserCharacter(id);
        ShowMarks();
    }
}

void MainWindow::ShowMarks()
{
    treeModel_.RefreshMarks(session_->Data());
    tree_->RefreshMarks(treeModel_);
    ShowPartyCount();
    // The user's own rows and the party's statistics depend on the marks.
    RefreshDetails();
    FightDataChanged();
}

void MainWindow::RedrawSelectedDetails()
{
    if (!details_ || !details_->isVisible())
        return;
    if (QTreeWidgetItem* selected = tree_->currentItem())
        ShowNode(selected, 1);
}

void MainWindow::RefreshDetails()
{
    if (!details_ || !details_->isVisible())
        return;
    if (QTreeWidgetItem* shown = tree_->FindNode(detailKey_))
        ShowNode(shown, 0);
}

} // namespace tarvik
