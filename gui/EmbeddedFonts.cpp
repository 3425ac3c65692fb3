// The four Liberation Sans faces, compiled into the module.
#include "gui/EmbeddedFonts.h"

// 32-bit Windows gives C names a leading underscore.
#define TAMBORIK_STRINGIFY(x) #x
#define TAMBORIK_LABEL(prefix, symbol) TAMBORIK_STRINGIFY(prefix) #symbol
#define TAMBORIK_SYMBOL(symbol) TAMBORIK_LABEL(__USER_LABEL_PREFIX__, symbol)

// COFF (Windows) has no way back to the previous section: the compiler's
// code continues in .text.
#ifdef _WIN32
#define TAMBORIK_READ_ONLY ".section .rdata,\"dr\"\n"
#define TAMBORIK_BACK ".text\n"
#else
#define TAMBORIK_READ_ONLY ".section .rodata\n"
#define TAMBORIK_BACK ".previous\n"
#endif

#define TAMBORIK_EMBED(symbol, file)                                       \
    __asm__(TAMBORIK_READ_ONLY                                             \
            ".balign 16\n"                                                 \
            ".global " TAMBORIK_SYMBOL(symbol) "\n"                        \
            TAMBORIK_SYMBOL(symbol) ":\n"                                  \
            ".incbin \"" TAMBORIK_FONT_DIR "/" file "\"\n"                 \
            ".global " TAMBORIK_SYMBOL(symbol##_end) "\n"                  \
            TAMBORIK_SYMBOL(symbol##_end) ":\n"                            \
            ".byte 0\n"                                                    \
            TAMBORIK_BACK)

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
