// The main window's conveniences: the two window sizes and keeping the window on the screen,
// the scrolling title, the search panel over the library, the switch between the display and
// the song queue screens, the shortcuts, help, and the song selection window.
#include <QAction>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

#include "client/main_window.h"
#include "client/song_sel_window.h"
#include "common/text_helpers.h"
#include "platform/event_guard.h"
#include "platform/qt/text_edge.h"
#include "platform/qt/tick_timer.h"
#include "platform/widgets/frame_placement.h"
#include "platform/widgets/help_window.h"
#include "platform/widgets/status_panels.h"

namespace sonpad {
namespace {

constexpr int kMinWidth = 640;
constexpr int kMinHeight = 371;
constexpr int kBottomMargin = 30;  // kept free at the screen's bottom (the task bar)
constexpr int kSlideStep = 25;
constexpr int kSearchMargin = 20;
constexpr int kTitleStep = 2;

// Help topics of the help file.
constexpr int kTopicSmallDisplay = 1;
constexpr int kTopicHelpEntry = 3;
constexpr int kTopicLargeDisplay = 5;
constexpr int kTopicContextMenu = 6;
constexpr int kTopicQueueScreen = 7;

// The library's folder and file name columns hold file names, the others tag texts.
std::string CellBytes(const QString& text, int column) {
    return column >= 7 ? platform::fromFileName(text) : platform::fromLatin1(text);
}

// A window's frame on the screen, wide enough for any position a configuration may hold.
struct Box {
    std::int64_t left, top, width, height;
};

// Keeps a frame on a screen of the given size; a size it sets is never negative.
Box KeptOnScreen(Box b, std::int64_t screenWidth, std::int64_t screenHeight) {
    if (b.left + b.width >= screenWidth)
        b.left = screenWidth - b.width;
    if (b.top + b.height >= screenHeight)
        b.top = screenHeight - b.height - kBottomMargin;
    if (b.left < 0) {
        b.left = 0;
        b.width = std::max<std::int64_t>(0, screenWidth);
    }
    if (b.top < 0) {
        b.top = 0;
        b.height = std::max<std::int64_t>(0, screenHeight - kBottomMargin);
    }
    return b;
}

int ToInt(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

// The text a typed character starts the search with.
QString StartText(QChar key) {
    const char16_t c = key.unicode();
    if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'))
        return QChar(c).toUpper();
    if ((c >= u'0' && c <= u'9') || c == u' ')
        return key;
    return {};
}

// A typed character as the list would take it: text, without Ctrl, Alt or Meta, so that the
// list's own keys and the window's shortcuts still reach them.
bool IsTypedCharacter(const QKeyEvent& key) {
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = key.text();
    return text.size() == 1 && text.front().isPrint();
}

// Hands the main window the events of its controls that its conveniences answer. The main
// window's own filter belongs to the queue; this one is a child of the window.
class ConvenienceEvents : public QObject {
  public:
    explicit ConvenienceEvents(TaMain& main)
        : QObject(&main),
          main_(main),
          list_(main.ListView2),
          edit_(main.edKeylook),
          titlePanel_(main.Panel11),
          menu_(main.PopupMenu1) {
        for (QObject* watched : {static_cast<QObject*>(&main_), list_, edit_, titlePanel_, menu_,
                                 static_cast<QObject*>(main.pnlClientScreen),
                                 static_cast<QObject*>(main.GroupSongQue)})
            watched->installEventFilter(this);
    }

  protected:
    // Only the events named here touch the window: others come while it is destroyed too.
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::Resize:
                if (watched == &main_) {
                    platform::guarded([this] {
                        main_.FormCanResize();
                        main_.FormResize();
                    });
                } else if (watched == titlePanel_) {
                    platform::guarded([this] { fitTitle(); });
                } else if (watched == main_.pnlClientScreen || watched == main_.GroupSongQue) {
                    // The window's resize comes before its layout has sized the screens, the
                    // first one before the window's first layout at all.
                    platform::guarded([this] { main_.FormCanResize(); });
                }
                return false;
            case QEvent::LayoutRequest:
                if (watched == titlePanel_)
                    platform::guarded([this] { fitTitle(); });
                return false;
            case QEvent::KeyPress:
                return keyPress(watched, static_cast<const QKeyEvent&>(*event));
            default:
                return false;
        }
    }

  private:
    bool keyPress(QObject* watched, const QKeyEvent& key) {
        if (watched == list_ && IsTypedCharacter(key)) {
            const QChar typed = key.text().front();
            platform::guarded([this, typed] { main_.ListView2KeyPress(typed); });
            return true;
        }
        if (watched == edit_) {
            const int code = key.key();
            platform::guarded([this, code] { main_.edKeylookKeyDown(code); });
            return code == Qt::Key_Return || code == Qt::Key_Enter || code == Qt::Key_Escape;
        }
        if (watched == menu_ && key.key() == Qt::Key_F1) {
            // The highlighted entry's topic, else the menu's.
            const int topic = main_.PopupMenu1->activeAction() == main_.Help1 ? kTopicHelpEntry
                                                                              : kTopicContextMenu;
            main_.PopupMenu1->close();
            platform::guarded(
                [this, topic] { platform::widgets::showHelp(&main_, main_.HelpFile, topic); });
            return true;
        }
        return false;
    }

    // The title is as wide as its text and lies on the panel's first row, which the panel's
    // layout keeps free for it.
    void fitTitle() {
        QLabel& title = *main_.Label7;
        const auto* grid = qobject_cast<QGridLayout*>(main_.Panel11->layout());
        const QRect row = grid ? grid->cellRect(0, 0) : QRect();
        title.setGeometry(title.x(), row.isValid() ? row.top() : title.y(),
                          std::max(1, title.sizeHint().width()),
                          row.isValid() ? row.height() : title.sizeHint().height());
    }

    TaMain& main_;
    QObject* list_;
    QObject* edit_;
    QObject* titlePanel_;
    QObject* menu_;
};

}  // namespace

void TaMain::ConnectConvenienceEvents() {
    On(SpeedButton1, &QToolButton::clicked, &TaMain::SpeedButton1Click);
    On(SpeedButton6, &QToolButton::clicked, &TaMain::SpeedButton6Click);
    On(btnSongQue, &QToolButton::clicked, &TaMain::btnSongQueClick);
    On(btnSongSel, &QToolButton::clicked, &TaMain::btnSongSelClick);
    On(ToggleScreens1, &QAction::triggered, &TaMain::oggleScreens1Click);
    On(MusicSelection1, &QAction::triggered, &TaMain::MusicSelection1Click);
    On(Help1, &QAction::triggered, &TaMain::Help1Click);
    platform::widgets::AddHelpKey(
        this, [this] { return HelpFile; }, [this] { return HelpContext; });
    Timer2->OnTimer = [this] { platform::guarded([this] { Timer2Timer(); }); };
    Timer3->OnTimer = [this] { platform::guarded([this] { Timer3Timer(); }); };
    new ConvenienceEvents(*this);
}

bool TaMain::AtMinimumSize() const {
    return width() == kMinWidth && height() == kMinHeight;
}

void TaMain::FormCanResize() {
    StatusBar1->SetWidth(0, 150);
    // The screen shown has the width both screens get; the hidden one keeps an old one.
    const QWidget* screen =
        QueueScreenShown ? static_cast<QWidget*>(GroupSongQue) : pnlClientScreen;
    StatusBar1->SetWidth(1, std::max(0, screen->width() - 300));
}

void TaMain::FormResize() {
    if (width() > kMinWidth)
        MaxWidth = width();
    if (height() > kMinHeight)
        MaxHeight = height();
    const bool small = AtMinimumSize();
    SpeedButton6->setVisible(small);
    SpeedButton1->setChecked(!small);
    HelpContext = QueueScreenShown ? kTopicQueueScreen
                  : small          ? kTopicSmallDisplay
                                   : kTopicLargeDisplay;
    KeepOnScreen();
    if (GroupBox3->isVisible())
        ShowQueueControlButtons();
    // The pie keeps its place at the panel's right through the panel's layout.
    if (pnlSearch->isVisible())
        pnlSearch->move(ListView2->width() - pnlSearch->width() - kSearchMargin,
                        ListView2->height() - pnlSearch->height() - kSearchMargin);
}

void TaMain::KeepOnScreen() {
    if (!env_.screenSize)
        return;
    const QSize screen = env_.screenSize();
    // The frame counts: the whole window stays on the screen. A size set here comes back
    // through the resize handling, which then finds nothing left to correct.
    const QRect frame = frameGeometry();
    const QSize frameExtra = frame.size() - size();
    const Box kept = KeptOnScreen({frame.left(), frame.top(), frame.width(), frame.height()},
                                  screen.width(), screen.height());
    if (kept.left != frame.left() || kept.top != frame.top())
        move(ToInt(kept.left), ToInt(kept.top));
    if (kept.width != frame.width() || kept.height != frame.height())
        resize(ToInt(std::max<std::int64_t>(0, kept.width - frameExtra.width())),
               ToInt(std::max<std::int64_t>(0, kept.height - frameExtra.height())));
}

int TaMain::WindowLeft() const {
    return frameGeometry().x();
}

int TaMain::WindowTop() const {
    return frameGeometry().y();
}

void TaMain::PlaceWindow(std::int64_t left, std::int64_t top) {
    const QSize inner = size();
    const std::optional<QSize> screen =
        env_.screenSize ? std::optional(env_.screenSize()) : std::nullopt;
    // The frame counts, title bar included; before the first show its size is only estimated,
    // and the window is kept on the screen again once it has its own.
    platform::widgets::PlaceFrame(
        *this,
        [inner, screen, left, top](QSize frameExtra) {
            Box box{left, top, std::int64_t{inner.width()} + frameExtra.width(),
                    std::int64_t{inner.height()} + frameExtra.height()};
            if (screen)
                box = KeptOnScreen(box, screen->width(), screen->height());
            // Without a screen to keep it on, still a rectangle the window system can hold.
            constexpr std::int64_t kFar = std::int64_t{1} << 24;
            return QRect(ToInt(std::clamp(box.left, -kFar, kFar)),
                         ToInt(std::clamp(box.top, -kFar, kFar)),
                         ToInt(std::clamp<std::int64_t>(box.width, 0, kFar)),
                         ToInt(std::clamp<std::int64_t>(box.height, 0, kFar)));
        },
        nullptr);
}

void TaMain::ShowQueueControlButtons() {
    const int h = GroupBox3->height();
    btnClearQue->setVisible(h > 235);
    btnClearTag->setVisible(h > 205);
    btnCopyToselection->setVisible(h > 177);
}

void TaMain::SpeedButton1Click() {
    if (AtMinimumSize()) {
        resize(MaxWidth, MaxHeight);
        SetHint(SpeedButton1, "Restore to Default Size");
    } else {
        resize(kMinWidth, kMinHeight);
        SetHint(SpeedButton1, "Enlarge Window");
    }
    // The click toggled the button; a size that did not change sends no resize to set it back.
    SpeedButton1->setChecked(!AtMinimumSize());
}

void TaMain::SpeedButton6Click() {
    SpeedButton1Click();
}

void TaMain::Timer2Timer() {
    Timer2->SetEnabled(false);
    ScrollTitle();
    Timer2->SetEnabled(true);
}

void TaMain::ScrollTitle() {
    Label7->move(Label7->x() - kTitleStep, Label7->y());
    // Once it has left the panel completely it comes in again from the right edge.
    if (Label7->x() + Label7->width() < 0)
        Label7->move(Panel11->width() + 1, Label7->y());
}

void TaMain::ListView2KeyPress(QChar key) {
    const QTreeWidgetItem* header = ListView2->headerItem();
    Label26->setText("Column: " + (SortColumn >= 0 && SortColumn < header->columnCount()
                                       ? header->text(SortColumn)
                                       : QString()));
    const QString start = StartText(key);
    // It comes in from just outside the list's right edge.
    pnlSearch->move(ListView2->width() + 1,
                    ListView2->height() - pnlSearch->height() - kSearchMargin);
    pnlSearch->show();
    pnlSearch->raise();
    Timer3->Tag = 1;  // the panel is out
    Timer3->SetEnabled(true);
    edKeylook->clear();
    edKeylook->setFocus();
    edKeylook->insert(start);
}

void TaMain::Timer3Timer() {
    Timer3->SetEnabled(false);
    const int listWidth = ListView2->width();
    const int top = pnlSearch->y();
    if (!SearchPanelIn) {
        const int in = listWidth - pnlSearch->width() - kSearchMargin;
        const int left = pnlSearch->x() - kSlideStep;
        if (left <= in) {
            pnlSearch->move(in, top);
            SearchPanelIn = true;
            return;
        }
        pnlSearch->move(left, top);
    } else {
        const int left = pnlSearch->x() + kSlideStep;
        if (left > listWidth + 1) {
            pnlSearch->move(listWidth + 1, top);
            SearchPanelIn = false;
            pnlSearch->hide();
            Timer3->Tag = 0;
            ListView2->setFocus();
            return;
        }
        pnlSearch->move(left, top);
    }
    Timer3->SetEnabled(true);
}

void TaMain::edKeylookKeyDown(int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        SearchLibrary();
        // Sends the panel out, but only once it is in: while it still comes in, it stays.
        Timer3->SetEnabled(true);
    } else if (key == Qt::Key_Escape) {
        Timer3->SetEnabled(true);
    }
}

void TaMain::SearchLibrary() {
    const int column = SortColumn;
    const std::string key = kv::UpperCase(kv::Trim(CellBytes(edKeylook->text(), column)));
    // One repaint for the whole search, however it ends.
    struct Batch {
        QWidget* list;
        ~Batch() { list->setUpdatesEnabled(true); }
    } batch{ListView2};
    ListView2->setUpdatesEnabled(false);
    for (int i = 0; i < ListView2->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = ListView2->topLevelItem(i);
        std::string cell = kv::UpperCase(kv::Trim(CellBytes(row->text(column), column)));
        if (cell.size() > key.size())
            cell.resize(key.size());
        if (cell != key)
            continue;
        ListView2->clearSelection();
        ListView2->setCurrentItem(row);
        row->setSelected(true);
        // A row partly in view is seen well enough.
        if (!ListView2->visualItemRect(row).intersects(ListView2->viewport()->rect()))
            ListView2->scrollToItem(row);
        ListView2->setFocus();
        return;
    }
}

void TaMain::btnSongQueClick() {
    if (!QueueScreenShown) {
        GroupSongQue->show();
        pnlClientScreen->hide();
        QueueScreenShown = true;
        SetHint(btnSongQue, "Client Display Screen");
    } else {
        GroupSongQue->hide();
        pnlClientScreen->show();
        QueueScreenShown = false;
        SetHint(btnSongQue, "Show Song Que Information");
    }
    // The screen now shown gets its size before the resize handling reads it.
    centralWidget()->layout()->activate();
    FormResize();
}

void TaMain::oggleScreens1Click() {
    btnSongQueClick();
}

void TaMain::btnSongSelClick() {
    TaSongSel& songSel = *forms_.aSongSel;
    // Modal, without a loop of its own: the main window goes on with its timers and events, as
    // under any modal window, and nothing waits inside this handler for the window to close.
    if (!songSel.isVisible()) {
        songSel.CentreOnScreen();
        songSel.setWindowModality(Qt::ApplicationModal);
    }
    songSel.show();
    songSel.raise();
    songSel.activateWindow();
}

void TaMain::MusicSelection1Click() {
    btnSongSelClick();
}

void TaMain::Help1Click() {
    platform::widgets::showHelp(this, HelpFile, kTopicHelpEntry);
}

}  // namespace sonpad
