// Editing the ID3v1 tag of the song the song information shows: Edit, Save, Cancel, Remove
// and the genre choice.
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>

#include "client/song_sel_window.h"
#include "common/conversion.h"
#include "common/id3v1_tag.h"
#include "common/message_dialogs.h"
#include "common/song_record.h"
#include "common/text_helpers.h"
#include "platform/dialogs.h"
#include "platform/event_guard.h"
#include "platform/files.h"
#include "platform/qt/text_edge.h"

namespace sonpad {
namespace {

struct TagTexts {
    std::string title, artist, genre, album, year, comment;
    bool found = false;
};

TagTexts ReadTag(const platform::files::Name& file) {
    TagTexts t;
    t.found = kv::ReadId3v1Tag(file, t.title, t.artist, t.genre, t.album, t.year, t.comment);
    return t;
}

}  // namespace

std::string TaSongSel::TagFileSpec() const {
    // A song's file name ends in ".MP3": blanks before it are the name's own.
    return kv::Trim(platform::fromFileName(Edit7->text())) +
           kv::TrimRight(platform::fromFileName(Edit8->text()));
}

platform::files::Name TaSongSel::TagFile() const {
    // The shown song's own file, while the fields show it; the upper-case path alone would
    // find the first of two files that differ only in case, or a file that stands in for one
    // that vanished.
    const std::string& shown = shownSongFile_.text();
    if (!shown.empty() &&
        kv::UpperCase(kv::ExtractFileName(shown)) == platform::fromFileName(Edit8->text()))
        return shownSongFile_;
    // The fields as the user may have typed them: a name from outside.
    return platform::files::Name(TagFileSpec());
}

void TaSongSel::ShowGenreChoice(const std::string& name) {
    // The item of that name, so the genre number follows the list; a name the list does not
    // hold (genres 126 to 255) shows without an item and leaves the number as it is.
    const QSignalBlocker quiet(cbGenre);
    const int item = cbGenre->findText(platform::latin1(name), Qt::MatchExactly);
    cbGenre->setCurrentIndex(item);
    cbGenre->setPlaceholderText(item < 0 ? platform::latin1(name) : QString());
}

void TaSongSel::btnTagEditClick() {
    const platform::files::Name file = TagFile();
    if (!platform::files::fileExists(file)) {
        platform::dialogs().showMessage("Cannot locate file \"" + TagFileSpec() + "\"");
        return;
    }
    const TagTexts tag = ReadTag(file);
    Edit4->hide();
    cbGenre->show();
    const std::pair<QLineEdit*, const std::string*> fields[] = {
        {Edit1, &tag.title}, {Edit2, &tag.artist}, {Edit3, &tag.album},
        {Edit4, &tag.genre}, {Edit5, &tag.year},   {Edit6, &tag.comment}};
    for (const auto& [edit, text] : fields) {
        edit->setText(platform::latin1(kv::Trim(*text)));
        edit->setReadOnly(false);
    }
    btnTagEdit->hide();
    for (QPushButton* b : {btnTagSave, btnTagCancel, btnTagRemove})
        b->show();
    tagEditing_ = true;
    Edit1->setFocus();
    if (!tag.found) {
        Edit4->setText("12");
        ShowGenreChoice("Other");
    }
    const std::string genre = kv::Trim(tag.genre);
    std::int32_t code = 0;
    if (genre.size() == 3 && kv::TryStrToInt(genre, code))
        ShowGenreChoice(kv::Trim(GenreName(static_cast<std::uint8_t>(code & 0xFF))));
}

void TaSongSel::btnTagSaveClick() {
    const auto text = [](const QLineEdit* edit) { return platform::fromLatin1(edit->text()); };
    kv::WriteId3v1Tag(TagFile(), text(Edit1), text(Edit2), text(Edit3), text(Edit6), text(Edit5),
                      text(Edit4));
    btnTagCancelClick();
}

void TaSongSel::btnTagRemoveClick() {
    if (kv::ConfirmDlg("Remove TAG from file?"))
        kv::WriteId3v1Tag(TagFile(), "", "", "", "", "", "12");
    btnTagCancelClick();
}

void TaSongSel::btnTagCancelClick() {
    tagEditing_ = false;
    for (QLineEdit* edit : {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6})
        edit->setReadOnly(true);
    for (QPushButton* b : {btnTagCancel, btnTagSave, btnTagRemove})
        b->hide();
    btnTagEdit->show();
    cbGenre->hide();
    Edit4->show();
    const platform::files::Name file = TagFile();
    if (!platform::files::fileExists(file)) {
        // The edits stay; the genre shows by name, as in view mode.
        std::int32_t code = 0;
        if (kv::TryStrToInt(kv::Trim(platform::fromLatin1(Edit4->text())), code))
            Edit4->setText(
                platform::latin1(kv::Trim(GenreName(static_cast<std::uint8_t>(code & 0xFF)))));
        return;
    }
    const TagTexts tag = ReadTag(file);
    Edit1->setText(platform::latin1(kv::Trim(tag.title)));
    Edit2->setText(platform::latin1(kv::Trim(tag.artist)));
    Edit3->setText(platform::latin1(kv::Trim(tag.album)));
    Edit4->setText(platform::latin1(kv::Trim(tag.genre)));
    Edit5->setText(platform::latin1(kv::Trim(tag.year)));
    Edit6->setText(platform::latin1(kv::Trim(tag.comment)));
    const std::string genre = kv::Trim(tag.genre);
    std::int32_t code = 0;
    if (genre.size() == 3 && kv::TryStrToInt(genre, code))
        Edit4->setText(
            platform::latin1(kv::Trim(GenreName(static_cast<std::uint8_t>(code & 0xFF)))));
}

void TaSongSel::cbGenreExit() {
    // No item chosen: the file's own genre, one the list has no name for, is kept.
    if (cbGenre->currentIndex() < 0)
        return;
    if (cbGenre->currentText().isEmpty()) {
        if (genreChecking_)
            return;
        genreChecking_ = true;
        platform::dialogs().showMessage("Please select a valid Genre");
        genreChecking_ = false;
        cbGenre->setFocus();
        return;
    }
    Edit4->setText(QString::number(cbGenre->currentIndex() - 1));
}

bool TaSongSel::TagEventFilter(QObject* watched, QEvent* event) {
    // Leaving the combo while editing; opening its own list is no leaving.
    if (watched == cbGenre && event->type() == QEvent::FocusOut && tagEditing_ &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
        platform::guarded([this] { cbGenreExit(); });
    return false;
}

}  // namespace sonpad
