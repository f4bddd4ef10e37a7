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
