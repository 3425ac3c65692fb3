#include "editor/EditorPictures.h"

#include <map>
#include <mutex>

#include "editor/EditorLayout.h"
#include "resources/Pictures.h"

namespace editor {
namespace {

namespace lay = layout;

constexpr int kPictureCount = 5;

struct Shared {
    gui::Bitmap* pictures[kPictureCount] = {};
    int users = 0;
};

struct SharedPictures {
    std::mutex lock;
    std::map<int, Shared> byZoom;
};

SharedPictures& sharedPictures() {
    static SharedPictures shared;
    return shared;
}

gui::Bitmap* drawn(int width, int height, double zoom, const gui::PixelBuffer& pixels) {
    return gui::Bitmap::fromZoomedPixels(width, height, zoom, pixels.width(), pixels.height(), pixels.pixels());
}

void makePictures(int percent, gui::Bitmap* (&pictures)[kPictureCount]) {
    if (percent == 100) {
        pictures[0] = gui::Bitmap::load(lay::kBackgroundPicture);
        pictures[1] = gui::Bitmap::load(lay::kAboutPicture);
        pictures[2] = gui::Bitmap::load(lay::kKnobStrip);
        pictures[3] = gui::Bitmap::load(lay::kLevelLightStrip);
        pictures[4] = gui::Bitmap::load(lay::kKeyModeSwitchPicture);
        return;
    }
    const double zoom = percent / 100.0;
    pictures[0] = drawn(lay::kWindowWidth, lay::kWindowHeight, zoom, pictures::drawBackground(zoom));
    pictures[1] = drawn(lay::kAboutWidth, lay::kAboutHeight, zoom, pictures::drawAboutPicture(zoom));
    pictures[2] = drawn(lay::kKnobWidth, lay::kKnobFrameHeight * lay::kKnobFrames, zoom, pictures::drawKnobStrip(zoom));
    pictures[3] = drawn(lay::kLightWidth, lay::kLightFrameHeight * lay::kLevelLightFrames, zoom,
                        pictures::drawLevelLightStrip(zoom));
    pictures[4] = drawn(lay::kSwitchWidth, lay::kSwitchFrameHeight * lay::kSwitchFrames, zoom,
                        pictures::drawKeyModeSwitch(zoom));
}

}  // namespace

EditorPictures takeEditorPictures(int percent) {
    SharedPictures& shared = sharedPictures();
    std::lock_guard<std::mutex> guard(shared.lock);
    Shared& set = shared.byZoom[percent];
    if (set.users == 0) makePictures(percent, set.pictures);
    else
        for (gui::Bitmap* picture : set.pictures) picture->remember();
    ++set.users;
    return {set.pictures[0], set.pictures[1], set.pictures[2], set.pictures[3], set.pictures[4]};
}

void releaseEditorPictures(int percent) {
    SharedPictures& shared = sharedPictures();
    std::lock_guard<std::mutex> guard(shared.lock);
    const auto found = shared.byZoom.find(percent);
    if (found == shared.byZoom.end() || found->second.users == 0) return;
    Shared& set = found->second;
    for (gui::Bitmap*& picture : set.pictures) picture->forget();
    if (--set.users == 0) shared.byZoom.erase(found);
}

int editorPictureReferences() {
    SharedPictures& shared = sharedPictures();
    std::lock_guard<std::mutex> guard(shared.lock);
    int references = 0;
    for (const auto& [percent, set] : shared.byZoom)
        if (set.pictures[0]) references += set.pictures[0]->references();
    return references;
}

}  // namespace editor
