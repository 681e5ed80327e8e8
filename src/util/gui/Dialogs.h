#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

class QWidget;

namespace tarvik {

// Every message box and common dialog the windows show goes through this,
// so that tests can read the messages and give the answers.
class Dialogs {
public:
    enum class Icon { Information, Exclamation, Critical, Question };
    enum class Answer { Ok, Yes, No, Cancel };

    virtual ~Dialogs() = default;
    virtual void Message(QWidget* parent, Icon icon, const QString& title, const QString& text) = 0;
    // Yes/No, or Yes/No/Cancel when cancel is set.
    virtual Answer Ask(QWidget* parent, Icon icon, const QString& title, const QString& text,
                       bool cancel = false) = 0;
    // Empty when cancelled.
    virtual QStringList OpenFiles(QWidget* parent, const QString& title, const QString& folder,
                                  const QString& filter) = 0;
    virtual QString SaveFile(QWidget* parent, const QString& title, const QString& folder,
                             const QString& filter) = 0;
    // The initial colour when cancelled.
    virtual QColor PickColor(QWidget* parent, const QColor& initial) = 0;
};

// The real dialogs.
class QtDialogs final : public Dialogs {
public:
    void Message(QWidget* parent, Icon icon, const QString& title, const QString& text) override;
    Answer Ask(QWidget* parent, Icon icon, const QString& title, const QString& text,
               bool cancel) override;
    QStringList OpenFiles(QWidget* parent, const QString& title, const QString& folder,
                          const QString& filter) override;
    QString SaveFile(QWidget* parent, const QString& title, const QString& folder,
                     const QString& filter) override;
    QColor PickColor(QWidget* parent, const QColor& initial) override;
};

} // namespace tarvik
