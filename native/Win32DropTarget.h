// What the editor window accepts from drag and drop: a text, or a list of
// files (shortcuts replaced by what they point to), handed to the window's
// views. Reference counted as OLE requires; the window detaches it when it
// goes, and a detached target refuses everything.
#pragma once

#include <ole2.h>
#include <windows.h>

#include <functional>
#include <string>

#include "gui/Geometry.h"

namespace native {

class Win32DropTarget : public IDropTarget {
public:
    // Answers whether the views took the drop: items and count as the
    // toolkit's drop notification has them (kind 1 a text, 0 files).
    using Receiver = std::function<bool(const char* const* items, int count, int kind, gui::Point where)>;

    Win32DropTarget(HWND window, Receiver receiver);
    void detach();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDropTarget
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL where, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL where, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL where, DWORD* effect) override;

private:
    virtual ~Win32DropTarget() = default;
    DWORD effectFor(DWORD keys) const;
    bool deliverText(IDataObject* data, gui::Point where);
    bool deliverFiles(IDataObject* data, gui::Point where);

    LONG references_ = 1;
    HWND window_;
    Receiver receiver_;
    bool accepted_ = false;  // the data being dragged is a text or files
};

// The path a shell shortcut (".lnk", any case) points to; other paths as
// they are, and a shortcut whose target cannot be read stays the shortcut.
std::string shortcutTarget(const std::string& path);

}  // namespace native
