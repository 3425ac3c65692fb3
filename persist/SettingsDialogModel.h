// What the "Settings" dialog does, apart from drawing it: it reads four
// values from the registry, keeps each set of radio buttons exclusive, and
// on OK writes "outMode", "notename", "velocurve" and "lockvolume" as
// numbers, in this order. Cancel writes nothing.
#pragma once

#include <string>

#include "platform/Registry.h"

namespace persist {

class SettingsDialogModel {
public:
    // Control ids of the dialog resource.
    enum Control {
        kOk = 1001,
        kTenMono = 1003,
        kTenStereo = 1004,
        kOneStereo = 1005,
        kAsNumbers = 1007,
        kAsNames = 1008,
        kLinear = 1010,
        kLogarithmic = 1011,
        kExponential = 1012,
        kLockVolume = 1013,
    };

    SettingsDialogModel(platform::Registry& registry, std::string key);

    bool isChecked(int control) const;
    // A click on a radio button checks it and unchecks the rest of its set;
    // a click on the check box toggles it.
    void click(int control);
    // Writes the four values; the dialog then closes.
    void ok();
    void cancel() {}

private:
    platform::Registry& registry_;
    std::string key_;
    int output_;      // the checked control of each set, 0 for none
    int noteNames_;
    int curve_;
    bool lockVolume_;
};

}  // namespace persist
