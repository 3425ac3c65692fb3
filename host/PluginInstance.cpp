#include "host/PluginInstance.h"

#include <cstring>

namespace host {
namespace {

// The instance whose entry-point call is under way: the plug-in may call back
// before the host knows its effect record.
thread_local PluginInstance* instanceBeingCreated = nullptr;

}  // namespace

std::unique_ptr<PluginInstance> PluginInstance::create(const PluginModule& module,
                                                       const HostOptions& options) {
    std::unique_ptr<PluginInstance> instance(new PluginInstance(options));
    instanceBeingCreated = instance.get();
    vst::AEffect* effect = module.entryPoint()(&PluginInstance::callback);
    instanceBeingCreated = nullptr;
    if (!effect || effect->magic != vst::kEffectMagic) return nullptr;
    instance->effect_ = effect;
    effect->user = instance.get();
    instance->dispatch(vst::effOpen);
    return instance;
}

PluginInstance::~PluginInstance() {
    if (effect_) {
        effect_->dispatcher(effect_, vst::effClose, 0, 0, nullptr, 0.0f);
        effect_ = nullptr;
    }
}

vst::VstIntPtr PluginInstance::dispatch(vst::VstInt32 opcode, vst::VstInt32 index,
                                        vst::VstIntPtr value, void* ptr, float opt) {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

void PluginInstance::start() {
    dispatch(vst::effSetSampleRate, 0, 0, nullptr, options_.sampleRate);
    dispatch(vst::effSetBlockSize, 0, options_.blockSize);
    dispatch(vst::effMainsChanged, 0, 1);
    dispatch(vst::effStartProcess);
}

void PluginInstance::stop() {
    dispatch(vst::effStopProcess);
    dispatch(vst::effMainsChanged, 0, 0);
}

void PluginInstance::setParameter(int index, float value) {
    effect_->setParameter(effect_, index, value);
}

float PluginInstance::getParameter(int index) {
    return effect_->getParameter(effect_, index);
}

void PluginInstance::processReplacing(float** outputs, int frames) {
    if (effect_->flags & vst::effFlagsCanReplacing) {
        effect_->processReplacing(effect_, nullptr, outputs, frames);
        return;
    }
    for (int j = 0; j < effect_->numOutputs; ++j)
        std::memset(outputs[j], 0, sizeof(float) * static_cast<size_t>(frames));
    effect_->process(effect_, nullptr, outputs, frames);
}

vst::VstIntPtr PluginInstance::sendMidi(const std::vector<vst::VstMidiEvent>& events) {
    std::vector<vst::VstMidiEvent> copies(events);
    std::vector<std::uint8_t> storage(sizeof(vst::VstEvents) + copies.size() * sizeof(vst::VstEvent*), 0);
    auto* list = reinterpret_cast<vst::VstEvents*>(storage.data());
    list->numEvents = static_cast<vst::VstInt32>(copies.size());
    for (std::size_t i = 0; i < copies.size(); ++i) {
        vst::VstEvent* event = reinterpret_cast<vst::VstEvent*>(&copies[i]);
        std::memcpy(reinterpret_cast<std::uint8_t*>(list->events) + i * sizeof(event), &event, sizeof(event));
    }
    return dispatch(vst::effProcessEvents, 0, 0, list);
}

vst::VstMidiEvent PluginInstance::midiEvent(int frame, int status, int data1, int data2) {
    vst::VstMidiEvent event{};
    event.type = vst::kVstMidiType;
    event.byteSize = sizeof(vst::VstMidiEvent);
    event.deltaFrames = frame;
    event.midiData[0] = static_cast<char>(status);
    event.midiData[1] = static_cast<char>(data1);
    event.midiData[2] = static_cast<char>(data2);
    return event;
}

vst::VstIntPtr PluginInstance::callback(vst::AEffect* effect, vst::VstInt32 opcode,
                                        vst::VstInt32 index, vst::VstIntPtr value, void* ptr,
                                        float opt) {
    PluginInstance* instance =
        effect && effect->user ? static_cast<PluginInstance*>(effect->user) : instanceBeingCreated;
    if (!instance) return opcode == vst::audioMasterVersion ? 2400 : 0;
    return instance->answer(opcode, index, value, ptr, opt);
}

vst::VstIntPtr PluginInstance::answer(vst::VstInt32 opcode, vst::VstInt32 /*index*/,
                                      vst::VstIntPtr /*value*/, void* ptr, float /*opt*/) {
    hostCalls_.push_back(opcode);
    switch (opcode) {
    case vst::audioMasterVersion:
        return options_.hostVersion;
    case vst::audioMasterCurrentId:
        return effect_ ? effect_->uniqueID : 0;
    case vst::audioMasterWantMidi:
        return 1;
    case vst::audioMasterNeedIdle:
        return options_.sendsIdle ? 1 : 0;
    case vst::audioMasterGetSampleRate:
        return static_cast<vst::VstIntPtr>(options_.sampleRate);
    case vst::audioMasterGetBlockSize:
        return options_.blockSize;
    case vst::audioMasterGetCurrentProcessLevel:
        return 0;  // unknown: this host runs everything on one thread
    case vst::audioMasterGetVendorString:
        if (ptr) std::strcpy(static_cast<char*>(ptr), "Vokwerk");
        return ptr ? 1 : 0;
    case vst::audioMasterGetProductString:
        if (ptr) std::strcpy(static_cast<char*>(ptr), "Tamborik Host");
        return ptr ? 1 : 0;
    case vst::audioMasterGetVendorVersion:
        return 1;
    case vst::audioMasterCanDo:
        if (ptr && (std::strcmp(static_cast<char*>(ptr), "sendVstEvents") == 0 ||
                    std::strcmp(static_cast<char*>(ptr), "sendVstMidiEvent") == 0))
            return 1;
        return 0;
    default:
        return 0;
    }
}

}  // namespace host
