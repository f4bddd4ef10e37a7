// A simulated modal dialog for systems without user32, so native tests can
// drive a dialog procedure: the controls keep a check state, an enabled flag
// and a text; DialogBoxParamA sends the initialisation message, then plays a
// script of user actions until the procedure ends the dialog.
#pragma once

#include "platform/platform.h"

#if !defined(_WIN32)

enum StubActionKind {
    StubClickRadio,   // the user clicks an auto radio button of group first..last
    StubTypeText,     // the user replaces an edit's text
    StubPressButton,  // WM_COMMAND with the id (OK, cancel, Enter, Escape)
    StubSelectItem,   // the user picks item groupFirst of a drop-down list
};

struct StubAction {
    StubActionKind kind;
    int id;
    int groupFirst;  // StubClickRadio only: the group's ids, a range
    int groupLast;
    const char* text;  // StubTypeText only
    int groupAlso;     // StubClickRadio: one more id of the group outside the range, or 0
};

enum { StubControlTextMax = 512, StubListMax = 16 };

struct StubControl {
    int id;
    int checked;  // BST_CHECKED or BST_UNCHECKED
    int enabled;
    char text[StubControlTextMax];  // UTF-8 for text set in UTF-16
    // A drop-down list: its items (UTF-8), their count and the selection.
    char items[StubListMax][64];
    int itemCount;
    int selected;  // CB_ERR for none
};

// The actions the next DialogBoxParamA plays, in order. If they run out
// before the dialog ends, DialogBoxParamA returns -1, as a failed dialog does.
void StubSetDialogScript(const StubAction* actions, int count);
// Makes the next DialogBoxParamA fail at once with -1, as with no template.
void StubFailNextDialog(void);
// The state of a control of the latest dialog, kept after it ended;
// null when it was never touched.
const StubControl* StubDialogControl(int id);
// Template and owner the latest DialogBoxParamA was given.
LPCSTR StubLastDialogTemplate(void);
HWND StubLastDialogOwner(void);
// Edits as the template creates them: enabled unless listed here.
void StubSetInitiallyDisabled(const int* ids, int count);
// The file ShellExecuteW was last asked to open (UTF-8), or "".
const char* StubLastOpenedFile(void);

#endif
