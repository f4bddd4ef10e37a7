// The report of a refused request. Compiled with Shift-JIS as the execution
// character set: the literals below reach the message box in code page 932.
#include "platform/message_buffer.h"
#include "settings/output_settings.h"

// Each block is written when its own condition holds; together the three
// conditions are exactly those CheckOutputParameters refuses, so a report
// never consists of its title alone.
void ComposeParameterProblems(const OutputSettings* settings, int32_t width, int32_t height) {
    TextComposition text;
    BeginReport(&text);
    AppendPiece(&text, "出力パラメータに問題があります\n\n");
    const int32_t widthMultiple = RequiredWidthMultiple(settings);
    const int32_t heightMultiple = RequiredHeightMultiple(settings);
    if (width % widthMultiple != 0) {
        AppendPiece(&text, "- 映像の幅 %d が %d の倍数ではありません\n", width, widthMultiple);
        AppendPiece(&text, "  このプラグインで出力する際には\n");
        AppendPiece(&text, "  映像の幅を %d の倍数に設定する必要があります\n", widthMultiple);
        AppendPiece(&text, "  「サイズの変更」等で問題のない映像の幅に変更してください\n");
    }
    if (height % heightMultiple != 0) {
        // Scan codes outside the range count as interlaced, as in the check.
        if (settings->interlaceMode != Progressive) {
            AppendPiece(&text, "- 映像の高さ %d が %d の倍数ではありません\n", height, heightMultiple);
            AppendPiece(&text, "  YUV420 フォーマットでインタレースオプションを有効にするには\n");
            AppendPiece(&text, "  映像の高さを %d の倍数に設定する必要があります\n", heightMultiple);
            AppendPiece(&text, "  「サイズの変更」等で問題のない映像の高さに変更してください\n");
        } else {
            AppendPiece(&text, "- 映像の高さ %d が %d の倍数ではありません\n", height, heightMultiple);
            AppendPiece(&text, "  YUV420 フォーマットで出力する際には\n");
            AppendPiece(&text, "  映像の高さを %d の倍数に設定する必要があります\n", heightMultiple);
            AppendPiece(&text, "  「サイズの変更」等で問題のない映像の高さに変更してください\n");
        }
    }
    if (!SettingsInRange(settings)) {
        AppendPiece(&text, "- プラグインの設定が正しく行われていません\n");
        AppendPiece(&text, "  設定ダイアログを開いて「決定」ボタンを押して\n");
        AppendPiece(&text, "  正しく設定を完了してください\n");
    }
    EndComposition(&text);
}

void ReportParameterProblems(const OutputSettings* settings, int32_t width, int32_t height) {
    ComposeParameterProblems(settings, width, height);
    ShowMessageBuffer();
}
