#pragma once

#include "HudContext.h"

#include <initializer_list>

#include <QDialog>

class QFrame;
class QGridLayout;
class QPushButton;

namespace tarvik {

// What the HUD's two settings dialogs share: a framed panel of rows, two
// buttons at the bottom right, the HUD's colours, a place kept between runs
// and a seat above the other windows.
class HudDialog : public QDialog {
    Q_OBJECT

public:
    void done(int result) override;

protected:
    // windowName names the dialog, its stored place and its debug lines.
    HudDialog(const HudContext& context, const char* windowName, QWidget* hud);
    ~HudDialog() override;

    // A framed panel coloured as the window, for rows of settings.
    struct Panel {
        QFrame* frame;
        QGridLayout* rows;
    };
    Panel AddPanel(const char* frameName);
    // A button coloured as the controls.
    QPushButton* AddButton(const char* text, const char* name);
    // The parts one under the other, then the two buttons at the bottom
    // right; the second cancels the dialog.
    void LayOut(std::initializer_list<QWidget*> parts, QPushButton* accept, QPushButton* cancel);
    // Once the contents are in place: sized to them, at the stored place,
    // above the other windows.
    void FinishLoading();

    HudContext context_;

private:
    void Unload();

    const char* windowName_;
    bool unloaded_ = false;
};

} // namespace tarvik
