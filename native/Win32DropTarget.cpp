#include "native/Win32DropTarget.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cctype>
#include <utility>
#include <vector>

namespace native {
namespace {

constexpr int kPathBuffer = 1024;

FORMATETC formatOf(CLIPFORMAT format) {
    return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

bool offers(IDataObject* data, CLIPFORMAT format) {
    FORMATETC wanted = formatOf(format);
    return data && data->QueryGetData(&wanted) == S_OK;
}

bool isShortcut(const std::string& path) {
    if (path.size() < 4) return false;
    std::string extension = path.substr(path.size() - 4);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".lnk";
}

}  // namespace

std::string shortcutTarget(const std::string& path) {
    if (!isShortcut(path)) return path;
    std::string target = path;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return target;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        std::vector<wchar_t> wide(path.size() + 1);
        const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
        char resolved[kPathBuffer] = {};
        if (length > 0 && SUCCEEDED(file->Load(wide.data(), STGM_READ)) &&
            link->GetPath(resolved, sizeof(resolved), nullptr, 0) == S_OK && resolved[0])
            target = resolved;
        file->Release();
    }
    link->Release();
    return target;
}

Win32DropTarget::Win32DropTarget(HWND window, Receiver receiver) : window_(window), receiver_(std::move(receiver)) {}

void Win32DropTarget::detach() {
    window_ = nullptr;
    receiver_ = nullptr;
    accepted_ = false;
}

HRESULT Win32DropTarget::QueryInterface(REFIID id, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropTarget)) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG Win32DropTarget::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG Win32DropTarget::Release() {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

DWORD Win32DropTarget::effectFor(DWORD keys) const {
    if (!accepted_) return DROPEFFECT_NONE;
    return (keys & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}

HRESULT Win32DropTarget::DragEnter(IDataObject* data, DWORD keys, POINTL, DWORD* effect) {
    accepted_ = window_ && (offers(data, CF_TEXT) || offers(data, CF_HDROP));
    if (effect) *effect = effectFor(keys);
    return S_OK;
}

HRESULT Win32DropTarget::DragOver(DWORD keys, POINTL, DWORD* effect) {
    if (effect) *effect = effectFor(keys);
    return S_OK;
}

HRESULT Win32DropTarget::DragLeave() {
    accepted_ = false;
    return S_OK;
}

// A drop the views refuse reports no effect, so a source that was asked to
// move deletes nothing.
HRESULT Win32DropTarget::Drop(IDataObject* data, DWORD, POINTL where, DWORD* effect) {
    bool taken = false;
    if (window_ && receiver_ && data) {
        POINT point{where.x, where.y};
        ScreenToClient(window_, &point);
        const gui::Point at{point.x, point.y};
        if (offers(data, CF_TEXT)) taken = deliverText(data, at);
        else if (offers(data, CF_HDROP)) taken = deliverFiles(data, at);
    }
    accepted_ = false;
    if (effect && !taken) *effect = DROPEFFECT_NONE;
    return S_OK;
}

namespace {

// Runs use on the data's memory in the format, and releases it after.
template <class Use>
bool withMemory(IDataObject* data, CLIPFORMAT format, Use use) {
    FORMATETC wanted = formatOf(format);
    STGMEDIUM medium{};
    if (data->GetData(&wanted, &medium) != S_OK) return false;
    const bool taken = medium.tymed == TYMED_HGLOBAL && medium.hGlobal && use(medium.hGlobal);
    ReleaseStgMedium(&medium);
    return taken;
}

}  // namespace

bool Win32DropTarget::deliverText(IDataObject* data, gui::Point where) {
    return withMemory(data, CF_TEXT, [&](HGLOBAL memory) {
        const SIZE_T size = GlobalSize(memory);
        const auto* text = static_cast<const char*>(GlobalLock(memory));
        if (!text) return false;
        const int count = size > 0x7fffffff ? 0x7fffffff : static_cast<int>(size);
        const bool taken = receiver_(&text, count, 1, where);
        GlobalUnlock(memory);
        return taken;
    });
}

bool Win32DropTarget::deliverFiles(IDataObject* data, gui::Point where) {
    return withMemory(data, CF_HDROP, [&](HGLOBAL memory) {
        const auto drop = static_cast<HDROP>(memory);
        std::vector<std::string> paths;
        const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            char path[kPathBuffer] = {};
            // A longer path would be cut short: it names no file of the user's.
            const UINT length = DragQueryFileA(drop, i, path, sizeof(path));
            if (length > 0 && length < sizeof(path)) paths.push_back(shortcutTarget(path));
        }
        std::vector<const char*> items;
        for (const std::string& path : paths) items.push_back(path.c_str());
        return !items.empty() && receiver_(items.data(), static_cast<int>(items.size()), 0, where);
    });
}

}  // namespace native
