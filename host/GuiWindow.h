#pragma once
// The window half of `qxhost gui`: one implementation per platform (GuiWindowX11.cpp,
// GuiWindowWin32.cpp), chosen by the build. The command itself (GuiCommand.cpp) loads the
// plug-in, starts the audio thread and calls runGuiWindow.

#include "host/HostSession.h"

#include <chrono>
#include <string>

namespace qxhost {

using GuiClock = std::chrono::steady_clock;

struct GuiOptions {
    std::string plugin;
    double seconds = 0.0; // 0: until the window is closed
};

struct PanelSize {
    int width = 450;
    int height = 200;
};

// Opens a top-level window titled `title` the size of the plug-in's panel, opens the panel in it
// with effEditOpen, runs the event loop (sending effEditIdle and printing automation) until the
// window is closed or `o.seconds` have passed, and sends effEditClose. Answers the exit code.
int runGuiWindow(HostSession& s, const GuiOptions& o, const std::string& title);

// Shared by both windows.
int guiFail(const std::string& message, int code = 1);
PanelSize panelSize(HostSession& s);
bool guiExpired(const GuiOptions& o, GuiClock::time_point started);
// Prints the automation calls that arrived since the last call, with the text the plug-in shows
// for the parameter now.
void printAutomation(HostSession& s);

} // namespace qxhost
