// The main window's analysis, character tree and detail views.
#include "CharacterTreeWidget.h"
#include "ErrorsTab.h"
#include "LogSelectionPanel.h"
#include "MainWindow.h"
#include "analysis/Session.h"
#include "ui/DetailViews.h"
#include "ui/NodeAction.h"
#include "ui/SessionStatistics.h"
#include "ui/StatusTexts.h"
#include "ui/gui/DetailsWindow.h"
#include "util/gui/Dialogs.h"
#include "util/gui/QtText.h"

#include <utility>

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QTimer>

namespace tarvik {

void MainWindow::ClearAllData()
{
    session_->ClearAllData();
}

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

void MainWindow::AnalyzeFiles(const QStringList& paths)
{
    // A monitoring read never yields, so it cannot be running here; the
    // test is for safety.
    if (shutDown_ || session_->Analyzing())
        return;
    if (!work_.Start(LongWork::Kind::Analysis)) {
        if (work_.Running(LongWork::Kind::UpdateCheck))
            waitingAnalysis_ = paths;
        return;
    }
    RunAnalysis(paths);
    FinishWork(LongWork::Kind::Analysis);
}

void MainWindow::FinishWork(LongWork::Kind kind)
{
    const std::optional<LongWork::Kind> next = work_.Finish(kind);
    if (!next || closeAfterCheck_ || shutDown_)
        return;
    // Started from the event loop, once the caller has finished its own work.
    if (*next == LongWork::Kind::Analysis) {
        QTimer::singleShot(
            0, this, [this, paths = std::exchange(waitingAnalysis_, {})] { AnalyzeFiles(paths); });
    } else {
        QTimer::singleShot(0, this, [this] { CheckForUpdates(waitingCheckOnRequest_); });
    }
}

void MainWindow::RunAnalysis(const QStringList& files)
{
    ClearAllData();
    analysedLogs_ = files;
    progress_->setText("Analyzing logs...");
    SetBusy(true, MainTab::Status);
    timerLoadProgress_.start();
    std::vector<std::string> paths;
    for (const QString& file : files)
        paths.push_back(file.toStdString());
    const DriverResult result = session_->AnalyzeSelectedLogs(std::move(paths));
    timerLoadProgress_.stop();
    for (const auto& message : result.missing)
        session_->AddError(message);
    for (const auto& message : result.skipped)
        session_->AddError(message);
    if (result.aborted) {
        SetStatusMessage(StopReasonText(result));
        SetBusy(false, MainTab::Errors);
        return;
    }
    progress_->setText(
        ToQString(SummaryText(session_->Data(), result.filesAnalyzed, result.elapsedMs)) +
        "\n\nUpdating display...");
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    tree_->ClearAll();
    treeModel_.Clear();
    UpdateCharacterTree();
    FightDataChanged();
    debug_.LogDebug("Log file analysis completed.", 1);
    progress_->setText(progress_->text() + "complete.");
    if (!result.missing.empty())
        logPanel_->Refresh();
    SetStatusMessage("Log analysis complete.  (Check Status and Errors tabs for more info.)");
    SetBusy(false, MainTab::Info);
}

void MainWindow::LoadProgressTick()
{
    debug_.LogDebug("Monitoring:  Load progress timer firing.", 4);
    progress_->setText(ToQString(ProgressText(session_->Data())));
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

int32_t MainWindow::SelectedCharacterId() const
{
    const CharacterTree::KeyInfo info =
        CharacterTree::ParseKey(CharacterTreeWidget::KeyOf(tree_->currentItem()).toStdString());
    return info.level >= 1 ? info.id : 0;
}

void MainWindow::OnTreeNode(QTreeWidgetItem* item, int button)
{
    ShowNode(item, button);
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
        detailCharacterId_ = 0;
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
    if (const int32_t id = SelectedCharacterId()) {
        session_->Marks().TogglePartyMember(id);
        ShowMarks();
    }
}

void MainWindow::ContextMyCharacter()
{
    if (const int32_t id = SelectedCharacterId()) {
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

void MainWindow::RefreshDetails()
{
    if (!details_ || !details_->isVisible())
        return;
    if (QTreeWidgetItem* shown = tree_->FindNode(detailKey_))
        ShowNode(shown, 0);
}

} // namespace tarvik
