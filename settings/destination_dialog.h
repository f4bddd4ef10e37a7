// The dialog's destination controls: the file, or one of the user's encoder
// commands, picked by name from their commands file, its command line shown
// as it will be run.
#pragma once

#include "platform/platform.h"
#include "settings/output_settings.h"

// Fills the controls from the record: the list is read from the user's file.
void ShowDestinationInDialog(HWND dialog, const OutputSettings* settings);
// WM_COMMAND for one of the destination controls; false for any other.
bool HandleDestinationCommand(HWND dialog, int id, int notification, void (*showRefusal)(HWND, const char*));
// The chosen destination and name into the record; false (after the refusal)
// when the encoder is chosen without a command.
bool ReadDestinationFromDialog(HWND dialog, OutputSettings* settings, void (*showRefusal)(HWND, const char*));
