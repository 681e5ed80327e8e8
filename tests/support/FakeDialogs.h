#pragma once

#include "util/gui/Dialogs.h"

#include <QList>
#include <QQueue>

namespace tarvik::test {

// Records what the windows would show and gives queued answers, so tests
// read messages instead of clicking boxes.
class FakeDialogs final : public Dialogs {
public:
    struct Shown {
        Icon icon;
        QString title;
        QString text;
    };

    void Message(QWidget*, Icon icon, const QString& title, const QString& text) override
    {
        messages.append({icon, title, text});
    }
    Answer Ask(QWidget*, Icon icon, const QString& title, const QString& text, bool) override
    {
        questions.append({icon, title, text});
        return answers.isEmpty() ? Answer::No : answers.dequeue();
    }
    QStringList OpenFiles(QWidget*, const QString&, const QString&, const QString&) override
    {
        return openFiles;
    }
    QString SaveFile(QWidget*, const QString&, const QString&, const QString&) override
    {
        return savePath;
    }
    QColor PickColor(QWidget*, const QColor& initial) override
    {
        pickedFrom << initial;
        return colors.isEmpty() ? initial : colors.takeFirst();
    }

    QList<Shown> messages;
    QList<Shown> questions;
    QQueue<Answer> answers;
    QStringList openFiles;
    QString savePath;
    QList<QColor> colors;     // answers of the colour picker, in turn
    QList<QColor> pickedFrom; // the colours it started from
};

} // namespace tarvik::test
