#pragma once

#include <QDialog>
#include <QString>

class QAction;
class QMenu;
class QTextEdit;

namespace tarvik {

class Dialogs;

// The one viewer for every text the program shows in a window of its own:
// the error list, the debug log, the help and the version history.
class FileViewer : public QDialog {
    Q_OBJECT

public:
    struct Options {
        bool readOnly = false;
        bool showSave = false;
        bool showClear = false;
        bool wordWrap = false;
        bool showFormat = true;
    };

    FileViewer(Dialogs& dialogs, QWidget* owner);

    // Shows the file named by pathOrText, or the text itself when no such
    // file exists. With modal set (the usual case) it returns once the user
    // has closed the viewer.
    bool OpenFile(const QString& pathOrText, const Options& options, bool modal = true);

    QString Text() const;
    bool IsReadOnly() const;
    bool SaveVisible() const;
    bool ClearVisible() const;
    bool WordWrap() const;
    QTextEdit* Editor() const { return text_; }

    // The File menu's commands, also for tests.
    void Save();
    void Clear();

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Asks about unsaved changes; false when the user keeps the viewer open.
    bool ConfirmClose();
    void SetWordWrap(bool wrap);
    void UpdateFileMenu();

    Dialogs& dialogs_;
    QTextEdit* text_;
    QMenu* fileMenu_;
    QMenu* formatMenu_;
    QAction* save_;
    QAction* clear_;
    QAction* separator_;
    QAction* exit_;
    QAction* wordWrap_;
    QString path_;
};

} // namespace tarvik
