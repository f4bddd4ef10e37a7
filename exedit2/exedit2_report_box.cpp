// Reports as ExEdit2 shows them: the code page 932 text composed in
// MessageBuffer, in UTF-16, through MessageBoxW and into the host's log.
#include <string.h>

#include "exedit2/exedit2_table.h"
#include "platform/message_buffer.h"

// Same room as MessageBuffer: at most 2047 units and the NUL.
enum { WideReportSize = MessageBufferSize };

static WideChar gWideReport[WideReportSize];
static LogHandle* gLogger;

extern "C" void PLUGIN_CDECL InitializeLogger(LogHandle* logger) { gLogger = logger; }

struct WideComposition {
    WideChar* buffer;
    int size;
    int position;
};

static bool IsHighSurrogate(WideChar unit) { return unit >= 0xD800 && unit < 0xDC00; }

// Appends as much of `text` as fits before the last unit, which stays for the
// NUL; a surrogate pair goes in whole or not at all.
static void AppendUnits(WideComposition* text, const WideChar* units, int count) {
    for (int i = 0; i < count; ++i) {
        const int width = IsHighSurrogate(units[i]) && i + 1 < count ? 2 : 1;
        if (text->position + width > text->size - 1) {
            text->position = text->size - 1;
            return;
        }
        for (int k = 0; k < width; ++k) text->buffer[text->position++] = units[i + k];
        i += width - 1;
    }
}

static void AppendCodePage932(WideComposition* text, const char* bytes, int count) {
    // Code page 932 never takes more UTF-16 units than bytes.
    static WideChar converted[MessageBufferSize];
    if (count <= 0) return;
    const int units = MultiByteToWideChar(932, 0, bytes, count, converted, MessageBufferSize);
    AppendUnits(text, converted, units);
}

static int UnitCount(const WideChar* text) {
    int count = 0;
    while (text[count] != 0) ++count;
    return count;
}

void ShowReportUtf16(const WideChar* path, int pathAt) {
    const int length = static_cast<int>(strlen(MessageBuffer));
    WideComposition text = {gWideReport, WideReportSize, 0};
    if (pathAt >= 0 && pathAt <= length) {
        AppendCodePage932(&text, MessageBuffer, pathAt);
        AppendUnits(&text, path, UnitCount(path));
        AppendCodePage932(&text, MessageBuffer + pathAt, length - pathAt);
    } else {
        AppendCodePage932(&text, MessageBuffer, length);
    }
    gWideReport[text.position] = 0;
    if (gLogger != nullptr && gLogger->error != nullptr) gLogger->error(gLogger, gWideReport);
    MessageBoxW(nullptr, gWideReport, WIDE_TEXT("ERROR"), MB_ICONERROR);
}

void ShowRefusalUtf16(HWND owner, const char* text) {
    WideChar wide[1024];
    WideComposition composed = {wide, 1024, 0};
    AppendCodePage932(&composed, text, static_cast<int>(strlen(text)));
    wide[composed.position] = 0;
    if (gLogger != nullptr && gLogger->error != nullptr) gLogger->error(gLogger, wide);
    MessageBoxW(owner, wide, WIDE_TEXT("ERROR"), MB_ICONERROR);
}
