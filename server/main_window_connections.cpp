// Connection handling. The three connection events run on the connection's own thread; each
// hands its work to the user-interface thread through Dispatcher and waits for it, so all
// server state, the entries and the data slots among it, is touched on that thread only and
// one connection's lines keep their order. The read-only lines of a logged-in connection are
// answered on its own thread from Answers, which each job brings up to date before it ends.
#include <QAbstractItemModel>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <algorithm>
#include <chrono>
#include <memory>

#include "common/line_protocol.h"
#include "common/text_helpers.h"
#include "platform/qt/text_edge.h"
#include "platform/widgets/animate_control.h"
#include "platform/widgets/status_panels.h"
#include "server/line_commands.h"
#include "server/main_window.h"
#include "server/simple_client.h"

namespace sonhall {
namespace {

// Open connections, logged in or not; one more is closed as it comes.
constexpr int kMaxConnections = 64;

// What a connection's own thread knows of its entry, as its last job left it.
struct Session : platform::tcp::ConnectionData {
    enum class Phase { LoggingIn, LoggedIn, Dropped };
    explicit Session(std::chrono::steady_clock::time_point by) : logInBy(by) {}
    Phase phase = Phase::LoggingIn;
    std::chrono::steady_clock::time_point logInBy;
};

Session& SessionOf(platform::tcp::Connection& connection) {
    return static_cast<Session&>(*connection.threadData);
}

Session::Phase PhaseOf(platform::tcp::Connection& connection) {
    const TSimpleClient* entry = EntryOf(connection);
    if (!entry)
        return Session::Phase::Dropped;
    return entry->Name == kLoggingIn ? Session::Phase::LoggingIn : Session::Phase::LoggedIn;
}

void ShowUsers(TaMain& main) {
    main.StatusBar1->SetText(1, "USERS/MAX: " + std::to_string(main.ListBox2->count()) + "/" +
                                    std::to_string(main.MaxUsers));
}

bool SameText(const QListWidgetItem* item, std::string_view name) {
    return kv::UpperCase(platform::fromLatin1(item->text())) == kv::UpperCase(name);
}

// The box line of a leaving entry that stood at position index of the client list: that line
// when it shows the name, else the first line that does; none when no line shows it.
int BoxLineOf(const QListWidget* box, std::ptrdiff_t index, std::string_view name) {
    if (index >= 0 && index < box->count() && SameText(box->item(static_cast<int>(index)), name))
        return static_cast<int>(index);
    for (int i = 0; i < box->count(); ++i)
        if (SameText(box->item(i), name))
            return i;
    return -1;
}

}  // namespace

// The greeting "SONHALL II" has gone out already: the listener sends it as the connection
// joins its list, so no broadcast can come before it.
void TaMain::IdTCPServer1Connect(platform::tcp::Connection& connection) {
    connection.threadData =
        std::make_unique<Session>(std::chrono::steady_clock::now() + env_.logInTimeout);
    Dispatcher.call([&] {
        auto entry = std::make_unique<TSimpleClient>(connection);
        ListBox2->addItem(platform::latin1(entry->Name));
        ClientList.push_back(entry.get());
        connection.data = std::move(entry);
        ShowUsers(*this);
        if (ListBox2->count() > 0 && !Animate3->active())
            Animate3->setActive(true);
        PublishQueryAnswers();
    });
}

// A connection that has not logged in by its deadline is closed: its read fails.
void TaMain::IdTCPServer1Execute(platform::tcp::Connection& connection) {
    Session& session = SessionOf(connection);
    const std::string line = session.phase == Session::Phase::LoggingIn
                                 ? connection.readLine(session.logInBy)
                                 : connection.readLine();
    if (session.phase == Session::Phase::Dropped)
        return;  // no reply, no effect, until the client closes the connection
    if (session.phase == Session::Phase::LoggedIn) {
        if (const QueryAnswers::Answer answer = Answers.For(line); answer.answered) {
            if (!answer.reply.empty())
                connection.writeLine(answer.reply);
            return;
        }
    }
    Dispatcher.call([&] {
        HandleLine(connection, line);
        session.phase = PhaseOf(connection);
        PublishQueryAnswers();
    });
}

// Also the drop, called on the user-interface thread from a line's handling: the entry goes,
// the connection stays open until the client closes it, and its end then finds no entry.
void TaMain::IdTCPServer1Disconnect(platform::tcp::Connection& connection) {
    Dispatcher.call([&] {
        // Taken out of the slot first: whatever happens below, it is freed once, here.
        std::unique_ptr<platform::tcp::ConnectionData> owned = std::move(connection.data);
        auto* entry = static_cast<TSimpleClient*>(owned.get());
        if (!entry)
            return;
        const auto it = std::find(ClientList.begin(), ClientList.end(), entry);
        const std::ptrdiff_t index = it == ClientList.end() ? -1 : it - ClientList.begin();
        if (it != ClientList.end())
            ClientList.erase(it);
        const std::string name = entry->Name;
        if (const int line = BoxLineOf(ListBox2, index, name); line >= 0)
            delete ListBox2->takeItem(line);
        // A connection that never logged in was never announced, so it leaves unannounced.
        if (name != kLoggingIn)
            Broadcast(kv::kSystemSender, kv::LeftText(name));
        owned.reset();
        ShowUsers(*this);
        if (ListBox2->count() == 0)
            Animate3->setActive(false);
        PublishQueryAnswers();
    });
}

void TaMain::HandleLine(platform::tcp::Connection& connection, const std::string& line) {
    TSimpleClient* client = EntryOf(connection);
    if (!client)
        return;  // dropped: no reply, no effect, until the client closes the connection
    HandleClientLine(LineContext{*this, forms_, connection, *client}, line);
}

void TaMain::Broadcast(std::string_view sender, std::string_view text) {
    // Whatever the line announces (a song's start, a join, a leave) is in the replies a client
    // gets once it has heard the line.
    PublishQueryAnswers();
    const std::string msg = kv::BroadcastLine(sender, text);
    const auto list = IdTCPServer1.lockList();
    for (platform::tcp::Connection* c : list.connections()) {
        try {
            c->writeLine(msg);
        } catch (const std::exception&) {
            // That connection ends; the others still get the line.
            c->disconnect();
        }
    }
}

void TaMain::RefreshClientList() {
    const size_t lines = static_cast<size_t>(ListBox2->count());
    for (size_t i = 0; i < lines && i < ClientList.size(); ++i)
        ListBox2->item(static_cast<int>(i))->setText(platform::latin1(ClientList[i]->Name));
}

void TaMain::BuildServerInfoReply(std::string& text) {
    text =
        kv::ServerInfoReply(TrackBar1->value(), ListBox2->count(), SongsPlayed, ListBox1->count());
}

void TaMain::ConnectionHandlingCreate() {
    IdTCPServer1.setMaxConnections(kMaxConnections);
    // Besides the jobs and the ticks, the user changes these. Inside a job, a tick or a scan
    // the replies wait for its end, or for a broadcast, so that none shows a change half done
    // (a queue already shorter, its song not yet counted).
    const auto publish = [this] {
        if (!platform::workUnderWay())
            PublishQueryAnswers();
    };
    connect(TrackBar1, &QSlider::valueChanged, &answersPublisher_, publish);
    connect(edtCurrSong, &QLineEdit::textChanged, &answersPublisher_, publish);
    for (QListWidget* box : {ListBox1, ListBox2}) {
        connect(box->model(), &QAbstractItemModel::rowsInserted, &answersPublisher_, publish);
        connect(box->model(), &QAbstractItemModel::rowsRemoved, &answersPublisher_, publish);
        connect(box->model(), &QAbstractItemModel::dataChanged, &answersPublisher_, publish);
        connect(box->model(), &QAbstractItemModel::modelReset, &answersPublisher_, publish);
    }
    PublishQueryAnswers();
}

void TaMain::PublishQueryAnswers() {
    QueryAnswers::Texts texts;
    texts.playStatus = kv::PlayStatusReply(CurrentSongId, CurrentPosition, CurrentLength,
                                           CurrentFileName, CurrentFileSize);
    BuildServerInfoReply(texts.serverInfo);
    std::vector<std::string> names;
    names.reserve(static_cast<size_t>(ListBox2->count()));
    for (int i = 0; i < ListBox2->count(); ++i)
        names.push_back(platform::fromLatin1(ListBox2->item(i)->text()));
    texts.clientList = kv::ClientListReply(names);
    texts.rescanning = IdTCPServer1Tag == 1;
    texts.rescanProgress = kv::RescanProgressReply(platform::fromLatin1(edtCurrSong->text()));
    Answers.Publish(std::move(texts));
}

}  // namespace sonhall
