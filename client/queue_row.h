#pragma once

#include <Qt>

// What a row of the song queue (`TaMain::ListView1`) holds: its columns, and beside them its
// played mark and, in client mode, the "#FIL" that is on its way for it.
namespace sonpad::queue_row {

inline constexpr int kSongNoColumn = 0;
inline constexpr int kTitleColumn = 1;
inline constexpr int kArtistColumn = 2;
inline constexpr int kFileNameColumn = 4;

inline constexpr int kPlayedRole = Qt::UserRole + 1;
// The number of the "#FIL" sent for the row and not answered by the server yet; none (0)
// once the server took or refused the song.
inline constexpr int kTicketRole = Qt::UserRole + 2;
// That "#FIL" was answered by another client's rescan: the song goes out again, first.
inline constexpr int kOwedRole = Qt::UserRole + 3;

}  // namespace sonpad::queue_row
