#pragma once

#include <QStringList>
#include <QTreeWidget>
#include <initializer_list>

namespace platform::widgets {

// A report-style list view: whole rows, no tree lines, column titles that can be clicked
// (the windows sort by text themselves, so no sort indicator), columns at the given widths.
QTreeWidget* NewReportView(QWidget* parent, const QStringList& titles,
                           std::initializer_list<int> widths);

}  // namespace platform::widgets
