// The LV2 editor as a host runs it: the plug-in on lilv with a worker, the
// editor loaded from the bundle's UI object into a parent window of a real X
// server (Xvfb), both driven in turns, the editor's port writes fed to the
// plug-in and the plug-in's notify port fed back to the editor.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "editor/EditorLayout.h"
#include "lv2/Lv2Ports.h"
#include "support/UridMap.h"
#include "support/VirtualXServer.h"

// Last: Xlib's macros would clash with the names above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

using testing_support::UridMap;

namespace lay = editor::layout;

// The settings of this process's editors and plug-ins, in a folder of its
// own: the zoom one test chooses stays out of every other test's way.
char configFolder[] = "/tmp/tamborik-lv2-ui-XXXXXX";

std::string privateConfig() {
    static const bool made = [] {
        if (!mkdtemp(configFolder)) return false;
        std::atexit([] { std::system((std::string("rm -rf ") + configFolder).c_str()); });
        return true;
    }();
    return made ? configFolder : "/tmp";
}

struct PortWrite {
    std::uint32_t port;
    float value;
};

class Lv2UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", privateConfig().c_str(), 1);
        std::remove((privateConfig() + "/Vok/Tamborik.reg").c_str());
        const std::string name = server.start();
        ASSERT_FALSE(name.empty()) << "Xvfb could not be started";
        setenv("DISPLAY", name.c_str(), 1);
        display = XOpenDisplay(name.c_str());
        ASSERT_NE(display, nullptr);
        parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, lay::kWindowWidth,
                                     lay::kWindowHeight, 0, 0, 0);
        XMapWindow(display, parent);
        XSync(display, False);
        startPlugin();
        startEditor();
    }
    void TearDown() override {
        if (ui) uiDescriptor->cleanup(ui);
        if (instance) {
            lilv_instance_deactivate(instance);
            lilv_instance_free(instance);
        }
        if (world) lilv_world_free(world);
        if (uiLibrary) dlclose(uiLibrary);
        if (display) XCloseDisplay(display);
        unsetenv("DISPLAY");
    }

    void startPlugin() {
        // Both objects stay loaded for the whole process, as in the other LV2
        // tests: what their runtimes keep for good stays attributable.
        dlopen(TAMBORIK_LV2_BUNDLE "/Tamborik.so", RTLD_NOW | RTLD_NODELETE);
        world = lilv_world_new();
        lilv_world_load_specifications(world);
        LilvNode* bundleUri = lilv_new_file_uri(world, nullptr, TAMBORIK_LV2_BUNDLE "/");
        lilv_world_load_bundle(world, bundleUri);
        lilv_node_free(bundleUri);
        LilvNode* uri = lilv_new_uri(world, lv2port::kStereoUri);
        const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
        lilv_node_free(uri);
        ASSERT_NE(plugin, nullptr);
        std::vector<float> defaults(lilv_plugin_get_num_ports(plugin));
        lilv_plugin_get_port_ranges_float(plugin, nullptr, nullptr, defaults.data());
        controls.assign(defaults.begin() + lv2port::kFirstControlPort,
                        defaults.begin() + lv2port::kFirstAudioPort);
        // The worker works at once, in the run that schedules: answers reach
        // the plug-in after the run, as a host's worker delivers them.
        schedule.handle = this;
        schedule.schedule_work = [](LV2_Worker_Schedule_Handle handle, std::uint32_t size, const void* data) {
            auto* self = static_cast<Lv2UiTest*>(handle);
            self->workQueue.emplace_back(static_cast<const std::uint8_t*>(data),
                                         static_cast<const std::uint8_t*>(data) + size);
            return LV2_WORKER_SUCCESS;
        };
        mapFeature = {LV2_URID__map, uris.map()};
        workerFeature = {LV2_WORKER__schedule, &schedule};
        const LV2_Feature* features[] = {&mapFeature, &workerFeature, nullptr};
        instance = lilv_plugin_instantiate(plugin, 48000.0, features);
        ASSERT_NE(instance, nullptr);
        worker = static_cast<const LV2_Worker_Interface*>(lilv_instance_get_extension_data(instance, LV2_WORKER__interface));
        ASSERT_NE(worker, nullptr);
        lilv_instance_connect_port(instance, lv2port::kMidiPort, input.data());
        for (int k = 0; k < lv2port::kControlCount; ++k)
            lilv_instance_connect_port(instance, static_cast<std::uint32_t>(lv2port::kFirstControlPort + k), &controls[k]);
        for (int j = 0; j < 2; ++j)
            lilv_instance_connect_port(instance, static_cast<std::uint32_t>(lv2port::kFirstAudioPort + j), audio[j]);
        lilv_instance_connect_port(instance, static_cast<std::uint32_t>(lv2port::notifyPort(lv2port::kVariants[0])),
                                   notify.data());
        lilv_instance_activate(instance);
        clearInput();
    }

    void startEditor() {
        uiLibrary = dlopen(TAMBORIK_LV2_BUNDLE "/TamborikUI.so", RTLD_NOW | RTLD_NODELETE);
        ASSERT_NE(uiLibrary, nullptr) << dlerror();
        auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(uiLibrary, "lv2ui_descriptor"));
        ASSERT_NE(entry, nullptr);
        uiDescriptor = entry(0);
        ASSERT_NE(uiDescriptor, nullptr);
        EXPECT_STREQ(uiDescriptor->URI, lv2port::kUiUri);
        EXPECT_EQ(entry(1), nullptr);
        resize.handle = this;
        resize.ui_resize = [](LV2UI_Feature_Handle handle, int width, int height) {
            auto* self = static_cast<Lv2UiTest*>(handle);
            self->sizes.push_back({width, height});
            return 0;
        };
        parentFeature = {LV2_UI__parent, reinterpret_cast<void*>(static_cast<std::uintptr_t>(parent))};
        idleFeature = {LV2_UI__idleInterface, nullptr};
        resizeFeature = {LV2_UI__resize, &resize};
        const LV2_Feature* features[] = {&mapFeature, &parentFeature, &idleFeature, &resizeFeature, nullptr};
        ui = uiDescriptor->instantiate(uiDescriptor, lv2port::kStereoUri, TAMBORIK_LV2_BUNDLE, &Lv2UiTest::write,
                                       this, &widget, features);
        ASSERT_NE(ui, nullptr);
        idle = static_cast<const LV2UI_Idle_Interface*>(uiDescriptor->extension_data(LV2_UI__idleInterface));
        ASSERT_NE(idle, nullptr);
    }

    // The editor's writes: control ports move at once; messages wait in the
    // MIDI port's sequence for the next run.
    static void write(LV2UI_Controller controller, std::uint32_t port, std::uint32_t size, std::uint32_t protocol,
                      const void* buffer) {
        auto* self = static_cast<Lv2UiTest*>(controller);
        if (protocol == 0 && size == sizeof(float) && port >= lv2port::kFirstControlPort &&
            port < static_cast<std::uint32_t>(lv2port::kFirstAudioPort)) {
            float value;
            std::memcpy(&value, buffer, sizeof(value));
            self->controls[port - lv2port::kFirstControlPort] = value;
            self->writes.push_back({port, value});
        } else if (protocol == self->uris.id(LV2_ATOM__eventTransfer) && port == lv2port::kMidiPort) {
            auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(self->input.data());
            const auto* atom = static_cast<const LV2_Atom*>(buffer);
            auto* event = reinterpret_cast<LV2_Atom_Event*>(reinterpret_cast<std::uint8_t*>(&sequence->body) +
                                                            lv2_atom_pad_size(sequence->atom.size));
            event->time.frames = 0;
            std::memcpy(&event->body, atom, sizeof(LV2_Atom) + atom->size);
            sequence->atom.size += static_cast<std::uint32_t>(lv2_atom_pad_size(sizeof(LV2_Atom_Event) + atom->size));
            ++self->messages;
        }
    }

    void clearInput() {
        auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(input.data());
        sequence->atom.type = uris.id(LV2_ATOM__Sequence);
        sequence->atom.size = sizeof(LV2_Atom_Sequence_Body);
        sequence->body.unit = uris.id(LV2_ATOM__frameTime);
        sequence->body.pad = 0;
    }

    // A command as the editor sends it, its object cut short by cut bytes.
    void sendCommand(int command, int value, const std::string& text = "", std::uint32_t cut = 0) {
        std::vector<std::uint64_t> buffer(1024);
        LV2_Atom_Forge forge;
        lv2_atom_forge_init(&forge, uris.map());
        lv2_atom_forge_set_buffer(&forge, reinterpret_cast<std::uint8_t*>(buffer.data()), buffer.size() * 8);
        LV2_Atom_Forge_Frame frame;
        lv2_atom_forge_object(&forge, &frame, 0, uris.id(lv2port::kCommandType));
        lv2_atom_forge_key(&forge, uris.id(lv2port::kCommandKey));
        lv2_atom_forge_int(&forge, command);
        if (!text.empty()) {
            lv2_atom_forge_key(&forge, uris.id(lv2port::kTextKey));
            lv2_atom_forge_string(&forge, text.c_str(), static_cast<std::uint32_t>(text.size()));
        }
        lv2_atom_forge_key(&forge, uris.id(lv2port::kValueKey));
        lv2_atom_forge_int(&forge, value);
        lv2_atom_forge_pop(&forge, &frame);
        auto* atom = reinterpret_cast<LV2_Atom*>(buffer.data());
        atom->size -= cut;
        write(this, lv2port::kMidiPort, sizeof(LV2_Atom) + atom->size, uris.id(LV2_ATOM__eventTransfer), atom);
    }

    // One run of the plug-in, its worker's work, and its notify port handed
    // to the editor.
    void run() {
        auto* out = reinterpret_cast<LV2_Atom_Sequence*>(notify.data());
        out->atom.type = uris.id(LV2_ATOM__Chunk);
        out->atom.size = static_cast<std::uint32_t>(notify.size() * sizeof(std::uint64_t) - sizeof(LV2_Atom));
        lilv_instance_run(instance, kFrames);
        clearInput();
        const auto queued = std::move(workQueue);
        workQueue.clear();
        for (const auto& item : queued)
            worker->work(lilv_instance_get_handle(instance), &Lv2UiTest::respond, this,
                         static_cast<std::uint32_t>(item.size()), item.data());
        for (const auto& answer : answers)
            worker->work_response(lilv_instance_get_handle(instance), static_cast<std::uint32_t>(answer.size()),
                                  answer.data());
        answers.clear();
        const std::uint32_t transfer = uris.id(LV2_ATOM__eventTransfer);
        LV2_ATOM_SEQUENCE_FOREACH(out, event) {
            if (event->body.type == uris.id(LV2_ATOM__Object)) {
                const auto* object = reinterpret_cast<const LV2_Atom_Object*>(&event->body);
                if (object->body.otype == uris.id(lv2port::kProgramsType)) readAnswer(object);
            }
            uiDescriptor->port_event(ui, static_cast<std::uint32_t>(lv2port::notifyPort(lv2port::kVariants[0])),
                                     sizeof(LV2_Atom) + event->body.size, transfer, &event->body);
        }
    }
    static LV2_Worker_Status respond(LV2_Worker_Respond_Handle handle, std::uint32_t size, const void* data) {
        auto* self = static_cast<Lv2UiTest*>(handle);
        self->answers.emplace_back(static_cast<const std::uint8_t*>(data), static_cast<const std::uint8_t*>(data) + size);
        return LV2_WORKER_SUCCESS;
    }
    // The plug-in's last word on programs: the current one and its name.
    void readAnswer(const LV2_Atom_Object* object) {
        const LV2_Atom* program = nullptr;
        const LV2_Atom* names = nullptr;
        lv2_atom_object_get(object, uris.id(lv2port::kProgramKey), &program, uris.id(lv2port::kNamesKey), &names, 0);
        if (!program || !names) return;
        answeredProgram = reinterpret_cast<const LV2_Atom_Int*>(program)->body;
        int index = 0;
        LV2_ATOM_TUPLE_FOREACH(reinterpret_cast<const LV2_Atom_Tuple*>(names), item) {
            if (index++ == answeredProgram) answeredName = static_cast<const char*>(LV2_ATOM_BODY_CONST(item));
        }
    }

    // Turns of editor and plug-in until the condition holds.
    bool turnUntil(const std::function<bool()>& done, int turns = 200) {
        for (int i = 0; i < turns; ++i) {
            XSync(display, False);
            if (idle->idle(ui) != 0) return false;
            run();
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    // Clicks the File menu and, once it shows, types the keys from another
    // connection while the menu runs inside the editor's idle call.
    bool inFileMenu(std::vector<KeySym> keys) {
        const lay::Box& button = lay::kFileMenuButton;
        const int x = (button.left + button.right) / 2, y = (button.top + button.bottom) / 2;
        const auto window = static_cast<::Window>(reinterpret_cast<std::uintptr_t>(widget));
        moveTo(x, y);
        press(1);
        std::atomic<bool> shown{false};
        std::thread user([&] {
            Display* hand = XOpenDisplay(server.name().c_str());
            for (int i = 0; i < 300 && !shown; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                // The menu's panel, light grey below the File button.
                if (XImage* image = XGetImage(hand, window, x, y + 20, 1, 1, AllPlanes, ZPixmap)) {
                    shown = (XGetPixel(image, 0, 0) & 0xffffffu) == 0xf0f0f0u;
                    XDestroyImage(image);
                }
            }
            for (KeySym symbol : keys) {
                XTestFakeKeyEvent(hand, XKeysymToKeycode(hand, symbol), True, 0);
                XTestFakeKeyEvent(hand, XKeysymToKeycode(hand, symbol), False, 0);
            }
            XSync(hand, False);
            XCloseDisplay(hand);
        });
        idle->idle(ui);
        user.join();
        return shown;
    }
    void moveTo(int x, int y) {
        XTestFakeMotionEvent(display, DefaultScreen(display), x, y, 0);
        XSync(display, False);
    }
    void press(unsigned int button) {
        XTestFakeButtonEvent(display, button, True, 0);
        XTestFakeButtonEvent(display, button, False, 0);
        XSync(display, False);
    }
    // The host moves a port and tells the editor.
    void portEvent(int parameter, float value) {
        controls[static_cast<std::size_t>(lv2port::controlPortOf(parameter) - lv2port::kFirstControlPort)] = value;
        uiDescriptor->port_event(ui, static_cast<std::uint32_t>(lv2port::controlPortOf(parameter)), sizeof(float), 0,
                                 &value);
    }
    bool wrote(int parameter, float value) {
        for (const PortWrite& w : writes)
            if (w.port == static_cast<std::uint32_t>(lv2port::controlPortOf(parameter)) &&
                std::fabs(w.value - value) < 1e-6f)
                return true;
        return false;
    }
    std::vector<std::uint32_t> nameFieldPixels() {
        const lay::Box& b = lay::kProgramNameField;
        std::vector<std::uint32_t> pixels;
        XImage* image = XGetImage(display, static_cast<::Window>(reinterpret_cast<std::uintptr_t>(widget)), b.left,
                                  b.top, static_cast<unsigned>(b.right - b.left), static_cast<unsigned>(b.bottom - b.top),
                                  AllPlanes, ZPixmap);
        if (!image) return pixels;
        for (int y = 0; y < b.bottom - b.top; ++y)
            for (int x = 0; x < b.right - b.left; ++x) pixels.push_back(static_cast<std::uint32_t>(XGetPixel(image, x, y)));
        XDestroyImage(image);
        return pixels;
    }

    static constexpr std::uint32_t kFrames = 256;
    testing_support::VirtualXServer server;
    Display* display = nullptr;
    ::Window parent = 0;
    UridMap uris;
    LilvWorld* world = nullptr;
    LilvInstance* instance = nullptr;
    const LV2_Worker_Interface* worker = nullptr;
    LV2_Worker_Schedule schedule{};
    LV2_Feature mapFeature{}, workerFeature{}, parentFeature{}, idleFeature{}, resizeFeature{};
    std::vector<float> controls;
    std::vector<std::uint64_t> input = std::vector<std::uint64_t>(8192);
    std::vector<std::uint64_t> notify = std::vector<std::uint64_t>(lv2port::kNotifySize / 8);
    float audio[2][kFrames] = {};
    std::vector<std::vector<std::uint8_t>> workQueue, answers;
    void* uiLibrary = nullptr;
    const LV2UI_Descriptor* uiDescriptor = nullptr;
    LV2UI_Handle ui = nullptr;
    LV2UI_Widget widget = nullptr;
    const LV2UI_Idle_Interface* idle = nullptr;
    LV2UI_Resize resize{};
    std::vector<std::pair<int, int>> sizes;
    std::vector<PortWrite> writes;
    int messages = 0;
    int answeredProgram = -1;
    std::string answeredName;
};

TEST_F(Lv2UiTest, KnobsWritePortsAndFollowThemProgramsTravelAsMessages) {
    // The editor sits in the parent, asks for the host window's size and
    // for the programs.
    ASSERT_NE(widget, nullptr);
    ASSERT_FALSE(sizes.empty());
    EXPECT_EQ(sizes.front(), std::make_pair(lay::kWindowWidth, lay::kWindowHeight));
    ASSERT_TRUE(turnUntil([&] { return answeredProgram == 0; }));
    const std::string firstName = answeredName;
    EXPECT_FALSE(firstName.empty());
    turnUntil([] { return false; }, 5);
    const auto before = nameFieldPixels();

    // The host moves Kick 1 Decay; the wheel turns the knob from there by
    // a tenth, and the port write reaches the plug-in's port.
    portEvent(3, 0.5f);
    moveTo(lay::columnCentre(0), lay::knobRowCentre(4));
    press(4);
    EXPECT_TRUE(turnUntil([&] { return wrote(3, 0.6f); }));
    portEvent(3, 0.25f);
    press(4);
    EXPECT_TRUE(turnUntil([&] { return wrote(3, 0.35f); }));
    EXPECT_FLOAT_EQ(controls[static_cast<std::size_t>(lv2port::controlPortOf(3) - lv2port::kFirstControlPort)], 0.35f);

    // The next-program button: a message the plug-in carries out, its
    // answer names the new program, and the editor shows that name.
    const lay::Box& next = lay::kNextProgramButton;
    moveTo((next.left + next.right) / 2, (next.top + next.bottom) / 2);
    press(1);
    EXPECT_TRUE(turnUntil([&] { return answeredProgram == 1; }));
    EXPECT_GT(messages, 1);
    EXPECT_NE(answeredName, firstName);
    EXPECT_TRUE(turnUntil([&] { return nameFieldPixels() != before; }));
}

// The zoom chosen in the File menu sizes the host's window.
TEST_F(Lv2UiTest, AZoomFromTheFileMenuResizesTheHostsWindow) {
    ASSERT_TRUE(turnUntil([&] { return answeredProgram == 0; }));
    // Up from the first entry: Zoom; then its fifth step, 200 %.
    ASSERT_TRUE(inFileMenu({XK_Up, XK_Right, XK_Down, XK_Down, XK_Down, XK_Down, XK_Down, XK_Return}));
    EXPECT_TRUE(turnUntil([&] {
        return sizes.back() == std::make_pair(2 * lay::kWindowWidth, 2 * lay::kWindowHeight);
    }));
    std::remove((privateConfig() + "/Vok/Tamborik.reg").c_str());
}

TEST_F(Lv2UiTest, BadPortEventsAndHostsWithoutTheFeaturesAreRefusedQuietly) {
    const LV2_Atom shortAtom{4096, uris.id(LV2_ATOM__Object)};
    uiDescriptor->port_event(ui, static_cast<std::uint32_t>(lv2port::notifyPort(lv2port::kVariants[0])),
                             sizeof(shortAtom), uris.id(LV2_ATOM__eventTransfer), &shortAtom);
    const float nan = std::nanf("");
    uiDescriptor->port_event(ui, static_cast<std::uint32_t>(lv2port::controlPortOf(3)), sizeof(float), 0, &nan);
    uiDescriptor->port_event(ui, 9999, sizeof(float), 0, &nan);
    uiDescriptor->port_event(ui, static_cast<std::uint32_t>(lv2port::controlPortOf(3)), 0, 0, nullptr);
    EXPECT_TRUE(turnUntil([] { return true; }));

    // Commands to the plug-in that are not whole or not known change
    // nothing; a good one after them still works.
    ASSERT_TRUE(turnUntil([&] { return answeredProgram == 0; }));
    const std::string firstName = answeredName;
    sendCommand(99, 1);
    sendCommand(lv2port::kSelectProgram, 99);
    sendCommand(lv2port::kSelectProgram, 5, "", 12);  // the value runs past the object's end
    sendCommand(lv2port::kRenameProgram, 0, std::string(static_cast<std::size_t>(lv2port::kCommandTextSize), 'x'));
    sendCommand(lv2port::kLoadBankFile, 0, "/nonexistent/folder/bank.fxb");
    turnUntil([] { return false; }, 5);
    EXPECT_EQ(answeredProgram, 0);
    EXPECT_EQ(answeredName, firstName);
    sendCommand(lv2port::kSelectProgram, 2);
    EXPECT_TRUE(turnUntil([&] { return answeredProgram == 2; }));

    LV2UI_Widget other = nullptr;
    const LV2_Feature* noParent[] = {&mapFeature, &idleFeature, nullptr};
    EXPECT_EQ(uiDescriptor->instantiate(uiDescriptor, lv2port::kStereoUri, "", &Lv2UiTest::write, this, &other, noParent),
              nullptr);
    const LV2_Feature* all[] = {&mapFeature, &parentFeature, &idleFeature, nullptr};
    EXPECT_EQ(uiDescriptor->instantiate(uiDescriptor, "urn:another", "", &Lv2UiTest::write, this, &other, all), nullptr);
}

}  // namespace
