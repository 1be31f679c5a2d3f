#pragma once

#include <QWidget>
#include <string_view>

#include "server/server_environment.h"

class QGroupBox;
class QTreeWidget;

namespace sonhall {

// The on-screen log of every song the server starts; it lives only in the window.
class TaPlaylog : public QWidget {
    Q_OBJECT
  public:
    explicit TaPlaylog(const ServerEnvironment& env);

    QGroupBox* GroupBox1 = nullptr;
    QTreeWidget* ListView1 = nullptr;  // "#", "Date", "Time", "Song Id", "Filename", "Comments"

    // Appends a row numbered with the new row count; widens the columns to fit it.
    void AddEntry(std::string_view songId, std::string_view fileName);

    void FormCreate();
    void ListView1ColumnClick(int column);
    void ListView1DblClick();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    const ServerEnvironment& env_;
    int SortColumn = 0;
};

}  // namespace sonhall
