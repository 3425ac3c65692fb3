// The four Liberation Sans faces, compiled into the module.
#include "gui/EmbeddedFonts.h"

#define TAMBORIK_EMBED(symbol, file)                                       \
    __asm__(".section .rodata\n"                                           \
            ".balign 16\n"                                                 \
            ".global " #symbol "\n" #symbol ":\n"                          \
            ".incbin \"" TAMBORIK_FONT_DIR "/" file "\"\n"                 \
            ".global " #symbol "_end\n" #symbol "_end:\n"                  \
            ".byte 0\n"                                                    \
            ".previous\n")

TAMBORIK_EMBED(tamborik_font_regular, "LiberationSans-Regular.ttf");
TAMBORIK_EMBED(tamborik_font_bold, "LiberationSans-Bold.ttf");
TAMBORIK_EMBED(tamborik_font_italic, "LiberationSans-Italic.ttf");
TAMBORIK_EMBED(tamborik_font_bold_italic, "LiberationSans-BoldItalic.ttf");

extern "C" {
extern const unsigned char tamborik_font_regular[], tamborik_font_regular_end[];
extern const unsigned char tamborik_font_bold[], tamborik_font_bold_end[];
extern const unsigned char tamborik_font_italic[], tamborik_font_italic_end[];
extern const unsigned char tamborik_font_bold_italic[], tamborik_font_bold_italic_end[];
}

namespace gui {

const unsigned char* embeddedFont(int style) {
    switch (style & 3) {
    case 1: return tamborik_font_bold;
    case 2: return tamborik_font_italic;
    case 3: return tamborik_font_bold_italic;
    default: return tamborik_font_regular;
    }
}

}  // namespace gui
