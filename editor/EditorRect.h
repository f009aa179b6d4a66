#pragma once
// The editor rectangle a host asks for with effEditGetRect: top, left, bottom, right, in the
// binary layout the plug-in interface fixes. Declared with the editor, which owns the only one.

#include <stdint.h>

extern "C" {
struct ERect {
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
};
}

static_assert(sizeof(ERect) == 8, "the interface's rectangle is four 16-bit fields");
