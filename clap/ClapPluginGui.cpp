// The panel in a CLAP host's window (see ClapPlugin.h). Embedded only, 450 x 200, not resizable.
// On Linux the host drives it: its timer ticks the panel and the X connection's fd, watched by
// the host, gets the panel's events handled as they come. On Windows the window layer runs its
// own timer and the timer call only handles what the host must hear.
#include "clap/ClapPlugin.h"

#include <cstring>

namespace qx {

namespace {

#if defined(_WIN32)
constexpr const char* kWindowApi = CLAP_WINDOW_API_WIN32;
#else
constexpr const char* kWindowApi = CLAP_WINDOW_API_X11;
#endif

} // namespace

bool ClapPlugin::guiApiSupported(const char* api, bool floating) const {
    return api != nullptr && !floating && std::strcmp(api, kWindowApi) == 0;
}

bool ClapPlugin::guiCreate(const char* api, bool floating) {
    if (guiCreated_ || !onMainThreadNow() || !guiApiSupported(api, floating)) return false;
#if !defined(_WIN32)
    // Without the host's timer the panel would never tick: a host that has none gets no panel.
    if (timer_ == CLAP_INVALID_ID) return false;
#endif
    guiCreated_ = true;
    return true;
}

void ClapPlugin::guiDestroy() {
    if (!guiCreated_ || !onMainThreadNow()) return;
    closePanel();
    guiCreated_ = false;
}

bool ClapPlugin::guiSetParent(const clap_window* window) {
    if (!guiCreated_ || panel_.isWindowOpen() || window == nullptr || window->api == nullptr ||
        std::strcmp(window->api, kWindowApi) != 0 || !onMainThreadNow())
        return false;
#if defined(_WIN32)
    void* parent = window->win32;
#else
    void* parent = reinterpret_cast<void*>(static_cast<uintptr_t>(window->x11));
#endif
    if (parent == nullptr || panel_.open(parent) == 0) return false;
    const int fd = panel_.eventFd();
    if (fd >= 0 && ext_.fds != nullptr && ext_.fds->register_fd(host_, fd, CLAP_POSIX_FD_READ))
        registeredFd_ = fd;
    return true;
}

void ClapPlugin::closePanel() {
    if (registeredFd_ >= 0) ext_.fds->unregister_fd(host_, registeredFd_);
    registeredFd_ = -1;
    if (panel_.isWindowOpen()) panel_.close();
}

void ClapPlugin::onTimer(clap_id timer) {
    if (timer != timer_ || !onMainThreadNow()) return;
    deliverDeferred();
#if !defined(_WIN32)
    if (guiCreated_ && panel_.isWindowOpen()) panel_.idle();
#endif
}

void ClapPlugin::onFd(int fd, uint32_t) {
    if (fd < 0 || fd != registeredFd_ || !onMainThreadNow()) return;
    panel_.idle();
}

} // namespace qx
