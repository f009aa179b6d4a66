#pragma once
// PNG files of 0x00RRGGBB pixels, rows from the top, through cairo's own PNG writer
// (ImageWriterCairo.cpp); builds without cairo refuse (ImageWriterNone.cpp).

#include <cstdint>
#include <string>
#include <vector>

namespace qxhost {

class ImageWriter {
public:
    static bool available();
    // False with a one-line reason on I/O error or a size that does not match the pixels.
    static bool writePng(const std::string& path, int width, int height,
                         const std::vector<uint32_t>& pixels, std::string& error);
};

} // namespace qxhost
