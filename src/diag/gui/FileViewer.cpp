#include "FileViewer.h"

#include "util/gui/Dialogs.h"
#include "util/gui/QtText.h"
#include "util/gui/SaveFileCommit.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QSaveFile>
#include <QTextEdit>
#include <QVBoxLayout>

namespace tarvik {

FileViewer::FileViewer(Dialogs& dialogs, QWidget* owner)
    : QDialog(owner)
    , dialogs_(dialogs)
    , text_(new QTextEdit(this))
{
    setObjectName("frmFileViewRich");
    setWindowTitle("File Viewer");
    resize(760, 520);
    auto* menuBar = new QMenuBar(this);
    fileMenu_ = menuBar->addMenu("&File");
    save_ = fileMenu_->addAction("Save", this, &FileViewer::Save);
    save_->setObjectName("mnuFileviewFileSave");
    clear_ = fileMenu_->addAction("Clear", this, &FileViewer::Clear);
    clear_->setObjectName("mnuFileviewFileClear");
    separator_ = fileMenu_->addSeparator();
    separator_->setObjectName("mnuFileviewFileSpace1");
    exit_ = fileMenu_->addAction("Exit", this, &QDialog::close);
    exit_->setObjectName("mnuFileviewFileExit");
    formatMenu_ = menuBar->addMenu("F&ormat");
    formatMenu_->setObjectName("mnuFileviewFormat");
    wordWrap_ = formatMenu_->addAction("Word Wrap");
    wordWrap_->setObjectName("mnuFileviewFormatWordwrap");
    wordWrap_->setCheckable(true);
    connect(wordWrap_, &QAction::toggled, this, &FileViewer::SetWordWrap);
    connect(fileMenu_, &QMenu::aboutToShow, this, &FileViewer::UpdateFileMenu);

    text_->setObjectName("rchtxtWindow");
    text_->setAcceptRichText(false);
    text_->setFont(QFont("Monospace"));
    connect(text_, &QTextEdit::textChanged, this, &FileViewer::UpdateFileMenu);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(menuBar);
    layout->addWidget(text_);
}

void FileViewer::SetWordWrap(bool wrap)
{
    text_->setLineWrapMode(wrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    if (wordWrap_->isChecked() != wrap)
        wordWrap_->setChecked(wrap);
}

bool FileViewer::OpenFile(const QString& pathOrText, const Options& options, bool modal)
{
    path_ = pathOrText;
    if (parentWidget())
        setWindowIcon(parentWidget()->windowIcon());
    SetWordWrap(options.wordWrap);
    text_->clear();
    save_->setVisible(options.showSave);
    clear_->setVisible(options.showClear);
    separator_->setVisible(options.showSave || options.showClear);
    formatMenu_->menuAction()->setVisible(options.showFormat);
    text_->setReadOnly(options.readOnly);

    QFile file(pathOrText);
    if (!pathOrText.isEmpty() && file.exists() && file.open(QIODevice::ReadOnly)) {
        // Only the caption is shown in lower case; the path itself is kept.
        setWindowTitle("File Viewer - " + pathOrText.toLower());
        const QByteArray bytes = file.readAll();
        text_->setPlainText(
            ToQString(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()))));
    } else {
        setWindowTitle("File Viewer");
        text_->setPlainText(pathOrText);
        path_.clear();
    }
    text_->document()->setModified(false);
    UpdateFileMenu();
    text_->setVisible(true);
    if (modal) {
        exec();
    } else {
        setModal(true);
        show();
    }
    return true;
}

QString FileViewer::Text() const
{
    return text_->toPlainText();
}

bool FileViewer::IsReadOnly() const
{
    return text_->isReadOnly();
}

bool FileViewer::SaveVisible() const
{
    return save_->isVisible();
}

bool FileViewer::ClearVisible() const
{
    return clear_->isVisible();
}

bool FileViewer::WordWrap() const
{
    return wordWrap_->isChecked();
}

void FileViewer::UpdateFileMenu()
{
    save_->setEnabled(save_->isVisible() && text_->document()->isModified());
    clear_->setEnabled(!text_->document()->isEmpty());
}

void FileViewer::Save()
{
    // The file is replaced only once the new text is wholly on disk.
    QSaveFile file(path_);
    const QByteArray bytes = text_->toPlainText().toUtf8();
    if (path_.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
        !CommitWhole(file)) {
        dialogs_.Message(this, Dialogs::Icon::Exclamation, "File update failed",
                         "Error -- failed to update " + path_ + ".  Changes lost.");
        return;
    }
    text_->document()->setModified(false);
    UpdateFileMenu();
}

void FileViewer::Clear()
{
    if (dialogs_.Ask(this, Dialogs::Icon::Exclamation, "Confirm file erase",
                     "Do you want to clear the contents of this file?\nThis will erase the "
                     "file IMMEDIATELY!") != Dialogs::Answer::Yes)
        return;
    text_->clear();
    text_->document()->setModified(false);
    if (!path_.isEmpty() && QFile::exists(path_) && !QFile::remove(path_))
        dialogs_.Message(this, Dialogs::Icon::Exclamation, "File clear failed",
                         "Error -- failed to delete " + path_);
    UpdateFileMenu();
}

bool FileViewer::ConfirmClose()
{
    if (!text_->isReadOnly() && text_->document()->isModified()) {
        const auto answer = dialogs_.Ask(
            this, Dialogs::Icon::Question, "Confirm file save",
            "Changes have been made to this file.\nDo you want to save the changes to this file?",
            true);
        if (answer == Dialogs::Answer::Cancel)
            return false;
        if (answer == Dialogs::Answer::Yes)
            Save();
    }
    text_->document()->setModified(false);
    return true;
}

void FileViewer::reject()
{
    if (ConfirmClose())
        QDialog::reject();
}

void FileViewer::closeEvent(QCloseEvent* event)
{
    if (!ConfirmClose()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace tarvik
