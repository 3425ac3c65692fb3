#include "editor/EditorLayout.h"

namespace editor::layout {

const char* const kVoiceNames[kVoiceCount] = {"Kick 1",  "Kick 2", "Snare 1", "Snare 2", "Blipp 1",
                                              "Blipp 2", "Clap",   "Claves",  "Hihat",   "Crash"};

const KnobCell kKnobs[] = {
    {0, 0, 68, "Pan", 0.5f},  {0, 1, 69, "Volume", 0.87f}, {0, 2, 1, "Frequency", 0.5f},
    {0, 3, 2, "Sweep", 0.5f}, {0, 4, 3, "Decay", 0.5f},    {0, 5, 4, "Sweep Decay", 0.0f},
    {0, 6, 5, "Thump", 0.5f},

    {1, 0, 70, "Pan", 0.5f},   {1, 1, 71, "Volume", 0.87f}, {1, 2, 8, "Frequency", 0.5f},
    {1, 3, 9, "Sweep", 0.5f},  {1, 4, 10, "Decay", 0.5f},   {1, 5, 11, "Sweep Decay", 0.0f},
    {1, 6, 12, "Thump", 0.5f},

    {2, 0, 72, "Pan", 0.5f},         {2, 1, 73, "Volume", 0.87f}, {2, 2, 15, "Frequency", 0.25f},
    {2, 3, 16, "Decay", 0.75f},      {2, 4, 17, "Noise Decay", 0.5f},
    {2, 5, 18, "Thump", 0.75f},

    {3, 0, 74, "Pan", 0.5f},         {3, 1, 75, "Volume", 0.87f}, {3, 2, 21, "Frequency", 0.25f},
    {3, 3, 22, "Decay", 0.75f},      {3, 4, 23, "Noise Decay", 0.5f},
    {3, 5, 24, "Thump", 0.75f},

    {4, 0, 76, "Pan", 0.5f},   {4, 1, 77, "Volume", 0.75f}, {4, 2, 27, "Frequency", 0.0f},
    {4, 3, 28, "Sweep", 1.0f}, {4, 4, 29, "Decay", 0.25f},  {4, 5, 30, "Sweep Decay", 0.0f},

    {5, 0, 78, "Pan", 0.5f},   {5, 1, 79, "Volume", 0.75f}, {5, 2, 33, "Frequency", 0.0f},
    {5, 3, 34, "Sweep", 1.0f}, {5, 4, 35, "Decay", 0.25f},  {5, 5, 36, "Sweep Decay", 0.0f},

    {6, 0, 80, "Pan", 0.5f}, {6, 1, 81, "Volume", 0.87f}, {6, 2, 39, "Frequency", 0.5f},
    {6, 3, 40, "Q", 0.5f},   {6, 4, 41, "Decay", 0.5f},

    {7, 0, 82, "Pan", 0.5f}, {7, 1, 83, "Volume", 0.75f}, {7, 2, 43, "Frequency", 0.25f},
    {7, 3, 44, "Decay", 0.0625f},

    {8, 0, 84, "Pan", 0.5f}, {8, 1, 85, "Volume", 0.87f}, {8, 2, 47, "Frequency", 0.75f},
    {8, 3, 48, "Q", 0.5f},   {8, 4, 49, "Ch Decay", 0.5f}, {8, 5, 50, "Oh Decay", 0.75f},

    {9, 0, 86, "Pan", 0.5f}, {9, 1, 87, "Volume", 0.75f}, {9, 2, 52, "Frequency", 0.0f},
    {9, 3, 53, "Q", 1.0f},   {9, 4, 54, "Decay", 0.5f},
};
const std::size_t kKnobCount = sizeof(kKnobs) / sizeof(kKnobs[0]);

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
