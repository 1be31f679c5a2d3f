#include "client/data_module.h"

namespace sonpad {

TDm::TDm(ClientForms& forms) : forms_(forms) {}

void TDm::SetStatusText(int, std::string_view) {}
void TDm::UpdateSongQueCaption() {}
void TDm::RefreshPlaylistCombo() {}

std::string TDm::GetSongNo(int) const {
    return {};
}
std::string TDm::GetTitle(int) const {
    return {};
}
std::string TDm::GetArtist(int) const {
    return {};
}
std::string TDm::GetGenreName(int) const {
    return {};
}
std::string TDm::GetAlbum(int) const {
    return {};
}
std::string TDm::GetYear(int) const {
    return {};
}
std::string TDm::GetComment(int) const {
    return {};
}
std::string TDm::GetFilePath(int) const {
    return {};
}
std::string TDm::GetFileName(int) const {
    return {};
}

int TDm::FindSongByFileName(std::string_view) const {
    return -1;
}
int TDm::FindSongByNo(std::string_view) const {
    return -1;
}

void TDm::AddSongToQue(std::string_view) {}

int TDm::FitColumnWidth(std::string_view, int width) {
    return width;
}

}  // namespace sonpad
