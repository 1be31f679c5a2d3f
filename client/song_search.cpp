// The search of the tree: song titles under "All Songs", or the artist or album groups.
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QTreeWidget>
#include <algorithm>
#include <chrono>

#include "client/song_sel_window.h"
#include "common/song_record.h"
#include "common/text_helpers.h"
#include "platform/qt/text_edge.h"

namespace sonpad {
namespace {

constexpr std::int64_t kRedrawIntervalMs = 16;

// Exact: the field, upper-cased and trimmed, is the text; prefix: the field begins with it.
bool Matches(std::string_view nodeText, int field, int width, std::string_view text, bool prefix) {
    if (prefix)
        return kv::UpperCase(kv::Copy(nodeText, field, static_cast<std::int64_t>(text.size()))) ==
               text;
    return kv::Trim(kv::UpperCase(kv::Copy(nodeText, field, width))) == text;
}

}  // namespace

void TaSongSel::Edit9KeyDown(int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        btnGoClick();
}

void TaSongSel::btnGoClick() {
    if (Edit9->text().isEmpty())
        return;
    std::string text = kv::UpperCase(kv::Trim(platform::fromLatin1(Edit9->text())));
    Label11->clear();
    bool prefix = false;
    if (kv::RightChars(text, 1) == "*") {
        text.pop_back();
        prefix = true;
    }
    const bool byTitle = RadioButton1->isChecked();
    if (RadioButton3->isChecked())
        prefix = true;  // an album is found by the start of its group's text
    const QTreeWidgetItem* parent = byTitle                     ? AllSongsNode
                                    : RadioButton2->isChecked() ? ArtistsNode
                                                                : AlbumNode;
    // A song's text: number, blank, title; a group's text is its key.
    const int field = byTitle ? 8 : 1;
    const int count = parent ? parent->childCount() : 0;
    const int maximum = std::max(count - 1, 0);
    ProgressBar2->setRange(0, maximum);
    ProgressBar2->setValue(0);
    Panel4->repaint();

    QTreeWidgetItem* found = nullptr;
    auto lastRedraw = std::chrono::steady_clock::now();
    for (int i = 0; i < count && !found; ++i) {
        QTreeWidgetItem* node = parent->child(i);
        if (Matches(platform::fromLatin1(node->text(0)), field, 30, text, prefix))
            found = node;
        ProgressBar2->setValue(std::min(i + 1, maximum));
        const auto now = std::chrono::steady_clock::now();
        if (now - lastRedraw >= std::chrono::milliseconds(kRedrawIntervalMs)) {
            lastRedraw = now;
            ProgressBar2->repaint();
        }
    }
    ProgressBar2->repaint();
    if (!found) {
        Label11->setText("Not Found!");
        return;
    }
    FoundNode = found;
    TreeView1->setCurrentItem(FoundNode);
    TreeView1->scrollToItem(FoundNode);
    TreeView1->setFocus();
    Label11->setText("Found!");
}

}  // namespace sonpad
