// UTF-16 text on systems whose own text is UTF-8.
#pragma once

#include "platform/platform.h"

#if !defined(_WIN32)

#include <string>

// UTF-16 up to its NUL as UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf8FromUtf16(const WideChar* text);

#endif
