#include "tests/wine/dialog_driver.h"

#include <string.h>

#include "resources/resource_ids.h"

namespace {

std::vector<Step> gSteps;
size_t gNextStep;
int gIdleTicks;

BOOL CALLBACK FindSettingsDialog(HWND window, LPARAM found) {
    char className[16];
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, "#32770") == 0 && GetDlgItem(window, IdColor420) != nullptr) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindSettingsDialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr) return;
    if (gNextStep < gSteps.size()) {
        Step step = gSteps[gNextStep++];
        step(dialog);
    } else if (++gIdleTicks > 20) {
        CHECK(!"the script left the dialog open");
        EndDialog(dialog, 99);
    }
}

}  // namespace

int RunDialog(HWND owner, std::vector<Step> steps) {
    gSteps = std::move(steps);
    gNextStep = 0;
    gIdleTicks = 0;
    gBoxes.clear();
    UINT_PTR timer = SetTimer(nullptr, 0, 20, Tick);
    int result = RunConfig(owner, reinterpret_cast<HINSTANCE>(gModule));
    KillTimer(nullptr, timer);
    CHECK_EQ(static_cast<long long>(gNextStep), static_cast<long long>(gSteps.size()));
    return result;
}

Step Click(int id) {
    return [id](HWND dialog) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); };
}
Step Type(int id, const char* text) {
    return [id, text](HWND dialog) { SetDlgItemTextA(dialog, id, text); };
}
Step Expect(std::function<void(HWND)> checks) { return checks; }

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
std::string Text(HWND dialog, int id) {
    char text[64] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

HWND MakeOwner() {
    return CreateWindowA("STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
}
