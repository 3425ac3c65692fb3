// The instrument as every host interface sees it: owns the programs, the
// settings, the drum engine and the output routing, takes MIDI and renders.
// The host adapters (the VST 2 effect, the LV2 plug-in) translate their
// host's calls into these.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "dsp/ScratchBuffer.h"
#include "persist/ControllerMap.h"
#include "persist/MixerFile.h"
#include "persist/SettingsStore.h"
#include "platform/Registry.h"
#include "persist/ProgramImage.h"
#include "plugin/EditorNotifications.h"
#include "plugin/DrumEngine.h"
#include "plugin/ParameterChangeQueue.h"
#include "plugin/PluginInfo.h"
#include "plugin/ProgramRecord.h"
#include "plugin/VelocityCurves.h"

namespace plugin {

// One MIDI message at a frame of the coming block.
struct MidiEvent {
    int frame = 0;
    unsigned char bytes[3] = {};
};

// The MIDI events of one block, in time order, as a host adapter reads them
// from its host's list.
class MidiEventSource {
public:
    // The next MIDI event, skipping whatever else the list holds; false at the end.
    virtual bool next(MidiEvent* event) = 0;

protected:
    ~MidiEventSource() = default;
};

class DrumSynth : private persist::AutomationTarget {
public:
    // The output layout: from the settings and the mixer file, as the VST 2
    // module has it, or fixed by the host interface (then the settings'
    // layout is neither followed nor changed, and unconnected outputs never
    // change it).
    static constexpr int kLayoutFromSettings = -1;

    DrumSynth(platform::Registry& registry, const std::string& modulePath,
              int fixedOutputMode = kLayoutFromSettings);
    virtual ~DrumSynth();
    DrumSynth(const DrumSynth&) = delete;
    DrumSynth& operator=(const DrumSynth&) = delete;

    // Parameters and programs.
    void setParameter(int index, float value);
    float getParameter(int index);
    void getParameterName(int index, char* text);
    void getParameterLabel(int index, char* text);
    void getParameterDisplay(int index, char* text);
    void setProgram(int index);
    int getProgram() { return currentProgram_.load(std::memory_order_relaxed); }
    void setProgramName(char* name);
    void getProgramName(char* name);
    bool getProgramNameIndexed(int category, int index, char* text);
    bool copyProgram(int destination);
    // Copy and Paste Program through the process-wide clipboard.
    void copyProgramToClipboard();
    void pasteProgramFromClipboard();
    // The previous (-1) or next (+1) program, if there is one.
    void stepProgram(int step);

    // MIDI learn as the editor drives it. A choice of the learn menu: 0 Off,
    // 1 On, 2 Export and 3 Import (which only stop learning here), 4 Reset.
    void chooseLearnMode(int position);
    bool learning() const;
    // The knob a learn click picked, or the one whose bindings go.
    void learnParameter(int index);
    void forgetParameter(int index);
    // Loads a bank image's programs into the records, applying each in turn.
    bool loadBank(const persist::BankImage& bank);
    // Every program with its name, in the bank image loadBank takes.
    persist::BankImage bankImage();

    // The File menu's commands, with a path from the file selector. Loads
    // remember the path and always ask the host to refresh its display.
    void loadProgramFile(const std::string& path);
    void loadBankFile(const std::string& path);
    void saveProgramFile(const std::string& path);
    void saveBankFile(const std::string& path);
    // MIDI learn's Export and Import: learning stops either way.
    void exportMidiLearn(const std::string& path);
    void importMidiLearn(const std::string& path);
    // After the settings dialog: the velocity curve and note names apply at
    // once; the output layout waits for the next instance.
    void settingsDialogClosed();
    // Note names for the parameter display, kept as the "notename" setting.
    void setNoteNames(bool names);
    const persist::SettingsStore& settings() const { return settings_; }
    platform::Registry& registry() { return registry_; }
    // The editor registers here for the changes it shows.
    void setEditorNotifications(EditorNotifications* editor) { notifications_ = editor; }
    const std::string& registryKey() const { return registryKey_; }

    // Lifecycle. Rates outside the usable range and sizes below 1 are ignored.
    void setSampleRate(float rate);
    void setBlockSize(int size);
    void setBlockSizeAndSampleRate(int size, float rate);
    float currentSampleRate() const { return sampleRate_; }
    int currentBlockSize() const { return blockSize_; }
    // Before rendering starts; hostIdles: the host calls takeDeferredProgram
    // regularly, so MIDI program changes wait for it.
    void resume(bool hostIdles);

    // Audio and events; called on the host's audio thread. outputs holds
    // count pointers, any of them null. Replacing clears the outputs the
    // layout uses first; accumulating adds to them.
    void renderReplacing(float** outputs, int count, int frames);
    void renderAccumulating(float** outputs, int count, int frames);
    // The block's MIDI, before its rendering; null for none.
    void receiveMidi(MidiEventSource* events);
    // The program a MIDI program change asked for while the host idles.
    void takeDeferredProgram();

    int outputMode() const { return outputMode_; }
    // The activity meter of voice k (0 to 9), 0 for any other index.
    float voiceLevel(int k) { return engine_.voiceLevel(k); }
    DrumEngine& engine() { return engine_; }
    // For inspection while no other thread uses the instance.
    const ProgramRecord& program(int index) const { return programs_[index]; }
    int voiceChannel(int voice) const { return voiceChannels_[voice]; }
    int noteNumber(int slot) const { return noteNumbers_[slot]; }
    bool noteNames() const { return noteNames_; }
    void setVelocityCurve(int curve) { velocityCurve_ = curve; }

protected:
    // What the host adapter passes on to its host: the programs or their
    // values changed and the host should read them again; MIDI learn moved
    // a parameter the host should record.
    virtual void refreshHost() {}
    virtual void parameterAutomated(int /*index*/, float /*value*/) {}

private:
    void settleOutputMode(int fixedOutputMode);
    void reallocateBuffers();
    void firstBlockCheck(float** outputs, int count);
    void applyParameter(int index, float value);
    // Hands a stored value on to the engine: at once on the thread that
    // owns the engine, through the change queue from any other.
    void handOver(int index, float value);
    // On the thread that owns the engine: applies the changes other threads
    // made, in the order they made them.
    void takeQueuedChanges();
    // At the start of an audio call: the calling thread becomes the engine's
    // owner unless another thread is changing the model just now. False
    // when it could not.
    bool ownEngine();
    // At the end of receiveMidi, under the model lock: the program changes
    // and controller values the block brought, or false when the lock was
    // taken and they wait for the next block.
    bool applyBlockChanges();
    // The body of setParameter and setProgram, under the model lock.
    void changeParameter(int index, float value);
    void changeProgram(int index);
    void reapplyProgram();
    // True on the thread that renders, outside its audio calls too.
    bool onRenderingThread() const;
    // Under the model lock, on the rendering thread: what waited for it.
    void takeBacklog();
    void keepForNextBlock(int index, float value);
    void playLateEvents(int frames);
    class ModelLock;
    class AudioCall;
    void applyCommand(int index, float value);
    void dispatchNote(int note, int channel, float velocity, int frame);
    void automateParameter(int index, float value) override;
    void loadBuiltInBank();
    void takeValues(int index, const persist::ProgramImage& image);
    void giveValues(int index, persist::ProgramImage& image) const;
    persist::ControllerMap& stopLearningFor(const std::string& path);

    ProgramRecord programs_[kProgramCount];
    std::string registryKey_ = kRegistryKey;
    platform::Registry& registry_;
    persist::SettingsStore settings_;
    persist::MixerFile mixer_;
    int outputMode_ = kOneStereo;
    bool fixedLayout_ = false;
    bool noteNames_ = true;
    bool firstBlock_ = true;
    int program_ = 0;  // the current program, under the model lock
    float sampleRate_ = 44100.0f;
    int blockSize_ = 1024;
    // The values the engine runs with, for every index but 55 and 67, and the
    // MIDI-learn mode at 89.
    //
    // Threads. The model (program records, current values, current program)
    // is changed only under model_. Threads that are not rendering take it
    // and wait; the audio calls only ever try it and, when another thread
    // holds it, keep what they would have changed for their next block
    // (program changes, controller values, a host's setParameter on the
    // rendering thread). The engine and the values derived for MIDI intake
    // belong to one thread, the owner: the constructing thread until the
    // first audio call, then the thread that renders. Other threads hand
    // their changes to it through changes_, in order; the owner takes them
    // before it changes the engine itself and at the start of every block.
    std::recursive_mutex model_;
    std::atomic<std::thread::id> owner_;
    std::atomic<bool> rendered_{false};
    std::atomic<int> currentProgram_{0};
    static thread_local const DrumSynth* audioCall_;
    ParameterChangeQueue changes_;
    // What the host reads back, for every index but 55 and 67, and the
    // MIDI-learn mode at 89: written under the model lock, read anywhere.
    std::atomic<float> currentValues_[kParameterCount + 2] = {};
    // Owner only: changes that waited for the model lock, in order; a
    // program change is stored as the index -1 - program.
    ParameterChangeQueue::Change backlog_[1024];
    int backlogSize_ = 0;
    float pendingControllers_[128];
    int learnRetry_ = -1;
    // The highest frame an event of the coming block was written at.
    int lastEventFrame_ = -1;
    // Owner only: what MIDI intake matches notes with.
    int voiceChannels_[kVoiceCount] = {};
    int noteNumbers_[11] = {};
    bool keyModes_[kVoiceCount] = {};  // by voice; false for voices without one
    DrumEngine engine_;
    // Stands in for outputs the host left unconnected, so nothing is written
    // through a null pointer.
    dsp::ScratchBuffer discard_;
    std::string modulePath_;
    std::atomic<int> velocityCurve_{0};  // set by the settings dialog, read by MIDI intake
    VelocityCurves velocityCurves_;
    EditorNotifications* notifications_ = nullptr;
    std::atomic<bool> hostIdle_{false};
    // The program a MIDI program change asked for, waiting for the host's
    // idle call; -1 none.
    std::atomic<int> deferredProgram_{-1};
};

}  // namespace plugin
