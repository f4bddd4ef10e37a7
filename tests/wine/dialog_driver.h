// Drives the settings dialog through Wine's real user32: a thread timer
// finds the dialog inside its modal loop and plays one step per tick.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tests/wine/host_harness.h"

typedef std::function<void(HWND)> Step;

// Opens the dialog over `owner` and plays the steps; returns PluginConfig's result.
int RunDialog(HWND owner, std::vector<Step> steps);
Step Click(int id);
Step Type(int id, const char* text);
Step Expect(std::function<void(HWND)> checks);

bool Checked(HWND dialog, int id);
bool Enabled(HWND dialog, int id);
std::string Text(HWND dialog, int id);
HWND MakeOwner();
