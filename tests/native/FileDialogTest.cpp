// The Linux file selector, run against stand-in zenity and kdialog
// programs placed first in PATH.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "platform/ChildProcess.h"
#include "native/FileDialog.h"
#include "support/TempFolder.h"

namespace {

class FileDialogTest : public testing_support::TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
        setenv("PATH", folder.c_str(), 1);
        setenv("LD_LIBRARY_PATH", "/host/bundled/libs", 1);
    }
    void TearDown() override {
        setenv("PATH", savedPath.c_str(), 1);
        unsetenv("LD_LIBRARY_PATH");
        TempFolderTest::TearDown();
    }
    // A program that records its arguments and environment, then runs body.
    void program(const std::string& name, const std::string& body) {
        // Written aside and renamed into place, so no one can find the program
        // still open for writing (which would make running it fail).
        const std::string file = path(name), draft = path(name + ".draft");
        writeText(draft, "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + path("args") + "'\nenv > '" + path("env") +
                             "'\n" + body + "\n");
        chmod(draft.c_str(), 0755);
        std::rename(draft.c_str(), file.c_str());
    }
    std::string choose(bool save, const std::string& proposed = {}) {
        native::FileRequest request;
        request.save = save;
        request.extension = "fxp";
        request.startPath = path("presets/Last.fxp");
        request.proposedName = proposed;
        return native::systemFileDialog().choose(request);
    }
    std::string savedPath;
};

TEST_F(FileDialogTest, ZenityChoosesAFileWithTheFilterAndStartFolder) {
    program("zenity", "echo /home/me/Mine.fxp");
    EXPECT_EQ(choose(false), "/home/me/Mine.fxp");
    const std::string args = readText(path("args"));
    EXPECT_NE(args.find("--file-selection"), std::string::npos);
    EXPECT_NE(args.find("--filename=" + path("presets") + "/"), std::string::npos);
    EXPECT_NE(args.find("--file-filter=fxp | *.fxp"), std::string::npos);
    EXPECT_EQ(args.find("--save"), std::string::npos);
    EXPECT_EQ(readText(path("env")).find("LD_LIBRARY_PATH"), std::string::npos);
}

TEST_F(FileDialogTest, SavingProposesTheNameAsksBeforeOverwritingAndAddsTheExtension) {
    program("zenity", "echo /home/me/Typed");
    EXPECT_EQ(choose(true, "My/Kit"), "/home/me/Typed.fxp");
    const std::string args = readText(path("args"));
    EXPECT_NE(args.find("--save"), std::string::npos);
    EXPECT_NE(args.find("--confirm-overwrite"), std::string::npos);
    EXPECT_NE(args.find("--filename=" + path("presets") + "/Kit.fxp"), std::string::npos);
}

TEST_F(FileDialogTest, CancelErrorsAndCrashesReadAsCancelled) {
    program("zenity", "exit 1");
    EXPECT_EQ(choose(false), "");
    program("zenity", "echo /home/me/x.fxp; exit 3");
    EXPECT_EQ(choose(false), "");
    program("zenity", "echo /home/me/x.fxp; kill -9 $$");
    EXPECT_EQ(choose(false), "");
    program("zenity", "echo relative.fxp");
    EXPECT_EQ(choose(false), "");
    program("zenity", "head -c 100000 /dev/zero | tr '\\0' '/'");
    EXPECT_EQ(choose(false), "");  // more than any path: not taken
}

TEST_F(FileDialogTest, KdialogStandsInAndWithNeitherTheDialogIsCancelled) {
    EXPECT_EQ(choose(false), "");
    program("kdialog", "echo /home/me/Bank.fxb");
    EXPECT_EQ(choose(false), "/home/me/Bank.fxb");
    const std::string args = readText(path("args"));
    EXPECT_NE(args.find("--getopenfilename"), std::string::npos);
    EXPECT_NE(args.find("*.fxp|fxp"), std::string::npos);
}

TEST_F(FileDialogTest, ChildrenRunWithoutTheHostsLibraryPath) {
    program("probe", "exit 0");
    const platform::ChildResult result = platform::runChild({path("probe")});
    EXPECT_TRUE(result.started);
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(platform::findProgram("probe"), path("probe"));
    EXPECT_EQ(platform::findProgram("no-such-program"), "");
    EXPECT_FALSE(platform::runChild({path("missing")}).exitStatus == 0);
    EXPECT_TRUE(platform::startDetached({path("probe")}));
}

}  // namespace
