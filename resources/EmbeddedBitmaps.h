#pragma once
// Panel bitmaps compiled into modules that have no resource section of their own.

#include <cstddef>

namespace qx {

// The BMP file bytes of bitmap `id` (107 to 112), or null with size 0 for any other id.
const unsigned char* embeddedBitmap(int id, std::size_t* size);

} // namespace qx
