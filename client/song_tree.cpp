// The song selection tree: the base tree, the three group branches, the busy state, the song
// information a click shows, the group question and the ways of adding songs from the tree.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <unordered_map>

#include "client/data_module.h"
#include "client/main_window.h"
#include "client/setup_window.h"
#include "client/song_sel_window.h"
#include "common/at_exit.h"
#include "common/conversion.h"
#include "common/song_record.h"
#include "common/text_helpers.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/event_guard.h"
#include "platform/qt/locale_compare.h"
#include "platform/qt/non_input_events.h"
#include "platform/qt/text_edge.h"
#include "platform/widgets/animate_control.h"

namespace sonpad {
namespace {

enum Image {
    kPlaceholderImage = 0,
    kArtistImage = 2,
    kAlbumImage = 3,
    kSongImage = 4,
    kRootImage = 5,
    kAlbumChosen = 6,
    kArtistChosen = 7,
    kSongChosen = 8,
    kGenreImage = 9,
    kGenreChosen = 10,
    kAllSongsImage = 11,
};

constexpr int kImageRole = Qt::UserRole;
constexpr int kSelectedImageRole = Qt::UserRole + 1;
const char* const kPlaceholder = "<no song listing>";

// Title as stored (30, not trimmed), then the song number: songs sort by title, then number.
std::string SongSortKey(std::string_view record) {
    return kv::Copy(record, 7, 30) + kv::Copy(record, 1, 6);
}

// The number, a blank and the stored title.
std::string SongText(std::string_view sortKey) {
    return std::string(kv::Copy(sortKey, 31, 6)) + " " + kv::Copy(sortKey, 1, 30);
}

std::string ArtistKey(std::string_view record) {
    return kv::Trim(kv::UpperCase(kv::Copy(record, 37, 30)));
}

// The album told apart per artist: "ALBUM (ARTIST)".
std::string AlbumKey(std::string_view record) {
    return kv::UpperCase(kv::Trim(kv::Copy(record, 70, 30)) + " (" +
                         kv::Trim(kv::Copy(record, 37, 30)) + ")");
}

std::string NodeText(const QTreeWidgetItem* node) {
    return platform::fromLatin1(node->text(0));
}

int SelectedImage(const QTreeWidgetItem* node) {
    return node->data(0, kSelectedImageRole).toInt();
}

}  // namespace

void TaSongSel::FormActivate() {
    // A scan refills the library meanwhile: the tree is built from what it leaves. The build
    // waits until the window is on the screen, which then shows the busy state meanwhile.
    if (TreeView1->topLevelItemCount() != 0 || platform::scanUnderWay() || baseTreePending_)
        return;
    baseTreePending_ = true;
    QTimer::singleShot(0, this, [this] {
        platform::guarded([this] {
            const kv::AtExit done([this] { baseTreePending_ = false; });
            // Closed again before it came to the screen: built at the next opening.
            if (isVisible() && TreeView1->topLevelItemCount() == 0 && !platform::scanUnderWay())
                BuildAllSongsTree();
        });
    });
}

void TaSongSel::ClearTree() {
    TreeView1->clear();
    RootNode = AllSongsNode = ArtistsNode = GenreNode = AlbumNode = nullptr;
    ClickedNode = FoundNode = nullptr;
    questionAttached_ = false;
}

void TaSongSel::SetBusy(bool busy) {
    if (busy) {
        // Shipped next to the program; without it the tree's place stays empty meanwhile.
        if (Animate1->fileName().empty()) {
            try {
                Animate1->setFileName(forms_.aMain->AppDir + "findfolder.avi");
            } catch (const platform::Error&) {
            }
        }
        if (!building_)
            building_.emplace();
        TreeView1->hide();  // its place stays, so the button bar does not move
        FormResize();
        Animate1->show();
        Animate1->raise();
        Animate1->setActive(false);
        return;
    }
    Animate1->setActive(false);
    Animate1->hide();
    TreeView1->show();
    if (!btnAlbum->isEnabled() && !btnArtists->isEnabled() && !btnGenre->isEnabled())
        Panel3->hide();
    building_.reset();
}

void TaSongSel::RedrawPanel1() {
    // The animation's frames and the windows' paints come in; clicks, wheel turns and keys
    // are dropped.
    buildPacer_.letInWhenDue();
}

QTreeWidgetItem* TaSongSel::AddNode(QTreeWidgetItem* parent, const std::string& text, int image,
                                    int selectedImage) {
    const size_t slot = static_cast<size_t>(image * 12 + selectedImage);
    if (nodeIcons_.empty())
        nodeIcons_.resize(12 * 12);
    QIcon& icon = nodeIcons_[slot];
    const std::vector<QIcon>& images = forms_.aMain->ImageList1;
    if (icon.isNull() && static_cast<size_t>(std::max(image, selectedImage)) < images.size()) {
        icon.addPixmap(images[static_cast<size_t>(image)].pixmap(16, 16), QIcon::Normal);
        icon.addPixmap(images[static_cast<size_t>(selectedImage)].pixmap(16, 16), QIcon::Selected);
    }
    auto* node = new QTreeWidgetItem(QStringList{platform::latin1(text)});
    node->setIcon(0, icon);
    node->setData(0, kImageRole, image);
    node->setData(0, kSelectedImageRole, selectedImage);
    if (parent)
        parent->addChild(node);
    return node;
}

void TaSongSel::BuildAllSongsTree() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    SetBusy(true);
    const kv::AtExit idle([this] {
        SetBusy(false);
        QApplication::restoreOverrideCursor();
    });
    const std::vector<std::string>& library = forms_.aMain->SongLibrary;
    platform::LocaleSortedStrings keys(platform::TextKind::Latin1);
    Animate1->setActive(true);
    platform::qt::waitUntilDrawn(*this);
    for (const std::string& record : library) {
        keys.Add(SongSortKey(record));
        RedrawPanel1();
    }
    RootNode = AddNode(
        nullptr, forms_.aSetup->ClientName + " (" + std::to_string(library.size()) + " files)",
        kRootImage, kRootImage);
    TreeView1->insertTopLevelItem(0, RootNode);
    AllSongsNode = AddNode(RootNode, "All Songs", kAllSongsImage, kAllSongsImage);
    QList<QTreeWidgetItem*> songs;
    songs.reserve(static_cast<qsizetype>(keys.size()));
    for (const std::string& key : keys.Items()) {
        songs.append(AddNode(nullptr, SongText(key), kSongImage, kSongChosen));
        RedrawPanel1();
    }
    AllSongsNode->addChildren(songs);
}

QTreeWidgetItem* TaSongSel::AddGroupBranch(
    const char* text, int image, int groupSelectedImage, const std::vector<std::string>& groups,
    const std::vector<std::pair<std::string, std::string>>& members) {
    // One pass gathers each group's songs; a song belongs to the group whose key it carries
    // byte for byte. The keys are upper case already, so the group list kept every key a song
    // carries.
    std::unordered_map<std::string, platform::LocaleSortedStrings> songsOf;
    for (const auto& [group, songKey] : members)
        songsOf.try_emplace(group, platform::TextKind::Latin1).first->second.Add(songKey);

    QTreeWidgetItem* branch = AddNode(nullptr, text, image, image);
    QList<QTreeWidgetItem*> groupNodes;
    for (const std::string& group : groups) {
        QTreeWidgetItem* groupNode = AddNode(nullptr, group, image, groupSelectedImage);
        QList<QTreeWidgetItem*> songs;
        const auto found = songsOf.find(group);
        if (found == songsOf.end() || found->second.empty()) {
            songs.append(AddNode(nullptr, kPlaceholder, kPlaceholderImage, kPlaceholderImage));
        } else {
            for (const std::string& key : found->second.Items())
                songs.append(AddNode(nullptr, SongText(key), kSongImage, kSongChosen));
        }
        groupNode->addChildren(songs);
        groupNodes.append(groupNode);
        RedrawPanel1();
    }
    branch->addChildren(groupNodes);
    RootNode->addChild(branch);
    TreeView1->collapseItem(branch);
    TreeView1->scrollToItem(branch);
    return branch;
}

void TaSongSel::btnArtistsClick() {
    SetBusy(true);
    const kv::AtExit idle([this] { SetBusy(false); });
    btnArtists->setEnabled(false);
    RadioButton2->setEnabled(true);
    platform::LocaleSortedStrings groups(platform::TextKind::Latin1);
    std::vector<std::pair<std::string, std::string>> members;
    Animate1->setActive(true);
    for (const std::string& record : forms_.aMain->SongLibrary) {
        std::string key = ArtistKey(record);
        groups.Add(key);
        members.emplace_back(std::move(key), SongSortKey(record));
        RedrawPanel1();
    }
    if (RootNode)
        ArtistsNode =
            AddGroupBranch("Artists", kArtistImage, kArtistChosen, groups.Items(), members);
}

void TaSongSel::btnGenreClick() {
    SetBusy(true);
    const kv::AtExit idle([this] { SetBusy(false); });
    btnGenre->setEnabled(false);
    Animate1->setActive(true);
    platform::LocaleSortedStrings items(platform::TextKind::Latin1);
    const QComboBox* genres = forms_.aMain->ComboBox1;
    for (int i = 0; i < genres->count(); ++i)
        items.Add(platform::fromLatin1(genres->itemText(i)));
    std::vector<std::string> groups;
    for (const std::string& item : items.Items())
        groups.push_back(kv::UpperCase(kv::Trim(item)));
    std::vector<std::pair<std::string, std::string>> members;
    for (const std::string& record : forms_.aMain->SongLibrary) {
        // A genre column that is no number belongs to no genre.
        std::int32_t code = 0;
        if (!kv::TryStrToInt(kv::Copy(record, 67, 3), code))
            continue;
        members.emplace_back(
            kv::Trim(kv::UpperCase(GenreName(static_cast<std::uint8_t>(code & 0xFF)))),
            SongSortKey(record));
    }
    if (RootNode)
        GenreNode = AddGroupBranch("Song Genre", kGenreImage, kGenreChosen, groups, members);
}

void TaSongSel::btnAlbumClick() {
    SetBusy(true);
    const kv::AtExit idle([this] { SetBusy(false); });
    btnAlbum->setEnabled(false);
    RadioButton3->setEnabled(true);
    platform::LocaleSortedStrings groups(platform::TextKind::Latin1);
    std::vector<std::pair<std::string, std::string>> members;
    Animate1->setActive(true);
    for (const std::string& record : forms_.aMain->SongLibrary) {
        std::string key = AlbumKey(record);
        groups.Add(key);
        members.emplace_back(std::move(key), SongSortKey(record));
        RedrawPanel1();
    }
    if (RootNode)
        AlbumNode =
            AddGroupBranch("Music Album", kAlbumImage, kAlbumChosen, groups.Items(), members);
}

void TaSongSel::TreeView1Click() {
    // Another song's values must never be saved into the file being edited.
    if (tagEditing_)
        btnTagCancelClick();
    questionAttached_ = false;
    ClickedNode = nullptr;
    GroupBox1Tag = 0;
    btnTagEdit->hide();
    const QList<QTreeWidgetItem*> selected = TreeView1->selectedItems();
    if (selected.isEmpty())
        return;
    for (QLineEdit* edit : {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, Edit8})
        edit->clear();
    shownSongFile_ = {};
    QTreeWidgetItem* current = TreeView1->currentItem();
    ClickedNode = current && current->isSelected() ? current : selected.last();

    const std::string number = kv::LeftChars(NodeText(ClickedNode), 6);
    SongInfo info;
    if (GetSongInfo(number, info)) {
        kv::TryStrToInt(number, GroupBox1Tag);
        Edit1->setText(platform::latin1(info.title));
        Edit2->setText(platform::latin1(info.artist));
        Edit3->setText(platform::latin1(info.album));
        Edit4->setText(platform::latin1(info.genre));
        Edit5->setText(platform::latin1(info.year));
        Edit6->setText(platform::latin1(info.comment));
        Edit7->setText(platform::fileName(kv::ExtractFilePath(info.filePath)));
        Edit8->setText(platform::fileName(kv::ExtractFileName(info.filePath)));
        shownSongFile_ = info.songFile;
        btnTagEdit->show();
        return;
    }
    const char* question = nullptr;
    switch (SelectedImage(ClickedNode)) {
        case kArtistChosen:
            question = "Select all songs by ";
            break;
        case kGenreChosen:
            question = "Select song Genre ";
            break;
        case kAlbumChosen:
            question = "Select songs from album ";
            break;
        default:
            ClickedNode = nullptr;
            GroupBox1Tag = 0;
            return;
    }
    const std::string caption = question + ("\"" + kv::Trim(NodeText(ClickedNode)) + "\"") + "?";
    Select1->setTitle(platform::latin1(caption).replace('&', "&&"));
    questionAttached_ = true;
}

void TaSongSel::AddChildrenToSelection(const QTreeWidgetItem* node) {
    std::vector<std::string> numbers;
    for (int i = 0; i < node->childCount(); ++i)
        numbers.push_back(kv::LeftChars(NodeText(node->child(i)), 6));
    AddSongsToSelection(numbers);
}

void TaSongSel::Yes1Click() {
    if (ClickedNode)
        AddChildrenToSelection(ClickedNode);
}

void TaSongSel::No1Click() {
    ClickedNode = nullptr;
}

void TaSongSel::TreeView1DblClick() {
    if (GroupBox1Tag > 0) {
        const std::string number = kv::PadLeft(std::to_string(GroupBox1Tag), 6, "0");
        const int song = forms_.Dm->FindSongByNo(number);
        for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
            // The rows' songs, not their numbers: a scan since may have given them anew.
            if (song >= 0 && SelectionRowSong(ListView1->topLevelItem(i)) == song) {
                platform::dialogs().showMessage("Song is in the Selection already!");
                return;
            }
        }
        AddToSelection(number);
    }
    UpdateSelectionCaption();
    UpdateListButtons();
}

void TaSongSel::TreeView1KeyDown(int key, Qt::KeyboardModifiers modifiers) {
    if (!(modifiers & Qt::ControlModifier) || key != Qt::Key_S)
        return;
    const QList<QTreeWidgetItem*> selected = TreeView1->selectedItems();
    if (selected.size() < 2)
        return;
    std::vector<std::string> numbers;
    for (const QTreeWidgetItem* node : selected) {
        const int image = node->data(0, kImageRole).toInt();
        if (image == kSongImage) {
            numbers.push_back(kv::LeftChars(NodeText(node), 6));
        } else if (image == kArtistImage || image == kAlbumImage || image == kGenreImage) {
            for (int i = 0; i < node->childCount(); ++i)
                numbers.push_back(kv::LeftChars(NodeText(node->child(i)), 6));
        }
    }
    AddSongsToSelection(numbers);
}

bool TaSongSel::TreeEventFilter(QObject* watched, QEvent* event) {
    if (watched == TreeView1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const int code = key->key();
        const Qt::KeyboardModifiers modifiers = key->modifiers();
        platform::guarded([this, code, modifiers] { TreeView1KeyDown(code, modifiers); });
        return false;  // the tree still sees the key
    }
    if (watched == Panel1 && event->type() == QEvent::Resize)
        FormResize();
    return false;
}

}  // namespace sonpad
