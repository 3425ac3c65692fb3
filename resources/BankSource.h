// The factory bank's readable source: a text table of named values, one
// section per program, turned into the bank resource by tamborik-make-bank.
//
//   [defaults]                 values every program starts from
//   Kick 1 Midi Ch = 1         channels 1 to 16
//   Kick1 Note = 36            notes as MIDI note numbers
//   Kick 1 Key Mode = Drum     Drum or Key
//   [program Tamborik]         a program, in bank order, with what differs
//   Kick 1 Frequency = 0.3458  every other value as stored, 0 to 1
#pragma once

#include <optional>
#include <string>

#include "persist/ProgramImage.h"

namespace resources {

// The bank, or nothing with the first problem in *error ("line N: ...").
std::optional<persist::BankImage> parseBankSource(const std::string& text, std::string* error);

}  // namespace resources
