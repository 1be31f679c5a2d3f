#pragma once

#include <QIcon>
#include <vector>

namespace sonpad {

// The twelve 16 x 16 row images of the list views and the song selection tree, by index:
// 0 unplayed queue entry, 1 played entry or library row sent to the queue, 2 artists,
// 3 albums, 4 song, 5 the tree's root, 6 album chosen, 7 artist chosen, 8 song chosen,
// 9 genres, 10 genre chosen, 11 all songs.
std::vector<QIcon> RowImages();

// The program's own icon: a disc with a note, for the window and the notification area.
QIcon ApplicationIcon();

}  // namespace sonpad
