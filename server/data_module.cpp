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

std::int32_t TaDm::FindLibraryIndex(std::string_view name) const {
    const auto& library = forms_.aMain->SongLibrary;
    if (library.empty())
        return -1;
    const std::string key = kv::Trim(kv::UpperCase(name));
    for (size_t i = 0; i < library.size(); ++i)
        if (kv::ExtractFileName(LibraryPathOf(library[i])) == key)
            return static_cast<std::int32_t>(i);
    return -1;
}

std::int32_t TaDm::CountQueuedForClient(std::string_view name) {
    std::int32_t count = 0;
    for (const std::string& line : forms_.aMain->SongQueue)
        if (kv::Trim(kv::Copy(line, kClientColumn, kClientWidth)) == name)
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
    const auto& library = main.SongLibrary;
    if (!fileName.empty() && !library.empty()) {
        const std::string key = kv::UpperCase(kv::Trim(fileName));
        // While a scan runs the count is 0; the first line is still looked at.
        const size_t end =
            std::min(library.size(), static_cast<size_t>(std::max<std::int32_t>(LibraryCount, 1)));
        for (size_t i = 0; i < end; ++i) {
            const std::string path = LibraryPathOf(library[i]);
            if (kv::ExtractFileName(path) != key)
                continue;
            if (path.size() > static_cast<size_t>(kPathWidth))
                break;
            const std::string id = SongIdOf(library[i]);
            main.SongQueue.push_back(id + client + kv::PadRight(path, kPathWidth, " "));
            main.ListBox1->addItem(platform::latin1(id + " (" + kv::Trim(client) + ") ") +
                                   platform::fileName(path));
            queued = true;
            break;
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
