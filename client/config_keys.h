#pragma once

#include <string>

// The keys of the client's settings, section "SONPAD" of sonpad2.kvc. The configuration window
// loads and saves most of them; the main window writes its own ones when it closes.
namespace sonpad::keys {

inline constexpr char kConfigFile[] = "sonpad2.kvc";
inline constexpr char kSection[] = "SONPAD";

inline constexpr char kPlayHere[] = "PLAY HERE";
inline constexpr char kDirectories[] = "DIRECTORIES";
inline constexpr char kClientName[] = "CLIENT NAME";
inline constexpr char kPort[] = "PORT";
inline constexpr char kServerIp[] = "SERVER IP";
inline constexpr char kTop[] = "TOP";
inline constexpr char kLeft[] = "LEFT";
inline constexpr char kPlaylistDirectory[] = "PLAYLIST DIRECTORY";
inline constexpr char kMaxWidth[] = "MAXWIDTH";
inline constexpr char kMaxHeight[] = "MAXHEIGHT";
inline constexpr char kSequentialPlay[] = "SEQUENTIAL PLAY";
inline constexpr char kAutoloadSongQue[] = "AUTOLOAD SONG QUE";
inline constexpr char kRemoveSong[] = "REMOVE SONG";
inline constexpr char kPlayOnce[] = "PLAY ONCE";
inline constexpr char kPlayInSequence[] = "PLAY IN SEQUENCE";

// "MP3 PATH" and the folder's number (from 1), without leading zeros: MP3 PATH12.
inline constexpr char kFolderKeyPrefix[] = "MP3 PATH";
inline std::string FolderKey(int number) {
    return kFolderKeyPrefix + std::to_string(number);
}

}  // namespace sonpad::keys
