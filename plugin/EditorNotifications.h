// What the effect tells its editor: every parameter change and command,
// with the index and the value as received. Called on whatever thread
// changed the parameter.
#pragma once

namespace plugin {

class EditorNotifications {
public:
    // Indices above the parameters: 97 the current program was renamed,
    // 98 another program became current.
    static constexpr int kProgramRenamed = 97;
    static constexpr int kProgramChanged = 98;

    virtual void parameterChanged(int index, float value) = 0;

protected:
    ~EditorNotifications() = default;
};

}  // namespace plugin
