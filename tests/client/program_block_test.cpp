#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QTreeWidget>

#include "client/data_module.h"
#include "client/main_window.h"
#include "client/progress_window.h"
#include "client/setup_window.h"
#include "client/song_sel_window.h"
#include "platform/widgets/spin_edit.h"
#include "tests/client/client_test_support.h"

namespace client_testing {
namespace {

class ProgramBlockTest : public ClientTest {};

TEST_F(ProgramBlockTest, CreatesEveryFormWithTheSharedState) {
    Create();
    const sonpad::ClientForms& forms = program->forms();
    ASSERT_NE(forms.aMain, nullptr);
    ASSERT_NE(forms.aSetup, nullptr);
    ASSERT_NE(forms.aProgress, nullptr);
    ASSERT_NE(forms.aSongSel, nullptr);
    ASSERT_NE(forms.Dm, nullptr);

    EXPECT_EQ(main().windowTitle(), "Sonpad ][");
    EXPECT_EQ(main().ScanCaption, "Sonpad Software v.2.0a");
    EXPECT_TRUE(main().LocalMode);
    EXPECT_EQ(main().MaxWidth, 800);
    EXPECT_EQ(main().MaxHeight, 600);
    EXPECT_EQ(main().ListView1->columnCount(), 5);
    EXPECT_EQ(main().ListView2->columnCount(), 9);
    EXPECT_EQ(main().ListView2->headerItem()->text(3), "Genre");
    EXPECT_EQ(main().ImageList1.size(), 12u);
    EXPECT_EQ(main().seSeqLimit->Value(), 5);
    EXPECT_FALSE(main().pnlButtons->isEnabled());
    EXPECT_FALSE(main().Panel2->isEnabled());
    EXPECT_EQ(main().cbRemoveSong->text(), "Remove Song After Play");
    EXPECT_EQ(main().cbPlayListOnce->text(), "Play Selection only Once");
    EXPECT_EQ(main().cbSeqPlay->text(), "Sequential Play");

    EXPECT_EQ(setup().windowTitle(), "Client Configuration");
    EXPECT_EQ(songSel().windowTitle(), "Song Selection");
    EXPECT_EQ(progress().Tag, 1);
}

}  // namespace
}  // namespace client_testing
