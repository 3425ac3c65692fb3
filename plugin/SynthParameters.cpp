// DrumSynth: the single funnel for parameter changes, and programs.
#include <cmath>
#include <cstring>

#include "persist/ControllerMap.h"
#include "plugin/DrumSynth.h"
#include "plugin/SynthThreads.h"
#include "plugin/ParameterIndex.h"
#include "plugin/ParameterText.h"
#include "plugin/ProgramClipboard.h"

namespace plugin {
namespace {

void copyText(char* destination, const std::string& text) {
    std::memcpy(destination, text.c_str(), text.size() + 1);
}

// A command value naming a parameter, truncated; false when no int holds it.
bool parameterIndexFrom(float value, int* index) {
    if (!(std::fabs(value) < 2147483520.0f)) return false;
    *index = static_cast<int>(value);
    return true;
}

// The order in which a program's values reach the engine: each snare's Key
// Mode before its Thump, the clap's Decay before its Q; the Version (55) and
// the reserved index (67) carry nothing.
struct ApplicationOrder {
    int index[kParameterCount - 2];
    constexpr ApplicationOrder() : index() {
        using namespace param;
        int n = 0;
        for (int i = kKick1Base; i < kSnare1Base; ++i) index[n++] = i;
        for (int i = kBlipp1Base; i < kClapBase; ++i) index[n++] = i;
        for (int snare : {kSnare1Base, kSnare2Base})
            for (int offset : {0, 1, 2, 3, 5, 4}) index[n++] = snare + offset;
        for (int offset : {0, 1, 3, 2}) index[n++] = kClapBase + offset;
        for (int i = kClavesBase; i < kVersion; ++i) index[n++] = i;
        for (int i = kFirstNote; i < kFirstNote + kNoteCount; ++i) index[n++] = i;
        for (int i = kFirstMix; i < kParameterCount; ++i) index[n++] = i;
    }
};
constexpr ApplicationOrder kApplicationOrder;

void feed(dsp::KickVoice& kick, Setter setter, float v) {
    switch (setter) {
    case Setter::kFrequency: kick.setFrequency(v); break;
    case Setter::kSweep: kick.setSweep(v); break;
    case Setter::kDecay: kick.setDecay(v); break;
    case Setter::kSweepDecay: kick.setSweepDecay(v); break;
    case Setter::kThump: kick.setThump(v); break;
    case Setter::kKeyMode: kick.setKeyMode(v); break;
    default: break;
    }
}

void feed(dsp::SnareVoice& snare, Setter setter, float v) {
    switch (setter) {
    case Setter::kFrequency: snare.setFrequency(v); break;
    case Setter::kDecay: snare.setDecay(v); break;
    case Setter::kNoiseDecay: snare.setNoiseDecay(v); break;
    case Setter::kThump: snare.setThump(v); break;
    case Setter::kKeyMode: snare.setKeyMode(v); break;
    default: break;
    }
}

void feed(dsp::BlippVoice& blipp, Setter setter, float v) {
    switch (setter) {
    case Setter::kFrequency: blipp.setFrequency(v); break;
    case Setter::kSweep: blipp.setSweep(v); break;
    case Setter::kDecay: blipp.setDecay(v); break;
    case Setter::kSweepDecay: blipp.setSweepDecay(v); break;
    case Setter::kKeyMode: blipp.setKeyMode(v); break;
    default: break;
    }
}

void feed(dsp::ClapVoice& clap, Setter setter, float v) {
    switch (setter) {
    case Setter::kFrequency: clap.setFrequency(v); break;
    case Setter::kQ: clap.setQ(v); break;
    case Setter::kDecay: clap.setDecay(v); break;
    default: break;
    }
}

void feed(dsp::ClavesVoice& claves, Setter setter, float v) {
    switch (setter) {
    case Setter::kFrequency: claves.setFrequency(v); break;
    case Setter::kDecay: claves.setDecay(v); break;
    case Setter::kKeyMode: claves.setKeyMode(v); break;
    default: break;
    }
}

void feed(dsp::HihatVoice& hihat, Setter setter, float v) {
    switch (setter) {
    case Setter::kFrequency: hihat.setFrequency(v); break;
    case Setter::kQ: hihat.setQ(v); break;
    case Setter::kClosedDecay: hihat.setClosedDecay(v); break;
    case Setter::kOpenDecay: hihat.setOpenDecay(v); break;
    default: break;
    }
}

void feed(dsp::CrashVoice& crash, Setter setter, float v) {
    switch (setter) {
    case Setter::kFrequency: crash.setFrequency(v); break;
    case Setter::kQ: crash.setQ(v); break;
    case Setter::kDecay: crash.setDecay(v); break;
    default: break;
    }
}

// One value to the setter of one voice the parameter table names.
void feedVoice(DrumEngine& engine, int voice, Setter setter, float v) {
    if (setter == Setter::kPan) return engine.voice(voice).setPan(v);
    if (setter == Setter::kVolume) return engine.voice(voice).setVolume(v);
    switch (voice) {
    case kKick1: case kKick2: return feed(engine.kick(voice - kKick1), setter, v);
    case kSnare1: case kSnare2: return feed(engine.snare(voice - kSnare1), setter, v);
    case kBlipp1: case kBlipp2: return feed(engine.blipp(voice - kBlipp1), setter, v);
    case kClap: return feed(engine.clap(), setter, v);
    case kClaves: return feed(engine.claves(), setter, v);
    case kHihat: return feed(engine.hihat(), setter, v);
    case kCrash: return feed(engine.crash(), setter, v);
    default: return;
    }
}

float clampUnit(float value) {
    if (std::isnan(value) || value < 0.0f) return 0.0f;
    return value > 1.0f ? 1.0f : value;
}

}  // namespace

// The Version (55) belongs to the program files: hosts that write it back
// clamped would otherwise make the next setProgram upgrade the program
// again, replacing its notes or its mix.
void DrumSynth::setParameter(int index, float value) {
    if (index == param::kVersion) {
        if (notifications_) notifications_->parameterChanged(index, value);
        return;
    }
    const bool rendering = onRenderingThread();
    ModelLock lock(*this, rendering ? ModelLock::kTry : ModelLock::kWait);
    if (!lock.owns()) {
        keepForNextBlock(index, value);
        return;
    }
    if (rendering) takeBacklog();
    changeParameter(index, value);
}

void DrumSynth::changeParameter(int index, float value) {
    if (param::hasCurrentValue(index)) {
        float v = clampUnit(value);
        if (param::isKeyMode(index)) v = v > 0.5f ? 1.0f : 0.0f;
        programs_[program_].values[index] = v;
        currentValues_[index].store(v, std::memory_order_relaxed);
        handOver(index, v);
    } else if (!param::isHostVisible(index) && !std::isnan(value)) {
        applyCommand(index, value);
    }
    if (notifications_ && param::isHostVisible(index)) notifications_->parameterChanged(index, value);
}

void DrumSynth::handOver(int index, float value) {
    if (owner_.load(std::memory_order_acquire) == std::this_thread::get_id()) {
        takeQueuedChanges();
        applyParameter(index, value);
    } else {
        changes_.push(index, value);
    }
}

bool DrumSynth::onRenderingThread() const {
    return rendered_.load(std::memory_order_acquire) &&
           owner_.load(std::memory_order_acquire) == std::this_thread::get_id();
}

// The owner changes only while no other thread holds the model lock, so no
// thread is changing the engine at that moment.
bool DrumSynth::ownEngine() {
    const std::thread::id self = std::this_thread::get_id();
    if (owner_.load(std::memory_order_acquire) != self) {
        std::unique_lock<std::recursive_mutex> lock(model_, std::try_to_lock);
        if (!lock.owns_lock()) return false;
        owner_.store(self, std::memory_order_release);
    }
    if (!rendered_.load(std::memory_order_relaxed)) rendered_.store(true, std::memory_order_release);
    return true;
}

void DrumSynth::takeQueuedChanges() {
    changes_.drain([this](int index, float value) { applyParameter(index, value); });
    // Changes that found the queue full: every current value again, in the
    // order a program applies them.
    if (changes_.takeOverflow())
        for (int index : kApplicationOrder.index)
            applyParameter(index, currentValues_[index].load(std::memory_order_relaxed));
}

// A change that could not wait for the model lock on the rendering thread.
// Beyond the backlog's room (a thousand changes within one block while
// another thread holds the lock) a change is dropped.
void DrumSynth::keepForNextBlock(int index, float value) {
    if (backlogSize_ < static_cast<int>(sizeof(backlog_) / sizeof(backlog_[0])))
        backlog_[backlogSize_++] = {index, value};
}

void DrumSynth::takeBacklog() {
    const int count = backlogSize_;
    backlogSize_ = 0;  // a program step among them may come back here
    for (int i = 0; i < count; ++i) {
        const ParameterChangeQueue::Change change = backlog_[i];
        if (change.index >= 0) {
            changeParameter(change.index, change.value);
        } else {
            changeProgram(-1 - change.index);
            refreshHost();
        }
    }
}

float DrumSynth::getParameter(int index) {
    if (param::hasCurrentValue(index) || index == param::kMidiLearnMode)
        return currentValues_[index].load(std::memory_order_relaxed);
    if (index == param::kVersion) return kCurrentVersion;
    return 0.0f;
}

// Hands one value to the engine or to the derived channel and note numbers.
void DrumSynth::applyParameter(int index, float v) {
    const ParameterInfo& p = kParameters[index];
    if (p.role == Role::kKeyMode) keyModes_[p.voice] = v == 1.0f;
    switch (p.role) {
    case Role::kChannel: voiceChannels_[p.voice] = midiChannelOf(v); return;
    case Role::kNote: noteNumbers_[index - param::kFirstNote] = roundHalfDown(v * 127.0f); return;
    case Role::kVersion:
    case Role::kReserved: return;
    default: feedVoice(engine_, p.voice, p.setter, v); return;
    }
}

void DrumSynth::getParameterName(int index, char* text) {
    copyText(text, parameterName(index));
}

void DrumSynth::getParameterLabel(int index, char* text) {
    copyText(text, parameterLabel(index));
}

void DrumSynth::getParameterDisplay(int index, char* text) {
    const float v = index == param::kVersion ? kCurrentVersion : getParameter(index);
    copyText(text, param::isHostVisible(index) ? parameterDisplay(index, v, noteNames_) : std::string());
}

// Command indices above the host-visible range, which a host may send: the
// editor's own operations under the numbers they once had.
void DrumSynth::applyCommand(int index, float value) {
    switch (index) {
    case param::kMidiLearnMode:
        chooseLearnMode(roundHalfDown(value * 8.0f));  // a menu position times 0.125
        break;
    case param::kMidiLearnSelect:
        if (int parameter; parameterIndexFrom(value, &parameter)) learnParameter(parameter);
        break;
    case param::kMidiLearnRelease:
        if (int parameter; parameterIndexFrom(value, &parameter)) forgetParameter(parameter);
        break;
    case param::kProgramDown:
        stepProgram(-1);
        break;
    case param::kProgramUp:
        stepProgram(1);
        break;
    default:
        break;
    }
}

void DrumSynth::chooseLearnMode(int position) {
    persist::ControllerMap& controllers = persist::ControllerMap::shared();
    currentValues_[param::kMidiLearnMode].store(position == 1 ? 1.0f : 0.0f, std::memory_order_relaxed);
    if (position == 0) controllers.setLearnMode(false);
    if (position == 1) controllers.setLearnMode(true);
    if (position == 4) {
        controllers.setLearnMode(false);
        controllers.clear();
    }
    if (notifications_ && position >= 0 && position <= 4) notifications_->learnModeChanged(position == 1);
}

bool DrumSynth::learning() const {
    return currentValues_[param::kMidiLearnMode].load(std::memory_order_relaxed) == 1.0f;
}

void DrumSynth::learnParameter(int index) {
    persist::ControllerMap::shared().selectPending(index);
}

void DrumSynth::forgetParameter(int index) {
    persist::ControllerMap::shared().forget(index);
}

void DrumSynth::stepProgram(int step) {
    ModelLock lock(*this);
    if (!lock.owns()) return;
    const int next = program_ + (step < 0 ? -1 : 1);
    if (next >= 0 && next < kProgramCount) {
        setProgram(next);
        refreshHost();
    }
    if (notifications_) notifications_->programChanged();
}

// Pushes every value of the program through setParameter, in the order the
// engine expects, upgrading programs stored by older versions on the way.
// The whole program is applied under the model lock: no other thread's
// change lands in the middle of it, or in a program no longer current.
void DrumSynth::setProgram(int index) {
    ModelLock lock(*this);
    if (!lock.owns()) return;  // inside an audio call the lock is already held
    if (onRenderingThread()) takeBacklog();
    changeProgram(index);
}

void DrumSynth::reapplyProgram() {
    ModelLock lock(*this);
    if (lock.owns()) changeProgram(program_);
}

void DrumSynth::changeProgram(int index) {
    if (index < 0) index = 0;
    if (index > kProgramCount - 1) index = kProgramCount - 1;
    ProgramRecord& program = programs_[index];
    const float storedVersion = program.values[param::kVersion];
    program_ = index;
    currentProgram_.store(index, std::memory_order_relaxed);

    for (int i : kApplicationOrder.index) {
        // Programs of older versions get the notes and the mix they lacked.
        if (i == param::kFirstNote && storedVersion < 0.15f)
            std::memcpy(&program.values[param::kFirstNote], kDefaultNoteValues, sizeof(kDefaultNoteValues));
        if (i == param::kFirstMix && storedVersion < 1.12f) {
            if (mixer_.loaded && !mixer_.multiOut) program.takeMix(mixer_);
            else program.setDefaultMix();
        }
        changeParameter(i, program.values[i]);
    }

    currentValues_[param::kMidiLearnMode].store(0.0f, std::memory_order_relaxed);
    program.values[param::kVersion] = kCurrentVersion;
    if (notifications_) notifications_->programChanged();
}

void DrumSynth::setProgramName(char* name) {
    ModelLock lock(*this);
    char* target = programs_[program_].name;
    std::strncpy(target, name, kProgramNameSize - 1);
    target[kProgramNameSize - 1] = 0;
    if (notifications_) notifications_->programRenamed();
}

void DrumSynth::getProgramName(char* name) {
    getProgramNameIndexed(0, program_, name);
}

bool DrumSynth::getProgramNameIndexed(int /*category*/, int index,
                                            char* text) {
    if (index < 0 || index >= kProgramCount) return false;
    ModelLock lock(*this);
    std::memset(text, 0, kProgramNameSize);
    std::strncpy(text, programs_[index].name, kProgramNameSize - 1);
    return true;
}

// The clipboard's lock comes before any instance's model lock: neither is
// taken here while the other is held the other way round.
void DrumSynth::copyProgramToClipboard() {
    ProgramClipboard::shared().copy(&programs_[currentProgram_.load(std::memory_order_relaxed)], this, &model_);
}

void DrumSynth::pasteProgramFromClipboard() {
    ProgramRecord copied;  // the source may be this very record
    if (!ProgramClipboard::shared().paste(&copied)) return;
    ModelLock lock(*this);
    char name[kProgramNameSize + 4] = {};
    std::memcpy(name, copied.name, kProgramNameSize);
    setProgramName(name);
    std::memcpy(programs_[program_].values, copied.values, sizeof(copied.values));
    setProgram(program_);
}

bool DrumSynth::copyProgram(int destination) {
    if (destination < 0 || destination >= kProgramCount) return false;
    ModelLock lock(*this);
    if (destination != program_) programs_[destination] = programs_[program_];
    return true;
}

}  // namespace plugin
