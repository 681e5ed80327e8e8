#pragma once

#include <QString>

namespace tarvik {

// What the update check needs of the main window. Tests put in a fake.
class UpdateHost {
public:
    virtual ~UpdateHost() = default;

    // The status bar's "Message" panel.
    virtual void SetStatusMessage(const QString& text) = 0;
    // The error list holds the transfer log while a file is fetched.
    virtual void ClearErrorList() = 0;
    // Appends the line and scrolls the list so that it is the top visible line.
    virtual void AddErrorLine(const QString& line) = 0;
    // True when the error list holds nothing, in particular no problems of
    // an analysis that an automatic check must leave alone.
    virtual bool ErrorListEmpty() const = 0;
    // Disables the main window (or ends one such request: the window is
    // enabled once every request has ended); pending events are processed so
    // that the change shows.
    virtual void SetBusy(bool busy) = 0;
    // Brings the error list, which shows the transfer, to the front.
    virtual void ShowErrors() = 0;
    // Brings the program's information to the front, after a check asked for.
    virtual void ShowInfo() = 0;
    // Tells, on the window itself rather than in a box, that there are no
    // automatic checks.
    virtual void NoteAutomaticChecksOff(const QString& text) = 0;
    // Message boxes with OK.
    virtual void ShowInformation(const QString& text) = 0;
    virtual void ShowExclamation(const QString& text) = 0;
    // A Yes/No question; true for Yes.
    virtual bool AskYesNo(const QString& text) = 0;
    // The setup program runs: close the main window and end the program.
    virtual void QuitNow() = 0;
};

} // namespace tarvik
