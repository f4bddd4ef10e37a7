// The few Win32 and CRT names the plug-in uses, in one place.
//
// On Windows they come from the system headers. Everywhere else this header
// declares stand-ins with the same names and meanings, implemented in the
// other files of this folder, so the plug-in's own sources never need to know
// which system they are built for.
#pragma once

#include <stdint.h>

#if defined(_WIN32)

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shellapi.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#define PLUGIN_CDECL __cdecl
// The module's one export (named again in aviutl1/yuv4mpeg2.def).
#define PLUGIN_EXPORT __declspec(dllexport)

// UTF-16 text as Windows takes it.
typedef wchar_t WideChar;
#define WIDE_TEXT(text) L"" text

// Raw binary output: no line-end translation, a new file readable and writable.
#define PLATFORM_OPEN_FLAGS (_O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY)
#define PLATFORM_OPEN_MODE (_S_IREAD | _S_IWRITE)

#else  // stand-ins

#define PLUGIN_CDECL
// UTF-16 text: wchar_t is 4 bytes here, char16_t is what Windows' wchar_t is.
typedef char16_t WideChar;
#define WIDE_TEXT(text) u"" text
// Everything else is hidden: the module exports this name only.
#define PLUGIN_EXPORT __attribute__((visibility("default")))
#define CALLBACK

typedef struct StubWindow* HWND;
typedef struct StubInstance* HINSTANCE;
typedef int BOOL;
typedef unsigned int UINT;
// A user-data slot holds a pointer, as Win32's LONG_PTR does.
typedef intptr_t LONG_PTR;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef intptr_t INT_PTR;
typedef const char* LPCSTR;
typedef const WideChar* LPCWSTR;
typedef unsigned long DWORD;
typedef INT_PTR (*DLGPROC)(HWND, UINT, WPARAM, LPARAM);

#define TRUE 1
#define FALSE 0
#define MB_ICONERROR 0x00000010u
#define WM_DESTROY 0x0002u
#define WM_INITDIALOG 0x0110u
#define WM_COMMAND 0x0111u
#define EN_CHANGE 0x0300u
#define CBN_SELCHANGE 1
#define CBN_DROPDOWN 7
#define CB_ADDSTRING 0x0143u
#define CB_GETCURSEL 0x0147u
#define CB_RESETCONTENT 0x014Bu
#define CB_SETCURSEL 0x014Eu
#define CB_ERR (-1)
#define SW_SHOWNORMAL 1
#define BM_GETCHECK 0x00F0u
#define BM_SETCHECK 0x00F1u
#define BST_UNCHECKED 0
#define BST_CHECKED 1
#define GWLP_USERDATA (-21)
#define IDOK 1
#define IDCANCEL 2
#define LOWORD(value) ((unsigned short)((uintptr_t)(value)&0xFFFFu))
#define HIWORD(value) ((unsigned short)(((uintptr_t)(value) >> 16) & 0xFFFFu))
#define MAKEINTRESOURCEA(id) ((LPCSTR)(uintptr_t)(unsigned short)(id))

#define _O_WRONLY 0x0001
#define _O_CREAT 0x0100
#define _O_TRUNC 0x0200
#define _O_BINARY 0x8000
#define _S_IREAD 0x0100
#define _S_IWRITE 0x0080

#define PLATFORM_OPEN_FLAGS (_O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY)
#define PLATFORM_OPEN_MODE (_S_IREAD | _S_IWRITE)

// CRT low-level file calls (platform/posix_crt.cpp). A UTF-16 path is
// opened by its UTF-8 name.
int _open(const char* path, int flags, int mode);
int _wopen(const WideChar* path, int flags, int mode);
int _write(int fd, const void* data, unsigned int count);
int _close(int fd);

// user32 (platform/stub_user32.cpp, platform/stub_dialog.cpp).
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style);
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style);
INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC procedure, LPARAM parameter);
BOOL EndDialog(HWND dialog, INT_PTR result);
BOOL CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId);
LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
// The list of a drop-down (CB_ messages, UTF-16 items).
LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text);
// shell32: opens a file as the user's system would (platform/stub_dialog.cpp
// records it).
HINSTANCE ShellExecuteW(HWND owner, LPCWSTR operation, LPCWSTR file, LPCWSTR parameters, LPCWSTR folder, int show);
HWND GetDlgItem(HWND dialog, int id);
BOOL EnableWindow(HWND window, BOOL enable);
BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);
LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value);
LONG_PTR GetWindowLongPtrA(HWND window, int index);

// kernel32: code page 932 (through iconv) to UTF-16 (platform/stub_text.cpp).
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* text, int length, WideChar* wide, int room);

#endif

// x86 hosts may leave the FPU in MMX mode between callbacks; the export clears
// it after each abort question so the host's floating point stays usable.
#if defined(__i386__) || defined(__x86_64__) || defined(_M_IX86)
#include <mmintrin.h>
static inline void ClearMmxState(void) { _mm_empty(); }
#else
static inline void ClearMmxState(void) {}
#endif
