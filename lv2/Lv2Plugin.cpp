// The LV2 plug-ins over the instrument: the host's ports, its run calls and
// its state translated into DrumSynth's calls. Two descriptors, one stereo
// pair or ten; MIDI from an atom sequence at its frames, control ports
// applied at the start of every run.
#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "lv2/Lv2Ports.h"
#include "persist/FxFormats.h"
#include "platform/Registry.h"
#include "plugin/DrumSynth.h"

namespace {

using lv2port::kControlCount;
using lv2port::kControls;

// Blocks the instance renders at once when the host does not say.
constexpr int kDefaultBlock = 1024;
// A host's maximum block beyond this is rendered in pieces of this size.
constexpr int kLargestBlock = 8192;

struct Uris {
    explicit Uris(const LV2_URID_Map& map)
        : sequence(map.map(map.handle, LV2_ATOM__Sequence)),
          beatTime(map.map(map.handle, LV2_ATOM__beatTime)),
          midiEvent(map.map(map.handle, LV2_MIDI__MidiEvent)),
          atomInt(map.map(map.handle, LV2_ATOM__Int)),
          maxBlock(map.map(map.handle, LV2_BUF_SIZE__maxBlockLength)),
          nominalBlock(map.map(map.handle, LV2_BUF_SIZE__nominalBlockLength)),
          bank(map.map(map.handle, lv2port::kBankKey)),
          bankType(map.map(map.handle, lv2port::kBankType)),
          program(map.map(map.handle, lv2port::kProgramKey)),
          format(map.map(map.handle, lv2port::kFormatKey)) {}
    LV2_URID sequence, beatTime, midiEvent, atomInt, maxBlock, nominalBlock, bank, bankType, program, format;
};

// The MIDI events of one piece of the block: those whose frames fall in
// [start, start + length), with frames outside the block moved to its
// nearest end. Walks the sequence within the size the host gave it, in
// whatever order its events come.
class SequencePiece : public plugin::MidiEventSource {
public:
    SequencePiece(const LV2_Atom_Sequence* sequence, const Uris& uris, int blockFrames, int start, int length)
        : sequence_(sequence), uris_(uris), last_(std::max(0, blockFrames - 1)), start_(start), length_(length) {
        if (!sequence_ || sequence_->atom.type != uris_.sequence ||
            sequence_->atom.size < sizeof(LV2_Atom_Sequence_Body))
            sequence_ = nullptr;
        // Times in beats have no frame here: such events play at the block's
        // start. Any other unit is taken as frames, the default for a run:
        // some hosts leave the field as they find it.
        else if (sequence_->body.unit == uris_.beatTime)
            framed_ = false;
    }

    bool next(plugin::MidiEvent* event) override {
        if (!sequence_) return false;
        const auto* body = reinterpret_cast<const std::uint8_t*>(&sequence_->body);
        const std::uint32_t size = sequence_->atom.size;
        while (offset_ + sizeof(LV2_Atom_Event) <= size) {
            const auto* e = reinterpret_cast<const LV2_Atom_Event*>(body + offset_);
            const std::uint64_t end = offset_ + sizeof(LV2_Atom_Event) + std::uint64_t{e->body.size};
            if (end > size) return false;  // an event running past the sequence ends it
            offset_ = static_cast<std::uint32_t>((end + 7u) & ~std::uint64_t{7u});
            if (e->body.type != uris_.midiEvent || e->body.size < 1) continue;
            std::int64_t frame = framed_ ? e->time.frames : 0;
            frame = std::clamp<std::int64_t>(frame, 0, last_);
            const bool inPiece = length_ == 0 ? frame >= start_ : frame >= start_ && frame < start_ + length_;
            if (!inPiece) continue;
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(e + 1);
            event->frame = static_cast<int>(frame - start_);
            for (std::uint32_t i = 0; i < 3; ++i) event->bytes[i] = i < e->body.size ? bytes[i] : 0;
            return true;
        }
        return false;
    }

private:
    const LV2_Atom_Sequence* sequence_;
    const Uris& uris_;
    bool framed_ = true;
    int last_;
    int start_;
    int length_;
    std::uint32_t offset_ = sizeof(LV2_Atom_Sequence_Body);
};

class Instrument : public plugin::DrumSynth {
public:
    Instrument(const lv2port::Variant& variant, const std::string& modulePath, const LV2_URID_Map& map)
        : DrumSynth(platform::processRegistry(), modulePath, variant.outputMode),
          uris_(map),
          outputCount_(variant.outputCount) {
        for (int k = 0; k < kControlCount; ++k) {
            const int parameter = kControls.parameter[k];
            seen_[k] = lv2port::portValue(parameter, getParameter(parameter));
        }
    }

    void takeOptions(const LV2_Options_Option* options) {
        int block = kDefaultBlock;
        for (const LV2_Options_Option* o = options; o && o->key; ++o) {
            if ((o->key != uris_.maxBlock && o->key != uris_.nominalBlock) || o->type != uris_.atomInt ||
                o->size != sizeof(std::int32_t) || !o->value)
                continue;
            const std::int32_t value = *static_cast<const std::int32_t*>(o->value);
            if (value >= 1 && (o->key == uris_.maxBlock || block == kDefaultBlock))
                block = std::min<std::int32_t>(value, kLargestBlock);
        }
        setBlockSize(block);
    }

    void connect(std::uint32_t port, void* data) {
        if (port == lv2port::kMidiPort) {
            midi_ = static_cast<const LV2_Atom_Sequence*>(data);
        } else if (port < static_cast<std::uint32_t>(lv2port::kFirstAudioPort)) {
            controls_[port - lv2port::kFirstControlPort] = static_cast<const float*>(data);
        } else if (port < static_cast<std::uint32_t>(lv2port::kFirstAudioPort + outputCount_)) {
            outputs_[port - lv2port::kFirstAudioPort] = static_cast<float*>(data);
        }
    }

    void run(std::uint32_t frames) {
        applyControls();
        const int total = static_cast<int>(std::min<std::uint32_t>(frames, 1u << 30));
        const int piece = std::max(1, currentBlockSize());
        int start = 0;
        do {
            const int length = std::min(piece, total - start);
            SequencePiece events(midi_, uris_, total, start, length);
            receiveMidi(&events);
            float* outputs[20];
            for (int j = 0; j < outputCount_; ++j) outputs[j] = outputs_[j] ? outputs_[j] + start : nullptr;
            renderReplacing(outputs, outputCount_, length);
            start += length;
        } while (start < total);
    }

    LV2_State_Status save(LV2_State_Store_Function store, LV2_State_Handle handle) {
        const std::vector<std::uint8_t> bank = persist::writeBank(bankImage());
        const std::int32_t program = getProgram();
        const std::int32_t format = lv2port::kStateFormat;
        const std::uint32_t flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
        LV2_State_Status status = store(handle, uris_.format, &format, sizeof(format), uris_.atomInt, flags);
        if (status == LV2_STATE_SUCCESS)
            status = store(handle, uris_.bank, bank.data(), bank.size(), uris_.bankType, flags);
        if (status == LV2_STATE_SUCCESS)
            status = store(handle, uris_.program, &program, sizeof(program), uris_.atomInt, flags);
        return status;
    }

    // A state of another format, a bank that is not whole or not ours:
    // refused, and the programs stay as they are.
    LV2_State_Status restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
        std::size_t size = 0;
        std::uint32_t type = 0, flags = 0;
        const void* format = retrieve(handle, uris_.format, &size, &type, &flags);
        if (!format || type != uris_.atomInt || size != sizeof(std::int32_t) ||
            readInt(format) != lv2port::kStateFormat)
            return LV2_STATE_ERR_BAD_TYPE;
        const void* data = retrieve(handle, uris_.bank, &size, &type, &flags);
        if (!data || type != uris_.bankType) return LV2_STATE_ERR_BAD_TYPE;
        persist::BankImage bank(plugin::kUniqueId, plugin::kProgramCount, plugin::kParameterCount);
        if (!persist::readBank(bank, static_cast<const std::uint8_t*>(data), size)) return LV2_STATE_ERR_UNKNOWN;
        int program = 0;
        const void* stored = retrieve(handle, uris_.program, &size, &type, &flags);
        if (stored && type == uris_.atomInt && size == sizeof(std::int32_t)) {
            const std::int32_t value = readInt(stored);
            if (value >= 0 && value < plugin::kProgramCount) program = value;
        }
        loadBank(bank);
        setProgram(program);
        return LV2_STATE_SUCCESS;
    }

private:
    static std::int32_t readInt(const void* data) {
        std::int32_t value;
        std::memcpy(&value, data, sizeof(value));
        return value;
    }

    // A port that moved since the last run sets its parameter, as a VST 2
    // host's automation does before a block; unconnected ports and values
    // that are no number are passed over. Only the first run waits for the
    // model lock; no other thread holds it then, as state is restored only
    // between runs here.
    void applyControls() {
        for (int k = 0; k < kControlCount; ++k) {
            if (!controls_[k]) continue;
            const float port = *controls_[k];
            if (port == seen_[k]) continue;
            const int parameter = kControls.parameter[k];
            float value;
            if (!lv2port::parameterValue(parameter, port, &value)) continue;
            seen_[k] = port;
            setParameter(parameter, value);
        }
    }

    Uris uris_;
    int outputCount_;
    const LV2_Atom_Sequence* midi_ = nullptr;
    const float* controls_[kControlCount] = {};
    float seen_[kControlCount] = {};
    float* outputs_[20] = {};
};

const void* findFeature(const LV2_Feature* const* features, const char* uri) {
    for (const LV2_Feature* const* f = features; f && *f; ++f)
        if ((*f)->URI && std::strcmp((*f)->URI, uri) == 0) return (*f)->data;
    return nullptr;
}

template <int V>
LV2_Handle instantiate(const LV2_Descriptor* /*descriptor*/, double rate, const char* bundlePath,
                       const LV2_Feature* const* features) {
    // The rates the instrument renders, as the VST 2 module accepts them.
    if (!(rate >= plugin::kMinSampleRate && rate <= plugin::kMaxSampleRate)) return nullptr;
    const auto* map = static_cast<const LV2_URID_Map*>(findFeature(features, LV2_URID__map));
    if (!map || !map->map) return nullptr;
    std::string modulePath = bundlePath ? bundlePath : "";
    if (!modulePath.empty() && modulePath.back() != '/') modulePath += '/';
    modulePath += lv2port::kBinaryName;
    try {
        auto* instrument = new (std::nothrow) Instrument(lv2port::kVariants[V], modulePath, *map);
        if (!instrument) return nullptr;
        instrument->takeOptions(static_cast<const LV2_Options_Option*>(findFeature(features, LV2_OPTIONS__options)));
        instrument->setSampleRate(static_cast<float>(rate));
        return instrument;
    } catch (...) {
        return nullptr;
    }
}

Instrument& of(LV2_Handle handle) { return *static_cast<Instrument*>(handle); }

void connectPort(LV2_Handle handle, std::uint32_t port, void* data) { of(handle).connect(port, data); }
void activate(LV2_Handle handle) { of(handle).resume(false); }
void run(LV2_Handle handle, std::uint32_t frames) { of(handle).run(frames); }
void deactivate(LV2_Handle) {}
void cleanup(LV2_Handle handle) { delete &of(handle); }

LV2_State_Status saveState(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle state,
                           std::uint32_t /*flags*/, const LV2_Feature* const* /*features*/) {
    return of(handle).save(store, state);
}

LV2_State_Status restoreState(LV2_Handle handle, LV2_State_Retrieve_Function retrieve, LV2_State_Handle state,
                              std::uint32_t /*flags*/, const LV2_Feature* const* /*features*/) {
    return of(handle).restore(retrieve, state);
}

const void* extensionData(const char* uri) {
    static const LV2_State_Interface state = {saveState, restoreState};
    if (uri && std::strcmp(uri, LV2_STATE__interface) == 0) return &state;
    return nullptr;
}

const LV2_Descriptor kDescriptors[2] = {
    {lv2port::kVariants[0].uri, instantiate<0>, connectPort, activate, run, deactivate, cleanup, extensionData},
    {lv2port::kVariants[1].uri, instantiate<1>, connectPort, activate, run, deactivate, cleanup, extensionData},
};

}  // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(std::uint32_t index) {
    return index < 2 ? &kDescriptors[index] : nullptr;
}
