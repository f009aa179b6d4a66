// Builds without cairo (the Windows hosts) write no pictures.
#include "host/ImageWriter.h"

namespace qxhost {

bool ImageWriter::available() { return false; }

bool ImageWriter::writePng(const std::string&, int, int, const std::vector<uint32_t>&,
                           std::string& error) {
    error = "pictures are not available in this build";
    return false;
}

} // namespace qxhost
