#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QSlider;
class QTextEdit;

namespace tarvik {

// The "Debug" tab's controls; the main window runs their behaviour.
class DebugTab : public QWidget {
    Q_OBJECT

public:
    explicit DebugTab(QWidget* parent = nullptr);

    QSlider* Slider() const { return slider_; }
    QLabel* LevelLabel() const { return level_; }
    QTextEdit* Info() const { return info_; }
    QProgressBar* BufferBar() const { return buffer_; }
    QLabel* BufferLabel() const { return bufferLabel_; }
    QPushButton* ViewButton() const { return view_; }
    QPushButton* ClearButton() const { return clear_; }

private:
    QSlider* slider_;
    QLabel* level_;
    QTextEdit* info_;
    QProgressBar* buffer_;
    QLabel* bufferLabel_;
    QPushButton* view_;
    QPushButton* clear_;
};

} // namespace tarvik
