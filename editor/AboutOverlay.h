// The about box: a click on the top-left corner of the window shows the
// about picture over the middle of the window with lines of text, some of
// them links; a click on a link opens it, any other click hides the box.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "gui/Color.h"
#include "gui/OverlayButton.h"

namespace editor {

class AboutOverlay : public gui::OverlayButton {
public:
    using LinkOpener = std::function<void(const std::string& target)>;

    AboutOverlay(const gui::Rect& clickArea, gui::ControlListener* listener, int tag, gui::Bitmap* picture,
                 const gui::Rect& display, gui::Point pictureOffset, gui::Point textOffset, int textBand,
                 LinkOpener openLink);

    // A line of plain text and links written <label;target>; a line that is
    // exactly "\n" is half a line of space.
    void addLine(const std::string& text);
    void draw(gui::Surface& surface) override;
    void mouse(gui::Surface& surface, gui::Point where) override;

    struct LinkArea {
        gui::Rect rect;
        std::string target;
    };
    const std::vector<LinkArea>& linkAreas() const { return links_; }

    struct Segment {
        std::string label;
        std::string target;  // empty for plain text
    };
    static std::vector<Segment> segments(const std::string& line);

private:
    void drawLine(gui::Surface& surface, const std::string& line, const gui::Rect& band);

    gui::Point textOffset_;
    gui::Color textColor_ = gui::colors::kBlack;
    gui::Color linkColor_ = gui::colors::kBlue;
    int textBand_;
    std::vector<std::string> lines_;
    std::vector<LinkArea> links_;
    LinkOpener openLink_;
};

}  // namespace editor
