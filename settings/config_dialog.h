// The settings dialog (template ConfigDialogTemplate): its procedure, which
// PluginConfig runs over the live settings record.
#pragma once

#include "platform/platform.h"
#include "resources/resource_ids.h"
#include "settings/output_settings.h"

// Shows the dialog's one refusal (code page 932 text), owned by the dialog.
typedef void (*DialogRefusalBox)(HWND dialog, const char* text);

// The procedure of a host that shows code page 932 text as it is.
INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The same dialog for a host that shows its refusal its own way.
INT_PTR DispatchConfigDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, DialogRefusalBox showRefusal);
