// The editor driven as a user drives it, with a scripted mouse, keys and
// clock, against a real effect.
#include <gtest/gtest.h>

#include <thread>

#include "editor/AboutOverlay.h"
#include "editor/CommandMenu.h"
#include "editor/LockableKnob.h"
#include "editor/SettingsPanel.h"
#include "editor/ValueReadout.h"
#include "persist/ControllerMap.h"
#include "support/EditorHarness.h"
#include "support/FakeNativeControls.h"

namespace {

using testing_support::EditorTest;
using testing_support::RecordingHost;
using Editor = editor::PluginEditor;

const char kKey[] = "Software\\Vok\\Tamborik";

TEST_F(EditorTest, TheEffectOwnsAnEditorOfTheReportedSize) {
    EXPECT_EQ(effect->getAeffect()->flags & 0x111, 0x111);
    vst::ERect* rect = nullptr;
    ASSERT_EQ(effect->dispatcher(vst::effEditGetRect, 0, 0, &rect, 0.0f), 1);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 540);
    EXPECT_EQ(rect->right, 624);
    EXPECT_EQ(effect->dispatcher(vst::effEditOpen, 0, 0, nullptr, 0.0f), 0);  // no parent, no window
    EXPECT_FALSE(view->isOpen());
    EXPECT_EQ(effect->dispatcher(vst::effEditOpen, 0, 0, &parentWindow, 0.0f), 1);
    EXPECT_TRUE(view->isOpen());
    effect->dispatcher(vst::effEditClose, 0, 0, nullptr, 0.0f);
    effect->dispatcher(vst::effEditClose, 0, 0, nullptr, 0.0f);  // closing twice is harmless
    EXPECT_FALSE(view->isOpen());
}

TEST_F(EditorTest, EveryControlSitsWhereTheLayoutPutsIt) {
    ASSERT_TRUE(open());
    // Kick 1 Frequency: column 0, row 2; Crash Decay: column 9, row 4.
    EXPECT_EQ(view->parameterControl(1)->size(), (gui::Rect{10, 187, 54, 220}));
    EXPECT_EQ(view->parameterControl(54)->size(), (gui::Rect{568, 283, 612, 316}));
    EXPECT_EQ(view->parameterControl(6)->size(), (gui::Rect{12, 486, 52, 516}));  // Kick 1 Key Mode
    EXPECT_EQ(view->channelField(51)->size(), (gui::Rect{576, 431, 604, 441}));
    EXPECT_EQ(view->noteField(65)->size(), (gui::Rect{514, 497, 542, 507}));
    EXPECT_EQ(view->levelLight(3)->size(), (gui::Rect{204, 66, 232, 87}));
    EXPECT_EQ(view->aboutOverlay()->size(), (gui::Rect{0, 0, 152, 38}));
    EXPECT_EQ(view->parameterControl(13)->tag(), 13);
    EXPECT_EQ(view->parameterControl(45)->tag(), 45);  // Claves has a switch; Clap, Hihat and Crash none
    EXPECT_EQ(view->parameterControl(38), nullptr);
    // A Ctrl-click restores each knob's own default.
    click(centre(view->parameterControl(44)), gui::kPrimaryButton | gui::kControlKey);
    EXPECT_FLOAT_EQ(effect->getParameter(44), 0.0625f);
    EXPECT_EQ(view->fileMenu()->entryCount(), 8);  // the last opens the Zoom menu
    EXPECT_EQ(view->midiLearnMenu()->entryCount(), 5);
    EXPECT_EQ(view->programMenu()->entryCount(), 16);
    EXPECT_EQ(view->programMenu()->entry(0), "Tamborik");
}

TEST_F(EditorTest, AKnobDragIsAutomationAndAHostChangeMovesTheKnob) {
    ASSERT_TRUE(open());
    gui::Control* knob = view->parameterControl(2);  // Kick 1 Sweep
    effect->setParameter(2, 0.25f);
    const gui::Point from = centre(knob);
    drag(from, {from.x, from.y - 100});  // half the linear range
    EXPECT_NEAR(knob->value(), 0.75f, 1e-5f);
    EXPECT_FLOAT_EQ(effect->getParameter(2), knob->value());
    ASSERT_FALSE(RecordingHost::automated().empty());
    EXPECT_EQ(RecordingHost::automated().back().first, 2);
    EXPECT_FLOAT_EQ(RecordingHost::automated().back().second, knob->value());

    effect->setParameter(2, 0.1f);  // the host automates it back
    EXPECT_FLOAT_EQ(knob->value(), 0.1f);
    effect->setParameter(2, 7.0f);  // the effect keeps what it stored, and so does the knob
    EXPECT_FLOAT_EQ(knob->value(), 1.0f);
}

TEST_F(EditorTest, TheWheelTurnsTheKnobUnderTheMouse) {
    ASSERT_TRUE(open());
    gui::Control* knob = view->parameterControl(3);
    effect->setParameter(3, 0.5f);
    input.script({{0, centre(knob)}});
    EXPECT_EQ(effect->dispatcher(vst::effVendorSpecific, vst::fourCharCode('s', 't', 'C', 'A'),
                                 vst::fourCharCode('W', 'h', 'e', 'e'), nullptr, 1.0f),
              1);
    EXPECT_NEAR(effect->getParameter(3), 0.6f, 1e-6f);
    input.script({{gui::kShiftKey, centre(knob)}, {gui::kShiftKey, centre(knob)}});
    effect->dispatcher(vst::effVendorSpecific, vst::fourCharCode('s', 't', 'C', 'A'),
                       vst::fourCharCode('W', 'h', 'e', 'e'), nullptr, -1.0f);
    EXPECT_NEAR(effect->getParameter(3), 0.59f, 1e-6f);
}

// The readout shows what the host would show for the knob, beside it; it
// goes with the end of the drag, and comes after the mouse rests a while.
TEST_F(EditorTest, AKnobShowsItsValueWhileDraggedAndAfterTheMouseRests) {
    ASSERT_TRUE(open());
    const editor::ValueReadout* readout = view->valueReadout();
    gui::Control* knob = view->parameterControl(3);  // Kick 1 Decay
    const auto expected = [&] {
        char display[64] = {}, label[64] = {};
        effect->getParameterDisplay(3, display);
        effect->getParameterLabel(3, label);
        return std::string("Decay ") + display + " " + label;
    };
    std::vector<std::string> seen, wanted;
    input.onPresent = [&] {
        if (!readout->shown()) return;
        seen.push_back(readout->text());
        wanted.push_back(expected());
        EXPECT_FALSE(readout->size().intersects(knob->size()));
        EXPECT_GE(readout->size().top, 0);
    };
    const float original = effect->getParameter(3);
    const gui::PixelBuffer before = root()->pixels();
    drag(centre(knob), {centre(knob).x, centre(knob).y - 60});
    input.onPresent = nullptr;
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen, wanted);
    EXPECT_FALSE(readout->shown());
    effect->setParameter(3, original);  // the knob back where it was: the window is as before
    view->idle();
    EXPECT_EQ(root()->pixels().pixels(), before.pixels());

    input.hovering = centre(knob);
    view->idle();
    EXPECT_FALSE(readout->shown());
    input.advance(600);
    view->idle();
    ASSERT_TRUE(readout->shown());
    EXPECT_EQ(readout->text(), expected());
    input.hovering = gui::Point{2, 300};  // between the columns
    view->idle();
    EXPECT_FALSE(readout->shown());
}

// The zoom: chosen from the File menu's Zoom submenu, kept in the settings
// for every editor after; the host's scale counts only until then.
TEST_F(EditorTest, TheZoomMenuResizesTheEditorAndIsRemembered) {
    effect->dispatcher(vst::effVendorSpecific, vst::fourCharCode('P', 'r', 'e', 'S'),
                       vst::fourCharCode('A', 'e', 'C', 's'), nullptr, 1.3f);
    EXPECT_EQ(view->zoom(), 125);
    ASSERT_TRUE(open());
    EXPECT_EQ(root()->pixels().width(), 779);
    gui::PopupMenuControl* zoom = view->zoomMenu();
    ASSERT_NE(zoom, nullptr);
    EXPECT_EQ(view->fileMenu()->submenuAt(7), zoom);
    EXPECT_EQ(zoom->entry(1), "125 %");
    EXPECT_TRUE(zoom->showsCheck(1));
    choose(zoom, 4);
    EXPECT_EQ(registry.readDword(kKey, "zoom").value_or(0), 200u);
    view->idle();  // the window follows at the next idle
    EXPECT_EQ(root()->pixels().width(), 1246);
    EXPECT_EQ(root()->pixels().height(), 1080);
    EXPECT_TRUE(view->zoomMenu()->showsCheck(4));
    vst::ERect* rect = nullptr;
    effect->dispatcher(vst::effEditGetRect, 0, 0, &rect, 0.0f);
    EXPECT_EQ(rect->right, 1248);
    EXPECT_EQ(rect->bottom, 1080);
    // The controls work in the zoomed window: 200 pixels are half the range.
    effect->setParameter(2, 0.25f);
    const gui::Point from = centre(view->parameterControl(2));
    drag({2 * from.x, 2 * from.y}, {2 * from.x, 2 * from.y - 200});
    EXPECT_NEAR(effect->getParameter(2), 0.75f, 1e-5f);
    effect->dispatcher(vst::effVendorSpecific, vst::fourCharCode('P', 'r', 'e', 'S'),
                       vst::fourCharCode('A', 'e', 'C', 's'), nullptr, 1.0f);
    EXPECT_EQ(view->zoom(), 200);  // the user's choice stands

    // What is stored is read as the nearest step, or not at all.
    struct Stored {
        const char* text;
        std::uint32_t number;
        int zoom;
    };
    for (const Stored& s : {Stored{nullptr, 0, 100}, Stored{nullptr, 1000, 300}, Stored{nullptr, 130, 125},
                            Stored{"175", 0, 175}, Stored{"big", 0, 100}}) {
        if (s.text) registry.writeString(kKey, "zoom", s.text);
        else registry.writeDword(kKey, "zoom", s.number);
        createEffect();
        EXPECT_EQ(view->zoom(), s.zoom) << (s.text ? s.text : std::to_string(s.number));
    }
    for (float odd : {0.0f, -2.0f, NAN, INFINITY, 1000.0f}) {  // nothing stored that reads: the host decides
        effect->dispatcher(vst::effVendorSpecific, vst::fourCharCode('P', 'r', 'e', 'S'),
                           vst::fourCharCode('A', 'e', 'C', 's'), nullptr, odd);
        EXPECT_EQ(view->zoom(), std::isnan(odd) ? 100 : odd > 1.0f ? 300 : 100);
    }
}

TEST_F(EditorTest, ChannelFieldsReadWhatIsTypedAndShowWhatIsStored) {
    ASSERT_TRUE(open());
    gui::TextField* field = view->channelField(7);  // Kick 2
    type(field, "17");
    EXPECT_FLOAT_EQ(effect->getParameter(7), 1.0f);
    EXPECT_EQ(field->getText(), "16");
    type(field, "0");
    EXPECT_FLOAT_EQ(effect->getParameter(7), 0.0f);
    EXPECT_EQ(field->getText(), "1");
    type(field, "  8.4xyz");
    EXPECT_FLOAT_EQ(effect->getParameter(7), 7.4f / 15.0f);
    EXPECT_EQ(field->getText(), "8");
    for (const char* text : {"abc", "-3", "nan", "inf", "1e999"}) {
        type(field, text);
        EXPECT_FLOAT_EQ(effect->getParameter(7), 0.0f) << text;
        EXPECT_EQ(field->getText(), "1") << text;
    }
    type(field, std::string(300, '9'));  // far too long: cut, and clamped
    EXPECT_FLOAT_EQ(effect->getParameter(7), 1.0f);
    EXPECT_EQ(field->getText(), "16");
}

TEST_F(EditorTest, NoteFieldsSwitchBetweenNamesAndNumbersAsTyped) {
    ASSERT_TRUE(open());
    ASSERT_FALSE(view->noteNames());  // a first run shows numbers
    EXPECT_EQ(view->noteField(56)->getText(), "36");
    type(view->noteField(57), "c#3");
    EXPECT_FLOAT_EQ(effect->getParameter(57), 61.0f / 127.0f);
    EXPECT_TRUE(view->noteNames());
    EXPECT_EQ(view->noteField(57)->getText(), "C#3");
    EXPECT_EQ(view->noteField(56)->getText(), "C1");  // every field switched
    EXPECT_EQ(registry.readDword(kKey, "notename").value_or(9), 1u);
    char display[64];
    effect->getParameterDisplay(56, display);
    EXPECT_STREQ(display, "C1");

    // The lowest octaves show a minus sign and read back as shown.
    type(view->noteField(58), "C-1");
    EXPECT_FLOAT_EQ(effect->getParameter(58), 12.0f / 127.0f);
    EXPECT_EQ(view->noteField(58)->getText(), "C-1");
    type(view->noteField(58), "b-2");
    EXPECT_EQ(view->noteField(58)->getText(), "B-2");
    type(view->noteField(58), "C-2");
    EXPECT_FLOAT_EQ(effect->getParameter(58), 0.0f);
    type(view->noteField(58), "G9");  // above the top note: clamped to G8
    EXPECT_FLOAT_EQ(effect->getParameter(58), 1.0f);
    EXPECT_EQ(view->noteField(58)->getText(), "G8");

    type(view->noteField(59), "61");
    EXPECT_FALSE(view->noteNames());
    EXPECT_EQ(view->noteField(57)->getText(), "61");
    type(view->noteField(59), "-7");
    EXPECT_EQ(view->noteField(59)->getText(), "0");
    effect->setParameter(59, 0.5f);  // 63.5 rounds down
    EXPECT_EQ(view->noteField(59)->getText(), "63");
}

TEST_F(EditorTest, RetypingTheSameTextChangesNothing) {
    ASSERT_TRUE(open());
    RecordingHost::automated().clear();
    type(view->channelField(0), "1");
    EXPECT_TRUE(RecordingHost::automated().empty());
}

TEST_F(EditorTest, LearnClicksPickAndForgetWithoutTurningTheKnob) {
    ASSERT_TRUE(open());
    persist::ControllerMap& map = persist::ControllerMap::shared();
    map.clear();
    choose(view->midiLearnMenu(), Editor::kLearnOn);
    EXPECT_FLOAT_EQ(effect->getParameter(89), 1.0f);
    EXPECT_EQ(view->midiLearnMenu()->current(), Editor::kLearnOn);
    gui::Control* knob = view->parameterControl(5);
    const float before = knob->value();
    drag(centre(knob), {centre(knob).x, centre(knob).y - 50});
    EXPECT_EQ(map.pending(), 5);
    EXPECT_FLOAT_EQ(knob->value(), before);
    EXPECT_FLOAT_EQ(effect->getParameter(5), before);
    map.bind(3, 5);
    click(centre(knob), gui::kSecondaryButton);
    EXPECT_TRUE(map.bindings(3).empty());

    // A Key Mode switch and the fields stay what they are while learning.
    const float keyMode = effect->getParameter(6);
    click(centre(view->parameterControl(6)));
    EXPECT_NE(effect->getParameter(6), keyMode);

    choose(view->midiLearnMenu(), Editor::kLearnOff);
    EXPECT_EQ(view->midiLearnMenu()->current(), Editor::kLearnOff);
    click(centre(knob), gui::kSecondaryButton);  // a right click on a knob does nothing now
    EXPECT_FLOAT_EQ(effect->getParameter(5), before);
}

TEST_F(EditorTest, ExportAndImportEndLearningAndShowOff) {
    ASSERT_TRUE(open());
    persist::ControllerMap& map = persist::ControllerMap::shared();
    map.clear();
    map.bind(7, 12);
    const std::string file = testing::TempDir() + "tamborik-editor-learn.ccm";
    choose(view->midiLearnMenu(), Editor::kLearnOn);
    files.answers = {file};
    choose(view->midiLearnMenu(), Editor::kLearnExport);
    EXPECT_EQ(view->midiLearnMenu()->current(), Editor::kLearnOff);
    EXPECT_FALSE(map.learning());
    EXPECT_FLOAT_EQ(effect->getParameter(89), 0.0f);
    ASSERT_EQ(files.requests.size(), 1u);
    EXPECT_TRUE(files.requests[0].save);
    EXPECT_EQ(files.requests[0].extension, "ccm");

    map.clear();
    choose(view->midiLearnMenu(), Editor::kLearnOn);
    files.answers = {file};
    choose(view->midiLearnMenu(), Editor::kLearnImport);
    EXPECT_EQ(map.bindings(7), std::vector<int>{12});
    EXPECT_EQ(view->midiLearnMenu()->current(), Editor::kLearnOff);
    EXPECT_EQ(files.requests.back().startPath, file);  // the next dialog starts where this one ended

    choose(view->midiLearnMenu(), Editor::kLearnOn);
    choose(view->midiLearnMenu(), Editor::kLearnExport);  // cancelled: learning ends, nothing written
    EXPECT_FALSE(map.learning());
    EXPECT_EQ(effect->settings().midiLearnPath, file);
    choose(view->midiLearnMenu(), Editor::kLearnReset);
    EXPECT_TRUE(map.bindings(7).empty());
    std::remove(file.c_str());
}

TEST_F(EditorTest, ProgramStepsStopAtBothEndsAndRefreshTheBar) {
    ASSERT_TRUE(open());
    effect->setProgram(0);
    click({336, 20});  // previous
    EXPECT_EQ(effect->getProgram(), 0);
    EXPECT_EQ(view->programNameField()->getText(), "Tamborik");
    click({374, 20});  // next
    EXPECT_EQ(effect->getProgram(), 1);
    EXPECT_EQ(view->programNameField()->getText(), "Elektro");
    EXPECT_EQ(view->programMenu()->current(), 1);
    effect->setProgram(15);
    EXPECT_EQ(view->programMenu()->current(), 15);
    click({374, 20});
    EXPECT_EQ(effect->getProgram(), 15);
    choose(view->programMenu(), 4);
    EXPECT_EQ(effect->getProgram(), 4);
    EXPECT_EQ(view->programNameField()->getText(), "Layerdrums");
}

TEST_F(EditorTest, TheProgramMenuFollowsARenamedProgram) {
    ASSERT_TRUE(open());
    effect->setProgram(3);
    char name[] = "Renamed by host";
    effect->setProgramName(name);
    EXPECT_EQ(view->programMenu()->entry(3), "Renamed by host");
    EXPECT_EQ(view->programMenu()->entryCount(), 16);
    EXPECT_EQ(view->programMenu()->current(), 3);
    EXPECT_EQ(view->programNameField()->getText(), "Renamed by host");
    type(view->programNameField(), "Mine");
    char stored[32];
    effect->getProgramName(stored);
    EXPECT_STREQ(stored, "Mine");
    EXPECT_EQ(view->programMenu()->entry(3), "Mine");
}

TEST_F(EditorTest, ControlCAndControlVCopyAndPasteTheProgram) {
    ASSERT_TRUE(open());
    effect->setProgram(2);
    EXPECT_TRUE(key('c', 0, gui::kModifierControl));
    effect->setProgram(9);
    EXPECT_TRUE(key('V', 0, gui::kModifierControl));
    char name[32];
    effect->getProgramName(name);
    EXPECT_STREQ(name, "DreamMachine");
    EXPECT_EQ(view->programNameField()->getText(), "DreamMachine");
    for (int i = 0; i < 88; ++i) EXPECT_EQ(effect->program(9).values[i], effect->program(2).values[i]) << i;
    EXPECT_FALSE(key('c', 0, gui::kModifierControl | gui::kModifierShift));
    EXPECT_FALSE(key('x', 0, gui::kModifierControl));
    view->close();
    EXPECT_FALSE(key('v', 0, gui::kModifierControl));
}

TEST_F(EditorTest, VolumeLockHoldsUnityAndGivesBackTheHostsValue) {
    registry.writeDword(kKey, "lockvolume", 1);
    createEffect();
    effect->setParameter(69, 0.3f);
    ASSERT_TRUE(open());
    auto* knob = static_cast<editor::LockableKnob*>(view->parameterControl(69));
    EXPECT_TRUE(knob->locked());
    EXPECT_EQ(effect->getParameter(69), 20.0f / 23.0f);  // unity gain
    const float before = effect->getParameter(69);
    drag(centre(knob), {centre(knob).x, centre(knob).y - 80});  // a locked knob ignores the mouse
    EXPECT_FLOAT_EQ(effect->getParameter(69), before);
    effect->setParameter(69, 0.42f);  // the host goes on automating it
    EXPECT_FLOAT_EQ(knob->value(), 0.42f);

    registry.writeDword(kKey, "lockvolume", 0);  // the settings panel: box cleared, OK
    choose(view->fileMenu(), Editor::kSettings);
    ASSERT_NE(view->settingsPanel(), nullptr);
    view->settingsPanel()->accept();
    EXPECT_FALSE(knob->locked());
    EXPECT_FLOAT_EQ(effect->getParameter(69), 0.42f);
    EXPECT_FLOAT_EQ(knob->value(), 0.42f);
}

TEST_F(EditorTest, TenMonoOutputsLockThePans) {
    registry.writeDword(kKey, "outMode", 0);
    createEffect();
    ASSERT_EQ(effect->outputMode(), plugin::kTenMono);
    effect->setParameter(72, 0.1f);
    const std::size_t automatedBefore = RecordingHost::automated().size();
    ASSERT_TRUE(open());
    EXPECT_FLOAT_EQ(effect->getParameter(72), 0.5f);
    EXPECT_EQ(RecordingHost::automated().size(), automatedBefore);  // locking is not automation
    EXPECT_TRUE(static_cast<editor::LockableKnob*>(view->parameterControl(72))->locked());
    EXPECT_FALSE(static_cast<editor::LockableKnob*>(view->parameterControl(73))->locked());
}

TEST_F(EditorTest, AKeyModeSwitchReactsOnlyInsideItsHitArea) {
    ASSERT_TRUE(open());
    gui::Control* toggle = view->parameterControl(19);  // Snare 1
    const gui::Rect r = toggle->size();
    const float before = effect->getParameter(19);
    click({r.left + 2, r.top + 2});
    click({r.left + 34, r.top + 10});  // just right of the hit area
    EXPECT_EQ(effect->getParameter(19), before);
    click({r.left + 6, r.top + 6});
    EXPECT_NE(effect->getParameter(19), before);
    click({r.left + 33, r.top + 23});
    EXPECT_EQ(effect->getParameter(19), before);
}

TEST_F(EditorTest, NothingHappensWhileClosed) {
    view->parameterChanged(1, 0.5f);
    view->parameterChanged(97, 0.0f);
    view->idle();
    EXPECT_FALSE(key('c', 0, gui::kModifierControl));
    vst::VstKeyCode code{'a', 0, 0};
    EXPECT_FALSE(view->onKeyUp(code));
    effect->setParameter(1, 0.25f);
    ASSERT_TRUE(open());
    EXPECT_FLOAT_EQ(view->parameterControl(1)->value(), 0.25f);
}

TEST_F(EditorTest, ChangesFromAnotherThreadWaitForTheIdle) {
    ASSERT_TRUE(open());
    gui::Control* knob = view->parameterControl(8);
    effect->setParameter(8, 0.1f);
    std::thread audio([&] {
        effect->setParameter(8, 0.9f);
        effect->setProgram(6);
    });
    audio.join();
    EXPECT_FLOAT_EQ(knob->value(), 0.1f);  // not touched from the other thread
    view->idle();
    EXPECT_FLOAT_EQ(knob->value(), effect->getParameter(8));
    EXPECT_EQ(view->programNameField()->getText(), "Default");
    EXPECT_EQ(view->programMenu()->current(), 6);
}

TEST_F(EditorTest, OpeningAndClosingManyTimesLetsGoOfTheSharedPicture) {
    std::unique_ptr<plugin::DrumSynthEffect> second = std::make_unique<plugin::DrumSynthEffect>(
        &RecordingHost::callback, registry, "", &editor::createPluginEditor);
    auto* other = static_cast<Editor*>(second->getEditor());
    other->setWindowFactory(nullptr);
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(open());
        EXPECT_EQ(Editor::sharedBackgroundReferences(), 2);  // the editor's and its window's
        if (i % 10 == 0) {
            ASSERT_TRUE(other->open(&parentWindow));
            EXPECT_EQ(Editor::sharedBackgroundReferences(), 4);
            other->close();
        }
        view->close();
        EXPECT_EQ(Editor::sharedBackgroundReferences(), 0);
    }
    ASSERT_TRUE(other->open(&parentWindow));
    second.reset();  // an instance closed with its editor open
    EXPECT_EQ(Editor::sharedBackgroundReferences(), 0);
}

TEST_F(EditorTest, FileCommandsUseTheSelectorAndSurviveItsFailures) {
    ASSERT_TRUE(open());
    const std::string folder = testing::TempDir();
    const std::string program = folder + "tamborik-editor-program.fxp";
    effect->setProgram(1);
    files.answers = {program};
    choose(view->fileMenu(), Editor::kSaveProgram);
    ASSERT_EQ(files.requests.size(), 1u);
    EXPECT_TRUE(files.requests[0].save);
    EXPECT_EQ(files.requests[0].extension, "fxp");
    EXPECT_EQ(files.requests[0].proposedName, "Elektro");
    EXPECT_EQ(view->fileMenu()->current(), 0);  // the menu snaps back

    effect->setProgram(5);
    files.answers = {program};
    choose(view->fileMenu(), Editor::kLoadProgram);
    char name[32];
    effect->getProgramName(name);
    EXPECT_STREQ(name, "Elektro");
    EXPECT_EQ(view->programNameField()->getText(), "Elektro");
    EXPECT_EQ(view->programMenu()->entry(5), "Elektro");
    EXPECT_EQ(files.requests.back().startPath, program);

    // Cancelled, unreadable and unwritable paths change nothing.
    const float kick = effect->getParameter(1);
    choose(view->fileMenu(), Editor::kLoadBank);
    files.answers = {folder + "no-such-file.fxb"};
    choose(view->fileMenu(), Editor::kLoadBank);
    files.answers = {folder};
    choose(view->fileMenu(), Editor::kLoadProgram);
    files.answers = {"/proc/no/such/folder/x.fxb"};
    choose(view->fileMenu(), Editor::kSaveBank);
    EXPECT_EQ(effect->getParameter(1), kick);
    effect->getProgramName(name);
    EXPECT_STREQ(name, "Elektro");
    EXPECT_TRUE(view->isOpen());
    type(view->channelField(0), "3");  // and the editor keeps working
    EXPECT_EQ(view->channelField(0)->getText(), "3");
    std::remove(program.c_str());
}

TEST_F(EditorTest, TheSettingsPanelWritesOnOkAndNothingOnCancel) {
    ASSERT_TRUE(open());
    choose(view->fileMenu(), Editor::kSettings);
    editor::SettingsPanel* panel = view->settingsPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(root()->modalView(), panel);
    const auto at = [&](int id) {
        const gui::Rect r = panel->itemRect(id);
        return gui::Point{r.left + 4, (r.top + r.bottom) / 2};
    };
    click(at(persist::SettingsDialogModel::kTenStereo));
    click(at(persist::SettingsDialogModel::kExponential));
    click(at(persist::SettingsDialogModel::kLockVolume));
    click({5, 300});  // outside the panel: nothing
    EXPECT_TRUE(panel->model().isChecked(persist::SettingsDialogModel::kTenStereo));
    EXPECT_FALSE(panel->model().isChecked(persist::SettingsDialogModel::kOneStereo));
    key(0, gui::kKeyEscape);
    EXPECT_EQ(view->settingsPanel(), nullptr);
    EXPECT_EQ(root()->modalView(), nullptr);
    EXPECT_FALSE(registry.readDword(kKey, "velocurve").value_or(0) == 2);

    choose(view->fileMenu(), Editor::kSettings);
    panel = view->settingsPanel();
    click(at(persist::SettingsDialogModel::kTenStereo));
    click(at(persist::SettingsDialogModel::kExponential));
    click(at(persist::SettingsDialogModel::kLockVolume));
    click(at(persist::SettingsDialogModel::kAsNames));
    click(at(persist::SettingsDialogModel::kOk));
    EXPECT_EQ(view->settingsPanel(), nullptr);
    EXPECT_EQ(registry.readDword(kKey, "outmode").value_or(9), 1u);
    EXPECT_EQ(registry.readDword(kKey, "velocurve").value_or(9), 2u);
    EXPECT_EQ(registry.readDword(kKey, "lockvolume").value_or(9), 1u);
    EXPECT_EQ(effect->outputMode(), plugin::kOneStereo);  // the layout waits for the next instance
    EXPECT_TRUE(static_cast<editor::LockableKnob*>(view->parameterControl(87))->locked());
    char display[64];
    effect->getParameterDisplay(56, display);
    EXPECT_STREQ(display, "C1");  // note names reach the effect at once
}

TEST_F(EditorTest, TheAboutBoxOpensLinksAndHidesOnAnyOtherClick) {
    ASSERT_TRUE(open());
    editor::AboutOverlay* about = view->aboutOverlay();
    click({20, 20});
    ASSERT_EQ(root()->modalView(), about);
    ASSERT_FALSE(about->linkAreas().empty());
    const editor::AboutOverlay::LinkArea link = about->linkAreas()[0];
    click({(link.rect.left + link.rect.right) / 2, link.rect.top});
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0], link.target);
    EXPECT_EQ(root()->modalView(), about);
    click({(link.rect.left + link.rect.right) / 2, link.rect.top}, gui::kSecondaryButton);
    EXPECT_EQ(links.size(), 1u);
    click({about->size().left + 3, about->size().bottom - 3});
    EXPECT_EQ(root()->modalView(), nullptr);
    click({300, 260});  // where the box was: an ordinary click now
    EXPECT_EQ(links.size(), 1u);
}

TEST(AboutOverlayText, LinksAreWrittenInAngleBrackets) {
    using Segments = std::vector<editor::AboutOverlay::Segment>;
    const Segments parts = editor::AboutOverlay::segments("By <Vokwerk;https://x/> and <plain> <open");
    ASSERT_EQ(parts.size(), 6u);
    EXPECT_EQ(parts[0].label, "By ");
    EXPECT_EQ(parts[1].label, "Vokwerk");
    EXPECT_EQ(parts[1].target, "https://x/");
    EXPECT_EQ(parts[3].label, "plain");
    EXPECT_TRUE(parts[3].target.empty());
    EXPECT_EQ(parts[5].label, "<open");
    EXPECT_TRUE(editor::AboutOverlay::segments("").empty());
}

// A window with native controls: the program name is typed into its edit
// box, and its window owns the dialogs.
class NativeWindowEditorTest : public EditorTest {
protected:
    class Window : public testing_support::ForwardingWindow {
    public:
        Window(testing_support::ScriptedInput& input, testing_support::FakeNativeControls& controls)
            : ForwardingWindow(input), controls_(controls) {}
        gui::NativeControls* nativeControls() override { return &controls_; }

    private:
        testing_support::FakeNativeControls& controls_;
    };
    void SetUp() override {
        EditorTest::SetUp();
        view->setWindowFactory([this](void*, int, int) { return std::make_unique<Window>(input, native); });
    }
    testing_support::FakeNativeControls native;
};

TEST_F(NativeWindowEditorTest, TheProgramNameIsTypedInTheNativeBoxAndItsWindowOwnsTheDialogs) {
    ASSERT_TRUE(open());
    click(centre(view->programNameField()));
    ASSERT_NE(native.open, nullptr);
    EXPECT_EQ(native.editRequests.back().text, "Tamborik");
    native.finish("Typed natively", gui::TextEditEnd::kEnter);
    char name[32];
    effect->getProgramName(name);
    EXPECT_STREQ(name, "Typed natively");
    EXPECT_EQ(native.open, nullptr);

    choose(view->fileMenu(), Editor::kLoadBank);
    ASSERT_EQ(files.requests.size(), 1u);
    EXPECT_EQ(files.requests[0].owner, native.windowHandle());
    // Linux has no native settings dialog: the panel opens in the window.
    choose(view->fileMenu(), Editor::kSettings);
    EXPECT_NE(view->settingsPanel(), nullptr);
}

}  // namespace
