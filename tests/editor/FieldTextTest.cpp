// What the channel and note fields show and how they read typed text.
#include <gtest/gtest.h>

#include "editor/FieldText.h"

namespace {

using editor::channelText;
using editor::channelValue;
using editor::noteFieldText;
using editor::readNote;

TEST(FieldText, ChannelsRunFromOneToSixteen) {
    EXPECT_EQ(channelText(0.0f), "1");
    EXPECT_EQ(channelText(0.5f), "8");  // 8.5 rounds down
    EXPECT_EQ(channelText(1.0f), "16");
    EXPECT_FLOAT_EQ(channelValue("16"), 1.0f);
    EXPECT_FLOAT_EQ(channelValue("+2"), 1.0f / 15.0f);
    EXPECT_FLOAT_EQ(channelValue(" 2.5e0 "), 1.5f / 15.0f);
    EXPECT_FLOAT_EQ(channelValue(".5"), 0.0f);
    EXPECT_FLOAT_EQ(channelValue(""), 0.0f);
    EXPECT_FLOAT_EQ(channelValue("x1"), 0.0f);
}

TEST(FieldText, NotesShowAsNamesOrNumbers) {
    EXPECT_EQ(noteFieldText(60.0f / 127.0f, true), "C3");
    EXPECT_EQ(noteFieldText(0.0f, true), "C-2");
    EXPECT_EQ(noteFieldText(23.0f / 127.0f, true), "B-1");
    EXPECT_EQ(noteFieldText(1.0f, true), "G8");
    EXPECT_EQ(noteFieldText(1.0f, false), "127");
}

TEST(FieldText, EveryNameTheFieldsShowReadsBackAsItsNote) {
    for (int n = 0; n < 128; ++n) {
        const std::string shown = noteFieldText(n / 127.0f, true);
        const editor::TypedNote typed = readNote(shown);
        EXPECT_TRUE(typed.isName) << shown;
        EXPECT_EQ(noteFieldText(typed.value, true), shown) << n;
        EXPECT_EQ(noteFieldText(typed.value, false), std::to_string(n));
        EXPECT_EQ(noteFieldText(readNote(std::to_string(n)).value, false), std::to_string(n));
    }
}

TEST(FieldText, TypedNotesFollowTheNameRules) {
    EXPECT_TRUE(readNote("c#3").isName);
    EXPECT_FLOAT_EQ(readNote("c#3").value, 61.0f / 127.0f);
    EXPECT_FLOAT_EQ(readNote("H3").value, 0.0f);  // no such letter: a number, and none
    EXPECT_FALSE(readNote("H3").isName);
    EXPECT_FALSE(readNote("C").isName);
    EXPECT_FALSE(readNote("C#").isName);
    EXPECT_FALSE(readNote("C-").isName);
    EXPECT_FALSE(readNote("Cb3").isName);
    EXPECT_FLOAT_EQ(readNote("Dx4").value, 0.0f);
    EXPECT_FLOAT_EQ(readNote("C#-2").value, 1.0f / 127.0f);
    EXPECT_FLOAT_EQ(readNote("A99").value, 1.0f);   // far above: the top note
    EXPECT_FLOAT_EQ(readNote("C-9").value, 0.0f);   // far below: the bottom note
    EXPECT_FLOAT_EQ(readNote("C99999999999999999999").value, 1.0f);
    EXPECT_FLOAT_EQ(readNote("200").value, 1.0f);
    EXPECT_FLOAT_EQ(readNote("-1").value, 0.0f);
}

}  // namespace
