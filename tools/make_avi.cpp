// Writes the animation files that the programs play into the folder given on the command line.

#include <exception>
#include <iostream>
#include <string>

#include "platform/files.h"
#include "tools/animations.h"
#include "tools/avi_writer.h"

namespace {

struct Output {
    const char* name;
    avi_maker::Movie (*make)();
    avi_maker::Depth depth;
};

// Both depths are shipped, so the reader meets each in real files.
constexpr Output kOutputs[] = {
    {"meter.avi", avi_maker::levelMeter, avi_maker::Depth::Palette8},
    {"connect.avi", avi_maker::connection, avi_maker::Depth::Rgb24},
    {"CD.AVI", avi_maker::spinningDisc, avi_maker::Depth::Rgb24},
    {"BARS.AVI", avi_maker::equaliserBars, avi_maker::Depth::Palette8},
    {"findfolder.avi", avi_maker::folderSearch, avi_maker::Depth::Palette8},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_avi <output folder>\n";
        return 2;
    }
    std::string folder = argv[1];
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    try {
        for (const Output& out : kOutputs) {
            platform::files::writeWholeFileAtomically(folder + out.name,
                                                      avi_maker::encodeAvi(out.make(), out.depth));
        }
    } catch (const std::exception& e) {
        std::cerr << "make_avi: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
