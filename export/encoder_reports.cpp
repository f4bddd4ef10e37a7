// Compiled with Shift-JIS as the execution character set, as the other
// reports are.
#include "export/encoder_reports.h"

#include "platform/message_buffer.h"
#include "platform/system_text.h"

enum { NameRoom = 1024 };

// A UTF-8 name in the report's code page.
static const char* InCodePage932(const char* utf8, char room[NameRoom]) {
    CodePage932FromUtf8(utf8 != nullptr ? utf8 : "", room, NameRoom);
    return room;
}

static void Show(const ExportJob* job, TextComposition* text) {
    EndComposition(text);
    job->showReport(job, -1);
}

// As Windows shows a status: a large one (an exception's code) in hex too.
static void AppendStatus(TextComposition* text, int32_t status) {
    AppendPiece(text, "%d", status);
    if (status >= 0 && status < 0x10000) return;
    char hex[12] = "0x";
    for (int i = 0; i < 8; ++i) hex[2 + i] = "0123456789ABCDEF"[(static_cast<uint32_t>(status) >> (28 - 4 * i)) & 15];
    hex[10] = 0;
    AppendPiece(text, " (%s)", hex);
}

static void AppendLog(TextComposition* text, const char* logLine, const char* logPath) {
    char path[NameRoom];
    AppendPiece(text, "%s\n", logLine[0] != 0 ? logLine : "(ログに出力はありません)");
    AppendPiece(text, "ログファイル: %s\n", InCodePage932(logPath, path));
}

void ReportEncoderCommandMissing(const ExportJob* job, const char* name, const char* commandsPath) {
    char shownName[NameRoom], shownPath[NameRoom];
    TextComposition text;
    BeginReport(&text);
    InCodePage932(name, shownName);
    AppendPiece(&text, "エンコーダーのコマンド「%s」がこのコンピューターにありません\n", shownName);
    AppendPiece(&text, "コマンドファイル %s に\n",
                commandsPath[0] != 0 ? InCodePage932(commandsPath, shownPath) : "(不明)");
    AppendPiece(&text, "「%s = コマンドライン」の行を書いてください\n", shownName);
    Show(job, &text);
}

void ReportEncoderCommandUnusable(const ExportJob* job, const char* name, CommandProblem problem,
                                  const char* placeholder) {
    char shownName[NameRoom], shownPlaceholder[NameRoom];
    TextComposition text;
    BeginReport(&text);
    InCodePage932(name, shownName);
    if (problem == CommandBadPlaceholder) {
        AppendPiece(&text, "エンコーダーのコマンド「%s」の %s は使えません\n", shownName,
                    InCodePage932(placeholder, shownPlaceholder));
        AppendPiece(&text, "使える置き換えは {output} {output_noext} {width} {height} {rate} {bits} {chroma}\n");
        AppendPiece(&text, "と、括弧そのものを表す {{ }} です\n");
    } else if (problem == CommandTooLong) {
        AppendPiece(&text, "エンコーダーのコマンド「%s」が長すぎます\n", shownName);
    } else {
        AppendPiece(&text, "エンコーダーのコマンド「%s」に起動するプログラムがありません\n", shownName);
    }
    Show(job, &text);
}

void ReportEncoderProgramMissing(const ExportJob* job, const char* program) {
    char shown[NameRoom];
    TextComposition text;
    BeginReport(&text);
    AppendPiece(&text, "エンコーダーのプログラム %s が見つかりません\n", InCodePage932(program, shown));
    AppendPiece(&text, "絶対パスで書くか、環境変数 PATH のフォルダーに置いてください\n");
    Show(job, &text);
}

void ReportEncoderBatchRefused(const ExportJob* job, const char* program) {
    char shown[NameRoom];
    TextComposition text;
    BeginReport(&text);
    AppendPiece(&text, "バッチファイル %s はエンコーダーとして起動できません\n", InCodePage932(program, shown));
    AppendPiece(&text, "エンコーダーの実行ファイルを直接指定してください\n");
    Show(job, &text);
}

void ReportEncoderStartFailure(const ExportJob* job, const char* program) {
    char shown[NameRoom];
    TextComposition text;
    BeginReport(&text);
    AppendPiece(&text, "エンコーダー %s を起動できませんでした\n", InCodePage932(program, shown));
    AppendPiece(&text, "実行できるプログラムか確認してください\n");
    Show(job, &text);
}

void ReportEncoderLogRefused(const ExportJob* job, const char* logPath) {
    char shown[NameRoom];
    TextComposition text;
    BeginReport(&text);
    AppendPiece(&text, "エンコーダーのログファイル %s を作成できませんでした\n", InCodePage932(logPath, shown));
    AppendPiece(&text, "出力先のフォルダーを確認してください\n");
    Show(job, &text);
}

void ReportEncoderStopped(const ExportJob* job, int32_t framesRead, int32_t exitStatus, const char* logLine,
                          const char* logPath) {
    TextComposition text;
    BeginReport(&text);
    AppendPiece(&text, "エンコーダーが %d フレームを読んだところで停止しました (終了コード ", framesRead);
    AppendStatus(&text, exitStatus);
    AppendPiece(&text, ")\n");
    AppendLog(&text, logLine, logPath);
    Show(job, &text);
}

void ReportEncoderFailed(const ExportJob* job, int32_t exitStatus, const char* logLine, const char* logPath) {
    TextComposition text;
    BeginReport(&text);
    AppendPiece(&text, "エンコーダーがエラーで終了しました (終了コード ");
    AppendStatus(&text, exitStatus);
    AppendPiece(&text, ")\n");
    AppendLog(&text, logLine, logPath);
    Show(job, &text);
}

void ReportEncoderNoOutput(const ExportJob* job, const char* path, const char* logPath) {
    char shownPath[NameRoom], shownLog[NameRoom];
    TextComposition text;
    BeginReport(&text);
    AppendPiece(&text, "エンコーダーは終了コード 0 で終了しましたが、\n");
    AppendPiece(&text, "出力ファイル %s がないか空です\n", InCodePage932(path, shownPath));
    AppendPiece(&text, "ログファイル: %s\n", InCodePage932(logPath, shownLog));
    Show(job, &text);
}
