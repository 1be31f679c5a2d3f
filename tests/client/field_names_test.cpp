// What a screen reader hears for each field of the client's windows: the caption the screen
// shows beside it, or, where none stands, a name of its own.
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

#include "client/main_window.h"
#include "client/setup_window.h"
#include "client/song_sel_window.h"
#include "platform/widgets/spin_edit.h"
#include "tests/client/client_test_support.h"
#include "tests/support/accessible_tree.h"

namespace client_testing {
namespace {

using FieldNamesTest = ClientTest;

TEST_F(FieldNamesTest, EachFieldIsNamedByTheCaptionBesideIt) {
    Create();
    const sonpad::TaMain& m = main();
    const sonpad::TaSetup& s = setup();
    const sonpad::TaSongSel& sel = songSel();
    const struct {
        const QWidget* field;
        const char* name;
    } cases[] = {
        // The tag editor; the genre box stands in the genre field's place while editing.
        {sel.Edit1, "Title"},
        {sel.Edit2, "Artist"},
        {sel.Edit3, "Album"},
        {sel.Edit4, "Genre"},
        {sel.cbGenre, "Genre"},
        {sel.Edit5, "Year"},
        {sel.Edit6, "Comments"},
        {sel.Edit7, "DRIVE"},
        {sel.Edit8, "FILENAME"},
        {sel.Edit9, "Item to search"},
        // The configuration window; the playlist folder's field stands beside its button.
        {s.Edit1, "Client Name"},
        {s.SpinEdit1, "Port"},
        {s.Edit3, "Server IP"},
        {s.Edit2, "Playlist Directory"},
        {s.ListBox1, "[ Folders where MP3 files are read ]"},
        // The main window: the quick selection has no captions, the sequential limit and the
        // search box have theirs.
        {m.ComboBox1, "Genre"},
        {m.ComboBox2, "Playlist"},
        {m.seSeqLimit, "Sequential  play when there are"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(testing_support::NameInWindowTree(c.field).toStdString(), c.name)
            << c.field->metaObject()->className() << " in "
            << c.field->window()->windowTitle().toStdString();
    // The search panel floats over the library list, which the tree shows as rows only: its box
    // is met as it takes the focus.
    EXPECT_EQ(
        QAccessible::queryAccessibleInterface(m.edKeylook)->text(QAccessible::Name).toStdString(),
        "Looking for");
}

}  // namespace
}  // namespace client_testing
