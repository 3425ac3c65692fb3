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

// What stands at path, for a refusal; empty for a regular file or nothing.
std::string obstacle(const std::string& path, bool folderWanted) {
    struct stat status;
    if (lstat(path.c_str(), &status) != 0) return errno == ENOENT ? "" : std::strerror(errno);
    const bool link = S_ISLNK(status.st_mode);
    if (link && stat(path.c_str(), &status) != 0) return "a link to nothing";
    const std::string a = link ? "a link to a " : "a ";
    if (S_ISDIR(status.st_mode)) return folderWanted ? "" : a + "folder";
    if (S_ISREG(status.st_mode)) return folderWanted ? a + "file" : "";
    if (S_ISFIFO(status.st_mode)) return a + "FIFO";
    if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode)) return a + "device";
    if (S_ISSOCK(status.st_mode)) return a + "socket";
    return a + "special file";
}

// The regular file a link names, so that it is replaced and the link kept.
std::string followLink(const std::string& path) {
    struct stat status;
    if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
    std::error_code error;
    const fs::path target = fs::canonical(path, error);
    return error ? path : target.string();
}

}  // namespace

bool OutputSet::checkFile(const std::string& path, std::string* error) {
    const std::string found = obstacle(path, false);
    if (found.empty()) return true;
    if (error) *error = path + " is " + found + "; only a regular file is replaced";
    return false;
}

bool OutputSet::checkFolder(const std::string& path, std::string* error) {
    const std::string found = obstacle(path, true);
    if (found.empty()) return true;
    if (error) *error = path + " is " + found + ", not a folder";
    return false;
}

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

int OutputSet::begin(const std::string& given, std::string* temporaryPath, std::string* error) {
    if (!checkFile(given, error)) return -1;
    const std::string path = followLink(given);
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
    // Whatever took a name since the checks is still never replaced.
    for (const Pending& file : pending_)
        if (!checkFile(file.path, error)) return false;
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
