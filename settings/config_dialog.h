// The settings dialog (template ConfigDialogTemplate): its procedure, which
// PluginConfig runs over the live settings record.
#pragma once

#include "platform/platform.h"
#include "resources/resource_ids.h"
#include "settings/output_settings.h"

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
