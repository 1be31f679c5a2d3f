// The line protocol: the log-in line, the "#" commands (one table from code to handler), the
// "@" query and chat.
#include "server/line_commands.h"

#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <array>
#include <string>
#include <vector>

#include "common/conversion.h"
#include "common/line_protocol.h"
#include "common/song_record.h"
#include "common/text_helpers.h"
#include "platform/qt/text_edge.h"
#include "platform/qt/tick_timer.h"
#include "platform/widgets/spin_edit.h"
#include "platform/work_under_way.h"
#include "server/data_module.h"
#include "server/main_window.h"
#include "server/setup_window.h"
#include "server/simple_client.h"

namespace sonhall {
namespace {

void Send(const LineContext& ctx, std::string_view line) {
    ctx.connection.writeLine(line);
}

void Drop(const LineContext& ctx) {
    ctx.main.IdTCPServer1Disconnect(ctx.connection);
}

std::string Progress(const TaMain& main) {
    return kv::Trim(platform::fromLatin1(main.edtCurrSong->text()));
}

void Ply(const LineContext& ctx, std::string_view) {
    const TaMain& m = ctx.main;
    Send(ctx, kv::PlayStatusReply(m.CurrentSongId, m.CurrentPosition, m.CurrentLength,
                                  m.CurrentFileName, m.CurrentFileSize));
}

void Cis(const LineContext& ctx, std::string_view arg) {
    const std::int32_t queued = ctx.forms.aDm->CountQueuedForClient(kv::UpperCase(arg));
    Send(ctx, kv::QueueRoomReply(queued < ctx.forms.aSetup->SpinEdit1->Value()));
}

void Log(const LineContext& ctx, std::string_view arg) {
    if (kv::UpperCase(arg) == "OFF")
        Drop(ctx);
}

void Com(const LineContext& ctx, std::string_view arg) {
    if (arg != "NEXT")
        return;
    ctx.main.SkipRequested = true;
    Send(ctx, kv::kSkipDone);
}

void Vol(const LineContext& ctx, std::string_view arg) {
    // The track bar clamps to its range; a change sets the wave-out volume.
    ctx.main.TrackBar1->setValue(kv::StrToInt(arg));
}

void Ini(const LineContext& ctx, std::string_view) {
    std::string reply;
    ctx.main.BuildServerInfoReply(reply);
    Send(ctx, reply);
}

void Fil(const LineContext& ctx, std::string_view arg) {
    // The limit "#CIS" asks about holds for a client that does not ask, too.
    TaDm& dm = *ctx.forms.aDm;
    const bool room = dm.CountQueuedForClient(TaDm::QueueClientOf(ctx.client.Name)) <
                      ctx.forms.aSetup->SpinEdit1->Value();
    const bool queued = room && dm.QueueSong(arg, ctx.client.Name);
    Send(ctx, kv::QueueReply(queued, arg));
}

void Sif(const LineContext& ctx, std::string_view arg) {
    const kv::SongInfoRequest request = kv::ParseSongInfoRequest(arg);
    const std::int32_t i = ctx.forms.aDm->FindLibraryIndex(request.fileName);
    if (i < 0)
        return;
    Send(ctx, kv::SongInfoReply(request.index, ctx.main.SongLibrary[static_cast<size_t>(i)]));
    ctx.forms.aDm->ShowStatus("#SIF acknowledged.");
}

// Marks the protocol rescan and stops the player tick; however the rescan ends, the mark goes
// and the tick is back as it was.
class RescanMark {
  public:
    explicit RescanMark(TaMain& main) : main_(main), timerWasOn_(main.Timer1->Enabled()) {
        main_.Timer1->SetEnabled(false);
        main_.IdTCPServer1Tag = 1;
        main_.PublishQueryAnswers();
    }
    ~RescanMark() {
        main_.edtCurrSong->clear();
        main_.IdTCPServer1Tag = 0;
        main_.PublishQueryAnswers();
        main_.Timer1->SetEnabled(timerWasOn_);
    }
    RescanMark(const RescanMark&) = delete;
    RescanMark& operator=(const RescanMark&) = delete;

  private:
    TaMain& main_;
    bool timerWasOn_;
};

// The scan runs here on the user-interface thread while this connection waits; it lets the
// other connections' lines in, which the mark answers with its progress.
void Scn(const LineContext& ctx, std::string_view) {
    TaSetup& setup = *ctx.forms.aSetup;
    // A scan the server started itself may be letting this line in.
    if (ctx.main.ActivePlayer > 0 || platform::scanUnderWay()) {
        Send(ctx, kv::kRescanRefused);
        return;
    }
    RescanMark mark(ctx.main);
    Send(ctx, kv::kRescanStarted);
    setup.ReadSongs();
    Send(ctx, kv::RescanDoneReply(Progress(ctx.main)));
}

struct Command {
    std::string_view code;
    void (*run)(const LineContext&, std::string_view arg);
};

constexpr std::array kCommands = {
    Command{"PLY", Ply}, Command{"CIS", Cis}, Command{"LOG", Log},
    Command{"COM", Com}, Command{"VOL", Vol}, Command{"INI", Ini},
    Command{"FIL", Fil}, Command{"SIF", Sif}, Command{"SCN", Scn},
};

void RunCommand(const LineContext& ctx, std::string_view line) {
    if (ctx.main.IdTCPServer1Tag == 1) {
        Send(ctx, kv::RescanProgressReply(Progress(ctx.main)));
        return;
    }
    const std::string code = kv::CommandCode(line);
    const std::string_view arg = line.size() > 4 ? line.substr(4) : std::string_view();
    for (const Command& command : kCommands) {
        if (command.code == code) {
            command.run(ctx, arg);
            return;
        }
    }
    // Any other code: no effect, no reply.
}

void LogIn(const LineContext& ctx, std::string_view line) {
    TaMain& main = ctx.main;
    // The first three characters are the client's log-in marker, whatever they are.
    const std::string name(line.size() > 3 ? line.substr(3) : std::string_view());
    ctx.client.Name = name;
    main.RefreshClientList();
    main.Broadcast(kv::kSystemSender, kv::JoinedText(name));
    if (main.ListBox2->count() > main.MaxUsers) {
        Send(ctx, kv::kLogMax);
        Drop(ctx);                    // the entry is gone from here on
        ctx.connection.disconnect();  // once its lines went out
        ctx.forms.aDm->ShowStatus("MAXIMUM USER limit reached. Max=" +
                                  std::to_string(main.MaxUsers));
        return;
    }
    Send(ctx, kv::kLogAck);
}

void Query(const LineContext& ctx, std::string_view line) {
    if (kv::QueryTarget(line) != "CLIENTS")
        return;
    QListWidget* box = ctx.main.ListBox2;
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(box->count()));
    for (int i = 0; i < box->count(); ++i)
        lines.push_back(platform::fromLatin1(box->item(i)->text()));
    Send(ctx, kv::ClientListReply(lines));
}

}  // namespace

void HandleClientLine(const LineContext& ctx, std::string_view line) {
    if (ctx.client.Name == kLoggingIn) {
        LogIn(ctx, line);
        return;
    }
    if (line.empty())
        return;  // nothing to classify
    switch (line.front()) {
        case '#':
            RunCommand(ctx, line);
            break;
        case '@':
            Query(ctx, line);
            break;
        default:
            ctx.main.Broadcast(ctx.client.Name, line);
    }
}

}  // namespace sonhall
