#pragma once
/* Private requests our own tools send through effVendorSpecific (50); the index selects the
 * request. Hosts never send these indices, and any other index is answered with 0. Plain C
 * layout so any host, in any language, can fill the records.
 *
 * Meter read-out, for a windowless host that reports gain reduction:
 *
 *   dispatcher(effect, effVendorSpecific, QX_METER_INDEX, 0, &readout, 0.0f)
 *
 * fills a QxMeterReadout with the four meter fields and resets minGain and peakOut as a panel
 * tick does. Answers 1 (0 for a null pointer).
 *
 * The panel's channel: a host that sees only the effect record can open the panel on the
 * memory-only backend, drive it and read its pixels.
 *
 *   dispatcher(effect, effVendorSpecific, QX_HEADLESS_INDEX, command, &request, 0.0f)
 *
 * `command` is one of QxHeadlessCommand; `request` points to a QxHeadlessRequest whose `size` is
 * sizeof(QxHeadlessRequest). The answer is 1 when the command was carried out and 0 otherwise
 * (unknown command, wrong size, panel not open on this backend, or already open elsewhere).
 * Call on the thread that drives the panel, as with the other editor opcodes. */

#include <stdint.h>

/* Four characters packed with the first in the most significant byte. */
#define QX_PRIVATE_INDEX(a, b, c, d) \
    ((int32_t)(((uint32_t)(a) << 24) | ((uint32_t)(b) << 16) | ((uint32_t)(c) << 8) | (uint32_t)(d)))

#define QX_METER_INDEX QX_PRIVATE_INDEX('Q', 'x', 'M', 't')
#define QX_HEADLESS_INDEX QX_PRIVATE_INDEX('Q', 'x', 'H', 'd')

typedef struct QxMeterReadout {
    float minGain;         /* smallest applied gain since the last read; 1.0 when idle */
    float peakOut;         /* largest absolute output sample since then */
    int32_t clipHold;      /* 27 right after an output sample above 1.0, counted down by the panel */
    int32_t singleChannel; /* 1 while exactly one input channel is processed */
} QxMeterReadout;

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
