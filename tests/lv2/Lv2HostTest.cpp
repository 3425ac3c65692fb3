// The LV2 bundle driven by a small host on lilv: the demo groove through
// both plug-ins against the VST 2 module, state saved and restored, and the
// bad input a host or a session file can bring.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/atom/util.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/DemoGroove.h"
#include "host/PluginInstance.h"
#include "host/PluginModule.h"
#include "host/PrivateSettings.h"
#include "host/Renderer.h"
#include "lv2/Lv2Ports.h"
#include "persist/FxFormats.h"
#include "support/UridMap.h"

namespace {

using testing_support::UridMap;

using Outputs = std::vector<std::vector<float>>;

// One map for every instance, as in a host: states pass between them.
UridMap& sharedUris() {
    static UridMap uris;
    return uris;
}

// The bundle loaded into a lilv world of its own.
class Bundle {
public:
    Bundle() : world_(lilv_world_new()) {
        // Kept loaded for the whole process, as the module is for the
        // sanitizers: what its runtime keeps for good stays attributable.
        dlopen(TAMBORIK_LV2_BUNDLE "/Tamborik.so", RTLD_NOW | RTLD_NODELETE);
        lilv_world_load_specifications(world_);
        lilv_world_load_plugin_classes(world_);
        LilvNode* uri = lilv_new_file_uri(world_, nullptr, (std::string(TAMBORIK_LV2_BUNDLE) + "/").c_str());
        lilv_world_load_bundle(world_, uri);
        lilv_node_free(uri);
    }
    ~Bundle() { lilv_world_free(world_); }
    LilvWorld* world() const { return world_; }
    const LilvPlugin* plugin(const char* uri) const {
        LilvNode* node = lilv_new_uri(world_, uri);
        const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world_), node);
        lilv_node_free(node);
        return plugin;
    }

private:
    LilvWorld* world_;
};

const Bundle& bundle() {
    static Bundle shared;
    return shared;
}

// One instance with its ports: MIDI written into an atom sequence per run.
class Lv2Run {
public:
    Lv2Run(const lv2port::Variant& variant, double rate, int block, bool withMap = true)
        : plugin_(bundle().plugin(variant.uri)), block_(block), outputs_(variant.outputCount) {
        if (!plugin_) return;
        std::vector<float> defaults(lilv_plugin_get_num_ports(plugin_));
        lilv_plugin_get_port_ranges_float(plugin_, nullptr, nullptr, defaults.data());
        controls_.assign(defaults.begin() + lv2port::kFirstControlPort,
                         defaults.begin() + lv2port::kFirstControlPort + lv2port::kControlCount);
        options_[0] = {LV2_OPTIONS_INSTANCE, 0, uris_.id(LV2_BUF_SIZE__maxBlockLength), sizeof(std::int32_t),
                       uris_.id(LV2_ATOM__Int), &block_};
        options_[1] = {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr};
        mapFeature_ = {LV2_URID__map, uris_.map()};
        optionsFeature_ = {LV2_OPTIONS__options, options_};
        features_ = {&optionsFeature_, withMap ? &mapFeature_ : nullptr, nullptr};
        instance_ = lilv_plugin_instantiate(plugin_, rate, features_.data());
        if (!instance_) return;
        lilv_instance_connect_port(instance_, lv2port::kMidiPort, sequence_.data());
        for (int k = 0; k < lv2port::kControlCount; ++k)
            lilv_instance_connect_port(instance_, lv2port::kFirstControlPort + k, &controls_[k]);
        for (auto& output : outputs_) output.resize(static_cast<std::size_t>(block));
        for (int j = 0; j < variant.outputCount; ++j)
            lilv_instance_connect_port(instance_, lv2port::kFirstAudioPort + j, outputs_[j].data());
        lilv_instance_activate(instance_);
        clearEvents();
    }
    ~Lv2Run() {
        if (instance_) {
            lilv_instance_deactivate(instance_);
            lilv_instance_free(instance_);
        }
    }
    Lv2Run(const Lv2Run&) = delete;
    Lv2Run& operator=(const Lv2Run&) = delete;

    explicit operator bool() const { return instance_ != nullptr; }
    LilvInstance* instance() { return instance_; }
    UridMap& uris() { return uris_; }
    float& control(const char* symbol) {
        LilvNode* node = lilv_new_string(bundle().world(), symbol);
        const LilvPort* port = lilv_plugin_get_port_by_symbol(plugin_, node);
        lilv_node_free(node);
        EXPECT_TRUE(port) << symbol;
        return controls_[port ? lilv_port_get_index(plugin_, port) - lv2port::kFirstControlPort : 0];
    }

    // A factory preset's port values, as a host applies them.
    void applyPreset(int program) {
        const std::string uri = lv2port::kPresetUri + std::to_string(program + 1);
        LilvNode* node = lilv_new_uri(bundle().world(), uri.c_str());
        lilv_world_load_resource(bundle().world(), node);
        LilvState* state = lilv_state_new_from_world(bundle().world(), uris_.map(), node);
        lilv_node_free(node);
        ASSERT_TRUE(state) << uri;
        lilv_state_restore(state, instance_, setPortValue, this, 0, nullptr);
        lilv_state_free(state);
    }

    // Starts the next run's sequence; events are added in time order.
    void clearEvents() {
        auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(sequence_.data());
        sequence->atom.type = uris_.id(LV2_ATOM__Sequence);
        sequence->atom.size = sizeof(LV2_Atom_Sequence_Body);
        // A unit the plug-in does not know, as some hosts leave it: the
        // times are still frames.
        sequence->body.unit = uris_.id("urn:example:unit-left-as-found");
        sequence->body.pad = 0;
    }
    void addEvent(std::int64_t frame, LV2_URID type, const std::uint8_t* bytes, std::uint32_t size) {
        auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(sequence_.data());
        std::uint8_t* at = reinterpret_cast<std::uint8_t*>(sequence_.data()) + sizeof(LV2_Atom) + sequence->atom.size;
        auto* event = reinterpret_cast<LV2_Atom_Event*>(at);
        event->time.frames = frame;
        event->body.type = type;
        event->body.size = size;
        std::memcpy(at + sizeof(LV2_Atom_Event), bytes, size);
        sequence->atom.size += static_cast<std::uint32_t>(lv2_atom_pad_size(sizeof(LV2_Atom_Event) + size));
    }
    void addMidi(std::int64_t frame, const std::uint8_t* bytes, std::uint32_t size) {
        addEvent(frame, uris_.id(LV2_MIDI__MidiEvent), bytes, size);
    }
    void run(int frames) {
        lilv_instance_run(instance_, static_cast<std::uint32_t>(frames));
        clearEvents();
    }
    const Outputs& outputs() const { return outputs_; }

    // The messages at their frames, block by block, as the VST 2 host sends them.
    Outputs render(const std::vector<host::TimedMessage>& messages, std::int64_t frames, double rate) {
        Outputs all(outputs_.size());
        std::size_t next = 0;
        clearEvents();
        for (std::int64_t start = 0; start < frames; start += block_) {
            const int n = static_cast<int>(std::min<std::int64_t>(block_, frames - start));
            while (next < messages.size()) {
                const auto frame = static_cast<std::int64_t>(std::llround(messages[next].seconds * rate));
                if (frame >= start + n) break;
                addMidi(std::max<std::int64_t>(frame - start, 0), messages[next].bytes,
                        static_cast<std::uint32_t>(messages[next].size));
                ++next;
            }
            run(n);
            for (std::size_t j = 0; j < outputs_.size(); ++j)
                all[j].insert(all[j].end(), outputs_[j].begin(), outputs_[j].begin() + n);
        }
        return all;
    }

    // The state as a host stores it: key to type and bytes.
    struct Stored {
        LV2_URID type;
        std::vector<std::uint8_t> bytes;
    };
    using State = std::map<LV2_URID, Stored>;
    State save() {
        State state;
        const auto* interface =
            static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(instance_, LV2_STATE__interface));
        EXPECT_EQ(interface->save(lilv_instance_get_handle(instance_), store, &state, LV2_STATE_IS_POD, nullptr),
                  LV2_STATE_SUCCESS);
        return state;
    }
    LV2_State_Status restore(const State& state) {
        const auto* interface =
            static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(instance_, LV2_STATE__interface));
        return interface->restore(lilv_instance_get_handle(instance_), retrieve,
                                  const_cast<State*>(&state), 0, nullptr);
    }

private:
    static void setPortValue(const char* symbol, void* self, const void* value, std::uint32_t size,
                             std::uint32_t /*type*/) {
        if (size == sizeof(float)) std::memcpy(&static_cast<Lv2Run*>(self)->control(symbol), value, size);
    }
    static LV2_State_Status store(LV2_State_Handle handle, std::uint32_t key, const void* value, std::size_t size,
                                  std::uint32_t type, std::uint32_t /*flags*/) {
        const auto* bytes = static_cast<const std::uint8_t*>(value);
        (*static_cast<State*>(handle))[key] = {type, std::vector<std::uint8_t>(bytes, bytes + size)};
        return LV2_STATE_SUCCESS;
    }
    static const void* retrieve(LV2_State_Handle handle, std::uint32_t key, std::size_t* size, std::uint32_t* type,
                                std::uint32_t* flags) {
        const State& state = *static_cast<const State*>(handle);
        const auto found = state.find(key);
        if (found == state.end()) return nullptr;
        *size = found->second.bytes.size();
        *type = found->second.type;
        *flags = LV2_STATE_IS_POD;
        return found->second.bytes.data();
    }

    const LilvPlugin* plugin_;
    std::int32_t block_;
    UridMap& uris_ = sharedUris();
    LV2_Options_Option options_[2] = {};
    LV2_Feature mapFeature_{}, optionsFeature_{};
    std::vector<const LV2_Feature*> features_;
    LilvInstance* instance_ = nullptr;
    std::vector<float> controls_;
    std::vector<std::uint64_t> sequence_ = std::vector<std::uint64_t>(8192);
    Outputs outputs_;
};

Outputs renderVst(host::PluginInstance& instance, const std::vector<host::TimedMessage>& messages,
                  std::int64_t frames) {
    Outputs all(static_cast<std::size_t>(instance.numOutputs()));
    host::renderBlocks(instance, messages, frames, [&](const float* const* outputs, int n, double) {
        for (std::size_t j = 0; j < all.size(); ++j) all[j].insert(all[j].end(), outputs[j], outputs[j] + n);
        return true;
    });
    return all;
}

bool sounds(const Outputs& outputs) {
    for (const auto& output : outputs)
        for (float sample : output)
            if (sample != 0.0f) return true;
    return false;
}

bool allFinite(const Outputs& outputs) {
    for (const auto& output : outputs)
        for (float sample : output)
            if (!std::isfinite(sample)) return false;
    return true;
}

// Every factory program, as a preset on the LV2 side and as the program on
// the VST 2 side, plays the demo groove to the same bits: one stereo pair
// against the module's one-pair layout, ten against its ten stereo pairs.
// (One layout per process: the module reads its layout once.)
class Lv2AgainstVst : public ::testing::TestWithParam<int> {};

TEST_P(Lv2AgainstVst, EveryPresetPlaysTheDemoGrooveToTheModulesSamples) {
    struct Case {
        int vstMode, block;
        float rate;
    };
    const Case c = GetParam() == 0 ? Case{plugin::kOneStereo, 512, 44100.0f} : Case{plugin::kTenStereo, 64, 96000.0f};
    std::string error;
    auto settings = host::PrivateSettings::prepare(TAMBORIK_MODULE_PATH, c.vstMode, &error);
    ASSERT_TRUE(settings) << error;
    auto module = host::PluginModule::load(settings->modulePath(), &error);
    ASSERT_TRUE(module) << error;
    host::HostOptions options;
    options.sampleRate = c.rate;
    options.blockSize = c.block;
    options.sendsIdle = false;
    const auto frames = static_cast<std::int64_t>(2.0 * c.rate);
    for (int program = 0; program < plugin::kProgramCount; ++program) {
        auto vst = host::PluginInstance::create(*module, options);
        ASSERT_TRUE(vst);
        vst->start();
        vst->dispatch(vst::effSetProgram, 0, program);
        const std::vector<host::TimedMessage> groove = host::demoGroove(*vst);
        const Outputs expected = renderVst(*vst, groove, frames);

        Lv2Run lv2(lv2port::kVariants[GetParam()], c.rate, c.block);
        ASSERT_TRUE(lv2);
        lv2.applyPreset(program);
        const Outputs got = lv2.render(groove, frames, c.rate);
        ASSERT_EQ(got.size(), expected.size());
        EXPECT_TRUE(sounds(got)) << "program " << program;
        for (std::size_t j = 0; j < got.size(); ++j)
            ASSERT_TRUE(got[j] == expected[j]) << "program " << program << " output " << j;
    }
}

INSTANTIATE_TEST_SUITE_P(BothPlugins, Lv2AgainstVst, ::testing::Values(0, 1));

// The state holds the programs, their names and the current program: a new
// instance given it saves the same state and plays as the first one does.
TEST(Lv2Plugins, StateBringsBackTheProgramsAndTheCurrentOne) {
    const std::vector<host::TimedMessage> hits = {{0.0, {0x90, 36, 120}, 3}, {0.05, {0x90, 38, 100}, 3},
                                                  {0.1, {0x90, 42, 90}, 3}};
    Lv2Run first(lv2port::kVariants[0], 48000.0, 256);
    ASSERT_TRUE(first);
    const std::uint8_t programChange[2] = {0xC0, 5};
    first.addMidi(0, programChange, 2);
    first.run(256);
    first.control("kick_1_decay") = 0.0625f;
    first.control("snare_1_frequency") = 0.875f;
    first.run(256);
    const Lv2Run::State saved = first.save();
    const auto program = saved.find(first.uris().id(lv2port::kProgramKey));
    ASSERT_NE(program, saved.end());
    ASSERT_EQ(program->second.bytes.size(), 4u);
    EXPECT_EQ(program->second.bytes[0], 5);

    Lv2Run second(lv2port::kVariants[0], 48000.0, 256);
    ASSERT_TRUE(second);
    ASSERT_EQ(second.restore(saved), LV2_STATE_SUCCESS);
    const Lv2Run::State again = second.save();
    for (const char* key : {lv2port::kBankKey, lv2port::kProgramKey})
        EXPECT_TRUE(again.at(second.uris().id(key)).bytes == saved.at(first.uris().id(key)).bytes) << key;
    const Outputs expected = first.render(hits, 24000, 48000.0);
    EXPECT_TRUE(sounds(expected));
    EXPECT_TRUE(second.render(hits, 24000, 48000.0) == expected);
}

TEST(Lv2Plugins, RefuseOrSurviveBadInputQuietly) {
    // Rates the instrument cannot render, and a host without URID mapping.
    for (double rate : {0.0, -44100.0, 4000.0, 10e6, std::nan("")})
        EXPECT_FALSE(Lv2Run(lv2port::kVariants[0], rate, 256)) << rate;
    EXPECT_FALSE(Lv2Run(lv2port::kVariants[1], 44100.0, 256, false));

    Lv2Run run(lv2port::kVariants[1], 44100.0, 128);
    ASSERT_TRUE(run);
    const Lv2Run::State good = run.save();

    // Events before, far beyond and at the end of the block, of unknown
    // types, empty, and one that claims more bytes than the sequence holds.
    const std::uint8_t note[3] = {0x90, 36, 127};
    const std::uint8_t text[5] = {'h', 'e', 'l', 'l', 'o'};
    run.addMidi(-50, note, 3);
    run.addMidi(std::int64_t{1} << 40, note, 3);
    run.addEvent(3, run.uris().id("urn:example:unknown"), text, 5);
    run.addMidi(4, note, 0);
    run.addEvent(5, run.uris().id(LV2_ATOM__Float), text, 4);
    run.run(128);
    Outputs played = run.outputs();
    EXPECT_TRUE(sounds(played));
    run.addMidi(6, note, 3);
    run.run(0);
    run.run(128);
    EXPECT_TRUE(allFinite(run.outputs()));

    // Control ports at NaN and infinities, one left unconnected, outputs too.
    run.control("kick_1_frequency") = std::nanf("");
    run.control("kick_1_decay") = INFINITY;
    run.control("kick1_volume") = -INFINITY;
    run.control("kick1_note") = 1e30f;
    run.control("snare_1_midi_ch") = -1e30f;
    lilv_instance_connect_port(run.instance(), lv2port::kFirstControlPort + 3, nullptr);
    lilv_instance_connect_port(run.instance(), lv2port::kFirstAudioPort + 4, nullptr);
    for (int block = 0; block < 20; ++block) {
        run.addMidi(block, note, 3);
        run.run(128);
        ASSERT_TRUE(allFinite(run.outputs()));
    }
    const Lv2Run::State after = run.save();
    persist::BankImage bank(plugin::kUniqueId, plugin::kProgramCount, plugin::kParameterCount);
    const auto& bytes = after.at(run.uris().id(lv2port::kBankKey)).bytes;
    ASSERT_TRUE(persist::readBank(bank, bytes.data(), bytes.size()));
    for (int k = 0; k < lv2port::kControlCount; ++k) {
        const int i = lv2port::kControls.parameter[k];
        const float v = bank.program(0).parameter(i);
        EXPECT_TRUE(v >= 0.0f && v <= 1.0f) << i << " " << v;
    }

    // States cut short, of another format, or of another plug-in: refused,
    // the programs as they were.
    Lv2Run fresh(lv2port::kVariants[0], 44100.0, 128);
    ASSERT_TRUE(fresh);
    const LV2_URID bankKey = fresh.uris().id(lv2port::kBankKey);
    const LV2_URID formatKey = fresh.uris().id(lv2port::kFormatKey);
    std::vector<Lv2Run::State> bad(4, after);
    bad[0][bankKey].bytes.resize(bad[0][bankKey].bytes.size() / 2);
    bad[1][formatKey].bytes[0] = 2;
    bad[2][bankKey].bytes[16] ^= 0x20;  // the plug-in ID
    bad[3].erase(formatKey);
    for (const auto& state : bad) {
        EXPECT_NE(fresh.restore(state), LV2_STATE_SUCCESS);
        EXPECT_TRUE(fresh.save().at(bankKey).bytes == good.at(bankKey).bytes);
    }
}

}  // namespace
