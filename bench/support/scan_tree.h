#pragma once

#include <functional>
#include <string>
#include <vector>

// What the library scan benchmarks of both programs share: a tree of tagged MP3 files, the
// least work the operating system must do over it, a timer and the resident memory.
namespace bench {

// files small tagged MP3 files, spread over the folders "folder0/" ... under root.
void MakeSongTree(const std::string& root, int files, int folders);

// A fresh folder under /tmp (named after what) holding MakeSongTree's tree; its name with a
// trailing "/", or nothing when it cannot be made.
std::string MakeSongTreeInTemp(const std::string& what, int files, int folders);

// The tree's folders as the configuration windows list them: upper case, trailing "/".
std::vector<std::string> FolderLines(const std::string& root, int folders);

// Lists each folder, opens every ".mp3" and reads its last 128 bytes; gives the tags found.
size_t PlainTagLoop(const std::string& root, int folders);

// The best of several runs of f, in milliseconds.
double BestMs(int runs, const std::function<void()>& f);

// Resident memory of this process in kilobytes, -1 when unknown.
long ResidentKb();

}  // namespace bench
