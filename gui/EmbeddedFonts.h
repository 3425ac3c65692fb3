// The TrueType data of the embedded faces: style bit 1 bold, bit 2 italic.
#pragma once

namespace gui {

const unsigned char* embeddedFont(int style);

}  // namespace gui
