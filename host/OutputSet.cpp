#include "host/OutputSet.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace host {
namespace {

namespace fs = std::filesystem;

std::string folderOf(const std::string& path) {
    const fs::path parent = fs::path(path).parent_path();
    return parent.empty() ? "." : parent.string();
}

// A new file named after path with a random part, hidden in path's folder.
int createTemporary(const std::string& path, std::string* temporary) {
    const fs::path target(path);
    std::string pattern = (fs::path(folderOf(path)) / ("." + target.filename().string() + ".XXXXXX")).string();
    const int descriptor = mkstemp(pattern.data());
    if (descriptor < 0) return -1;
    fchmod(descriptor, 0644);
    *temporary = pattern;
    return descriptor;
}

}  // namespace

OutputSet::~OutputSet() {
    if (!committed_) discard();
}

bool OutputSet::canWriteBeside(const std::string& path, std::string* error) {
    std::string temporary;
    const int descriptor = createTemporary(path, &temporary);
    if (descriptor < 0) {
        if (error) *error = "cannot write in " + folderOf(path) + ": " + std::strerror(errno);
        return false;
    }
    close(descriptor);
    std::remove(temporary.c_str());
    return true;
}

bool OutputSet::prepareFolder(const std::string& folder, std::string* error) {
    // Remembers which folders along the way are new, to remove them again.
    std::vector<std::string> missing;
    std::error_code status;
    fs::path whole = fs::absolute(folder, status).lexically_normal();
    if (!whole.has_filename()) whole = whole.parent_path();  // a trailing "/"
    for (fs::path at = whole; !at.empty() && !fs::exists(at, status); at = at.parent_path()) {
        missing.insert(missing.begin(), at.string());
        if (at == at.parent_path()) break;
    }
    for (const std::string& path : missing) {
        if (mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) {
            if (error) *error = "cannot create the folder " + path + ": " + std::strerror(errno);
            return false;
        }
        createdFolders_.push_back(path);
    }
    if (!fs::is_directory(folder, status)) {
        if (error) *error = folder + " is not a folder";
        return false;
    }
    return canWriteBeside((fs::path(folder) / "probe").string(), error);
}

int OutputSet::begin(const std::string& path, std::string* temporaryPath, std::string* error) {
    std::string temporary;
    const int descriptor = createTemporary(path, &temporary);
    if (descriptor < 0) {
        if (error) *error = "cannot write " + path + ": " + std::strerror(errno);
        return -1;
    }
    pending_.push_back({temporary, path});
    if (temporaryPath) *temporaryPath = temporary;
    return descriptor;
}

bool OutputSet::commit(std::string* error) {
    for (const Pending& file : pending_) {
        if (std::rename(file.temporary.c_str(), file.path.c_str()) != 0) {
            if (error) *error = "cannot write " + file.path + ": " + std::strerror(errno);
            return false;
        }
    }
    committed_ = true;
    pending_.clear();
    return true;
}

void OutputSet::discard() {
    for (const Pending& file : pending_) std::remove(file.temporary.c_str());
    pending_.clear();
    for (auto folder = createdFolders_.rbegin(); folder != createdFolders_.rend(); ++folder)
        rmdir(folder->c_str());  // only empty folders go
    createdFolders_.clear();
}

}  // namespace host
