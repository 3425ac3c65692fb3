#include "gui/PopupMenuControl.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "gui/Fonts.h"
#include "gui/RootView.h"
#include "gui/Surface.h"
#include "gui/Zoom.h"

namespace gui {

// Draws a menu and its open submenus over the window and follows the mouse
// and keys until the user chooses an entry or leaves.
class MenuTracker {
public:
    MenuTracker(RootView& root, InputSource& input, int buttons) : root_(root), input_(input), buttons_(buttons) {}

    // The chosen menu and index, or null.
    PopupMenuControl* run(PopupMenuControl& menu, Point at, int* index);

private:
    struct Panel {
        PopupMenuControl* menu;
        Rect rect;
        std::vector<Rect> rows;
        int highlighted = -1;
    };

    Panel layout(PopupMenuControl& menu, Point at) const;
    void draw();
    void restore();
    // The deepest panel under the point, and the entry there (or -1).
    int panelAt(Point where, int* entry) const;
    void openSubmenu(std::size_t panelIndex, int entry);
    static bool selectable(const std::string& entry) {
        return !PopupMenuControl::isSeparator(entry) && !PopupMenuControl::isTitle(entry) &&
               !PopupMenuControl::isGreyed(entry) && !PopupMenuControl::isSubmenu(entry);
    }
    void step(Panel& panel, int direction);

    static constexpr int kFont = 3;
    RootView& root_;
    InputSource& input_;
    int buttons_;
    std::vector<Panel> panels_;
    PixelBuffer saved_;
};

MenuTracker::Panel MenuTracker::layout(PopupMenuControl& menu, Point at) const {
    Surface measure(root_.pixels());
    measure.setFont(kFont);
    const int rowHeight = measure.fontHeight() + 6;
    int width = 40;
    for (const std::string& entry : menu.entries_)
        width = std::max(width, measure.stringWidth(PopupMenuControl::shownText(entry)) + 40);
    Panel panel{&menu, {}, {}, -1};
    int column = 0, row = 0, rows = 0;
    for (int i = 0; i < menu.entryCount(); ++i) {
        if (menu.startsColumn(i)) {
            ++column;
            row = 0;
        }
        const int height = PopupMenuControl::isSeparator(menu.entries_[static_cast<std::size_t>(i)]) ? 7 : rowHeight;
        const int top = row == 0 ? at.y + 2 : panel.rows.back().bottom;
        panel.rows.push_back({at.x + 2 + column * width, top, at.x + 2 + (column + 1) * width, top + height});
        ++row;
        rows = std::max(rows, panel.rows.back().bottom - at.y + 2);
    }
    panel.rect = {at.x, at.y, at.x + (column + 1) * width + 4, at.y + std::max(rows, 8)};
    // Keep the panel inside the window where it fits.
    const int dx = std::min(0, root_.size().width() - 1 - panel.rect.right) + std::max(0, -panel.rect.left);
    const int dy = std::min(0, root_.size().height() - 1 - panel.rect.bottom) + std::max(0, -panel.rect.top);
    panel.rect = panel.rect.offset(dx, dy);
    for (Rect& r : panel.rows) r = r.offset(dx, dy);
    return panel;
}

void MenuTracker::restore() {
    root_.pixels() = saved_;
}

void MenuTracker::draw() {
    restore();
    Surface surface = root_.surface();
    surface.setFont(kFont);
    for (const Panel& panel : panels_) {
        surface.setFillColor(Color{240, 240, 240, 0});
        surface.fillRect({panel.rect.left - 1, panel.rect.top - 1, panel.rect.right, panel.rect.bottom});
        surface.setFrameColor(Color{100, 100, 100, 0});
        surface.drawRect(panel.rect);
        const PopupMenuControl& menu = *panel.menu;
        for (int i = 0; i < menu.entryCount(); ++i) {
            const std::string& entry = menu.entries_[static_cast<std::size_t>(i)];
            const Rect& row = panel.rows[static_cast<std::size_t>(i)];
            if (PopupMenuControl::isSeparator(entry)) {
                surface.setFrameColor(Color{160, 160, 160, 0});
                surface.moveTo({row.left + 4, row.top + 3});
                surface.lineTo({row.right - 4, row.top + 3});
                continue;
            }
            const bool lit = i == panel.highlighted && !PopupMenuControl::isTitle(entry);
            if (lit) {
                surface.setFillColor(Color{51, 102, 204, 0});
                surface.fillRect({row.left - 1, row.top - 1, row.right, row.bottom});
            }
            Color ink = lit ? colors::kWhite : colors::kBlack;
            if (PopupMenuControl::isGreyed(entry)) ink = colors::kGrey;
            surface.setFontColor(ink);
            surface.setFont(kFont, 0, PopupMenuControl::isTitle(entry) ? kBold : 0);
            surface.drawString(PopupMenuControl::shownText(entry), {row.left + 16, row.top, row.right - 16, row.bottom},
                               false, kAlignLeft);
            if (menu.showsCheck(i)) surface.drawString("x", {row.left + 2, row.top, row.left + 14, row.bottom}, false, kAlignCenter);
            if (PopupMenuControl::isSubmenu(entry))
                surface.drawString(">", {row.right - 14, row.top, row.right - 2, row.bottom}, false, kAlignCenter);
        }
    }
    root_.redrawPixels();
}

int MenuTracker::panelAt(Point where, int* entry) const {
    for (int p = static_cast<int>(panels_.size()) - 1; p >= 0; --p) {
        const Panel& panel = panels_[static_cast<std::size_t>(p)];
        if (!panel.rect.contains(where)) continue;
        *entry = -1;
        for (std::size_t i = 0; i < panel.rows.size(); ++i)
            if (where.x >= panel.rows[i].left && where.x < panel.rows[i].right && where.y >= panel.rows[i].top &&
                where.y < panel.rows[i].bottom)
                *entry = static_cast<int>(i);
        return p;
    }
    return -1;
}

void MenuTracker::openSubmenu(std::size_t panelIndex, int entry) {
    panels_.resize(panelIndex + 1);
    PopupMenuControl* sub = panels_[panelIndex].menu->submenuAt(entry);
    if (!sub || sub->entryCount() == 0) return;
    const Rect& row = panels_[panelIndex].rows[static_cast<std::size_t>(entry)];
    panels_.push_back(layout(*sub, {row.right + 2, row.top - 2}));
}

void MenuTracker::step(Panel& panel, int direction) {
    const int count = panel.menu->entryCount();
    for (int tries = 0, i = panel.highlighted; tries < count; ++tries) {
        i = (i + direction + count) % count;
        const std::string& entry = panel.menu->entries_[static_cast<std::size_t>(i)];
        if (!PopupMenuControl::isSeparator(entry) && !PopupMenuControl::isTitle(entry)) {
            panel.highlighted = i;
            return;
        }
    }
}

PopupMenuControl* MenuTracker::run(PopupMenuControl& menu, Point at, int* index) {
    saved_ = root_.pixels();
    panels_.push_back(layout(menu, at));
    draw();
    const int mask = kPrimaryButton | kSecondaryButton;
    bool down = (buttons_ & mask) != 0;
    // The release of the click that opened the menu chooses nothing: the
    // menu stays open for the next click, unless the mouse moved or was held.
    bool opening = down;
    const long long openedAt = input_.ticks();
    Point anchor{};
    bool anchored = false;
    PopupMenuControl* chosen = nullptr;
    for (bool done = false; !done && input_.modalLoopAlive();) {
        bool changed = false;
        KeyCode key;
        while (!done && input_.nextKey(&key)) {
            Panel& last = panels_.back();
            if (key.virt == kKeyEscape) done = true;
            else if (key.virt == kKeyDown || key.virt == kKeyUp) step(last, key.virt == kKeyDown ? 1 : -1);
            else if (key.virt == kKeyRight && last.highlighted >= 0) openSubmenu(panels_.size() - 1, last.highlighted);
            else if (key.virt == kKeyLeft && panels_.size() > 1) panels_.pop_back();
            else if ((key.virt == kKeyReturn || key.virt == kKeyEnter) && last.highlighted >= 0) {
                const std::string& entry = last.menu->entries_[static_cast<std::size_t>(last.highlighted)];
                if (PopupMenuControl::isSubmenu(entry)) openSubmenu(panels_.size() - 1, last.highlighted);
                else if (selectable(entry)) chosen = last.menu, *index = last.highlighted, done = true;
            }
            changed = true;
        }
        if (done) break;
        const Point where = input_.location();
        const int buttons = input_.buttons();
        int entry = -1;
        const int p = panelAt(where, &entry);
        if (p >= 0) {
            Panel& panel = panels_[static_cast<std::size_t>(p)];
            if (panel.highlighted != entry) {
                panel.highlighted = entry;
                panels_.resize(static_cast<std::size_t>(p) + 1);
                if (entry >= 0 && PopupMenuControl::isSubmenu(panel.menu->entries_[static_cast<std::size_t>(entry)]))
                    openSubmenu(static_cast<std::size_t>(p), entry);
                changed = true;
            }
        }
        if (!anchored) anchor = where, anchored = true;
        if (opening && (std::abs(where.x - anchor.x) > 3 || std::abs(where.y - anchor.y) > 3 ||
                        input_.ticks() - openedAt > input_.doubleClickTime()))
            opening = false;
        const bool nowDown = (buttons & mask) != 0;
        if (nowDown && !down && p < 0) break;  // a click outside closes the menu
        if (!nowDown && down && opening) {
            opening = false;
        } else if (!nowDown && down && p >= 0 && entry >= 0) {
            const Panel& panel = panels_[static_cast<std::size_t>(p)];
            if (selectable(panel.menu->entries_[static_cast<std::size_t>(entry)])) {
                chosen = panel.menu;
                *index = entry;
                break;
            }
        }
        down = nowDown;
        if (changed) draw();
        input_.sleep(10);
        input_.pumpPaint();
    }
    restore();
    root_.redrawPixels();
    return chosen;
}

PopupMenuControl::PopupMenuControl(const Rect& size, ControlListener* listener, int tag, Bitmap* background,
                                   Bitmap* openPicture, int style)
    : ValueDisplay(size, background, style), openPicture_(openPicture) {
    listener_ = listener;
    tag_ = tag;
    if (openPicture_) openPicture_->remember();
}

PopupMenuControl::~PopupMenuControl() {
    for (PopupMenuControl* sub : submenus_) sub->release();
    if (openPicture_) openPicture_->forget();
}

std::string PopupMenuControl::shownText(const std::string& entry) {
    if (isSubmenu(entry) || isGreyed(entry) || isTitle(entry)) return entry.substr(2);
    return entry;
}

std::string PopupMenuControl::numbered(const std::string& text, int position) const {
    if (numbering_ < 2 || numbering_ > 4) return text;
    char buffer[kMaxEntryLength + 16];
    static const char* const formats[] = {"%1d %s", "%02d %s", "%03d %s"};
    std::snprintf(buffer, sizeof(buffer), formats[numbering_ - 2], position + 1, text.c_str());
    return buffer;
}

bool PopupMenuControl::addEntry(const std::string& text, int position) {
    if (entryCount() >= kMaxEntries) return false;
    if (position < 0 || position > entryCount()) position = entryCount();
    const std::string shown = numbered(text, position).substr(0, kMaxEntryLength);
    entries_.insert(entries_.begin() + position, shown);
    checks_.insert(checks_.begin() + position, false);
    if (current_ >= position) ++current_;
    // The first entry that can be current becomes current.
    if (current_ < 0 && !isTitle(shown) && !isSeparator(shown)) current_ = position;
    return true;
}

bool PopupMenuControl::addSubmenu(PopupMenuControl* submenu, const std::string& text) {
    if (!submenu || entryCount() >= kMaxEntries) return false;
    const std::string shown = "-M" + numbered(text, entryCount());
    entries_.push_back(shown.substr(0, kMaxEntryLength));
    checks_.push_back(false);
    if (current_ < 0) current_ = 0;
    submenu->retain();
    submenus_.push_back(submenu);
    return true;
}

PopupMenuControl* PopupMenuControl::submenuAt(int position) const {
    if (position < 0 || position >= entryCount() || !isSubmenu(entries_[static_cast<std::size_t>(position)]))
        return nullptr;
    std::size_t which = 0;
    for (int i = 0; i < position; ++i)
        if (isSubmenu(entries_[static_cast<std::size_t>(i)])) ++which;
    return which < submenus_.size() ? submenus_[which] : nullptr;
}

bool PopupMenuControl::removeEntry(int position) {
    if (position < 0 || position >= entryCount()) return false;
    if (isSubmenu(entries_[static_cast<std::size_t>(position)])) {
        std::size_t which = 0;
        for (int i = 0; i < position; ++i)
            if (isSubmenu(entries_[static_cast<std::size_t>(i)])) ++which;
        if (which < submenus_.size()) {
            submenus_[which]->release();
            submenus_.erase(submenus_.begin() + static_cast<long>(which));
        }
    }
    entries_.erase(entries_.begin() + position);
    checks_.erase(checks_.begin() + position);
    if (current_ > position || current_ >= entryCount()) --current_;
    return true;
}

void PopupMenuControl::removeAllEntries() {
    for (PopupMenuControl* sub : submenus_) sub->release();
    submenus_.clear();
    entries_.clear();
    checks_.clear();
    current_ = -1;
}

bool PopupMenuControl::setEntryText(int position, const std::string& text) {
    if (position < 0 || position >= entryCount()) return false;
    entries_[static_cast<std::size_t>(position)] = text.substr(0, kMaxEntryLength);
    return true;
}

std::string PopupMenuControl::entry(int position) const {
    if (position < 0 || position >= entryCount()) return {};
    return entries_[static_cast<std::size_t>(position)];
}

bool PopupMenuControl::isChecked(int position) const {
    return position >= 0 && position < entryCount() && checks_[static_cast<std::size_t>(position)];
}

bool PopupMenuControl::showsCheck(int position) const {
    if (style_ & kMultipleCheck) return isChecked(position);
    return (style_ & kCheckCurrent) && position == current_;
}

void PopupMenuControl::setChecked(int position, bool checked) {
    if (position >= 0 && position < entryCount()) checks_[static_cast<std::size_t>(position)] = checked;
}

int PopupMenuControl::current(std::string* text) const {
    if (text) *text = entry(current_);
    return current_;
}

bool PopupMenuControl::setCurrent(int index, bool raw) {
    if (!raw) {
        // Count only entries that are not separators or titles.
        int seen = -1, found = -1;
        for (int i = 0; i < entryCount() && found < 0; ++i) {
            const std::string& e = entries_[static_cast<std::size_t>(i)];
            if (!isSeparator(e) && !isTitle(e) && ++seen == index) found = i;
        }
        if (found < 0) return false;
        index = found;
    }
    if (index < 0 || index >= entryCount() || isTitle(entries_[static_cast<std::size_t>(index)])) return false;
    current_ = index;
    return true;
}

void PopupMenuControl::setValue(float value) {
    const int index = static_cast<int>(value);
    if (index < 0 || index >= entryCount()) return;
    current_ = index;
    if (style_ & kMultipleCheck) checks_[static_cast<std::size_t>(index)] = !checks_[static_cast<std::size_t>(index)];
    value_ = value;
}

std::string PopupMenuControl::text() const {
    return valueToText_ ? valueToText_(value_) : shownText(entry(current_));
}

void PopupMenuControl::draw(Surface& surface) {
    ValueDisplay::draw(surface);
}

void PopupMenuControl::mouse(Surface& surface, Point) {
    const int buttons = surface.mouseButtons();
    if (!mouseEnabled_ || !(buttons & (kPrimaryButton | kSecondaryButton))) return;
    openButtons_ = buttons;
    if (openPicture_) openPicture_->draw(surface, size_, {0, 0});
    if (root_) root_->setEditView(this);
    takeFocus(&surface);
}

void PopupMenuControl::describe(MenuRequest& request, std::vector<PopupMenuControl*>& menus,
                                std::vector<PopupMenuControl*>& opening) {
    const std::size_t own = request.menus.size();
    request.menus.emplace_back();
    menus.push_back(this);
    for (int i = 0; i < entryCount(); ++i) {
        const std::string& entry = entries_[static_cast<std::size_t>(i)];
        MenuItem item;
        item.kind = isSeparator(entry) ? MenuItem::kSeparator
                    : isSubmenu(entry) ? MenuItem::kSubmenu
                    : isGreyed(entry)  ? MenuItem::kGreyed
                    : isTitle(entry)   ? MenuItem::kTitle
                                       : MenuItem::kEntry;
        item.text = shownText(entry);
        item.checked = showsCheck(i);
        item.startsColumn = startsColumn(i);
        if (item.kind == MenuItem::kSubmenu) {
            PopupMenuControl* sub = submenuAt(i);
            // A menu that holds itself, directly or further down, opens no deeper.
            if (!sub || std::find(opening.begin(), opening.end(), sub) != opening.end()) {
                item.kind = MenuItem::kGreyed;
            } else {
                item.submenu = static_cast<int>(request.menus.size());
                opening.push_back(sub);
                sub->describe(request, menus, opening);
                opening.pop_back();
            }
        }
        request.menus[own].push_back(std::move(item));
    }
}

PopupMenuControl* PopupMenuControl::trackNatively(NativeControls& controls, Point at, int* index) {
    MenuRequest request;
    std::vector<PopupMenuControl*> menus;
    std::vector<PopupMenuControl*> opening{this};
    describe(request, menus, opening);
    request.at = root_ ? Point{zoomed(at.x, root_->zoom()), zoomed(at.y, root_->zoom())} : at;
    request.secondaryButton = (openButtons_ & kSecondaryButton) != 0;
    const MenuChoice choice = controls.showMenu(request);
    if (!choice.chosen() || static_cast<std::size_t>(choice.menu) >= menus.size()) return nullptr;
    PopupMenuControl* chosen = menus[static_cast<std::size_t>(choice.menu)];
    if (choice.item >= chosen->entryCount()) return nullptr;
    // Only what the toolkit's own list lets the user choose.
    const std::string& entry = chosen->entries_[static_cast<std::size_t>(choice.item)];
    if (isSeparator(entry) || isTitle(entry) || isGreyed(entry) || isSubmenu(entry)) return nullptr;
    *index = choice.item;
    return chosen;
}

void PopupMenuControl::takeFocus(Surface* surface) {
    if (!root_ || !root_->input()) return;
    int index = -1;
    const Point at{size_.left, (style_ & kPopupAtTop) ? size_.top : size_.bottom};
    PopupMenuControl* chosen = nullptr;
    WindowPort* window = root_->window();
    if (NativeControls* controls = window ? window->nativeControls() : nullptr) {
        chosen = trackNatively(*controls, at, &index);
    } else {
        MenuTracker tracker(*root_, *root_->input(), openButtons_);
        chosen = tracker.run(*this, at, &index);
    }
    if (root_->editView() == this) root_->setEditView(nullptr);
    if (openPicture_) setDirty(true);
    if (!chosen) return;
    chosen->setValue(static_cast<float>(index));
    lastMenu_ = chosen;
    lastIndex_ = index;
    setDirty(true);
    if (listener_) listener_->controlChanged(surface, chosen);
}

}  // namespace gui
