// The LV2 plug-ins over the instrument: the host's ports, its run calls and
// its state translated into DrumSynth's calls. Two descriptors, one stereo
// pair or ten; MIDI from an atom sequence at its frames, control ports
// applied at the start of every run. The editor's commands arrive in the
// same sequence and are carried out by the host's worker, off the audio
// thread; the answers go out through the notify port.
#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "lv2/Lv2Messages.h"
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

struct Uris : lv2port::MessageUris {
    explicit Uris(const LV2_URID_Map& map)
        : MessageUris(map),
          beatTime(map.map(map.handle, LV2_ATOM__beatTime)),
          midiEvent(map.map(map.handle, LV2_MIDI__MidiEvent)),
          maxBlock(map.map(map.handle, LV2_BUF_SIZE__maxBlockLength)),
          nominalBlock(map.map(map.handle, LV2_BUF_SIZE__nominalBlockLength)),
          bank(map.map(map.handle, lv2port::kBankKey)),
          bankType(map.map(map.handle, lv2port::kBankType)),
          format(map.map(map.handle, lv2port::kFormatKey)) {}
    LV2_URID beatTime, midiEvent, maxBlock, nominalBlock, bank, bankType, format;
};

// Calls f(event) for every whole event of a sequence, within the size the
// host gave it.
template <typename F>
void forEachEvent(const LV2_Atom_Sequence* sequence, std::uint32_t sequenceType, F f) {
    if (!sequence || sequence->atom.type != sequenceType || sequence->atom.size < sizeof(LV2_Atom_Sequence_Body))
        return;
    const auto* body = reinterpret_cast<const std::uint8_t*>(&sequence->body);
    const std::uint32_t size = sequence->atom.size;
    std::uint64_t offset = sizeof(LV2_Atom_Sequence_Body);
    while (offset + sizeof(LV2_Atom_Event) <= size) {
        const auto* e = reinterpret_cast<const LV2_Atom_Event*>(body + offset);
        const std::uint64_t end = offset + sizeof(LV2_Atom_Event) + std::uint64_t{e->body.size};
        if (end > size) return;
        f(*e);
        offset = (end + 7u) & ~std::uint64_t{7u};
    }
}

// One command of the editor, as the worker gets it.
struct WorkItem {
    std::int32_t command = lv2port::kGet;
    std::int32_t value = 0;
    char text[lv2port::kCommandTextSize] = {};
};

// Reads an editor's command object; false for anything else, or a command
// that is not whole.
bool readCommand(const LV2_Atom& atom, const Uris& uris, WorkItem* item) {
    bool hasCommand = false, whole = true;
    const LV2_URID type = lv2port::forEachProperty(atom, uris, [&](LV2_URID key, const LV2_Atom& value) {
        if (key == uris.commandKey && lv2port::intOf(value, uris, &item->command)) {
            hasCommand = true;
        } else if (key == uris.valueKey) {
            lv2port::intOf(value, uris, &item->value);
        } else if (key == uris.textKey && value.type == uris.atomString) {
            // The text up to its end or the room there is; a text cut short is refused.
            const auto* text = reinterpret_cast<const char*>(&value + 1);
            const std::size_t length = strnlen(text, value.size);
            if (length >= sizeof(item->text)) {
                whole = false;
                return;
            }
            std::memcpy(item->text, text, length);
            item->text[length] = '\0';
        }
    });
    return type == uris.command && hasCommand && whole && item->command >= 0 &&
           item->command < lv2port::kCommandCount;
}

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

class Instrument : public plugin::DrumSynth, private plugin::EditorNotifications {
public:
    Instrument(const lv2port::Variant& variant, const std::string& modulePath, const LV2_URID_Map& map)
        : DrumSynth(platform::processRegistry(), modulePath, variant.outputMode),
          uris_(map),
          outputCount_(variant.outputCount),
          notifyPort_(lv2port::notifyPort(variant)) {
        for (int k = 0; k < kControlCount; ++k) {
            const int parameter = kControls.parameter[k];
            seen_[k] = lv2port::portValue(parameter, getParameter(parameter));
        }
        lv2_atom_forge_init(&notifyForge_, const_cast<LV2_URID_Map*>(&map));
        lv2_atom_forge_init(&workForge_, const_cast<LV2_URID_Map*>(&map));
        setEditorNotifications(this);
    }
    ~Instrument() override { setEditorNotifications(nullptr); }

    void takeWorker(const LV2_Worker_Schedule* worker) {
        if (worker && worker->schedule_work) worker_ = worker;
    }

    // On the worker's thread: carries out an editor's command and answers
    // with the programs' names, the current program and the values.
    void work(const void* data, std::uint32_t size, LV2_Worker_Respond_Function respond,
              LV2_Worker_Respond_Handle handle) {
        WorkItem item;
        std::memcpy(&item, data, std::min<std::size_t>(size, sizeof(item)));
        item.text[sizeof(item.text) - 1] = '\0';
        perform(item);
        alignas(8) std::uint8_t answer[lv2port::kNotifySize];
        if (const std::uint32_t length = writeAnswer(answer, sizeof(answer)); length > 0)
            respond(handle, length, answer);
    }

    // On the audio thread: the answer waits for the next run's notify port.
    void takeAnswer(const void* data, std::uint32_t size) {
        if (size > sizeof(answer_)) return;
        std::memcpy(answer_, data, size);
        answerSize_ = size;
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
        } else if (port == static_cast<std::uint32_t>(notifyPort_)) {
            notify_ = static_cast<LV2_Atom_Sequence*>(data);
        }
    }

    void run(std::uint32_t frames) {
        takeCommands();
        applyingPorts_ = true;
        applyControls();
        applyingPorts_ = false;
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
        writeNotify(total);
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
    // EditorNotifications: what changes the programs or values other than
    // the host's ports is sent to the editor.
    void parameterChanged(int /*index*/, float /*value*/) override {
        if (!applyingPorts_) answerWanted_.store(true);
    }
    void learnModeChanged(bool /*on*/) override {}
    void programChanged() override { answerWanted_.store(true); }
    void programRenamed() override { answerWanted_.store(true); }

    // The editor's commands in the MIDI port's sequence, and the answer a
    // change asked for, go to the worker; without one they are passed over.
    void takeCommands() {
        if (!worker_) return;
        forEachEvent(midi_, uris_.sequence, [this](const LV2_Atom_Event& e) {
            WorkItem item;
            if (!readCommand(e.body, uris_, &item)) return;
            const std::uint32_t size = static_cast<std::uint32_t>(offsetof(WorkItem, text) + std::strlen(item.text) + 1);
            worker_->schedule_work(worker_->handle, size, &item);
            answerWanted_.store(false);
        });
        if (answerWanted_.exchange(false)) {
            const WorkItem get;
            worker_->schedule_work(worker_->handle, static_cast<std::uint32_t>(offsetof(WorkItem, text) + 1), &get);
        }
    }

    void perform(const WorkItem& item) {
        const std::string text = item.text;
        switch (item.command) {
        case lv2port::kSelectProgram:
            if (item.value >= 0 && item.value < plugin::kProgramCount) setProgram(item.value);
            break;
        case lv2port::kStepProgram:
            if (item.value != 0) stepProgram(item.value < 0 ? -1 : 1);
            break;
        case lv2port::kRenameProgram: {
            char name[plugin::kProgramNameSize + 1] = {};
            std::strncpy(name, item.text, plugin::kProgramNameSize - 1);
            setProgramName(name);
            break;
        }
        case lv2port::kCopyProgram: copyProgramToClipboard(); break;
        case lv2port::kPasteProgram: pasteProgramFromClipboard(); break;
        case lv2port::kLoadProgramFile: if (!text.empty()) loadProgramFile(text); break;
        case lv2port::kLoadBankFile: if (!text.empty()) loadBankFile(text); break;
        case lv2port::kSaveProgramFile: if (!text.empty()) saveProgramFile(text); break;
        case lv2port::kSaveBankFile: if (!text.empty()) saveBankFile(text); break;
        default: break;
        }
    }

    // The programs' names, the current program and every value as one
    // atom; its size, or 0 when it does not fit.
    std::uint32_t writeAnswer(std::uint8_t* buffer, std::uint32_t capacity) {
        LV2_Atom_Forge& f = workForge_;
        lv2_atom_forge_set_buffer(&f, buffer, capacity);
        LV2_Atom_Forge_Frame object, names;
        if (!lv2_atom_forge_object(&f, &object, 0, uris_.programs)) return 0;
        lv2_atom_forge_key(&f, uris_.program);
        lv2_atom_forge_int(&f, getProgram());
        lv2_atom_forge_key(&f, uris_.namesKey);
        lv2_atom_forge_tuple(&f, &names);
        for (int p = 0; p < plugin::kProgramCount; ++p) {
            char name[plugin::kProgramNameSize + 1] = {};
            getProgramNameIndexed(0, p, name);
            lv2_atom_forge_string(&f, name, static_cast<std::uint32_t>(std::strlen(name)));
        }
        lv2_atom_forge_pop(&f, &names);
        float values[plugin::kParameterCount];
        for (int i = 0; i < plugin::kParameterCount; ++i) values[i] = getParameter(i);
        lv2_atom_forge_key(&f, uris_.valuesKey);
        const LV2_Atom_Forge_Ref last =
            lv2_atom_forge_vector(&f, sizeof(float), f.Float, plugin::kParameterCount, values);
        lv2_atom_forge_pop(&f, &object);
        if (!last) return 0;
        const auto* atom = reinterpret_cast<const LV2_Atom*>(buffer);
        return static_cast<std::uint32_t>(sizeof(LV2_Atom) + atom->size);
    }

    // The notify port: the worker's last answer, and about 30 times a
    // second the voices' activity for the editor's lights.
    void writeNotify(int frames) {
        if (!notify_) return;
        LV2_Atom_Forge& f = notifyForge_;
        lv2_atom_forge_set_buffer(&f, reinterpret_cast<std::uint8_t*>(notify_), notify_->atom.size);
        LV2_Atom_Forge_Frame sequence;
        if (!lv2_atom_forge_sequence_head(&f, &sequence, uris_.frameTime)) return;
        if (answerSize_ > 0 && lv2_atom_forge_frame_time(&f, 0) &&
            lv2_atom_forge_write(&f, answer_, answerSize_))
            answerSize_ = 0;
        levelFrames_ += frames;
        if (levelFrames_ >= static_cast<int>(currentSampleRate() / 30.0f)) {
            levelFrames_ = 0;
            float levels[plugin::kVoiceCount];
            for (int k = 0; k < plugin::kVoiceCount; ++k) levels[k] = voiceLevel(k);
            LV2_Atom_Forge_Frame object;
            if (lv2_atom_forge_frame_time(&f, 0) && lv2_atom_forge_object(&f, &object, 0, uris_.levels)) {
                lv2_atom_forge_key(&f, uris_.valuesKey);
                lv2_atom_forge_vector(&f, sizeof(float), f.Float, plugin::kVoiceCount, levels);
                lv2_atom_forge_pop(&f, &object);
            }
        }
        lv2_atom_forge_pop(&f, &sequence);
    }

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
    int notifyPort_;
    LV2_Atom_Sequence* notify_ = nullptr;
    const LV2_Worker_Schedule* worker_ = nullptr;
    LV2_Atom_Forge notifyForge_{};  // the audio thread's
    LV2_Atom_Forge workForge_{};    // the worker's
    // Set on the audio thread while the host's ports apply: those changes
    // are the host's own and are not sent back.
    static thread_local bool applyingPorts_;
    std::atomic<bool> answerWanted_{false};
    alignas(8) std::uint8_t answer_[lv2port::kNotifySize] = {};
    std::uint32_t answerSize_ = 0;
    int levelFrames_ = 0;
};

thread_local bool Instrument::applyingPorts_ = false;

using lv2port::findFeature;

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
        instrument->takeWorker(static_cast<const LV2_Worker_Schedule*>(findFeature(features, LV2_WORKER__schedule)));
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

LV2_Worker_Status work(LV2_Handle handle, LV2_Worker_Respond_Function respond, LV2_Worker_Respond_Handle answer,
                       std::uint32_t size, const void* data) {
    if (!data || !respond) return LV2_WORKER_ERR_UNKNOWN;
    of(handle).work(data, size, respond, answer);
    return LV2_WORKER_SUCCESS;
}

LV2_Worker_Status workResponse(LV2_Handle handle, std::uint32_t size, const void* data) {
    if (data) of(handle).takeAnswer(data, size);
    return LV2_WORKER_SUCCESS;
}

const void* extensionData(const char* uri) {
    static const LV2_State_Interface state = {saveState, restoreState};
    static const LV2_Worker_Interface worker = {work, workResponse, nullptr};
    if (uri && std::strcmp(uri, LV2_STATE__interface) == 0) return &state;
    if (uri && std::strcmp(uri, LV2_WORKER__interface) == 0) return &worker;
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
