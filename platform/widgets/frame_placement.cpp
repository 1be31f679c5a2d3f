#include "platform/widgets/frame_placement.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>
#include <utility>

namespace platform::widgets {
namespace {

constexpr char kPlacementWhenFramed[] = "sonhPlacementWhenFramed";

QSize OwnExtra(const QWidget& window) {
    return window.frameGeometry().size() - window.size();
}

// Until the window system has framed a window once, its frame is its inner area.
bool Framed(const QWidget& window) {
    return OwnExtra(window) != QSize(0, 0);
}

void Place(QWidget& window, const QRect& frame, QSize extra) {
    const QSize inner = (frame.size() - extra).expandedTo(QSize(0, 0));
    if (inner != window.size())
        window.resize(inner);
    // Before the first show a move places the frame. Once the window is framed, a move puts the
    // frame there as well; in between (shown, not yet framed) only the window itself can say
    // that the place is the frame's.
    QWindow* handle = window.windowHandle();
    if (window.testAttribute(Qt::WA_WState_Created) && handle && !Framed(window))
        handle->setFramePosition(frame.topLeft());
    else
        window.move(frame.topLeft());
}

// The rule of a window placed on an estimate, applied again once the window is framed.
class PlacementWhenFramed : public QObject {
  public:
    explicit PlacementWhenFramed(QWidget& window) : QObject(&window), window_(window) {
        setObjectName(kPlacementWhenFramed);
        window.installEventFilter(this);
    }
    static PlacementWhenFramed* Of(QWidget& window) {
        return dynamic_cast<PlacementWhenFramed*>(
            window.findChild<QObject*>(kPlacementWhenFramed, Qt::FindDirectChildrenOnly));
    }
    void Arm(FrameRule rule) { rule_ = std::move(rule); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::Show:
                if (watched == &window_ && rule_ && Framed(window_)) {
                    const FrameRule rule = std::exchange(rule_, nullptr);
                    const QSize extra = OwnExtra(window_);
                    Place(window_, rule(extra), extra);
                }
                return false;
            default:
                return false;
        }
    }

  private:
    QWidget& window_;
    FrameRule rule_;
};

}  // namespace

QSize FrameExtra(const QWidget& window, const QWidget* shown) {
    if (Framed(window))
        return OwnExtra(window);
    if (shown && Framed(*shown))
        return OwnExtra(*shown);
    return {0, 0};
}

void PlaceFrame(QWidget& window, const FrameRule& rule, const QWidget* shown) {
    const bool framed = Framed(window);
    const QSize extra = FrameExtra(window, shown);
    Place(window, rule(extra), extra);
    PlacementWhenFramed* later = PlacementWhenFramed::Of(window);
    if (framed) {
        if (later)
            later->Arm(nullptr);  // an older estimate must not undo this place
        return;
    }
    if (!later)
        later = new PlacementWhenFramed(window);
    later->Arm(rule);
}

}  // namespace platform::widgets
