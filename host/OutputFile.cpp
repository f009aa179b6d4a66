#include "host/OutputFile.h"

#include <atomic>
#include <cctype>
#include <csignal>
#include <cstdio>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

#if defined(_WIN32)
#include <io.h>
#include <process.h>
#define getpid _getpid
#define access _access
#define W_OK 2
#else
#include <unistd.h>
#endif

namespace qxhost {

namespace {

// Temporary files to remove from a signal handler: fixed storage, claimed with an atomic flag,
// so the handler touches nothing that may be half-built.
constexpr int kSlots = 8;
constexpr size_t kPathMax = 4096;
char slotPaths[kSlots][kPathMax];
std::atomic<int> slotUsed[kSlots];

int claimSlot(const std::string& path) {
    if (path.size() >= kPathMax) return -1;
    for (int i = 0; i < kSlots; ++i) {
        int expected = 0;
        if (slotUsed[i].load() == 0 && slotUsed[i].compare_exchange_strong(expected, 2)) {
            std::memcpy(slotPaths[i], path.c_str(), path.size() + 1);
            slotUsed[i].store(1);
            return i;
        }
    }
    return -1;
}

void releaseSlot(int slot) {
    if (slot >= 0) slotUsed[slot].store(0);
}

extern "C" void removeTempFilesAndReraise(int sig) {
    for (int i = 0; i < kSlots; ++i)
        if (slotUsed[i].load() == 1) ::unlink(slotPaths[i]);
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

bool sameFile(const std::string& a, const std::string& b) {
#if defined(_WIN32)
    // No inode numbers here: compare the full paths.
    char fa[_MAX_PATH], fb[_MAX_PATH];
    if (_fullpath(fa, a.c_str(), sizeof fa) == nullptr || _fullpath(fb, b.c_str(), sizeof fb) == nullptr)
        return false;
    return _stricmp(fa, fb) == 0;
#else
    struct stat sa, sb;
    if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
#endif
}

const char* kindOf(const struct stat& st) {
    if (S_ISDIR(st.st_mode)) return "a directory";
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return "a device";
#if !defined(_WIN32)
    if (S_ISFIFO(st.st_mode)) return "a fifo";
    if (S_ISSOCK(st.st_mode)) return "a socket";
#endif
    return "not a regular file";
}

// The directory a new file named `path` goes into.
std::string directoryOf(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    if (slash == std::string::npos) return ".";
    return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

bool exists(const std::string& path) {
    struct stat st;
#if defined(_WIN32)
    return ::stat(path.c_str(), &st) == 0;
#else
    return ::lstat(path.c_str(), &st) == 0;
#endif
}

} // namespace

std::string extensionOf(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string ext = path.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

bool checkExtension(const std::string& path, const std::vector<std::string>& extensions,
                    std::string& error) {
    const std::string ext = extensionOf(path);
    for (const auto& e : extensions)
        if (ext == e) return true;
    std::string list;
    for (size_t i = 0; i < extensions.size(); ++i)
        list += (i == 0 ? "." : i + 1 == extensions.size() ? " or ." : ", .") + extensions[i];
    error = "'" + path + "' must end in " + list;
    return false;
}

bool OutputFile::checkDestination(const std::string& path, const std::vector<std::string>& inputs,
                                  std::string& error) {
    if (path.empty()) {
        error = "empty output name";
        return false;
    }
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            error = path + " is " + kindOf(st) + "; not written";
            return false;
        }
    } else if (exists(path)) {
        error = path + " is a link to nothing; not written";
        return false;
    }
    // The data goes to a temporary file beside the file the path names, so that directory must
    // take a new file.
    std::string target = path;
#if !defined(_WIN32)
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        target = real;
        std::free(real);
    }
#endif
    const std::string dir = directoryOf(target);
    if (::stat(dir.c_str(), &st) != 0) {
        error = path + ": " + (errno == ENOENT ? std::string("No such directory") : std::strerror(errno)) +
                " (" + dir + ")";
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        error = path + ": " + dir + " is not a directory";
        return false;
    }
    if (::access(dir.c_str(), W_OK) != 0) {
        error = path + ": " + std::strerror(errno) + " (" + dir + ")";
        return false;
    }
    for (const auto& in : inputs) {
        if (sameFile(path, in)) {
            error = path + " is the input file " + in + "; not written";
            return false;
        }
    }
    return true;
}

void OutputFile::installSignalCleanup() {
    std::signal(SIGINT, removeTempFilesAndReraise);
    std::signal(SIGTERM, removeTempFilesAndReraise);
#if defined(SIGHUP)
    std::signal(SIGHUP, removeTempFilesAndReraise);
#endif
}

OutputFile::~OutputFile() { discard(); }

bool OutputFile::begin(const std::string& path, const std::vector<std::string>& inputs) {
    discard();
    committed_ = false;
    if (!checkDestination(path, inputs, error_)) return false;
    path_ = path;
    target_ = path;
#if !defined(_WIN32)
    // Through a link: the file it names is replaced, the link stays.
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        target_ = real;
        std::free(real);
    }
#endif
    const std::string stem = target_ + ".part" + std::to_string(getpid());
    for (int n = 0; n < 100 && temp_.empty(); ++n) {
        const std::string candidate = n == 0 ? stem : stem + "-" + std::to_string(n);
        if (!exists(candidate)) temp_ = candidate;
    }
    if (temp_.empty()) {
        error_ = "no free name for a temporary file beside " + path;
        return false;
    }
    slot_ = claimSlot(temp_);
    return true;
}

bool OutputFile::commit() {
    if (temp_.empty() || committed_) return committed_;
#if defined(_WIN32)
    std::remove(target_.c_str());
#else
    struct stat st;
    if (::stat(target_.c_str(), &st) == 0) ::chmod(temp_.c_str(), st.st_mode & 07777);
#endif
    if (std::rename(temp_.c_str(), target_.c_str()) != 0) {
        error_ = path_ + ": " + std::strerror(errno);
        return false;
    }
    committed_ = true;
    releaseSlot(slot_);
    slot_ = -1;
    temp_.clear();
    return true;
}

std::string OutputFile::mentioningPath(std::string message) const {
    if (temp_.empty()) return message;
    for (auto at = message.find(temp_); at != std::string::npos; at = message.find(temp_, at + path_.size()))
        message.replace(at, temp_.size(), path_);
    return message;
}

void OutputFile::discard() {
    if (!temp_.empty() && !committed_) std::remove(temp_.c_str());
    releaseSlot(slot_);
    slot_ = -1;
    temp_.clear();
}

} // namespace qxhost
