#pragma once
// A plug-in module as a shared library: loaded, searched by symbol name and unloaded with the
// system's loader (dlopen on Linux, LoadLibrary on Windows). Shared by the sessions of every
// format.

#include <string>

namespace qxhost {

// The module's handle, or null with `error` set.
void* openModule(const std::string& path, std::string& error);
void* findSymbol(void* module, const char* name);
void closeModule(void* module);

} // namespace qxhost
