// The editor's five pictures at each zoom, shared by every open editor of
// the process. At 100 % they are the module's bitmap resources; at any
// other zoom they are drawn, when the first editor at that zoom opens, by
// the same code that made the resources, at the zoom's scale. Drawing them
// costs a fraction of a second once on the window's thread, and keeps the
// module as small as one set of pictures makes it.
#pragma once

#include "gui/Bitmap.h"

namespace editor {

struct EditorPictures {
    gui::Bitmap* background = nullptr;
    gui::Bitmap* about = nullptr;
    gui::Bitmap* knobs = nullptr;
    gui::Bitmap* lights = nullptr;
    gui::Bitmap* keySwitch = nullptr;
};

// Takes a reference on the pictures for the zoom (a percentage).
EditorPictures takeEditorPictures(int percent);
// Lets go of the reference taken for the zoom; the last one deletes them.
void releaseEditorPictures(int percent);
// References held on the backgrounds of all zooms; 0 when no editor is open.
int editorPictureReferences();

}  // namespace editor
