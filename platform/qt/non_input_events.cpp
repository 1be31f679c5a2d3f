#include "platform/qt/non_input_events.h"

#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace platform::qt {
namespace {

constexpr const char* kTakesInput = "takesInputDuringWork";

bool Exposed(const QWidget& widget) {
    const QWindow* window = widget.window()->windowHandle();
    return window && window->isExposed();
}

bool IsInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::InputMethod:
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TabletRelease:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::NativeGesture:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            return true;
        default:
            return false;
    }
}

// The top-level widget the event is meant for; a shortcut's or an action's is the active window.
QWidget* TopLevelOf(QObject* receiver) {
    if (auto* widget = qobject_cast<QWidget*>(receiver))
        return widget->window();
    if (auto* window = qobject_cast<QWindow*>(receiver)) {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->windowHandle() == window)
                return top;
        return nullptr;
    }
    return QApplication::activeWindow();
}

// The events long work lets in pass here first.
class InputDuringWork : public QObject {
  public:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        if (IsInput(event->type())) {
            if (!longWorkLettingEventsInHere())
                return false;  // a box the work shows takes its own input
            QWidget* top = TopLevelOf(receiver);
            if (top && top->property(kTakesInput).toBool())
                return false;
            // Taken and dropped: a widget that overrides a shortcut takes the key, which is
            // dropped in turn.
            event->accept();
            return true;
        }
        if (event->type() == QEvent::Show && outsideLongWork())
            if (auto* menu = qobject_cast<QMenu*>(receiver))
                QMetaObject::invokeMethod(menu, &QWidget::close, Qt::QueuedConnection);
        return false;
    }
};

InputDuringWork& Filter() {
    static InputDuringWork* filter = new InputDuringWork;  // lives as long as the program
    return *filter;
}

void InstallHooks() {
    static const bool installed = [] {
        WorkHooks hooks;
        hooks.loopLevel = [] { return QThread::currentThread()->loopLevel(); };
        hooks.longWorkBegan = [] {
            if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
                return;
            qApp->installEventFilter(&Filter());
            QApplication::setOverrideCursor(Qt::WaitCursor);
        };
        hooks.longWorkEnded = [] {
            if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
                return;
            QApplication::restoreOverrideCursor();
            qApp->removeEventFilter(&Filter());
        };
        hooks.post = [](std::function<void()> call) {
            if (QCoreApplication* app = QCoreApplication::instance())
                QTimer::singleShot(0, app, std::move(call));
            else
                call();
        };
        setWorkHooks(std::move(hooks));
        return true;
    }();
    (void)installed;
}

// So the deferred commands of short work are posted even before any long work ran.
const bool kHooksInstalled = (InstallHooks(), true);

void LetEventsIn(QEventLoop::ProcessEventsFlags flags) {
    if (!longWorkUnderWay()) {
        // No long work: nothing is dropped, the input waits as before.
        QCoreApplication::processEvents(flags | QEventLoop::ExcludeUserInputEvents);
        return;
    }
    const LettingEventsIn letIn;
    QCoreApplication::processEvents(flags);
}

}  // namespace

LongWork::LongWork(WorkUnderWay::Kind kind) : work_((InstallHooks(), kind)) {}

void letNonInputEventsIn() {
    LetEventsIn(QEventLoop::AllEvents);
}

void takesInputDuringWork(QWidget& window) {
    window.setProperty(kTakesInput, true);
}

void whenWorkEnds(QObject& owner, std::function<void()> command) {
    platform::whenWorkEnds([owner = QPointer<QObject>(&owner), command = std::move(command)] {
        if (owner)
            command();
    });
}

void waitUntilDrawn(QWidget& widget, int maxWaitMs) {
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.start(maxWaitMs);
    letNonInputEventsIn();
    while (widget.isVisible() && !Exposed(widget) && deadline.isActive())
        LetEventsIn(QEventLoop::WaitForMoreEvents);
    // The paint the exposure asked for.
    letNonInputEventsIn();
}

NonInputEventPacer::NonInputEventPacer(int intervalMs) : intervalMs_(intervalMs) {}

bool NonInputEventPacer::due() const {
    return !sinceLast_.isValid() || sinceLast_.elapsed() >= intervalMs_;
}

void NonInputEventPacer::letIn() {
    letNonInputEventsIn();
    sinceLast_.start();
}

bool NonInputEventPacer::letInWhenDue() {
    if (!due())
        return false;
    letIn();
    return true;
}

}  // namespace platform::qt
