#pragma once
// Writes 8-bit RGB PNG files with no library: stored (uncompressed) deflate blocks are valid
// PNG, and pictures of a few hundred kilobytes do not need compression.

#include <cstdint>
#include <string>
#include <vector>

namespace qxhost {

// `pixels` holds width * height values 0x00RRGGBB, row by row from the top. False on I/O error.
bool writePng(const std::string& path, int width, int height, const std::vector<uint32_t>& pixels);

} // namespace qxhost
