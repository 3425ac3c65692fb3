// Where every control of the editor sits, as data: the voice columns, the
// knob table with each knob's parameter, name and default, the fields,
// switches, lights and the top bar. The editor builds its controls by
// walking these tables, and the picture generator reads the same tables to
// put every label on its control.
#pragma once

#include <cstddef>

#include "plugin/ParameterIndex.h"
#include "plugin/ProgramRecord.h"

namespace editor::layout {

struct Box {
    int left, top, right, bottom;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

// The window is the background picture; hosts are told one pixel more.
constexpr int kWindowWidth = 623;
constexpr int kWindowHeight = 540;
constexpr int kReportedWidth = 624;

constexpr int kVoiceCount = plugin::kVoiceCount;
constexpr int kKnobRows = 7;

// Picture ids and their film-strip frame counts.
enum Picture : int {
    kAboutPicture = 100,
    kBackgroundPicture = 101,
    kKnobStrip = 102,
    kLevelLightStrip = 103,
    kKeyModeSwitchPicture = 104,
};
constexpr int kKnobFrames = 127;
constexpr int kLevelLightFrames = 64;
constexpr int kSwitchFrames = 2;

// Sizes of the shipped pictures (the editor itself measures the pictures).
constexpr int kAboutWidth = 220, kAboutHeight = 165;
constexpr int kKnobWidth = 44, kKnobFrameHeight = 33;
constexpr int kLightWidth = 28, kLightFrameHeight = 21;
constexpr int kSwitchWidth = 40, kSwitchFrameHeight = 30;

constexpr int columnCentre(int voice) { return 32 + 62 * voice; }
constexpr int knobRowCentre(int row) { return 107 + 48 * row; }

inline constexpr const auto& kVoiceNames = plugin::kVoiceNames;

// One knob: Pan in row 0 and Volume in row 1 of every column, then the
// voice's own sound parameters in the order of the parameter table. name is
// the parameter's name without the voice's name; defaultValue is what a
// Ctrl-click restores.
struct KnobCell {
    int voice;
    int row;
    int parameter;
    const char* name;
    float defaultValue;
};

constexpr bool hasKnob(int parameter) {
    const plugin::Role role = plugin::kParameters[parameter].role;
    return role == plugin::Role::kTone || role == plugin::Role::kPan || role == plugin::Role::kVolume;
}

constexpr std::size_t countKnobs() {
    std::size_t count = 0;
    for (int i = 0; i < plugin::kParameterCount; ++i) count += hasKnob(i) ? 1 : 0;
    return count;
}

struct KnobTable {
    KnobCell cells[countKnobs()] = {};
    constexpr KnobTable() {
        std::size_t n = 0;
        for (int voice = 0; voice < kVoiceCount; ++voice) {
            int row = 0;
            auto add = [&](int parameter) {
                const plugin::ParameterInfo& p = plugin::kParameters[parameter];
                cells[n++] = {voice, row++, parameter, p.name, p.defaultValue};
            };
            add(plugin::param::panOf(voice));
            add(plugin::param::volumeOf(voice));
            for (int i = 0; i < plugin::kParameterCount; ++i)
                if (plugin::kParameters[i].voice == voice && plugin::kParameters[i].role == plugin::Role::kTone) add(i);
        }
    }
};
inline constexpr KnobTable kKnobTable;
constexpr const KnobCell* kKnobs = kKnobTable.cells;
constexpr std::size_t kKnobCount = countKnobs();  // 58

constexpr float kPanLockValue = 0.5f;
// A locked Volume knob holds unity gain.
constexpr float kVolumeLockValue = plugin::kUnityVolume;

// The Key Mode switch of each voice, -1 where it has none.
constexpr int kKeyModeParameter[kVoiceCount] = {
    plugin::param::keyModeOf(0), plugin::param::keyModeOf(1), plugin::param::keyModeOf(2), plugin::param::keyModeOf(3),
    plugin::param::keyModeOf(4), plugin::param::keyModeOf(5), plugin::param::keyModeOf(6), plugin::param::keyModeOf(7),
    plugin::param::keyModeOf(8), plugin::param::keyModeOf(9)};
constexpr int kSwitchCentreY = 501;
constexpr int kSwitchHitWidth = 28, kSwitchHitHeight = 18;

constexpr int kLevelLightCentreY = 76;

// Text fields: the MIDI channel and note of each column, centred on these
// points; the hihat's open note sits below its closed one.
constexpr int kFieldWidth = 28, kFieldHeight = 10;
constexpr int kChannelFieldY = 436;
constexpr int kNoteFieldY = 469;
inline constexpr const auto& kChannelParameter = plugin::param::kMidiChannel;
constexpr int kNoteParameter[kVoiceCount] = {
    plugin::param::noteOf(0), plugin::param::noteOf(1), plugin::param::noteOf(2), plugin::param::noteOf(3),
    plugin::param::noteOf(4), plugin::param::noteOf(5), plugin::param::noteOf(6), plugin::param::noteOf(7),
    plugin::param::noteOf(8), plugin::param::noteOf(9)};
constexpr int kOpenHihatNoteParameter = plugin::param::kOpenHihatNote;
constexpr int kOpenHihatNoteX = 528, kOpenHihatNoteY = 502;

// The top bar.
constexpr Box kAboutArea = {0, 0, 152, 38};
constexpr Box kProgramNameField = {196, 16, 303, 24};
constexpr Box kPreviousProgramButton = {325, 14, 347, 25};
constexpr Box kNextProgramButton = {363, 14, 385, 25};
constexpr Box kProgramMenuButton = {401, 14, 423, 25};
constexpr Box kFileMenuButton = {447, 15, 484, 24};
constexpr Box kMidiLearnMenuButton = {509, 15, 546, 24};

// Control tags that are not parameters.
enum Tag : int {
    kTagMidiLearnMenu = 89,
    kTagProgramMenu = 92,
    kTagPreviousProgram = 93,
    kTagNextProgram = 94,
    kTagProgramName = 95,
    kTagFileMenu = 96,
    kTagDisplayOnly = 99,
};

// Rectangles derived from the placement rules, from the pictures' sizes
// (the shipped ones by default).
Box knobBox(int voice, int row, int pictureWidth = kKnobWidth, int frameHeight = kKnobFrameHeight);
Box switchBox(int voice, int pictureWidth = kSwitchWidth, int pictureHeight = kSwitchFrameHeight * kSwitchFrames);
Box levelLightBox(int voice, int pictureWidth = kLightWidth, int pictureHeight = kLightFrameHeight * kLevelLightFrames);
// The switch's hit area, relative to its top-left corner.
Box switchHitArea(int pictureWidth = kSwitchWidth, int pictureHeight = kSwitchFrameHeight * kSwitchFrames);
Box fieldBox(int centreX, int centreY);
Box channelFieldBox(int voice);
Box noteFieldBox(int voice);
Box openHihatNoteFieldBox();

}  // namespace editor::layout
