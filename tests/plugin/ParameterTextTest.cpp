#include <gtest/gtest.h>

#include "plugin/ParameterIndex.h"
#include "plugin/ParameterText.h"

namespace {

using plugin::parameterDisplay;
using plugin::parameterLabel;
using plugin::parameterName;

TEST(ParameterText, NamesKeepTheirTwoWritings) {
    EXPECT_EQ(parameterName(0), "Kick 1 Midi Ch");
    EXPECT_EQ(parameterName(17), "Snare 1 Noise Decay");
    EXPECT_EQ(parameterName(55), "Version");
    EXPECT_EQ(parameterName(56), "Kick1 Note");
    EXPECT_EQ(parameterName(64), "Ch Note");
    EXPECT_EQ(parameterName(65), "Oh Note");
    EXPECT_EQ(parameterName(67), "");
    EXPECT_EQ(parameterName(68), "Kick1 Pan");
    EXPECT_EQ(parameterName(87), "Crash Volume");
    EXPECT_EQ(parameterName(88), "");
    EXPECT_EQ(parameterName(-1), "");
}

TEST(ParameterText, LabelsNameTheUnits) {
    int labelled = 0;
    for (int i = -1; i <= plugin::kParameterCount; ++i) {
        const plugin::Shown kind = plugin::param::isHostVisible(i) ? plugin::kParameters[i].display.kind
                                                                   : plugin::Shown::kNone;
        const char* unit = kind == plugin::Shown::kHertz ? "Hz" : kind == plugin::Shown::kMilliseconds ? "ms"
                         : kind == plugin::Shown::kPercent ? "%" : "";
        EXPECT_EQ(parameterLabel(i), unit) << i;
        labelled += *unit != 0;
    }
    EXPECT_EQ(labelled, 10 + 17 + 4);  // ten frequencies, seventeen times, four thumps
    EXPECT_EQ(parameterLabel(90), "");
}

TEST(ParameterText, DisplaysEveryKindOfValue) {
    EXPECT_EQ(parameterDisplay(0, 0.0f, true), "1");
    EXPECT_EQ(parameterDisplay(0, 1.0f / 15.0f, true), "2");
    EXPECT_EQ(parameterDisplay(0, 0.999f, true), "16");
    EXPECT_EQ(parameterDisplay(1, 0.0f, true), "40.00");
    EXPECT_EQ(parameterDisplay(1, 1.0f, true), "80.00");
    EXPECT_EQ(parameterDisplay(1, 0.5f, true), "56.57");
    EXPECT_EQ(parameterDisplay(15, 1.0f, true), "800.00");
    EXPECT_EQ(parameterDisplay(39, 1.0f, true), "3200.00");
    EXPECT_EQ(parameterDisplay(43, 0.0f, true), "800.00");
    EXPECT_EQ(parameterDisplay(47, 1.0f, true), "16000.00");
    EXPECT_EQ(parameterDisplay(52, 1.0f, true), "2000.00");
    EXPECT_EQ(parameterDisplay(2, 1.0f, true), "8");
    EXPECT_EQ(parameterDisplay(28, 0.0f, true), "1");
    EXPECT_EQ(parameterDisplay(28, 1.0f, true), "128");
    EXPECT_EQ(parameterDisplay(3, 1.0f, true), "400.00");
    EXPECT_EQ(parameterDisplay(11, 1.0f, true), "200.00");
    EXPECT_EQ(parameterDisplay(16, 0.0f, true), "1.00");
    EXPECT_EQ(parameterDisplay(17, 1.0f, true), "50.00");
    EXPECT_EQ(parameterDisplay(49, 1.0f, true), "20.00");
    EXPECT_EQ(parameterDisplay(50, 0.0f, true), "10.00");
    EXPECT_EQ(parameterDisplay(54, 1.0f, true), "500.00");
    EXPECT_EQ(parameterDisplay(5, 0.505f, true), "50");
    EXPECT_EQ(parameterDisplay(5, 0.506f, true), "51");
    EXPECT_EQ(parameterDisplay(6, 0.0f, true), "Drum");
    EXPECT_EQ(parameterDisplay(6, 1.0f, true), "Key");
    EXPECT_EQ(parameterDisplay(40, 1.0f, true), "4.0");
    EXPECT_EQ(parameterDisplay(48, 0.0f, true), "1.0");
    EXPECT_EQ(parameterDisplay(53, 1.0f, true), "21.0");
    EXPECT_EQ(parameterDisplay(55, 0.3f, true), "1.2");
    EXPECT_EQ(parameterDisplay(67, 0.3f, true), "");
}

TEST(ParameterText, NotesAsNamesOrNumbers) {
    EXPECT_EQ(parameterDisplay(56, 36.0f / 127.0f, true), "C1");
    EXPECT_EQ(parameterDisplay(56, 36.0f / 127.0f, false), "36");
    EXPECT_EQ(parameterDisplay(56, 0.5f, true), "D#3");
    EXPECT_EQ(parameterDisplay(56, 0.5f, false), "63");
    EXPECT_EQ(plugin::noteText(42, true), "F#1");
    EXPECT_EQ(plugin::noteText(0, true), "C-2");
    EXPECT_EQ(plugin::noteText(127, true), "G8");
}

TEST(ParameterText, PanAndVolumeShowThreeSignificantDigits) {
    EXPECT_EQ(plugin::threeSignificantDigits(0.5f), "0.5");
    EXPECT_EQ(plugin::threeSignificantDigits(20.0f / 23.0f), "0.87");
    EXPECT_EQ(plugin::threeSignificantDigits(1.0f), "1.");
    EXPECT_EQ(plugin::threeSignificantDigits(0.0f), "0.");
    EXPECT_EQ(plugin::threeSignificantDigits(0.05f), "5.e-002");
    EXPECT_EQ(plugin::threeSignificantDigits(0.0123f), "1.23e-002");
    EXPECT_EQ(plugin::threeSignificantDigits(0.455f), "0.455");
    EXPECT_EQ(parameterDisplay(87, 20.0f / 23.0f, true), "0.87");
}

}  // namespace
