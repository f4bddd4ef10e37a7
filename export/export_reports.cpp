// Compiled with Shift-JIS as the execution character set: the literals below
// reach the message box in code page 932. A path too long for the buffer is
// cut to its first 2047 bytes.
#include "export/export_reports.h"

#include "platform/message_buffer.h"

void ReportOpenFailure(const char* path) {
    TextComposition text;
    BeginReport(&text);
    AppendPiece(&text,
                "保存先ファイル %s を開くことができませんでした\n"
                "ファイル名を正しく指定しているか確認してください",
                path);
    ShowReport(&text);
}

void ReportOutOfMemory(void) {
    TextComposition text;
    BeginReport(&text);
    AppendPiece(&text,
                "メモリの確保に失敗しました\n"
                "利用可能なメモリ量や異常にメモリを消費している\n"
                "他のアプリケーションがないか確認してみてください\n");
    ShowReport(&text);
}

void ReportFrameFetchFailure(int32_t frameIndex) {
    TextComposition text;
    BeginReport(&text);
    AppendPiece(&text,
                "フレーム %d を AviUtl 本体から取得することに失敗しました\n"
                "再度実行しても同じエラーがでる場合は、プラグインの作者に詳細な再現方法を報告してください\n",
                frameIndex);
    ShowReport(&text);
}

void ReportWriteFailure(void) {
    TextComposition text;
    BeginReport(&text);
    AppendPiece(&text,
                "ファイルへのデータ書き込みに失敗しました\n"
                "データ出力先の空き容量を確認してください\n");
    ShowReport(&text);
}

void ReportUnsupportedFrameSize(int32_t width, int32_t height) {
    TextComposition text;
    BeginReport(&text);
    AppendPiece(&text,
                "映像のサイズ %d x %d には対応していません\n"
                "「サイズの変更」等で映像のサイズを変更してください\n",
                width, height);
    ShowReport(&text);
}
