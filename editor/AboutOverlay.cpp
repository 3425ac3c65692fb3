#include "editor/AboutOverlay.h"

#include "gui/Surface.h"

namespace editor {

namespace {
constexpr int kTextFont = 4;
constexpr int kLinkReach = 5;  // pixels above and below the band's middle
}

AboutOverlay::AboutOverlay(const gui::Rect& clickArea, gui::ControlListener* listener, int tag, gui::Bitmap* picture,
                           const gui::Rect& display, gui::Point pictureOffset, gui::Point textOffset, int textBand,
                           LinkOpener openLink)
    : OverlayButton(clickArea, listener, tag, picture, display, pictureOffset), textOffset_(textOffset),
      textBand_(textBand), openLink_(std::move(openLink)) {}

void AboutOverlay::addLine(const std::string& text) {
    lines_.push_back(text);
}

std::vector<AboutOverlay::Segment> AboutOverlay::segments(const std::string& line) {
    std::vector<Segment> result;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t open = line.find('<', at);
        if (open == std::string::npos) {
            result.push_back({line.substr(at), {}});
            break;
        }
        if (open > at) result.push_back({line.substr(at, open - at), {}});
        const std::size_t close = line.find('>', open);
        if (close == std::string::npos) {
            result.push_back({line.substr(open), {}});
            break;
        }
        const std::string inside = line.substr(open + 1, close - open - 1);
        const std::size_t semicolon = inside.find(';');
        if (semicolon == std::string::npos) result.push_back({inside, {}});
        else result.push_back({inside.substr(0, semicolon), inside.substr(semicolon + 1)});
        at = close + 1;
    }
    return result;
}

void AboutOverlay::drawLine(gui::Surface& surface, const std::string& line, const gui::Rect& band) {
    const std::vector<Segment> parts = segments(line);
    int total = 0;
    for (const Segment& part : parts) total += surface.stringWidth(part.label);
    int x = (band.left + band.right) / 2 - total / 2;
    const int middle = (band.top + band.bottom) / 2;
    for (const Segment& part : parts) {
        const int width = surface.stringWidth(part.label);
        const gui::Rect cell{x, band.top, x + width, band.bottom};
        if (part.target.empty()) {
            surface.setFontColor(textColor_);
        } else {
            surface.setFontColor(linkColor_);
            surface.setFrameColor(linkColor_);
            surface.moveTo({x, middle + kLinkReach});
            surface.lineTo({x + width, middle + kLinkReach});
            links_.push_back({{x, middle - kLinkReach, x + width, middle + kLinkReach}, part.target});
        }
        surface.drawString(part.label, cell, false, gui::kAlignLeft);
        x += width;
    }
}

void AboutOverlay::draw(gui::Surface& surface) {
    if (value_ == 0.0f) {
        setDirty(false);
        return;
    }
    if (background_) {
        background_->draw(surface, display_, pictureOffset_);
    } else {
        surface.setFillColor(gui::colors::kWhite);
        surface.fillRect({display_.left - 1, display_.top - 1, display_.right, display_.bottom});
    }
    const int step = textOffset_.y;
    gui::Rect band{display_.left, display_.top + step, display_.right, display_.top + step + textBand_ + step};
    surface.setFont(kTextFont, 0, 0);
    links_.clear();
    for (const std::string& line : lines_) {
        if (line == "\n") {
            band = band.offset(0, step / 2);
            continue;
        }
        drawLine(surface, line, band);
        band = band.offset(0, step);
    }
    surface.setFrameColor(gui::colors::kBlack);
    surface.drawRect(size_);
    setDirty(false);
}

void AboutOverlay::mouse(gui::Surface& surface, gui::Point where) {
    if (!mouseEnabled_) return;
    if (value_ != 0.0f) {
        for (const LinkArea& link : links_) {
            if (!link.rect.contains(where)) continue;
            if ((surface.mouseButtons() & gui::kPrimaryButton) && openLink_) openLink_(link.target);
            return;
        }
    }
    OverlayButton::mouse(surface, where);
}

}  // namespace editor
