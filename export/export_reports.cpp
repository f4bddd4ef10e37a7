// Compiled with Shift-JIS as the execution character set: the literals below
// are composed in code page 932, the form the host's boundary starts from.
#include "export/export_reports.h"

#include "platform/message_buffer.h"
#include "settings/output_settings.h"

static void ShowJobReport(const ExportJob* job, TextComposition* text, int pathAt) {
    EndComposition(text);
    job->showReport(job, pathAt);
}

void ReportRefusedSettings(const ExportJob* job) {
    ComposeParameterProblems(job->settings, job->width, job->height);
    job->showReport(job, -1);
}

// The path is a piece of its own, so a host whose path is no byte string can
// put it in at pathAt; a byte path too long for the buffer is cut to the
// report's first 2047 bytes, as one piece would be.
void ReportOpenFailure(const ExportJob* job) {
    TextComposition text;
    BeginReport(&text);
    AppendPiece(&text, "保存先ファイル ");
    const int pathAt = text.position;
    if (job->reportPath != nullptr) AppendPiece(&text, "%s", job->reportPath);
    AppendPiece(&text,
                " を開くことができませんでした\n"
                "ファイル名を正しく指定しているか確認してください");
    ShowJobReport(job, &text, pathAt);
}

void ReportOutOfMemory(const ExportJob* job) {
    TextComposition text;
    BeginReport(&text);
    AppendPiece(&text,
                "メモリの確保に失敗しました\n"
                "利用可能なメモリ量や異常にメモリを消費している\n"
                "他のアプリケーションがないか確認してみてください\n");
    ShowJobReport(job, &text, -1);
}

void ReportFrameFetchFailure(const ExportJob* job, int32_t frameIndex) {
    TextComposition text;
    BeginReport(&text);
    AppendPiece(&text,
                "フレーム %d を AviUtl 本体から取得することに失敗しました\n"
                "再度実行しても同じエラーがでる場合は、プラグインの作者に詳細な再現方法を報告してください\n",
                frameIndex);
    ShowJobReport(job, &text, -1);
}

void ReportWriteFailure(const ExportJob* job) {
    TextComposition text;
    BeginReport(&text);
    AppendPiece(&text,
                "ファイルへのデータ書き込みに失敗しました\n"
                "データ出力先の空き容量を確認してください\n");
    ShowJobReport(job, &text, -1);
}

void ReportUnsupportedFrameSize(const ExportJob* job) {
    TextComposition text;
    BeginReport(&text);
    AppendPiece(&text,
                "映像のサイズ %d x %d には対応していません\n"
                "「サイズの変更」等で映像のサイズを変更してください\n",
                job->width, job->height);
    ShowJobReport(job, &text, -1);
}
