// How the editor's channel and note fields show their values and read back
// what the user typed.
#pragma once

#include <string>

namespace editor {

// "1" to "16" for values 0 to 1.
std::string channelText(float value);
// The typed channel (1 to 16) as a parameter value, clamped to 0 to 1.
float channelValue(const std::string& text);

// The note of a value as a name ("C3", "C-2") or a number ("60").
std::string noteFieldText(float value, bool noteNames);

// What a typed note means: its parameter value, and whether it was written
// as a name (C3, c#3, C-1) or as a number.
struct TypedNote {
    float value;
    bool isName;
};
TypedNote readNote(const std::string& text);

}  // namespace editor
