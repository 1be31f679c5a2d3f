#include "client/data_module.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <set>

#include "client/main_window.h"
#include "client/setup_window.h"
#include "client/song_sel_window.h"
#include "common/column_width.h"
#include "common/conversion.h"
#include "common/song_record.h"
#include "common/text_helpers.h"
#include "platform/ascii.h"
#include "platform/errors.h"
#include "platform/qt/text_edge.h"
#include "platform/widgets/status_panels.h"
#include "platform/widgets/text_sort.h"

namespace sonpad {
namespace {

// Only A to Z change; the rest of a name keeps its bytes.
std::string LowerCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// "party.ply" -> "Party.ply"
std::string PlaylistItem(std::string_view fileName) {
    std::string item = kv::Trim(LowerCase(fileName));
    if (!item.empty())
        item[0] = kv::UpperCase(item.substr(0, 1))[0];
    return item;
}

}  // namespace

TDm::TDm(ClientForms& forms) : forms_(forms) {}

void TDm::SetStatusText(int panel, std::string_view text) {
    platform::widgets::StatusPanels* bar = forms_.aMain->StatusBar1;
    bar->SetText(panel, text);
    bar->repaint();
}

void TDm::UpdateSongQueCaption() {
    TaMain& main = *forms_.aMain;
    const int n = main.ListView1->topLevelItemCount();
    std::string caption = "[ SONG QUE ]";
    if (n >= 1)
        caption = "[ SONG QUE (Total/Played/Repeat: " + std::to_string(n) + "/" +
                  std::to_string(main.PlayedCount) + "/" + std::to_string(main.RepeatCount) + ") ]";
    main.GroupSongQue->setTitle(platform::latin1(caption));
}

void TDm::RefreshPlaylistCombo() {
    TaMain& main = *forms_.aMain;
    TaSetup& setup = *forms_.aSetup;
    std::set<std::string, platform::ascii::LessNoCaseAz> items;
    setup.FileListBox1.SetMask("*.PLY");
    setup.FileListBox1.SetDirectory(kv::Trim(platform::fromFileName(setup.Edit2->text())));
    const auto& names = setup.FileListBox1.Items();
    if (!names.empty()) {
        for (const std::string& name : names)
            items.insert(PlaylistItem(name));
        main.ComboBox2->clear();
        QStringList texts;
        for (const std::string& item : items)
            texts.append(platform::fileName(item));
        main.ComboBox2->addItems(texts);
        main.ComboBox2->setCurrentIndex(-1);  // no text: no playlist is chosen, as the count says
        main.Label6->setText("0");
    }
    setup.FileListBox1.SetMask("");
    setup.FileListBox1.SetDirectory("/");
}

const std::string& TDm::Record(int index) const {
    const auto& library = forms_.aMain->SongLibrary;
    if (index < 0 || static_cast<size_t>(index) >= library.size())
        throw platform::Error("List index out of bounds (" + std::to_string(index) + ")");
    return library[static_cast<size_t>(index)];
}

std::string TDm::GetSongNo(int index) const {
    return kv::Trim(kv::RecordSongNumber(Record(index)));
}
std::string TDm::GetTitle(int index) const {
    return kv::Trim(kv::RecordTitle(Record(index)));
}
std::string TDm::GetArtist(int index) const {
    return kv::Trim(kv::RecordArtist(Record(index)));
}
std::string TDm::GetAlbum(int index) const {
    return kv::Trim(kv::RecordAlbum(Record(index)));
}
std::string TDm::GetYear(int index) const {
    return kv::Trim(kv::RecordYear(Record(index)));
}
std::string TDm::GetComment(int index) const {
    return kv::Trim(kv::RecordComment(Record(index)));
}
std::string TDm::GetFilePath(int index) const {
    return kv::ExtractFilePath(kv::Trim(kv::RecordPath(Record(index))));
}
std::string TDm::GetFileName(int index) const {
    return kv::ExtractFileName(kv::Trim(kv::RecordPath(Record(index))));
}

platform::files::Name TDm::GetSongFile(int index) const {
    const std::string path = kv::Trim(kv::RecordPath(Record(index)));
    const TaMain& main = *forms_.aMain;
    const auto at = static_cast<size_t>(index);
    // Only while it still belongs to this record.
    if (main.SongFiles.size() == main.SongLibrary.size() &&
        kv::UpperCase(kv::ExtractFileName(main.SongFiles[at])) == kv::ExtractFileName(path))
        return platform::files::Name::exact(main.SongFiles[at]);
    return platform::files::Name(path);
}

std::string TDm::GetGenreName(int index) const {
    const std::string code = kv::Trim(kv::RecordGenre(Record(index)));
    if (code.empty())
        return "BLANK";
    std::int32_t value = 0;
    if (!kv::TryStrToInt(code, value))
        return "<error>";
    return kv::Trim(forms_.aSongSel->GenreName(static_cast<std::uint8_t>(value & 0xFF)));
}

int TDm::FindSongByFileName(std::string_view fileName) const {
    return index_.FindByFileName(forms_.aMain->SongLibrary, kv::UpperCase(fileName));
}

int TDm::FindSongByListEntry(std::string_view entry) const {
    const int index = FindSongByFileName(entry);
    return index >= 0 ? index : FindSongByFileName(kv::Trim(entry));
}

int TDm::FindSongByNo(std::string_view songNo) const {
    return index_.FindByNumber(forms_.aMain->SongLibrary, songNo);
}

int TDm::FindSongByFile(std::string_view file) const {
    const TaMain& main = *forms_.aMain;
    if (file.empty() || main.SongFiles.size() != main.SongLibrary.size())
        return -1;
    for (size_t i = 0; i < main.SongFiles.size(); ++i)
        if (main.SongFiles[i] == file)
            return static_cast<int>(i);
    return -1;
}

int TDm::FindSongByPath(std::string_view path) const {
    const auto& library = forms_.aMain->SongLibrary;
    for (size_t i = 0; i < library.size(); ++i)
        if (kv::Trim(kv::RecordPath(library[i])) == path)
            return static_cast<int>(i);
    return -1;
}

void TDm::AddSongToQue(std::string_view songNo) {
    const int index = FindSongByNo(songNo);
    if (index >= 0) {
        QTreeWidget* queue = forms_.aMain->ListView1;
        queue->setColumnWidth(0, FitColumnWidth(songNo, queue->columnWidth(0)));
        const std::string cells[] = {GetTitle(index), GetArtist(index), GetFilePath(index),
                                     GetFileName(index)};
        QStringList texts{platform::latin1(songNo)};
        for (int c = 1; c <= 4; ++c) {
            const std::string& cell = cells[c - 1];
            queue->setColumnWidth(c, FitColumnWidth(cell, queue->columnWidth(c)));
            texts.append(c <= 2 ? platform::latin1(cell) : platform::fileName(cell));
        }
        auto* row = new platform::widgets::TextSortItem(texts);
        const auto& images = forms_.aMain->ImageList1;
        if (!images.empty())
            row->setIcon(0, images.front());  // not played yet
        queue->addTopLevelItem(row);
        forms_.aMain->QueueFileOwned = true;
    }
    UpdateSongQueCaption();
}

int TDm::FitColumnWidth(std::string_view text, int width) {
    return kv::FitColumnWidth(text, width);
}

}  // namespace sonpad
