// The about picture: the logo over a light card that the about overlay
// writes its credit lines on (black text and blue links from y 48 to 144).
#include "editor/EditorLayout.h"
#include "resources/Canvas.h"
#include "resources/Logo.h"
#include "resources/Palette.h"
#include "resources/Pictures.h"

namespace pictures {

namespace layout = editor::layout;

namespace {
constexpr int kHeaderBottom = 42;
constexpr int kFooterTop = 150;
constexpr Color kCard{244, 239, 228, 0};
}  // namespace

gui::PixelBuffer drawAboutPicture(double scale) {
    constexpr int kWidth = layout::kAboutWidth, kHeight = layout::kAboutHeight;
    Canvas canvas(kWidth, kHeight, scale, kCard);
    canvas.fillRect(0, 0, kWidth, kHeaderBottom, palette::kTopBar);
    drawLogo(canvas, (kWidth - 134) / 2.0, 2, palette::kTopBar);

    // A band of the voices' colours under the header and along the foot.
    const double band = kWidth / 5.0;
    for (int group = 0; group < 5; ++group) {
        canvas.fillRect(group * band, kHeaderBottom, (group + 1) * band, kHeaderBottom + 3,
                        palette::kVoiceColor[2 * group]);
        canvas.fillRect(group * band, kFooterTop, (group + 1) * band, kHeight, palette::kVoiceColor[2 * group]);
    }
    canvas.fillRect(0, kFooterTop + 3, kWidth, kHeight, palette::kTopBar);
    const char* const kTagline = "TEN VOICES, ALL SYNTHESIZED";
    drawSpacedText(canvas, (kWidth - spacedTextWidth(kTagline, 8, 0, 1.0)) / 2, kFooterTop + 3.5, kTagline, 8, 0, 1.0,
                   palette::kCaption);
    canvas.replace(gui::colors::kWhite, {254, 254, 254, 0});
    return canvas.pixels();
}

}  // namespace pictures
