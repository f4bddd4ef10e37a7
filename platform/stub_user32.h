// What the stand-in user32 lets a native test see of the message boxes shown.
#pragma once

#include "platform/platform.h"

#if !defined(_WIN32)

enum { StubBoxTextMax = 4096, StubBoxCaptionMax = 256 };

struct StubMessageBox {
    HWND owner;
    int wide;                   // MessageBoxW: text and caption are its UTF-16 as UTF-8
    char text[StubBoxTextMax];  // the exact bytes up to the NUL, cut if longer
    int textLength;             // the full length of the text given (UTF-16 units for MessageBoxW)
    char caption[StubBoxCaptionMax];
    UINT style;
};

// Forget the boxes recorded so far.
void StubResetMessageBoxes(void);
// How many boxes have been shown since the last reset.
int StubMessageBoxCount(void);
// The latest box shown, or null when there was none.
const StubMessageBox* StubLastMessageBox(void);
// Whether boxes are also printed to stderr (on by default).
void StubSetMessageBoxEcho(int echo);

#endif
