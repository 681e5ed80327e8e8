#include "Dialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace tarvik {

namespace {

QMessageBox::Icon ToQt(Dialogs::Icon icon)
{
    switch (icon) {
    case Dialogs::Icon::Information:
        return QMessageBox::Information;
    case Dialogs::Icon::Exclamation:
        return QMessageBox::Warning;
    case Dialogs::Icon::Critical:
        return QMessageBox::Critical;
    case Dialogs::Icon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void QtDialogs::Message(QWidget* parent, Icon icon, const QString& title, const QString& text)
{
    QMessageBox box(ToQt(icon), title, text, QMessageBox::Ok, parent);
    box.exec();
}

Dialogs::Answer QtDialogs::Ask(QWidget* parent, Icon icon, const QString& title,
                               const QString& text, bool cancel)
{
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (cancel)
        buttons |= QMessageBox::Cancel;
    QMessageBox box(ToQt(icon), title, text, buttons, parent);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return cancel ? Answer::Cancel : Answer::No;
    }
}

QStringList QtDialogs::OpenFiles(QWidget* parent, const QString& title, const QString& folder,
                                 const QString& filter)
{
    return QFileDialog::getOpenFileNames(parent, title, folder, filter);
}

QString QtDialogs::SaveFile(QWidget* parent, const QString& title, const QString& folder,
                            const QString& filter)
{
    // The caller asked for no overwrite prompt: a saved list replaces the file.
    return QFileDialog::getSaveFileName(parent, title, folder, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QColor QtDialogs::PickColor(QWidget* parent, const QColor& initial)
{
    const QColor chosen = QColorDialog::getColor(initial, parent);
    return chosen.isValid() ? chosen : initial;
}

} // namespace tarvik
