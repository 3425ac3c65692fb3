// The module entry's services as a program sees them: its own path, and
// resources it does not have.
#include <gtest/gtest.h>

#include <string>

#include "platform/ModulePath.h"
#include "platform/Resources.h"

namespace {

TEST(WindowsServices, AProgramFindsItsOwnPath) {
    const std::string path = platform::modulePath();
    ASSERT_GT(path.size(), 27u);
    EXPECT_EQ(path.substr(path.size() - 27), "\\tamborik_windows_tests.exe");
}

TEST(WindowsServices, AMissingResourceIsEmpty) {
    // This program binds no resources; the module's are checked through it.
    for (const auto& [type, name] : {std::pair{"PRESET_RESOURCE", "PRESETS"}, std::pair{"BITMAP", "101"},
                                     std::pair{"BITMAP", "0"}, std::pair{"BITMAP", "99999999"}, std::pair{"", ""}}) {
        const platform::Resource found = platform::findResource(type, name);
        EXPECT_EQ(found.data, nullptr) << type << " " << name;
        EXPECT_EQ(found.size, 0u);
    }
    EXPECT_EQ(platform::findResource(nullptr, "PRESETS").data, nullptr);
    EXPECT_EQ(platform::findResource("PRESET_RESOURCE", nullptr).data, nullptr);
}

}  // namespace
