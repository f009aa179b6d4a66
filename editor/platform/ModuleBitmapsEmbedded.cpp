#include "editor/platform/ModuleBitmaps.h"

#include "resources/EmbeddedBitmaps.h"

namespace qx {

const unsigned char* moduleBitmap(int id, std::size_t* size) { return embeddedBitmap(id, size); }

} // namespace qx
