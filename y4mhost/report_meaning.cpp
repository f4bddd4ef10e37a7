#include "y4mhost/report_meaning.h"

#include <string.h>

struct ReportMeaningEntry {
    const char* opening;  // how the report's text begins
    const char* meaning;
};

static const char WriteFailureOpening[] = "ファイルへのデータ書き込みに失敗しました";

// The same table stands in the README ("What the plug-in's reports mean").
static const ReportMeaningEntry Meanings[] = {
    {"出力パラメータに問題があります",
     "the settings do not fit this frame size (listed above: an odd width, a 4:2:0 height that is odd or, "
     "interlaced, not a multiple of 4, or stored settings out of range); nothing was written"},
    {"映像のサイズ", "the frame is too large for a 32-bit export; nothing was written (give a smaller --size)"},
    {"保存先ファイル",
     "the output file cannot be created (a missing folder, no permission, a folder of that name, or, for "
     "AviUtl 1.x's interface, a file name the system code page cannot hold: its paths are in that code page)"},
    {"メモリの確保に失敗しました", "there is not enough memory for one frame; the output file is left empty"},
    {"フレーム ",
     "the host could not give that frame (the input ended or failed to decode); the file holds the "
     "whole frames before it"},
    {"エンコーダーのコマンド「",
     "the encoder command is not in the commands file (--encoder makes one of its own), has no program, is too "
     "long, or holds a placeholder it does not know; nothing was started"},
    {"エンコーダーのプログラム",
     "the encoder's program is neither an absolute path nor in a folder of PATH; "
     "nothing was started"},
    {"バッチファイル",
     "a .bat or .cmd file is never started (cmd.exe would read its arguments); name the encoder's "
     "program itself"},
    {"エンコーダー ", "the encoder's program could not be started (not a program this system runs)"},
    {"エンコーダーのログファイル", "the encoder's log, beside the output, cannot be created: nothing was started"},
    {"エンコーダーが ",
     "the encoder ended, or stopped reading, before it had read the whole stream: a bad option, a format it "
     "refuses, a full disk, a crash or a frame limit of its own (its exit status and last log line above)"},
    {"エンコーダーがエラー",
     "the encoder read every frame but exited with an error (its status and last log line above)"},
    {"エンコーダーは終了コード 0", "the encoder said it succeeded but the file its command names is missing or empty"},
    {WriteFailureOpening,
     "writing failed: the disk is full or the file reached a size limit "
     "(4 GB on FAT32); the file holds what was written before"},
};

static bool Opens(const std::string& report, const char* opening) {
    return report.compare(0, strlen(opening), opening) == 0;
}

bool IsWriteFailureReport(const std::string& report) { return Opens(report, WriteFailureOpening); }

const char* ReportMeaning(const std::string& report) {
    for (const ReportMeaningEntry& entry : Meanings)
        if (Opens(report, entry.opening)) return entry.meaning;
    return "the plug-in reported a failure (see its message above)";
}
