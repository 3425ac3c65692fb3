// The file selector on Linux: zenity, or kdialog where zenity is missing,
// run as a child process. With neither, every request reads as cancelled.
#include <filesystem>

#include "platform/ChildProcess.h"
#include "native/FileDialog.h"

namespace native {
namespace {

namespace fs = std::filesystem;

// The folder of the last file used, or the path itself when it is a folder.
std::string startFolder(const std::string& startPath) {
    if (startPath.empty()) return {};
    std::error_code error;
    const fs::path path(startPath);
    if (fs::is_directory(path, error)) return path.string();
    const fs::path parent = path.parent_path();
    return parent.empty() ? std::string() : parent.string();
}

std::string startFile(const FileRequest& request) {
    std::string folder = startFolder(request.startPath);
    if (!folder.empty() && folder.back() != '/') folder += '/';
    // A proposed name is only a name: any folder part of it is dropped.
    std::string name = request.proposedName;
    const std::size_t slash = name.find_last_of('/');
    if (slash != std::string::npos) name = name.substr(slash + 1);
    if (request.save && !name.empty()) name += "." + request.extension;
    return folder + name;
}

std::vector<std::string> zenityCommand(const std::string& program, const FileRequest& request) {
    std::vector<std::string> argv{program, "--file-selection", "--title=" + std::string(request.save ? "Save" : "Open")};
    if (request.save) {
        argv.push_back("--save");
        argv.push_back("--confirm-overwrite");
    }
    const std::string start = startFile(request);
    if (!start.empty()) argv.push_back("--filename=" + start);
    argv.push_back("--file-filter=" + request.extension + " | *." + request.extension);
    return argv;
}

std::vector<std::string> kdialogCommand(const std::string& program, const FileRequest& request) {
    std::string start = startFile(request);
    if (start.empty()) start = ".";
    return {program, request.save ? "--getsavefilename" : "--getopenfilename", start,
            "*." + request.extension + "|" + request.extension};
}

// Like the default extension of the Windows dialogs: a name typed without
// one gets the filter's.
std::string withExtension(std::string path, const FileRequest& request) {
    const fs::path chosen(path);
    if (request.save && !chosen.filename().empty() && !chosen.has_extension()) path += "." + request.extension;
    return path;
}

class ExternalFileDialog : public FileDialog {
public:
    std::string choose(const FileRequest& request) override {
        std::vector<std::string> argv;
        if (const std::string zenity = platform::findProgram("zenity"); !zenity.empty())
            argv = zenityCommand(zenity, request);
        else if (const std::string kdialog = platform::findProgram("kdialog"); !kdialog.empty())
            argv = kdialogCommand(kdialog, request);
        else
            return {};
        constexpr std::size_t kMostOutput = 8192;
        const platform::ChildResult result = platform::runChild(argv, kMostOutput);
        if (!result.started || (result.exitStatus != 0 && result.exitStatus != platform::ChildResult::kUnknown)) return {};
        if (result.output.size() >= kMostOutput) return {};  // not a path we could have read whole
        std::string path = result.output;
        const std::size_t end = path.find('\n');
        if (end != std::string::npos) path.resize(end);
        if (path.empty() || path[0] != '/') return {};
        return withExtension(path, request);
    }
};

}  // namespace

FileDialog& systemFileDialog() {
    static ExternalFileDialog dialog;
    return dialog;
}

}  // namespace native
