#pragma once
// The panel bitmaps as the module carries them, for the backends that decode them themselves:
// BMP files compiled into the Linux module, bitmap resources of the Windows module (bare
// device-independent bitmaps; BmpImage reads both). One implementation per system, chosen by
// the build: ModuleBitmapsEmbedded.cpp, ModuleBitmapsWin32.cpp.

#include <cstddef>

namespace qx {

// The bytes of bitmap `id` (107 to 112), valid for the module's lifetime; null with size 0 for
// any other id.
const unsigned char* moduleBitmap(int id, std::size_t* size);

} // namespace qx
