#include "persist/SettingsDialogModel.h"

namespace persist {

SettingsDialogModel::SettingsDialogModel(platform::Registry& registry, std::string key)
    : registry_(registry), key_(std::move(key)) {
    const auto number = [&](const char* name, std::uint32_t fallback) {
        return registry_.readDword(key_, name).value_or(fallback);
    };
    const std::uint32_t mode = number("outmode", 0);
    output_ = mode == 1 ? kTenStereo : mode == 2 ? kOneStereo : kTenMono;
    noteNames_ = number("notename", 1) == 0 ? kAsNumbers : kAsNames;
    const std::uint32_t curve = number("velocurve", 0);
    curve_ = curve == 0 ? kLinear : curve == 1 ? kLogarithmic : kExponential;
    lockVolume_ = number("lockvolume", 0) == 1;
}

bool SettingsDialogModel::isChecked(int control) const {
    if (control == kLockVolume) return lockVolume_;
    return control == output_ || control == noteNames_ || control == curve_;
}

void SettingsDialogModel::click(int control) {
    switch (control) {
    case kTenMono: case kTenStereo: case kOneStereo: output_ = control; break;
    case kAsNumbers: case kAsNames: noteNames_ = control; break;
    case kLinear: case kLogarithmic: case kExponential: curve_ = control; break;
    case kLockVolume: lockVolume_ = !lockVolume_; break;
    default: break;
    }
}

void SettingsDialogModel::ok() {
    const std::uint32_t mode = output_ == kTenStereo ? 1 : output_ == kOneStereo ? 2 : 0;
    registry_.writeDword(key_, "outMode", mode);
    registry_.writeDword(key_, "notename", noteNames_ == kAsNumbers ? 0 : 1);
    registry_.writeDword(key_, "velocurve", curve_ == kLinear ? 0 : curve_ == kLogarithmic ? 1 : 2);
    registry_.writeDword(key_, "lockvolume", lockVolume_ ? 1 : 0);
}

}  // namespace persist
