#include "platform/widgets/animate_control.h"

#include <QPainter>
#include <algorithm>

#include "platform/widgets/avi_reader.h"

namespace platform::widgets {

AnimateControl::AnimateControl(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(&timer_, &QTimer::timeout, this, &AnimateControl::nextFrame);
}

void AnimateControl::setFileName(const std::string& name) {
    avi::Animation animation = avi::readAviFile(name);  // raises before anything changes
    fileName_ = name;
    pixels_ = std::move(animation.frames);
    frameSize_ = QSize(animation.width, animation.height);
    // Round to whole milliseconds; never 0, which would spin.
    const auto ms = (animation.microsecondsPerFrame + 500) / 1000;
    timer_.setInterval(static_cast<int>(std::clamp<std::int64_t>(ms, 1, 60'000)));
    buildImages();
    resize(frameSize_);
    updateGeometry();
    if (active_) {
        showFrame(0);
        timer_.start();
    } else {
        showFrame(restingFrame());
    }
}

void AnimateControl::setActive(bool on) {
    if (on == active_)
        return;
    active_ = on;
    if (on) {
        showFrame(0);
        if (!frames_.empty())
            timer_.start();
    } else {
        timer_.stop();
        showFrame(restingFrame());
    }
}

void AnimateControl::setStopFrame(int frame) {
    stopFrame_ = std::max(frame, 0);
    if (!active_)
        showFrame(restingFrame());
}

void AnimateControl::setTransparent(bool on) {
    if (on == transparent_)
        return;
    transparent_ = on;
    buildImages();
    update();
}

QSize AnimateControl::sizeHint() const {
    return frameSize_.isEmpty() ? QSize(16, 16) : frameSize_;
}

void AnimateControl::paintEvent(QPaintEvent*) {
    if (current_ < 0 || current_ >= frameCount())
        return;
    const QImage& image = frames_[static_cast<size_t>(current_)];
    QPainter painter(this);
    painter.drawImage((width() - image.width()) / 2, (height() - image.height()) / 2, image);
}

void AnimateControl::buildImages() {
    frames_.clear();
    if (pixels_.empty())
        return;
    const std::uint32_t key = pixels_.front().front();
    const int w = frameSize_.width();
    const int h = frameSize_.height();
    for (const auto& pixels : pixels_) {
        QImage image(w, h, transparent_ ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        for (int y = 0; y < h; ++y) {
            auto* line = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
            const std::uint32_t* source = pixels.data() + static_cast<size_t>(y) * w;
            for (int x = 0; x < w; ++x)
                line[x] = transparent_ && source[x] == key ? 0u : source[x];
        }
        frames_.push_back(std::move(image));
    }
}

int AnimateControl::restingFrame() const {
    return frames_.empty() ? 0 : std::min(stopFrame_, frameCount() - 1);
}

void AnimateControl::showFrame(int frame) {
    const bool changed = frame != current_;
    current_ = frame;
    update();
    if (changed)
        emit frameChanged(frame);
}

void AnimateControl::nextFrame() {
    if (frames_.empty())
        return;
    showFrame((current_ + 1) % frameCount());
}

}  // namespace platform::widgets
