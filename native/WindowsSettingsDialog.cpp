// The "Settings" dialog from dialog resource 1000, run modally. The model
// reads the values when the dialog opens and writes them on OK; the
// dialog keeps each set of radio buttons exclusive itself, since every
// radio button there starts a group of its own.
#include <windows.h>

#include "persist/SettingsDialogModel.h"
#include "platform/ModuleHandle.h"
#include "native/SettingsDialog.h"
#include "native/WindowsCentring.h"

namespace native {

using platform::moduleHandle;
namespace {

using Model = persist::SettingsDialogModel;

constexpr int kDialogId = 1000;
constexpr int kOutputs[] = {Model::kTenMono, Model::kTenStereo, Model::kOneStereo};
constexpr int kNoteNames[] = {Model::kAsNumbers, Model::kAsNames};
constexpr int kCurves[] = {Model::kLinear, Model::kLogarithmic, Model::kExponential};
constexpr int kButtons[] = {Model::kTenMono,   Model::kTenStereo, Model::kOneStereo,   Model::kAsNumbers,
                            Model::kAsNames,   Model::kLinear,    Model::kLogarithmic, Model::kExponential,
                            Model::kLockVolume};

struct Session {
    Model* model;
    HWND owner;
};

void showModel(HWND dialog, const Model& model) {
    for (int id : kButtons) CheckDlgButton(dialog, id, model.isChecked(id) ? BST_CHECKED : BST_UNCHECKED);
}

template <std::size_t N>
int firstChecked(HWND dialog, const int (&set)[N]) {
    for (int id : set)
        if (IsDlgButtonChecked(dialog, id) == BST_CHECKED) return id;
    return 0;
}

// OK reads the controls as they stand: no output checked means ten mono
// outputs, "As numbers" unchecked means names, no curve checked keeps the
// curve.
void takeControls(HWND dialog, Model& model) {
    const int output = firstChecked(dialog, kOutputs);
    model.click(output ? output : Model::kTenMono);
    model.click(firstChecked(dialog, kNoteNames) == Model::kAsNumbers ? Model::kAsNumbers : Model::kAsNames);
    if (const int curve = firstChecked(dialog, kCurves)) model.click(curve);
    const bool locked = IsDlgButtonChecked(dialog, Model::kLockVolume) == BST_CHECKED;
    if (locked != model.isChecked(Model::kLockVolume)) model.click(Model::kLockVolume);
}

INT_PTR CALLBACK settingsProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* session = reinterpret_cast<Session*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        session = reinterpret_cast<Session*>(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        centreOver(dialog, session->owner);
        showModel(dialog, *session->model);
        return TRUE;
    case WM_COMMAND: {
        if (!session) return FALSE;
        const int id = LOWORD(wParam);
        if (id == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        // IDOK comes from Enter; the OK button has an id of its own.
        if (id == Model::kOk || id == IDOK) {
            takeControls(dialog, *session->model);
            session->model->ok();
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (HIWORD(wParam) != BN_CLICKED) return FALSE;
        if (id == Model::kLockVolume) {
            // The check box has toggled itself; the model follows it.
            const bool locked = IsDlgButtonChecked(dialog, id) == BST_CHECKED;
            if (locked != session->model->isChecked(id)) session->model->click(id);
        } else {
            session->model->click(id);
        }
        showModel(dialog, *session->model);
        return TRUE;
    }
    case WM_CLOSE:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

std::optional<bool> runSettingsDialog(void* owner, platform::Registry& registry, const std::string& key) {
    HWND ownerWindow = static_cast<HWND>(owner);
    if (ownerWindow && !IsWindow(ownerWindow)) ownerWindow = nullptr;
    HMODULE module = moduleHandle();
    if (!FindResourceA(module, MAKEINTRESOURCEA(kDialogId), reinterpret_cast<LPCSTR>(RT_DIALOG)))
        return std::nullopt;
    Model model(registry, key);
    Session session{&model, ownerWindow};
    const INT_PTR result = DialogBoxParamA(module, MAKEINTRESOURCEA(kDialogId), ownerWindow, settingsProcedure,
                                           reinterpret_cast<LPARAM>(&session));
    if (result == -1 || result == 0) return std::nullopt;  // no dialog could be made
    return result == IDOK;
}

}  // namespace native
