#include "platform/stub_dialog.h"

#include "platform/stub_text.h"

#include <stdio.h>
#include <string.h>

enum { MaxControls = 32, MaxScript = 64, MaxDisabled = 8 };

struct StubWindow {
    int controlId;  // 0 for the dialog itself
};

static StubWindow gDialogWindow;
static StubWindow gControlWindows[MaxControls];
static StubControl gControls[MaxControls];
static int gControlCount;
static LONG_PTR gUserData;
static int gEnded;
static INT_PTR gEndCode;
static StubAction gScript[MaxScript];
static int gScriptLength;
static int gFailNext;
static LPCSTR gLastTemplate;
static HWND gLastOwner;
static int gInitiallyDisabled[MaxDisabled];
static int gDisabledCount;

void StubSetDialogScript(const StubAction* actions, int count) {
    gScriptLength = count < 0 ? 0 : count < MaxScript ? count : MaxScript;
    if (gScriptLength > 0) memcpy(gScript, actions, sizeof(StubAction) * gScriptLength);
}

void StubFailNextDialog(void) { gFailNext = 1; }

void StubSetInitiallyDisabled(const int* ids, int count) {
    gDisabledCount = count < 0 ? 0 : count < MaxDisabled ? count : MaxDisabled;
    if (gDisabledCount > 0) memcpy(gInitiallyDisabled, ids, sizeof(int) * gDisabledCount);
}

static StubControl* FindControl(int id, bool create) {
    for (int i = 0; i < gControlCount; ++i)
        if (gControls[i].id == id) return &gControls[i];
    if (!create || gControlCount == MaxControls) return nullptr;
    StubControl* control = &gControls[gControlCount];
    gControlWindows[gControlCount].controlId = id;
    ++gControlCount;
    memset(control, 0, sizeof *control);
    control->id = id;
    control->enabled = 1;
    control->selected = CB_ERR;
    for (int i = 0; i < gDisabledCount; ++i)
        if (gInitiallyDisabled[i] == id) control->enabled = 0;
    return control;
}

const StubControl* StubDialogControl(int id) { return FindControl(id, false); }
LPCSTR StubLastDialogTemplate(void) { return gLastTemplate; }
HWND StubLastDialogOwner(void) { return gLastOwner; }

static void Play(const StubAction* action, DLGPROC procedure) {
    switch (action->kind) {
        case StubClickRadio:
            // An auto radio button checks itself and clears its group, then
            // notifies its dialog.
            CheckRadioButton(&gDialogWindow, action->groupFirst, action->groupLast, action->id);
            if (action->groupAlso != 0)
                FindControl(action->groupAlso, true)->checked =
                    action->groupAlso == action->id ? BST_CHECKED : BST_UNCHECKED;
            procedure(&gDialogWindow, WM_COMMAND, static_cast<WPARAM>(action->id), 0);
            break;
        case StubTypeText: {
            StubControl* control = FindControl(action->id, true);
            snprintf(control->text, sizeof control->text, "%s", action->text);
            break;
        }
        case StubPressButton: procedure(&gDialogWindow, WM_COMMAND, static_cast<WPARAM>(action->id), 0); break;
        case StubSelectItem:
            // A drop-down says it opens, then which item was picked.
            procedure(&gDialogWindow, WM_COMMAND, static_cast<WPARAM>(action->id | (CBN_DROPDOWN << 16)), 0);
            FindControl(action->id, true)->selected = action->groupFirst;
            procedure(&gDialogWindow, WM_COMMAND, static_cast<WPARAM>(action->id | (CBN_SELCHANGE << 16)), 0);
            break;
    }
}

INT_PTR DialogBoxParamA(HINSTANCE, LPCSTR templateName, HWND owner, DLGPROC procedure, LPARAM parameter) {
    gLastTemplate = templateName;
    gLastOwner = owner;
    if (gFailNext) {
        gFailNext = 0;
        return -1;
    }
    gControlCount = 0;
    gUserData = 0;
    gEnded = 0;
    gEndCode = -1;
    procedure(&gDialogWindow, WM_INITDIALOG, 0, parameter);
    for (int step = 0; step < gScriptLength && !gEnded; ++step) Play(&gScript[step], procedure);
    gScriptLength = 0;
    if (!gEnded) return -1;
    procedure(&gDialogWindow, WM_DESTROY, 0, 0);
    return gEndCode;
}

BOOL EndDialog(HWND, INT_PTR result) {
    gEnded = 1;
    gEndCode = result;
    return TRUE;
}

BOOL CheckRadioButton(HWND, int firstId, int lastId, int checkId) {
    for (int id = firstId; id <= lastId; ++id)
        FindControl(id, true)->checked = id == checkId ? BST_CHECKED : BST_UNCHECKED;
    return TRUE;
}

LRESULT SendDlgItemMessageA(HWND, int id, UINT message, WPARAM wParam, LPARAM) {
    if (message == BM_SETCHECK) {
        FindControl(id, true)->checked = static_cast<int>(wParam);
        return 0;
    }
    if (message != BM_GETCHECK) return 0;
    const StubControl* control = FindControl(id, false);
    return control != nullptr ? control->checked : BST_UNCHECKED;
}

HWND GetDlgItem(HWND, int id) {
    FindControl(id, true);
    for (int i = 0; i < gControlCount; ++i)
        if (gControls[i].id == id) return &gControlWindows[i];
    return nullptr;
}

BOOL EnableWindow(HWND window, BOOL enable) {
    if (window == nullptr) return FALSE;
    StubControl* control = FindControl(window->controlId, true);
    BOOL wasDisabled = !control->enabled;
    control->enabled = enable ? 1 : 0;
    return wasDisabled;
}

BOOL SetDlgItemInt(HWND, int id, UINT value, BOOL isSigned) {
    StubControl* control = FindControl(id, true);
    if (isSigned)
        snprintf(control->text, sizeof control->text, "%d", static_cast<int>(value));
    else
        snprintf(control->text, sizeof control->text, "%u", value);
    return TRUE;
}

// As user32 reads an unsigned number: leading spaces skipped, digits up to
// the first other character; no digits, or a value past 32 bits, give 0.
UINT GetDlgItemInt(HWND, int id, BOOL* translated, BOOL) {
    if (translated != nullptr) *translated = FALSE;
    const StubControl* control = FindControl(id, false);
    if (control == nullptr) return 0;
    const char* p = control->text;
    while (*p == ' ') ++p;
    if (*p < '0' || *p > '9') return 0;
    unsigned long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + static_cast<unsigned>(*p - '0');
        if (value > 0xFFFFFFFFull) return 0;
    }
    if (translated != nullptr) *translated = TRUE;
    return static_cast<UINT>(value);
}

LONG_PTR SetWindowLongPtrA(HWND, int index, LONG_PTR value) {
    if (index != GWLP_USERDATA) return 0;
    LONG_PTR previous = gUserData;
    gUserData = value;
    return previous;
}

LONG_PTR GetWindowLongPtrA(HWND, int index) { return index == GWLP_USERDATA ? gUserData : 0; }

LRESULT SendDlgItemMessageW(HWND, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    StubControl* control = FindControl(id, true);
    switch (message) {
        case CB_RESETCONTENT:
            control->itemCount = 0;
            control->selected = CB_ERR;
            return 0;
        case CB_ADDSTRING:
            if (control->itemCount == StubListMax) return CB_ERR;
            snprintf(control->items[control->itemCount], sizeof control->items[0], "%s",
                     Utf8FromUtf16(reinterpret_cast<const WideChar*>(lParam)).c_str());
            return control->itemCount++;
        case CB_SETCURSEL:
            control->selected = static_cast<int>(wParam) < control->itemCount ? static_cast<int>(wParam) : CB_ERR;
            return control->selected;
        case CB_GETCURSEL: return control->selected;
        default: return 0;
    }
}

BOOL SetDlgItemTextA(HWND, int id, LPCSTR text) {
    snprintf(FindControl(id, true)->text, StubControlTextMax, "%s", text);
    return TRUE;
}

BOOL SetDlgItemTextW(HWND, int id, LPCWSTR text) {
    snprintf(FindControl(id, true)->text, StubControlTextMax, "%s", Utf8FromUtf16(text).c_str());
    return TRUE;
}

static char gOpenedFile[1024];

HINSTANCE ShellExecuteW(HWND, LPCWSTR, LPCWSTR file, LPCWSTR, LPCWSTR, int) {
    snprintf(gOpenedFile, sizeof gOpenedFile, "%s", Utf8FromUtf16(file).c_str());
    return reinterpret_cast<HINSTANCE>(static_cast<intptr_t>(33));  // above 32: opened
}

const char* StubLastOpenedFile(void) { return gOpenedFile; }
