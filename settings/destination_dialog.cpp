// Compiled with Shift-JIS as the execution character set, as the dialog's
// other texts are.
#include "settings/destination_dialog.h"

#include <string.h>

#include "platform/system_files.h"
#include "platform/system_text.h"
#include "resources/resource_ids.h"
#include "settings/encoder_commands.h"

enum { CommandsRoom = 65536, PathRoom = 4096, ListLimit = 64, LineRoom = 32768 };

// The user's file as the dialog last read it, and the names the list shows:
// its commands in order, then the record's own name when the file lacks it.
static struct {
    char text[CommandsRoom];
    int32_t length;
    CommandEntry entries[ListLimit];
    int32_t count;
    char keptName[EncoderNameSize];
} gList;

static bool IsChecked(HWND dialog, int id) { return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }

static void UpdateDestinationControls(HWND dialog) {
    const BOOL encoder = IsChecked(dialog, IdDestinationEncoder) ? TRUE : FALSE;
    EnableWindow(GetDlgItem(dialog, IdEncoderName), encoder);
    EnableWindow(GetDlgItem(dialog, IdEncoderCommandLine), encoder);
}

static void AddName(HWND dialog, const char* name, int32_t length) {
    char utf8[EncoderNameSize];
    WideChar wide[EncoderNameSize];
    memcpy(utf8, name, static_cast<size_t>(length));
    utf8[length] = 0;
    WideFromUtf8(utf8, wide, EncoderNameSize);
    SendDlgItemMessageW(dialog, IdEncoderName, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide));
}

// The list again from the file, `selected` picked in it. A name too long for
// the settings is left out: it could never be found again.
static void FillNames(HWND dialog, const char* selected) {
    char path[PathRoom];
    gList.length = UserCommandsPath(path, PathRoom) ? ReadFileStart(path, gList.text, CommandsRoom) : -1;
    if (gList.length < 0) gList.length = 0;
    gList.count = 0;
    SendDlgItemMessageW(dialog, IdEncoderName, CB_RESETCONTENT, 0, 0);
    int32_t pick = CB_ERR;
    CommandEntry entry;
    for (int32_t at = 0; gList.count < ListLimit && NextCommandEntry(gList.text, gList.length, &at, &entry);) {
        if (entry.nameLength >= EncoderNameSize) continue;
        gList.entries[gList.count] = entry;
        if (static_cast<int32_t>(strlen(selected)) == entry.nameLength &&
            memcmp(selected, entry.name, static_cast<size_t>(entry.nameLength)) == 0)
            pick = gList.count;
        AddName(dialog, entry.name, entry.nameLength);
        ++gList.count;
    }
    gList.keptName[0] = 0;
    if (pick == CB_ERR && selected[0] != 0) {
        strncpy(gList.keptName, selected, EncoderNameSize - 1);
        gList.keptName[EncoderNameSize - 1] = 0;
        AddName(dialog, gList.keptName, static_cast<int32_t>(strlen(gList.keptName)));
        pick = gList.count;
    }
    SendDlgItemMessageW(dialog, IdEncoderName, CB_SETCURSEL, static_cast<WPARAM>(pick), 0);
}

// The selection's name; "" for none.
static const char* SelectedName(HWND dialog, char name[EncoderNameSize]) {
    const int32_t index = static_cast<int32_t>(SendDlgItemMessageW(dialog, IdEncoderName, CB_GETCURSEL, 0, 0));
    name[0] = 0;
    if (index >= 0 && index < gList.count) {
        memcpy(name, gList.entries[index].name, static_cast<size_t>(gList.entries[index].nameLength));
        name[gList.entries[index].nameLength] = 0;
    } else if (index == gList.count) {
        strcpy(name, gList.keptName);
    }
    return name;
}

static void ShowSelectedCommand(HWND dialog) {
    static char line[LineRoom];
    static WideChar wide[LineRoom];
    const int32_t index = static_cast<int32_t>(SendDlgItemMessageW(dialog, IdEncoderName, CB_GETCURSEL, 0, 0));
    if (index >= 0 && index < gList.count) {
        const CommandEntry* entry = &gList.entries[index];
        const int32_t length = entry->lineLength < LineRoom - 1 ? entry->lineLength : LineRoom - 1;
        memcpy(line, entry->line, static_cast<size_t>(length));
        line[length] = 0;
        WideFromUtf8(line, wide, LineRoom);
        SetDlgItemTextW(dialog, IdEncoderCommandLine, wide);
    } else if (index == gList.count && gList.keptName[0] != 0) {
        SetDlgItemTextA(dialog, IdEncoderCommandLine, "このコンピューターのコマンドファイルにないコマンドです");
    } else {
        SetDlgItemTextA(dialog, IdEncoderCommandLine, "");
    }
}

void ShowDestinationInDialog(HWND dialog, const OutputSettings* settings) {
    CheckRadioButton(dialog, IdDestinationFile, IdDestinationEncoder,
                     settings->destination == DestinationEncoder ? IdDestinationEncoder : IdDestinationFile);
    char name[EncoderNameSize];
    memcpy(name, settings->encoderName, EncoderNameSize);
    name[EncoderNameSize - 1] = 0;
    FillNames(dialog, name);
    ShowSelectedCommand(dialog);
    UpdateDestinationControls(dialog);
}

// The user's file in their editor: made first, from the examples, when
// there is none. The list is read again when it is next opened.
static void EditCommands(HWND dialog, void (*showRefusal)(HWND, const char*)) {
    char path[PathRoom];
    static WideChar wide[PathRoom];
    if (!UserCommandsPath(path, PathRoom) || !CreateFileOnce(path, CommandsFileTemplate) ||
        !WideFromUtf8(path, wide, PathRoom)) {
        showRefusal(dialog, "コマンドファイルを作成できませんでした");
        return;
    }
    ShellExecuteW(dialog, WIDE_TEXT("open"), wide, nullptr, nullptr, SW_SHOWNORMAL);
}

bool HandleDestinationCommand(HWND dialog, int id, int notification, void (*showRefusal)(HWND, const char*)) {
    char name[EncoderNameSize];
    switch (id) {
        case IdDestinationFile:
        case IdDestinationEncoder: UpdateDestinationControls(dialog); return true;
        case IdEncoderName:
            // Opening the list reads the file again: the user may have
            // edited it since.
            if (notification == CBN_DROPDOWN) FillNames(dialog, SelectedName(dialog, name));
            if (notification == CBN_SELCHANGE || notification == CBN_DROPDOWN) ShowSelectedCommand(dialog);
            return true;
        case IdEditCommands: EditCommands(dialog, showRefusal); return true;
        default: return false;
    }
}

bool ReadDestinationFromDialog(HWND dialog, OutputSettings* settings, void (*showRefusal)(HWND, const char*)) {
    char name[EncoderNameSize];
    SelectedName(dialog, name);
    settings->destination = IsChecked(dialog, IdDestinationEncoder) ? DestinationEncoder : DestinationFile;
    memset(settings->encoderName, 0, EncoderNameSize);
    strcpy(settings->encoderName, name);
    if (settings->destination == DestinationEncoder && name[0] == 0) {
        showRefusal(dialog,
                    "エンコーダーのコマンドが選ばれていません\n"
                    "「コマンドファイルを編集」でコマンドを書いてから選んでください");
        return false;
    }
    return true;
}
