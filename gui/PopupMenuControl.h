// A control that opens a choice list: entries with separators ("-"),
// submenus ("-M"), greyed entries ("-G") and titles ("-T"), optional
// numbering, columns and check marks, at most 1024 entries. The window's
// native menu shows the list where the window has one; otherwise the
// toolkit draws and tracks it inside the window.
#pragma once

#include <string>
#include <vector>

#include "gui/NativeControls.h"
#include "gui/ValueDisplay.h"

namespace gui {

class PopupMenuControl : public ValueDisplay {
public:
    static constexpr int kMaxEntries = 1024;
    static constexpr std::size_t kMaxEntryLength = 255;
    enum MenuStyle : int {
        kMultipleCheck = 0x1,   // one check flag per entry, toggled on choice
        kPopupAtTop = 0x200,    // open at the top edge instead of below
        kCheckCurrent = 0x400,  // check mark at the current entry
    };

    PopupMenuControl(const Rect& size, ControlListener* listener, int tag, Bitmap* background = nullptr,
                     Bitmap* openPicture = nullptr, int style = 0);

    // position -1 (or past the end) appends; false when the menu is full.
    bool addEntry(const std::string& text, int position = -1);
    bool addSubmenu(PopupMenuControl* submenu, const std::string& text);
    bool removeEntry(int position);
    void removeAllEntries();
    bool setEntryText(int position, const std::string& text);
    std::string entry(int position) const;
    int entryCount() const { return static_cast<int>(entries_.size()); }
    bool isChecked(int position) const;
    // Whether the open menu shows a check mark at the entry: its own flag
    // with kMultipleCheck, the current entry with kCheckCurrent.
    bool showsCheck(int position) const;
    // A column starts before the entry.
    bool startsColumn(int position) const { return perColumn_ > 0 && position > 0 && position % perColumn_ == 0; }
    void setChecked(int position, bool checked);
    PopupMenuControl* submenuAt(int position) const;

    // The current index, copying its text when asked.
    int current(std::string* text = nullptr) const;
    // raw: the index as it stands; otherwise separators and titles are not
    // counted. Titles never become current.
    bool setCurrent(int index, bool raw = true);
    void setValue(float value) override;

    // 0 none, or 2, 3 or 4 digits before each entry's text.
    void setNumberStyle(int digits) { numbering_ = digits; }
    void setEntriesPerColumn(int count) { perColumn_ = count; }
    int entriesPerColumn() const { return perColumn_; }

    // The menu and entry of the last choice.
    PopupMenuControl* lastMenu() const { return lastMenu_; }
    int lastIndex() const { return lastIndex_; }

    void draw(Surface& surface) override;
    void mouse(Surface& surface, Point where) override;
    void takeFocus(Surface* surface) override;

    static bool isSeparator(const std::string& entry) { return entry == "-"; }
    static bool isSubmenu(const std::string& entry) { return entry.rfind("-M", 0) == 0; }
    static bool isGreyed(const std::string& entry) { return entry.rfind("-G", 0) == 0; }
    static bool isTitle(const std::string& entry) { return entry.rfind("-T", 0) == 0; }
    // The text shown for an entry, without its prefix.
    static std::string shownText(const std::string& entry);

protected:
    ~PopupMenuControl() override;
    std::string text() const override;

private:
    friend class MenuTracker;
    std::string numbered(const std::string& text, int position) const;
    // Adds this menu and its submenus to the request; the index of each
    // menu there is its place in menus. opening: the menus above this one.
    void describe(MenuRequest& request, std::vector<PopupMenuControl*>& menus,
                  std::vector<PopupMenuControl*>& opening);
    PopupMenuControl* trackNatively(NativeControls& controls, Point at, int* index);

    std::vector<std::string> entries_;
    std::vector<bool> checks_;
    std::vector<PopupMenuControl*> submenus_;
    int current_ = -1;
    int perColumn_ = -1;
    int numbering_ = 0;
    PopupMenuControl* lastMenu_ = nullptr;
    int lastIndex_ = -1;
    int openButtons_ = 0;
    Bitmap* openPicture_;
};

}  // namespace gui
