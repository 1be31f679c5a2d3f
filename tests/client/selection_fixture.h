#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <string>
#include <vector>

#include "client/main_window.h"
#include "client/song_sel_window.h"
#include "common/song_record.h"
#include "tests/client/client_test_support.h"

namespace client_testing {

// A client whose library holds the songs the test adds, for the my Selection tests.
class SelectionTest : public ClientTest {
  protected:
    void SetUp() override { Create(); }

    // Appends a record; its number is its place in the library.
    std::string AddSong(std::string_view path, std::string_view title,
                        std::string_view artist = "Artist") {
        kv::SongFields f;
        f.title = std::string(title);
        f.artist = std::string(artist);
        f.album = "Album";
        f.genre = "017";
        f.year = "1999";
        f.comment = "Note";
        f.path = std::string(path);
        const int number = static_cast<int>(main().SongLibrary.size()) + 1;
        main().SongLibrary.push_back(kv::BuildSongRecord(number, f));
        return kv::RecordSongNumber(main().SongLibrary.back());
    }

    QTreeWidget& list() { return *songSel().ListView1; }
    std::string Cell(int row, int column) {
        return list().topLevelItem(row)->text(column).toStdString();
    }
    std::vector<std::string> Column(int column) {
        std::vector<std::string> out;
        for (int i = 0; i < list().topLevelItemCount(); ++i)
            out.push_back(Cell(i, column));
        return out;
    }
    std::string Caption() { return songSel().GroupBox2->title().toStdString(); }
    bool CaptionBold() { return songSel().GroupBox2->font().bold(); }
    // Clear, Save List, Load List.
    std::vector<bool> Buttons() {
        return {songSel().btnClear->isEnabled(), songSel().btnSave->isEnabled(),
                songSel().btnLoad->isEnabled()};
    }
};

}  // namespace client_testing
