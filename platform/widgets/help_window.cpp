#include "platform/widgets/help_window.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBlock>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/errors.h"
#include "platform/event_guard.h"
#include "platform/files.h"

namespace platform::widgets {
namespace {

QPointer<HelpWindow>& theWindow() {
    static QPointer<HelpWindow> window;
    return window;
}

QString anchorOf(int context) {
    return QStringLiteral("topic-%1").arg(context);
}

bool hasAnchor(const QTextDocument& document, const QString& anchor) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().anchorNames().contains(anchor))
                return true;
        }
    }
    return false;
}

// A modal window blocks every window but its own: help asked for while one is up becomes that
// window's own, so that it can be scrolled and used; later it goes back to its owner.
QWidget* hostFor(QWidget* owner) {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return owner;
}

void moveTo(HelpWindow& window, QWidget* host) {
    if (window.parentWidget() == host)
        return;
    const QRect geometry = window.geometry();
    window.setParent(host, window.windowFlags());
    window.setGeometry(geometry);
}

// A new window is put over the window it belongs to, whole on that window's screen with room
// for its frame: a window manager left to itself may put it partly below the screen.
void placeOnScreen(HelpWindow& window, const QWidget* host) {
    const QScreen* screen = host ? host->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    constexpr int kBorder = 8, kTitleBar = 32;
    const QRect room = screen->availableGeometry().adjusted(kBorder, kTitleBar, -kBorder, -kBorder);
    QRect placed(QPoint(), window.size().boundedTo(room.size()));
    placed.moveCenter(host && host->isVisible() ? host->frameGeometry().center() : room.center());
    placed.moveLeft(
        std::clamp(placed.left(), room.left(), room.left() + room.width() - placed.width()));
    placed.moveTop(
        std::clamp(placed.top(), room.top(), room.top() + room.height() - placed.height()));
    window.setGeometry(placed);
}

}  // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    browser_ = new QTextBrowser(this);
    browser_->setOpenExternalLinks(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(560, 480);
}

void HelpWindow::showTopic(const std::string& helpFile, int context) {
    const std::string resolved = files::resolve(files::Name(helpFile));
    const files::Name onDisk = files::Name::exact(resolved);
    if (resolved != fileName_ || !files::fileExists(onDisk)) {
        const std::string notFound = "Help file not found. (" + helpFile + ")";
        if (!files::fileExists(onDisk))
            throw Error(notFound);
        std::string html;
        try {
            html = files::readWholeFile(onDisk);
        } catch (const IoError&) {
            throw Error(notFound);
        }
        browser_->setHtml(QString::fromUtf8(html.data(), static_cast<qsizetype>(html.size())));
        fileName_ = resolved;
        const QString title = browser_->documentTitle();
        setWindowTitle(title.isEmpty() ? QStringLiteral("Help") : title);
    }
    show();
    raise();
    activateWindow();
    // Scrolling needs a visible, laid-out browser, hence after show().
    const QString anchor = anchorOf(context);
    if (hasAnchor(*browser_->document(), anchor)) {
        browser_->scrollToAnchor(anchor);
    } else {
        browser_->verticalScrollBar()->setValue(0);
    }
}

void showHelp(QWidget* owner, const std::string& helpFile, int context) {
    QPointer<HelpWindow>& window = theWindow();
    if (window) {
        moveTo(*window, hostFor(owner));
        window->showTopic(helpFile, context);
        return;
    }
    auto* created = new HelpWindow(hostFor(owner));
    placeOnScreen(*created, hostFor(owner));
    try {
        created->showTopic(helpFile, context);
    } catch (...) {
        delete created;
        throw;
    }
    if (!created->parentWidget())
        created->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, created, &QObject::deleteLater);
    window = created;
}

HelpWindow* currentHelpWindow() {
    return theWindow();
}

void AddHelpKey(QWidget* window, std::function<std::string()> helpFile,
                std::function<int()> context) {
    auto* help = new QShortcut(QKeySequence::HelpContents, window);
    QObject::connect(help, &QShortcut::activated, window,
                     [window, helpFile = std::move(helpFile), context = std::move(context)] {
                         platform::guarded([&] { showHelp(window, helpFile(), context()); });
                     });
}

}  // namespace platform::widgets
