#pragma once

#include <QString>
#include <string>
#include <string_view>
#include <vector>

class QListWidget;

// Where single-byte texts meet widgets: tag and record texts are Latin-1, file names are in
// the file system's encoding.
namespace platform {

inline QString latin1(std::string_view s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

inline std::string fromLatin1(const QString& s) {
    return s.toLatin1().toStdString();
}

// File names are UTF-8 where they are valid UTF-8; every other byte (a Latin-1 name, say)
// travels as a stand-in character of its own, so that fromFileName gives back the very bytes.
QString fileName(std::string_view s);
std::string fromFileName(const QString& s);
// The lines of a list of file names (a folder list), as the bytes they stand for.
std::vector<std::string> fileNameLines(const QListWidget& list);

// Box texts (platform/dialogs.h) are UTF-8, as file names are: a name goes in as its bytes, a
// widget's text (a tag text, say) through boxPart. boxText is what a box shows of such a text:
// a byte that is no part of valid UTF-8 shows as its Latin-1 character.
std::string boxPart(const QString& s);
QString boxText(std::string_view s);

}  // namespace platform
