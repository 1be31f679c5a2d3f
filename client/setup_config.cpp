// Loading and saving the configuration window's settings.
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <algorithm>
#include <exception>
#include <limits>
#include <optional>

#include "client/config_keys.h"
#include "client/main_window.h"
#include "client/setup_window.h"
#include "client/song_sel_window.h"
#include "common/config_file.h"
#include "common/conversion.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/qt/text_edge.h"
#include "platform/widgets/spin_edit.h"

namespace sonpad {
namespace {

kv::Tcfg openSettings(const std::string& file) {
    kv::Tcfg cfg = kv::Tcfg::CreateFile(file);
    cfg.SetSection(keys::kSection);
    return cfg;
}

constexpr int kSeqLimitFallback = 5;

// What the screen leaves beside the window's edge and a margin, none when the edge is past it.
int roomBeside(int screenSize, int edge, int margin) {
    const std::int64_t room = std::int64_t{screenSize} - (std::int64_t{edge} + margin);
    return static_cast<int>(
        std::clamp<std::int64_t>(room, 0, std::numeric_limits<std::int32_t>::max()));
}

// The numbers of the folder keys that the section holds, in ascending order.
std::vector<std::int32_t> folderKeyNumbers(const kv::Tcfg& cfg) {
    const std::string_view prefix = keys::kFolderKeyPrefix;
    std::vector<std::int32_t> numbers;
    for (const std::string& key : cfg.ReadKeyNames()) {
        std::int32_t n = 0;
        if (key.starts_with(prefix) && kv::TryStrToInt(key.substr(prefix.size()), n) && n > 0 &&
            keys::FolderKey(n) == key)
            numbers.push_back(n);
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

// A stored number, none when the value is no number.
std::optional<std::int32_t> numberOrNone(const kv::Tcfg& cfg, const char* key) {
    try {
        return cfg.ReadInteger(key);
    } catch (const kv::ConversionError&) {
        return std::nullopt;
    }
}

// Puts the main window at the stored position; a key that holds no number keeps its edge.
void placeAsStored(const kv::Tcfg& cfg, TaMain& main) {
    const auto top = numberOrNone(cfg, keys::kTop);
    const auto left = numberOrNone(cfg, keys::kLeft);
    if (top || left)
        main.PlaceWindow(left.value_or(main.WindowLeft()), top.value_or(main.WindowTop()));
}

}  // namespace

void TaSetup::LoadConfig() {
    if (!platform::files::fileExists(platform::files::Name(ConfigurationFile()))) {
        platform::dialogs().showError("Error! I cannot locate Configuration file.");
        return;
    }
    TaMain& main = *forms_.aMain;
    const std::vector<std::string> before = Folders();
    ListBox1->clear();
    std::optional<std::int32_t> folderCount;
    bool foldersRead = false;
    try {
        const kv::Tcfg cfg = openSettings(ConfigurationFile());
        // A value that is no number costs that value only: its field keeps what it holds (and
        // its clamp), and the keys after it are still read, so the next save writes back what
        // the user had.
        const auto number = [&cfg](const char* key) { return numberOrNone(cfg, key); };
        PlayHere = cfg.ReadBool(keys::kPlayHere);
        folderCount = number(keys::kDirectories);
        ClientName = cfg.ReadString(keys::kClientName);
        if (const auto port = number(keys::kPort))
            SpinEdit1->SetValue(*port);
        Edit3->setText(platform::latin1(cfg.ReadString(keys::kServerIp)));
        placeAsStored(cfg, main);
        Edit2->setText(platform::fileName(cfg.ReadString(keys::kPlaylistDirectory)));
        main.MaxWidth = number(keys::kMaxWidth).value_or(main.MaxWidth);
        main.MaxHeight = number(keys::kMaxHeight).value_or(main.MaxHeight);
        const std::int32_t seqLimit =
            number(keys::kSequentialPlay).value_or(main.seSeqLimit->Value());
        cbAutoloadsq->setChecked(cfg.ReadBool(keys::kAutoloadSongQue));
        main.cbRemoveSong->setChecked(cfg.ReadBool(keys::kRemoveSong));
        main.cbPlayListOnce->setChecked(cfg.ReadBool(keys::kPlayOnce));
        main.cbSeqPlay->setChecked(cfg.ReadBool(keys::kPlayInSequence));
        main.seSeqLimit->SetValue(seqLimit < main.seSeqLimit->minimum() ? kSeqLimitFallback
                                                                        : seqLimit);
        const std::vector<std::int32_t> stored = folderKeyNumbers(cfg);
        if (folderCount && *folderCount > 0) {
            // Lines past the last stored folder could only be empty; a huge count would list
            // (and scan) millions of them.
            const std::int32_t last = std::min(*folderCount, stored.empty() ? 0 : stored.back());
            for (std::int32_t i = 1; i <= last; ++i)
                ListBox1->addItem(platform::fileName(cfg.ReadString(keys::FolderKey(i))));
            UpdateButtons();
        } else if (!folderCount) {
            // A count that is no number costs the count only: the folder keys there are read
            // in number order, so the scan uses them and the next save writes them back.
            for (const std::int32_t i : stored)
                ListBox1->addItem(platform::fileName(cfg.ReadString(keys::FolderKey(i))));
            if (!stored.empty())
                UpdateButtons();
        }
        foldersRead = true;
        Edit1->setText(platform::latin1(ClientName));
        // While connected the mode stays the connection's: a local mode under a standing
        // connection would leave the server's lines unread until it dropped the client.
        if (!main.IdTCPClient1.connected())
            main.LocalMode = PlayHere;
        TaSongSel& songSel = *forms_.aSongSel;
        songSel.SaveDialogFolder = platform::fromFileName(Edit2->text());
        songSel.OpenDialogFolder = songSel.SaveDialogFolder;
        const QSize screen = env_.screenSize();
        if (main.MaxWidth > screen.width() - 100 || main.MaxWidth < 1)
            main.MaxWidth = roomBeside(screen.width(), main.WindowLeft(), 10);
        if (main.MaxHeight > screen.height() - 100 || main.MaxHeight < 1)
            main.MaxHeight = roomBeside(screen.height(), main.WindowTop(), 50);
    } catch (const std::exception&) {
    }
    // A load that failed before the folders keeps those listed before, or the next save would
    // write the list back empty.
    if (!foldersRead) {
        for (const std::string& folder : before)
            ListBox1->addItem(platform::fileName(folder));
    }
}

void TaSetup::PlaceMainWindow() {
    const std::string file = ConfigurationFile();
    if (!platform::files::fileExists(platform::files::Name(file)))
        return;
    try {
        placeAsStored(openSettings(file), *forms_.aMain);
    } catch (const std::exception&) {
        // The start-up's load meets the same file and deals with it.
    }
}

void TaSetup::SaveConfig() {
    const TaMain& main = *forms_.aMain;
    // All keys in one replace of the file: a failed or killed save leaves the old settings.
    kv::TcfgSave save(openSettings(ConfigurationFile()), kv::TcfgSave::Base::Update);
    save.WriteString(keys::kClientName, ClientName);
    save.WriteBool(keys::kPlayHere, PlayHere);
    save.WriteInteger(keys::kPort, SpinEdit1->Value());
    save.WriteString(keys::kServerIp, platform::fromLatin1(Edit3->text()));
    save.WriteInteger(keys::kTop, main.WindowTop());
    save.WriteInteger(keys::kLeft, main.WindowLeft());
    save.WriteString(keys::kPlaylistDirectory, platform::fromFileName(Edit2->text()));
    save.WriteBool(keys::kAutoloadSongQue, cbAutoloadsq->isChecked());
    const std::vector<std::string> folders = Folders();
    save.WriteInteger(keys::kDirectories, static_cast<std::int32_t>(folders.size()));
    for (size_t i = 0; i < folders.size(); ++i)
        save.WriteString(keys::FolderKey(static_cast<int>(i) + 1), folders[i]);
    try {
        save.Commit();
    } catch (const std::exception&) {
    }
    LoadConfig();
}

}  // namespace sonpad
