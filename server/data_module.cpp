#include "server/data_module.h"

#include <QListWidget>

#include "common/column_width.h"
#include "common/song_record.h"
#include "common/text_helpers.h"
#include "platform/qt/text_edge.h"
#include "platform/widgets/status_panels.h"
#include "server/main_window.h"

namespace sonhall {
namespace {

constexpr std::int32_t kClientColumn = 7, kClientWidth = 40, kPathWidth = 140;

}  // namespace

TaDm::TaDm(ServerForms& forms) : forms_(forms) {
    DataModuleCreate();
}

void TaDm::DataModuleCreate() {
    LibraryCount = 0;
}

std::string TaDm::LibraryPathOf(std::string_view line) {
    if (line.empty())
        return {};
    return kv::Trim(kv::UpperCase(kv::RecordPath(line)));
}

std::string TaDm::SongIdOf(std::string_view line) {
    if (line.empty())
        return {};
    return kv::Trim(kv::UpperCase(kv::Copy(line, 1, 6)));
}

std::string TaDm::SongTitleById(std::string_view id) const {
    if (id.empty())
        return {};
    for (const std::string& line : forms_.aMain->SongLibrary)
        if (kv::Copy(line, 1, 6) == id)
            return kv::Copy(line, 7, 30);
    return {};
}

std::int32_t TaDm::FindSongByName(std::string_view name, size_t end) const {
    const auto& library = forms_.aMain->SongLibrary;
    end = std::min(end, library.size());
    // The name as the record holds it: the folder in upper case, the file's own name as the
    // scan found it.
    const auto fileNameOf = [&library](size_t i) {
        return kv::ExtractFileName(kv::Trim(kv::RecordPath(library[i])));
    };
    const auto find = [&](const std::string& key) -> std::int32_t {
        const std::string upper = kv::UpperCase(key);
        std::int32_t first = -1;
        for (size_t i = 0; i < end; ++i) {
            const std::string own = fileNameOf(i);
            if (own == key)
                return static_cast<std::int32_t>(i);
            if (first < 0 && kv::UpperCase(own) == upper)
                first = static_cast<std::int32_t>(i);
        }
        return first;
    };
    if (name.empty())
        return -1;
    const std::int32_t asItStands = find(std::string(name));
    if (asItStands >= 0)
        return asItStands;
    const std::string trimmed = kv::Trim(name);
    return trimmed.size() == name.size() || trimmed.empty() ? -1 : find(trimmed);
}

std::int32_t TaDm::FindLibraryIndex(std::string_view name) const {
    return FindSongByName(name, forms_.aMain->SongLibrary.size());
}

platform::files::Name TaDm::GetSongFile(std::int32_t index) const {
    const TaMain& main = *forms_.aMain;
    const auto at = static_cast<size_t>(index);
    const std::string path = kv::Trim(kv::RecordPath(main.SongLibrary.at(at)));
    // Only while it still belongs to this record.
    if (main.SongFiles.size() == main.SongLibrary.size() &&
        kv::TrimRight(kv::ExtractFileName(main.SongFiles[at])) == kv::ExtractFileName(path))
        return platform::files::Name::exact(main.SongFiles[at]);
    return platform::files::Name(path);
}

std::int32_t TaDm::CountQueuedForClient(std::string_view name) {
    std::int32_t count = 0;
    for (const QueuedSong& song : forms_.aMain->SongQueue)
        if (kv::Trim(kv::Copy(song.record, kClientColumn, kClientWidth)) == name)
            ++count;
    forms_.aMain->UpdateQueueStatus();
    return count;
}

std::string TaDm::QueueClientOf(std::string_view clientName) {
    return kv::Trim(kv::PadRight(kv::UpperCase(kv::Trim(clientName)), kClientWidth, " "));
}

bool TaDm::QueueSong(std::string_view fileName, std::string_view clientName) {
    TaMain& main = *forms_.aMain;
    const std::string client = kv::PadRight(kv::UpperCase(kv::Trim(clientName)), kClientWidth, " ");
    bool queued = false;
    // While a scan runs the count is 0; the first line is still looked at.
    const std::int32_t i =
        FindSongByName(fileName, static_cast<size_t>(std::max<std::int32_t>(LibraryCount, 1)));
    if (i >= 0) {
        const std::string& line = main.SongLibrary[static_cast<size_t>(i)];
        const std::string path = LibraryPathOf(line);
        if (path.size() <= static_cast<size_t>(kPathWidth)) {
            const std::string id = SongIdOf(line);
            main.SongQueue.push_back(
                {id + client + kv::PadRight(path, kPathWidth, " "), GetSongFile(i)});
            main.ListBox1->addItem(platform::latin1(id + " (" + kv::Trim(client) + ") ") +
                                   platform::fileName(path));
            queued = true;
        }
    }
    main.UpdateQueueStatus();
    return queued;
}

void TaDm::ShowStatus(std::string_view text) {
    platform::widgets::StatusPanels* bar = forms_.aMain->StatusBar1;
    bar->SetText(0, text);
    bar->repaint();
}

int TaDm::ColumnWidthFor(std::string_view text, int width) {
    return kv::FitColumnWidth(text, width);
}

}  // namespace sonhall
