#include "client/windows/all_songs_window.h"

#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <climits>
#include <vector>

#include "client/data_module.h"
#include "client/main_window.h"
#include "client/progress_window.h"
#include "client/setup_window.h"
#include "common/text_lines.h"
#include "platform/event_guard.h"
#include "platform/files.h"
#include "platform/qt/non_input_events.h"
#include "platform/qt/text_edge.h"
#include "platform/widgets/report_view.h"
#include "platform/widgets/status_panels.h"
#include "platform/widgets/text_sort.h"

namespace sonpad {
namespace {

constexpr char kCellMark = '@';

int ClampToInt(size_t n) {
    return static_cast<int>(std::min<size_t>(n, INT_MAX));
}

// The rows of one file, made away from the list and handed to it at once, with the columns
// grown to their widest text. The list, emptied, is drawn as usual meanwhile.
class ListingRows {
  public:
    explicit ListingRows(QTreeWidget* view) : view_(view) {
        for (int c = 0; c < TaAllSongs::kColumns; ++c)
            widths_[static_cast<size_t>(c)] = view_->columnWidth(c);
        // A line of a binary file may be very long: its width stops at what the header takes.
        longest_ = static_cast<size_t>(std::max(0, view_->header()->maximumSectionSize() - 5) / 9);
    }
    ~ListingRows() {
        qDeleteAll(rows_);  // rows never handed over
    }
    ListingRows(const ListingRows&) = delete;
    ListingRows& operator=(const ListingRows&) = delete;

    bool Empty() const { return rows_.isEmpty(); }
    qsizetype Count() const { return rows_.size(); }

    void AddRow(std::string_view caption) {
        rows_.append(new platform::widgets::TextSortItem());
        cells_ = 0;
        Put(0, caption);
    }

    // The next cell of the last row; none past the last column.
    void AddCell(std::string_view text) {
        if (cells_ < TaAllSongs::kColumns - 1)
            Put(++cells_, text);
    }

    void HandOver() {
        view_->addTopLevelItems(rows_);
        rows_.clear();
        for (int c = 0; c < TaAllSongs::kColumns; ++c)
            view_->setColumnWidth(c, widths_[static_cast<size_t>(c)]);
    }

  private:
    void Put(int column, std::string_view text) {
        rows_.back()->setText(column, platform::latin1(text));
        auto& width = widths_[static_cast<size_t>(column)];
        width = TDm::FitColumnWidth(text.substr(0, longest_), width);
    }

    QTreeWidget* view_;
    QList<QTreeWidgetItem*> rows_;
    std::array<int, TaAllSongs::kColumns> widths_{};
    size_t longest_ = 0;
    int cells_ = 0;
};

// Shows the progress window drawn, and closes it however the load ends.
class ProgressShown {
  public:
    ProgressShown(TaProgress& progress, QWidget* owner) : progress_(progress) {
        progress_.ShowAbove(owner);
        platform::qt::waitUntilDrawn(progress_);
    }
    ~ProgressShown() { progress_.close(); }
    ProgressShown(const ProgressShown&) = delete;
    ProgressShown& operator=(const ProgressShown&) = delete;

  private:
    TaProgress& progress_;
};

}  // namespace

TaAllSongs::TaAllSongs(ClientForms& forms, const ClientEnvironment& env)
    : QWidget(nullptr, Qt::Window), forms_(forms), env_(env) {
    setWindowTitle("Song Listing");
    resize(600, 400);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 6);
    GroupBox1 = new QGroupBox("|  All Songs  |", this);
    auto* inner = new QVBoxLayout(GroupBox1);
    inner->setContentsMargins(4, 4, 4, 4);
    ListView1 = platform::widgets::NewReportView(
        GroupBox1,
        {"Song Id", "Title", "Artist", "Album", "Genre", "Year", "Played", "Comment", "Filespec"},
        {60, 150, 120, 120, 80, 40, 50, 100, 200});
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    inner->addWidget(ListView1);
    column->addWidget(GroupBox1);

    connect(ListView1->header(), &QHeaderView::sectionClicked, this,
            [this](int c) { platform::guarded([this, c] { ListView1ColumnClick(c); }); });
    // Anywhere in the list, on a row or below the last one.
    ListView1->viewport()->installEventFilter(this);
    FormCreate();
}

void TaAllSongs::FormCreate() {}

std::string TaAllSongs::SongLibraryFile() const {
    return platform::fromFileName(forms_.aSetup->Edit2->text()) + "SONGLIB.LST";
}

bool TaAllSongs::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ListView1->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        platform::guarded([this] { ListView1DblClick(); });
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TaAllSongs::ListView1DblClick() {
    // The progress window is the scan's while one runs.
    if (platform::scanUnderWay())
        return;
    const std::string path = SongLibraryFile();
    if (platform::files::fileExists(platform::files::Name(path)))
        LoadSongLibraryFile(path);
}

void TaAllSongs::LoadSongLibraryFile(const std::string& path) {
    ListView1->clear();
    const std::vector<std::string> lines =
        kv::TextLines(platform::files::readWholeFile(platform::files::Name(path)));
    if (lines.empty())
        return;

    TaProgress& progress = *forms_.aProgress;
    progress.ProgressBar1->setRange(0, ClampToInt(lines.size() - 1));
    progress.ProgressBar1->setValue(0);
    progress.setWindowTitle("Loading...");
    progress.SetStatusText("Songs read: 0");
    const platform::qt::LongWork work;
    const ProgressShown shown(
        progress, isVisible() ? static_cast<QWidget*>(this) : static_cast<QWidget*>(forms_.aMain));
    ListingRows rows(ListView1);
    // The bar and the count from the first line on, at the display's rate, and as they end;
    // the windows are drawn meanwhile, clicks and keys are dropped.
    platform::qt::NonInputEventPacer pacer(env_.progressIntervalMs);
    const auto show = [&](size_t index) {
        progress.ProgressBar1->setValue(ClampToInt(index));
        progress.SetStatusText("Songs read: " + std::to_string(rows.Count()));
        pacer.letIn();
    };

    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (line.empty() || line.front() != kCellMark)
            rows.AddRow(line);
        else if (!rows.Empty())  // a cell before the first row has no row to go to
            rows.AddCell(line.substr(1));
        if (pacer.due())
            show(i);
    }
    show(lines.size() - 1);
    rows.HandOver();
}

void TaAllSongs::ListView1ColumnClick(int column) {
    sortColumn_ = column;
    platform::widgets::SortRowsByColumnText(ListView1, sortColumn_);
}

}  // namespace sonpad
