// Files that appear under their names together, and only once all of them
// are complete. Each is written under a hidden temporary name in its own
// folder; commit renames them into place. A set that is not committed
// removes everything it began, folders it created included.
#pragma once

#include <string>
#include <vector>

namespace host {

class OutputSet {
public:
    OutputSet() = default;
    ~OutputSet();
    OutputSet(const OutputSet&) = delete;
    OutputSet& operator=(const OutputSet&) = delete;

    // Makes the folder and any missing parents, and checks that a file can
    // be created in it.
    bool prepareFolder(const std::string& folder, std::string* error);
    // Checks that a file can be created in the folder that holds path.
    static bool canWriteBeside(const std::string& path, std::string* error);

    // Only a free name or a regular file may become an output: a folder, a
    // FIFO, a device, a socket, or a link to one or to nothing, is refused
    // with the reason. A link to a regular file is kept; the file it names
    // is replaced.
    static bool checkFile(const std::string& path, std::string* error);
    // A free name, a folder or a link to a folder.
    static bool checkFolder(const std::string& path, std::string* error);

    // Opens a new temporary file beside path (beside the file a link names),
    // to become path on commit; -1 when it cannot be created or path is
    // refused by checkFile. The caller writes and closes it.
    int begin(const std::string& path, std::string* temporaryPath, std::string* error);
    // Gives every begun file its name, once each still passes checkFile;
    // false, with nothing renamed, when one no longer does, and false when
    // a rename failed.
    bool commit(std::string* error);

private:
    struct Pending {
        std::string temporary, path;
    };
    void discard();

    std::vector<Pending> pending_;
    std::vector<std::string> createdFolders_;  // outermost first
    bool committed_ = false;
};

}  // namespace host
