// Draws the whole editor without a window, as a host would show it with the
// factory program "Tamborik" loaded and a few voices just struck, into a PNG;
// with --at-rest nothing is struck, as a host shows a fresh instance; with
// --zoom PERCENT at that zoom step (100 to 300):
//   tamborik-editor-snapshot [--at-rest] [--zoom PERCENT] out/editor.png
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>

#include "editor/PluginEditor.h"
#include "gui/RootView.h"
#include "platform/MemoryRegistry.h"

namespace {

// Strikes kick, snare, closed hihat and claves and renders a short block,
// so their lights show.
void strikeSomeVoices(plugin::DrumSynthEffect& effect) {
    const int notes[] = {36, 38, 42, 51};
    std::vector<vst::VstMidiEvent> midi(4);
    std::vector<vst::VstEvent*> pointers;
    for (int i = 0; i < 4; ++i) {
        midi[i] = {};
        midi[i].type = vst::kVstMidiType;
        midi[i].byteSize = sizeof(vst::VstMidiEvent);
        midi[i].deltaFrames = i * 40;
        midi[i].midiData[0] = static_cast<char>(0x90);
        midi[i].midiData[1] = static_cast<char>(notes[i]);
        midi[i].midiData[2] = static_cast<char>(127 - 25 * i);
        pointers.push_back(reinterpret_cast<vst::VstEvent*>(&midi[i]));
    }
    std::vector<unsigned char> list(sizeof(vst::VstEvents) + pointers.size() * sizeof(vst::VstEvent*));
    auto* events = reinterpret_cast<vst::VstEvents*>(list.data());
    events->numEvents = static_cast<vst::VstInt32>(pointers.size());
    for (std::size_t i = 0; i < pointers.size(); ++i) events->events[i] = pointers[i];
    effect.processEvents(events);
    std::vector<float> left(512), right(512);
    float* outputs[2] = {left.data(), right.data()};
    effect.processReplacing(nullptr, outputs, 512);
}

}  // namespace

int main(int argc, char** argv) {
    bool atRest = false;
    int zoom = 100;
    int next = 1;
    for (; next < argc - 1; ++next) {
        if (std::strcmp(argv[next], "--at-rest") == 0) atRest = true;
        else if (std::strcmp(argv[next], "--zoom") == 0 && next + 1 < argc - 1) zoom = std::atoi(argv[++next]);
        else break;
    }
    if (next != argc - 1) {
        std::fprintf(stderr, "usage: tamborik-editor-snapshot [--at-rest] [--zoom PERCENT] OUTPUT.png\n");
        return 2;
    }
    const char* output = argv[argc - 1];
    platform::MemoryRegistry registry;
    plugin::DrumSynthEffect effect(nullptr, registry, "", &editor::createPluginEditor);
    effect.setProgram(0);
    auto* view = static_cast<editor::PluginEditor*>(effect.getEditor());
    if (zoom != 100) view->chooseZoom(zoom);
    int parent = 0;
    view->setWindowFactory(nullptr);
    view->setFileDialog(nullptr);
    if (!view->open(&parent)) return 1;
    if (!atRest) strikeSomeVoices(effect);
    view->idle();
    view->idle();  // the first idle after open draws what the lights changed

    const gui::PixelBuffer& pixels = view->rootView()->pixels();
    std::vector<unsigned char> rgb(static_cast<std::size_t>(pixels.width()) * pixels.height() * 3);
    for (int y = 0; y < pixels.height(); ++y)
        for (int x = 0; x < pixels.width(); ++x) {
            const std::uint32_t p = pixels.at(x, y);
            unsigned char* out = &rgb[(static_cast<std::size_t>(y) * pixels.width() + x) * 3];
            out[0] = static_cast<unsigned char>(p >> 16);
            out[1] = static_cast<unsigned char>(p >> 8);
            out[2] = static_cast<unsigned char>(p);
        }
    const int written = stbi_write_png(output, pixels.width(), pixels.height(), 3, rgb.data(), pixels.width() * 3);
    view->close();
    if (!written) {
        std::fprintf(stderr, "tamborik-editor-snapshot: cannot write %s\n", output);
        return 1;
    }
    return 0;
}
