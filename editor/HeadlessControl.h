#pragma once
/* The panel's private channel for our own test tools: a host that sees only the effect record
 * can open the panel on the memory-only backend, drive it and read its pixels.
 *
 *   dispatcher(effect, effVendorSpecific (50), QX_HEADLESS_INDEX, command, &request, 0.0f)
 *
 * `command` is one of QxHeadlessCommand; `request` points to a QxHeadlessRequest whose `size` is
 * sizeof(QxHeadlessRequest). The answer is 1 when the command was carried out and 0 otherwise
 * (unknown command, wrong size, panel not open on this backend, or already open elsewhere).
 * Call on the thread that drives the panel, as with the other editor opcodes.
 *
 * Plain C layout so any host, in any language, can fill it. */

#include <stdint.h>

/* "QxHd", first character in the most significant byte. */
#define QX_HEADLESS_INDEX ((int32_t)(((uint32_t)'Q' << 24) | ((uint32_t)'x' << 16) | ((uint32_t)'H' << 8) | (uint32_t)'d'))

#define QX_HEADLESS_WIDTH 450
#define QX_HEADLESS_HEIGHT 200

enum QxHeadlessCommand {
    qxHeadlessOpen = 1,       /* open the panel in a memory window */
    qxHeadlessClose = 2,      /* close it */
    qxHeadlessTick = 3,       /* deliver `count` timer ticks; `count` comes back as delivered */
    qxHeadlessMouse = 4,      /* deliver `event` with `button` at (`x`, `y`) */
    qxHeadlessReadPixels = 5, /* copy the window into `pixels` (WIDTH x HEIGHT, 0x00RRGGBB, rows from the top) */
    qxHeadlessSetMeters = 6,  /* store the four meter fields, as the audio thread would */
    qxHeadlessExpose = 7      /* cover and uncover the window: a full redraw on the next tick */
};

enum QxHeadlessMouseEvent {
    qxMouseMove = 0,
    qxMousePress = 1,
    qxMouseRelease = 2
};

enum QxHeadlessButton {
    qxButtonLeft = 0,
    qxButtonRight = 1
};

typedef struct QxHeadlessRequest {
    int32_t size;          /* sizeof(QxHeadlessRequest) */
    int32_t count;         /* Tick: ticks asked for, then delivered */
    int32_t event;         /* Mouse: QxHeadlessMouseEvent */
    int32_t button;        /* Mouse: QxHeadlessButton (ignored for moves) */
    int32_t x, y;          /* Mouse: client coordinates, may be negative while a button is held */
    uint32_t* pixels;      /* ReadPixels: caller's buffer of WIDTH x HEIGHT words */
    float minGain;         /* SetMeters */
    float peakOut;
    int32_t clipHold;
    int32_t singleChannel;
} QxHeadlessRequest;
