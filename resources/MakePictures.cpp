// tamborik-make-pictures [--scale N] OUTPUT_DIR [PREVIEW.png]: draws the
// editor's five pictures as OUTPUT_DIR/100.png to 104.png (at N times the
// shipped size), and optionally a still of the whole editor made from them.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>

#include "resources/EditorPreview.h"
#include "resources/Pictures.h"

namespace {

bool writePng(const std::string& path, const gui::PixelBuffer& picture) {
    std::vector<unsigned char> rgb;
    rgb.reserve(picture.pixels().size() * 3);
    for (std::uint32_t p : picture.pixels()) {
        rgb.push_back(static_cast<unsigned char>(p >> 16));
        rgb.push_back(static_cast<unsigned char>(p >> 8));
        rgb.push_back(static_cast<unsigned char>(p));
    }
    stbi_write_png_compression_level = 9;
    if (stbi_write_png(path.c_str(), picture.width(), picture.height(), 3, rgb.data(), picture.width() * 3)) return true;
    std::fprintf(stderr, "tamborik-make-pictures: cannot write %s\n", path.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    int scale = 1;
    int first = 1;
    if (argc > 2 && std::strcmp(argv[1], "--scale") == 0) {
        scale = std::atoi(argv[2]);
        first = 3;
    }
    if (scale < 1 || scale > 8 || argc - first < 1 || argc - first > 2) {
        std::fprintf(stderr, "usage: tamborik-make-pictures [--scale N] OUTPUT_DIR [PREVIEW.png]\n");
        return 2;
    }
    const std::string folder = argv[first];
    bool written = writePng(folder + "/100.png", pictures::drawAboutPicture(scale)) &&
                   writePng(folder + "/101.png", pictures::drawBackground(scale)) &&
                   writePng(folder + "/102.png", pictures::drawKnobStrip(scale)) &&
                   writePng(folder + "/103.png", pictures::drawLevelLightStrip(scale)) &&
                   writePng(folder + "/104.png", pictures::drawKeyModeSwitch(scale));
    if (written && argc - first == 2) written = writePng(argv[first + 1], pictures::composeEditorPreview(scale));
    return written ? 0 : 1;
}
