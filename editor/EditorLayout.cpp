#include "editor/EditorLayout.h"

namespace editor::layout {

Box knobBox(int voice, int row, int pictureWidth, int frameHeight) {
    const int left = columnCentre(voice) - pictureWidth / 2;
    const int top = knobRowCentre(row) - frameHeight / 2;
    return {left, top, left + pictureWidth, top + frameHeight};
}

Box switchBox(int voice, int pictureWidth, int pictureHeight) {
    const int left = columnCentre(voice) - pictureWidth / 2;
    const int top = kSwitchCentreY - pictureHeight / 4;
    return {left, top, left + pictureWidth, top + pictureHeight / 2};
}

Box switchHitArea(int pictureWidth, int pictureHeight) {
    const int left = (pictureWidth - kSwitchHitWidth) / 2;
    const int top = (pictureHeight / 2 - kSwitchHitHeight) / 2;
    return {left, top, left + kSwitchHitWidth, top + kSwitchHitHeight};
}

Box levelLightBox(int voice, int pictureWidth, int pictureHeight) {
    const int left = columnCentre(voice) - pictureWidth / 2;
    const int top = kLevelLightCentreY - pictureHeight / 128;
    return {left, top, left + pictureWidth, top + pictureHeight / 64};
}

Box fieldBox(int centreX, int centreY) {
    const int left = centreX - kFieldWidth / 2;
    const int top = centreY - kFieldHeight / 2;
    return {left, top, left + kFieldWidth, top + kFieldHeight};
}

Box channelFieldBox(int voice) {
    return fieldBox(columnCentre(voice), kChannelFieldY);
}

Box noteFieldBox(int voice) {
    return fieldBox(columnCentre(voice), kNoteFieldY);
}

Box openHihatNoteFieldBox() {
    return fieldBox(kOpenHihatNoteX, kOpenHihatNoteY);
}

}  // namespace editor::layout
