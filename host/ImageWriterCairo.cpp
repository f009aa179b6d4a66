#include "host/ImageWriter.h"

#include <cairo.h>

namespace qxhost {

bool ImageWriter::available() { return true; }

bool ImageWriter::writePng(const std::string& path, int width, int height,
                           const std::vector<uint32_t>& pixels, std::string& error) {
    const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, width);
    if (width <= 0 || height <= 0 || stride != width * 4 ||
        pixels.size() != static_cast<size_t>(width) * height) {
        error = "picture size does not match its pixels";
        return false;
    }
    // RGB24 is one native-endian 0x00RRGGBB word per pixel, our layout exactly.
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(const_cast<uint32_t*>(pixels.data())), CAIRO_FORMAT_RGB24,
        width, height, stride);
    const cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        error = "cannot write " + path + " (" + cairo_status_to_string(status) + ")";
        return false;
    }
    return true;
}

} // namespace qxhost
