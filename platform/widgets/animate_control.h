#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <string>
#include <vector>

namespace platform::widgets {

// Plays an uncompressed AVI file in a widget: while active it loops the frames at the file's
// frame rate; while inactive it shows the stop frame. Frames count from 0. The widget takes
// the frame's size and draws the frame centred. When transparent (the default), pixels of the
// colour of the first frame's top-left pixel let the parent show through.
// User-interface thread only.
class AnimateControl : public QWidget {
    Q_OBJECT
  public:
    explicit AnimateControl(QWidget* parent = nullptr);

    // Loads the file (names resolve without regard to case). A missing, unreadable or
    // malformed file raises platform::Error; the control then keeps what it had.
    void setFileName(const std::string& name);
    const std::string& fileName() const { return fileName_; }

    // Switching on starts the loop at frame 0; switching off shows the stop frame.
    void setActive(bool on);
    bool active() const { return active_; }

    // A stop frame past the last frame shows the last frame.
    void setStopFrame(int frame);
    int stopFrame() const { return stopFrame_; }

    void setTransparent(bool on);
    bool transparent() const { return transparent_; }

    int frameCount() const { return static_cast<int>(frames_.size()); }
    int currentFrame() const { return current_; }
    // Milliseconds between two frames while active (0 before a file is loaded).
    int frameInterval() const { return timer_.interval(); }

    QSize sizeHint() const override;

  signals:
    void frameChanged(int frame);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void buildImages();
    void showFrame(int frame);
    void nextFrame();
    int restingFrame() const;

    std::string fileName_;
    std::vector<std::vector<std::uint32_t>> pixels_;
    QSize frameSize_;
    std::vector<QImage> frames_;
    bool active_ = false;
    bool transparent_ = true;
    int stopFrame_ = 0;
    int current_ = 0;
    QTimer timer_;
};

}  // namespace platform::widgets
