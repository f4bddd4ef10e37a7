// MessageBoxA for systems without user32: the box goes to stderr as UTF-8 and
// is recorded so that tests can check its owner, text, caption and style.
#include "platform/stub_user32.h"

#include "platform/stub_text.h"

#include <dlfcn.h>
#include <errno.h>
#include <iconv.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static StubMessageBox gLastBox;
static int gBoxCount;
static int gEcho = 1;

void StubResetMessageBoxes(void) {
    gBoxCount = 0;
    memset(&gLastBox, 0, sizeof gLastBox);
}

int StubMessageBoxCount(void) { return gBoxCount; }

const StubMessageBox* StubLastMessageBox(void) { return gBoxCount > 0 ? &gLastBox : nullptr; }

void StubSetMessageBoxEcho(int echo) { gEcho = echo; }

static void CopyCut(char* destination, size_t room, const char* source) {
    size_t length = strnlen(source, room - 1);
    memcpy(destination, source, length);
    destination[length] = '\0';
}

// The texts are Shift-JIS; a terminal wants UTF-8. Bytes iconv cannot take
// are shown as '?' so a broken text is still visible.
static void PrintCp932AsUtf8(FILE* out, const char* text) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == (iconv_t)-1) {
        fputs(text, out);
        return;
    }
    char* in = const_cast<char*>(text);
    size_t inLeft = strlen(text);
    char chunk[1024];
    while (inLeft > 0) {
        char* outPos = chunk;
        size_t outLeft = sizeof chunk;
        size_t rc = iconv(cd, &in, &inLeft, &outPos, &outLeft);
        fwrite(chunk, 1, sizeof chunk - outLeft, out);
        if (rc == (size_t)-1 && errno != E2BIG) {
            fputc('?', out);
            ++in;
            --inLeft;
        }
    }
    iconv_close(cd);
}

// A host that shows the boxes its own way (y4mhost) defines this function in
// its program; the module finds it there, so it exports nothing for it. Texts
// in UTF-8; nonzero when the host took the box and nothing is to be printed.
typedef int (*HostReportFunction)(const char* caption, const char* text);

static HostReportFunction HostReport(void) {
    static const HostReportFunction hook =
        reinterpret_cast<HostReportFunction>(dlsym(RTLD_DEFAULT, "Y4mHostReportBox"));
    return hook;
}

static std::string Utf8FromCp932(const char* text) {
    std::string utf8;
    char* bytes = nullptr;
    size_t length = 0;
    FILE* memory = open_memstream(&bytes, &length);
    if (memory == nullptr) return text;
    PrintCp932AsUtf8(memory, text);
    fclose(memory);
    utf8.assign(bytes, length);
    free(bytes);
    return utf8;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
    ++gBoxCount;
    gLastBox.wide = 0;
    gLastBox.owner = owner;
    gLastBox.style = style;
    gLastBox.textLength = text ? static_cast<int>(strlen(text)) : 0;
    CopyCut(gLastBox.text, sizeof gLastBox.text, text ? text : "");
    CopyCut(gLastBox.caption, sizeof gLastBox.caption, caption ? caption : "");
    if (HostReport() != nullptr &&
        HostReport()(Utf8FromCp932(caption ? caption : "").c_str(), Utf8FromCp932(text ? text : "").c_str()))
        return IDOK;
    if (gEcho) {
        fputc('[', stderr);
        PrintCp932AsUtf8(stderr, caption ? caption : "");
        fputs("] ", stderr);
        PrintCp932AsUtf8(stderr, text ? text : "");
        fputc('\n', stderr);
        fflush(stderr);
    }
    return IDOK;
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style) {
    const std::string utf8Text = text ? Utf8FromUtf16(text) : "";
    const std::string utf8Caption = caption ? Utf8FromUtf16(caption) : "";
    ++gBoxCount;
    gLastBox.wide = 1;
    gLastBox.owner = owner;
    gLastBox.style = style;
    gLastBox.textLength = 0;
    for (const WideChar* p = text; p != nullptr && *p != 0; ++p) ++gLastBox.textLength;
    CopyCut(gLastBox.text, sizeof gLastBox.text, utf8Text.c_str());
    CopyCut(gLastBox.caption, sizeof gLastBox.caption, utf8Caption.c_str());
    if (HostReport() != nullptr && HostReport()(utf8Caption.c_str(), utf8Text.c_str())) return IDOK;
    if (gEcho) {
        fprintf(stderr, "[%s] %s\n", utf8Caption.c_str(), utf8Text.c_str());
        fflush(stderr);
    }
    return IDOK;
}
