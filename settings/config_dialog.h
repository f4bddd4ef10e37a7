// The settings dialog (template 101): its procedure, and the plain functions
// that move values between its controls and a settings record.
#pragma once

#include "platform/platform.h"
#include "settings/output_settings.h"

enum ConfigDialogId {
    ConfigDialogTemplate = 101,
    IdColor420 = 1001,
    IdColor422 = 1002,
    IdAspectUnspecified = 1003,
    IdAspect4x3 = 1004,
    IdAspect16x9 = 1005,
    IdAspectCustom = 1006,
    IdAspectNum = 1007,
    IdAspectDen = 1008,
    IdScanProgressive = 1009,
    IdScanTopFirst = 1010,
    IdScanBottomFirst = 1011,
};

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Checks the choices and fills the fields from a record. Codes outside the
// ranges show as the first choice of their group.
void ShowSettingsInDialog(HWND dialog, const OutputSettings* settings);
// The custom fields are enabled exactly while the custom choice is checked.
void UpdateCustomAspectFields(HWND dialog);
// Every control's value into a fresh record, whatever is enabled.
OutputSettings ReadSettingsFromDialog(HWND dialog);
// OK may store the record: a custom aspect needs both numbers >= 1.
bool DialogSettingsAcceptable(const OutputSettings* settings);
