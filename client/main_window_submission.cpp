// The queue's songs on their way to the server. A row counts as submitted only once the
// server answered its "#FIL" ("#FILack" or "#FILnak"); until then the row itself holds what is
// still to go, so whatever the user does to the queue also decides what the server gets.
#include <QCheckBox>
#include <QTreeWidget>
#include <algorithm>
#include <vector>

#include "client/data_module.h"
#include "client/main_window.h"
#include "client/queue_row.h"
#include "common/text_helpers.h"
#include "platform/qt/text_edge.h"

namespace sonpad {
namespace {

using namespace queue_row;

std::string RowText(const QTreeWidgetItem* row, int column) {
    return platform::fromLatin1(row->text(column));
}

std::uint64_t TicketOf(const QTreeWidgetItem* row) {
    return row->data(0, kTicketRole).toULongLong();
}

bool Owed(const QTreeWidgetItem* row) {
    return row->data(0, kOwedRole).toBool();
}

void SetTicket(QTreeWidgetItem* row, std::uint64_t ticket, bool owed) {
    row->setData(0, kTicketRole, QVariant::fromValue<qulonglong>(ticket));
    row->setData(0, kOwedRole, owed);
}

}  // namespace

bool TaMain::QueueRowOnItsWay(const QTreeWidgetItem* row) {
    return TicketOf(row) != 0;
}

QTreeWidgetItem* TaMain::QueueRowOfTicket(std::uint64_t ticket) const {
    if (ticket == 0)
        return nullptr;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i)
        if (TicketOf(ListView1->topLevelItem(i)) == ticket)
            return ListView1->topLevelItem(i);
    return nullptr;
}

QTreeWidgetItem* TaMain::OwedQueueRow() const {
    QTreeWidgetItem* first = nullptr;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = ListView1->topLevelItem(i);
        if (Owed(row) && (!first || TicketOf(row) < TicketOf(first)))
            first = row;
    }
    return first;
}

std::string TaMain::SubmittedFileName(const QTreeWidgetItem* row) {
    // Leading blanks are part of the name; trailing ones are not, as in the lists.
    return kv::TrimRight(platform::fromFileName(row->text(kFileNameColumn)));
}

std::string TaMain::SubmittedText(const QTreeWidgetItem* row) {
    return "\"" + kv::Trim(RowText(row, kTitleColumn)) + " (" +
           kv::Trim(RowText(row, kArtistColumn)) + ") \" submitted to Sonhall.";
}

void TaMain::SubmitQueueRow(QTreeWidgetItem* row) {
    const std::uint64_t ticket = ++lastTicket_;
    // A write that fails ends the connection, which settles the rows; this one is unchanged.
    SendRequest("#FIL" + SubmittedFileName(row), ticket);
    if (!QueueRowPlayed(row)) {
        MarkQueueRow(row, true);
        ++PlayedCount;
    }
    SetTicket(row, ticket, false);
    forms_.Dm->SetStatusText(1, SubmittedText(row));
}

void TaMain::TakeQueueRow(QTreeWidgetItem* row) {
    SetTicket(row, 0, false);
    if (cbRemoveSong->isChecked())
        RemoveFirstQueueEntry(row->text(kSongNoColumn));
}

void TaMain::SubmissionAnswered(std::uint64_t ticket) {
    // A row the user removed meanwhile has nothing left to take.
    if (QTreeWidgetItem* row = QueueRowOfTicket(ticket)) {
        TakeQueueRow(row);
        forms_.Dm->UpdateSongQueCaption();
    }
}

void TaMain::SubmissionReplaced(std::uint64_t ticket) {
    if (QTreeWidgetItem* row = QueueRowOfTicket(ticket))
        SetTicket(row, ticket, true);
}

void TaMain::SettleSubmissions() {
    std::vector<std::uint64_t> tickets;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i)
        if (const std::uint64_t ticket = TicketOf(ListView1->topLevelItem(i)))
            tickets.push_back(ticket);
    if (tickets.empty())
        return;
    // A removal may take another of them, so each is looked up again.
    for (const std::uint64_t ticket : tickets) {
        QTreeWidgetItem* row = QueueRowOfTicket(ticket);
        if (!row)
            continue;
        if (!Owed(row)) {
            // It went out on the connection, which the server reads in order.
            TakeQueueRow(row);
            continue;
        }
        // Never queued: back at its place, to be chosen again.
        SetTicket(row, 0, false);
        if (QueueRowPlayed(row)) {
            MarkQueueRow(row, false);
            PlayedCount = std::max(0, PlayedCount - 1);
        }
    }
    forms_.Dm->UpdateSongQueCaption();
}

}  // namespace sonpad
