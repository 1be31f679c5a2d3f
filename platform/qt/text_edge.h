#pragma once

#include <QFile>
#include <QString>
#include <string>
#include <string_view>

// Where single-byte texts meet widgets: tag and record texts are Latin-1, file names are in
// the file system's encoding.
namespace platform {

inline QString latin1(std::string_view s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

inline std::string fromLatin1(const QString& s) {
    return s.toLatin1().toStdString();
}

inline QString fileName(std::string_view s) {
    return QFile::decodeName(QByteArray(s.data(), static_cast<qsizetype>(s.size())));
}

inline std::string fromFileName(const QString& s) {
    return QFile::encodeName(s).toStdString();
}

}  // namespace platform
