// The built-in test pattern, drawn straight into packed YUY2: colour bars
// scrolling sideways, a box bouncing around, and the frame number in large
// block digits. In interlaced modes each field is drawn at its own moment, so
// the box combs the way real interlaced motion does and a wrong field order
// shows as judder.
#pragma once

#include <stdint.h>

// fieldOrder: 0 progressive, 1 top field first, 2 bottom field first.
void DrawTestPattern(uint8_t* yuy2, int32_t width, int32_t height, int32_t frame, int32_t fieldOrder);
