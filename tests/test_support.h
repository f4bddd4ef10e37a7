// Helpers shared by the native tests.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "settings/output_settings.h"
#include "tests/test_random.h"

// The UTF-8 text converted to code page 932 by iconv, independently of the
// compiler's own conversion of the plug-in's literals.
std::string Sjis(const std::string& utf8);

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

// A fresh directory for one test, removed with everything in it at exit.
std::string MakeTempDir();

OutputSettings MakeSettings(int32_t colorFormat, int32_t aspectMode, int32_t num, int32_t den, int32_t interlaceMode);
// Puts the record into the module through its blob entry point.
void LoadSettings(const OutputSettings& settings);
