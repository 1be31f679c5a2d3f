#include "tests/platform/widgets/avi_test_files.h"

namespace avi_test {

std::string le32(std::uint32_t v) {
    std::string out;
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>(v >> (8 * i) & 0xFF));
    return out;
}

std::string le16(std::uint16_t v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}

std::string chunk(const std::string& id, const std::string& body) {
    std::string out = id + le32(static_cast<std::uint32_t>(body.size())) + body;
    if (body.size() % 2 != 0)
        out.push_back('\0');
    return out;
}

std::string list(const std::string& type, const std::string& children) {
    return chunk("LIST", type + children);
}

std::string build(const AviLayout& s) {
    std::string avih = le32(s.microsecondsPerFrame);
    avih.resize(s.mainHeaderSize, '\0');
    std::string strh = s.streamType + "DIB " + std::string(12, '\0') + le32(s.scale) +
                       le32(s.rate) + std::string(28, '\0');
    std::string strf = le32(40) + le32(static_cast<std::uint32_t>(s.width)) +
                       le32(static_cast<std::uint32_t>(s.height)) + le16(1) + le16(s.bitCount) +
                       le32(s.compression) + std::string(12, '\0') + le32(s.coloursUsed) + le32(0);
    for (std::uint32_t c : s.palette)
        strf += std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8 & 0xFF),
                            static_cast<char>(c >> 16 & 0xFF), '\0'};

    std::string strl = chunk("strh", strh);
    if (s.withFormat)
        strl += chunk("strf", strf);
    std::string hdrl;
    if (s.withMainHeader)
        hdrl += chunk("avih", avih);
    hdrl += list("strl", strl);

    std::string movi;
    for (const std::string& f : s.frames)
        movi += chunk("00db", f);
    movi += s.movieExtra;

    std::string body = s.form;
    if (s.withHeaders)
        body += list("hdrl", hdrl);
    body += chunk("JUNK", "padding");
    if (s.withMovie)
        body += list("movi", movi);
    body += s.trailer;
    return s.riff + le32(static_cast<std::uint32_t>(body.size())) + body;
}

std::string rgbFrame3x2() {
    // Bottom row: blue, green, red; top row: white, black, grey (B G R order), 3 pad bytes each.
    return std::string(
               "\xFF\x00\x00"
               "\x00\xFF\x00"
               "\x00\x00\xFF"
               "\x00\x00\x00",
               12) +
           std::string(
               "\xFF\xFF\xFF"
               "\x00\x00\x00"
               "\x40\x80\xC0"
               "\x00\x00\x00",
               12);
}

std::vector<std::uint32_t> rgbFrame3x2Pixels() {
    return {0xFFFFFFFF, 0xFF000000, 0xFFC08040, 0xFF0000FF, 0xFF00FF00, 0xFFFF0000};
}

}  // namespace avi_test
