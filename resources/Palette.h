// The colours of the editor's pictures. The knob strip, the level light and
// the switch are drawn over the panel colour their controls sit on, so the
// background keeps those places flat in exactly these colours.
#pragma once

#include "gui/Color.h"

namespace pictures::palette {

using gui::Color;

constexpr Color kPanel{46, 48, 53, 0};        // behind every knob and level light
constexpr Color kDeck{33, 34, 38, 0};         // the MIDI deck behind fields and switches
constexpr Color kTopBar{24, 25, 28, 0};
constexpr Color kGroove{28, 29, 32, 0};       // column rules, recessed slots
constexpr Color kRidge{62, 64, 70, 0};        // the lit side of a rule
constexpr Color kLabel{214, 208, 195, 0};     // knob names
constexpr Color kCaption{150, 148, 142, 0};   // field and bar captions
constexpr Color kCream{240, 234, 220, 0};
constexpr Color kInk{26, 26, 28, 0};          // text on the coloured tabs
constexpr Color kAccent{242, 140, 48, 0};     // value arcs, lit switches
constexpr Color kButtonTop{78, 81, 88, 0};
constexpr Color kButtonBottom{50, 52, 57, 0};

// The voices' tab colours, in column order: kicks, snares, blipps, clap and
// claves, hihat and crash.
constexpr Color kVoiceColor[10] = {
    {222, 74, 50, 0},  {222, 74, 50, 0},   {238, 128, 46, 0}, {238, 128, 46, 0}, {240, 182, 58, 0},
    {240, 182, 58, 0}, {226, 214, 178, 0}, {226, 214, 178, 0}, {132, 190, 188, 0}, {132, 190, 188, 0},
};

}  // namespace pictures::palette
