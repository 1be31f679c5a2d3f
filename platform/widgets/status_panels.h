#pragma once

#include <QStatusBar>
#include <string>
#include <string_view>
#include <vector>

class QLabel;

namespace platform::widgets {

// A status bar of text panels of set widths, left to right; the last one also takes the room
// that is left.
class StatusPanels : public QStatusBar {
    Q_OBJECT
  public:
    StatusPanels(int panelCount, QWidget* parent = nullptr);

    void SetText(int panel, std::string_view text);
    std::string Text(int panel) const;
    void SetWidth(int panel, int width);
    int Width(int panel) const;
    // The width at which the panel would show the text whole, in its font and frame.
    int FittingWidth(int panel, std::string_view text) const;
    void SetAlignment(int panel, Qt::Alignment alignment);

  private:
    std::vector<QLabel*> panels_;
};

}  // namespace platform::widgets
