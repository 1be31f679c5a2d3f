#include "platform/qt/text_edge.h"

#include <QListWidget>

namespace platform {
namespace {

// A byte that is not part of valid UTF-8 is shown as a lone low surrogate U+DC80..U+DCFF,
// which valid UTF-8 can never produce.
constexpr char16_t kEscapeBase = 0xDC00;

bool isEscape(char16_t c) {
    return c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF;
}

// The length of the valid UTF-8 sequence at s[i] and its code point; 0 when it is not one.
int decodeOne(std::string_view s, size_t i, char32_t& cp) {
    const auto lead = static_cast<unsigned char>(s[i]);
    int len = 0;
    if (lead < 0x80) {
        cp = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        len = 2;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        len = 3;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        len = 4;
        cp = lead & 0x07;
    } else {
        return 0;
    }
    if (i + static_cast<size_t>(len) > s.size())
        return 0;
    for (int k = 1; k < len; ++k) {
        const auto next = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
        if ((next & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (next & 0x3F);
    }
    static constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kShortest[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// UTF-8 to UTF-16; a byte that is not part of valid UTF-8 becomes the character that
// standIn makes of it.
template <class StandIn>
QString decodeLenient(std::string_view s, StandIn standIn) {
    QString out;
    out.reserve(static_cast<qsizetype>(s.size()));
    size_t i = 0;
    while (i < s.size()) {
        char32_t cp = 0;
        const int len = decodeOne(s, i, cp);
        if (len == 0) {
            out += QChar(standIn(static_cast<unsigned char>(s[i])));
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            out += QChar(QChar::highSurrogate(cp));
            out += QChar(QChar::lowSurrogate(cp));
        } else {
            out += QChar(static_cast<char16_t>(cp));
        }
        i += static_cast<size_t>(len);
    }
    return out;
}

}  // namespace

QString fileName(std::string_view s) {
    return decodeLenient(s, [](unsigned char b) { return static_cast<char16_t>(kEscapeBase + b); });
}

std::string fromFileName(const QString& s) {
    std::string out;
    out.reserve(static_cast<size_t>(s.size()));
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < s.size() &&
            QChar::isLowSurrogate(s[i + 1].unicode())) {
            appendUtf8(out, QChar::surrogateToUcs4(c, s[i + 1].unicode()));
            ++i;
        } else if (isEscape(c)) {
            out += static_cast<char>(c - kEscapeBase);
        } else if (QChar::isSurrogate(c)) {
            appendUtf8(out, 0xFFFD);  // a stray half of a pair that no name held
        } else {
            appendUtf8(out, c);
        }
    }
    return out;
}

std::string boxPart(const QString& s) {
    return s.toStdString();
}

QString boxText(std::string_view s) {
    // A byte that is no UTF-8 shows as its Latin-1 letter.
    return decodeLenient(s, [](unsigned char b) { return static_cast<char16_t>(b); });
}

std::vector<std::string> fileNameLines(const QListWidget& list) {
    std::vector<std::string> out;
    out.reserve(static_cast<size_t>(list.count()));
    for (int i = 0; i < list.count(); ++i)
        out.push_back(fromFileName(list.item(i)->text()));
    return out;
}

}  // namespace platform
