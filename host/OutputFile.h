#pragma once
// An output the host writes without ever destroying anything else: the destination must be a new
// path or an existing regular file (a symbolic link to one is written through), never a
// directory, device, fifo or socket, and never one of the inputs. The data goes to a temporary
// file beside the destination, which replaces the destination only on commit(); the temporary
// file is removed on every other way out, including SIGINT, SIGTERM and SIGHUP once
// installSignalCleanup() has run (after which the signal ends the process as usual).

#include <string>
#include <vector>

namespace qxhost {

class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile(); // removes the temporary file unless committed
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // False with a one-line reason when `path` may not be written (see above), is the same file
    // as one of `inputs` (also through links), or its directory is missing or takes no new file.
    // The reason starts with `path` as given.
    static bool checkDestination(const std::string& path, const std::vector<std::string>& inputs,
                                 std::string& error);
    static void installSignalCleanup();

    // Checks the destination and chooses the temporary file; false with error() set.
    bool begin(const std::string& path, const std::vector<std::string>& inputs);
    // Where to write the data until commit().
    const std::string& tempPath() const { return temp_; }
    // Moves the finished temporary file onto the destination.
    bool commit();
    const std::string& error() const { return error_; }
    // `message` (a writer's error about tempPath()) with the temporary name replaced by the path
    // the user gave.
    std::string mentioningPath(std::string message) const;

private:
    void discard();

    std::string path_;   // the destination as given
    std::string target_; // the destination with links resolved
    std::string temp_;
    std::string error_;
    int slot_ = -1;
    bool committed_ = false;
};

// The lower-case extension of `path` without its dot ("" when none).
std::string extensionOf(const std::string& path);

// A one-line refusal unless `path` ends in one of `extensions` (lower case, without the dot), as
// in "OUT.png must end in .png".
bool checkExtension(const std::string& path, const std::vector<std::string>& extensions,
                    std::string& error);

} // namespace qxhost
