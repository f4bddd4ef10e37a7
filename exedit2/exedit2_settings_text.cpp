// The one line ExEdit2 shows beside the output: each choice in the dialog's
// words, joined by ", ". A code no choice has (from a project) shows as its
// number.
#include "exedit2/exedit2_table.h"
#include "platform/bounded_format.h"
#include "platform/system_text.h"
#include "settings/color_formats.h"
#include "settings/output_settings.h"

// The longest line, with two ten-digit negative numbers and a command name of
// 63 units in it, is 145 units.
enum { SettingsTextSize = 192 };
static WideChar gSettingsText[SettingsTextSize];

struct WideLine {
    int position;
};

static void AppendText(WideLine* line, const WideChar* text) {
    for (; *text != 0 && line->position < SettingsTextSize - 1; ++text) gSettingsText[line->position++] = *text;
}

// ASCII digits, signs and colons become UTF-16 as they are.
static void AppendAscii(WideLine* line, const char* text) {
    for (; *text != 0 && line->position < SettingsTextSize - 1; ++text)
        gSettingsText[line->position++] = static_cast<WideChar>(static_cast<unsigned char>(*text));
}

static void AppendNumber(WideLine* line, int32_t value) {
    char digits[16];
    FormatBounded(digits, sizeof digits, "%d", value);
    AppendAscii(line, digits);
}

// choices[code] for a code in 0..count-1, else the code as a number.
static void AppendChoice(WideLine* line, int32_t code, const WideChar* const* choices, int32_t count) {
    if (code >= 0 && code < count)
        AppendText(line, choices[code]);
    else
        AppendNumber(line, code);
}

const WideChar* PluginSettingsText(void) {
    static const WideChar* const Aspects[] = {WIDE_TEXT("指定しない"), WIDE_TEXT("4:3 (ディスプレイ)"),
                                              WIDE_TEXT("16:9 (ディスプレイ)")};
    static const WideChar* const Scans[] = {WIDE_TEXT("プログレッシブ"), WIDE_TEXT("インタレース (トップ先頭)"),
                                            WIDE_TEXT("インタレース (ボトム先頭)")};
    const OutputSettings* settings = &gOutputSettings;
    WideLine line = {0};
    // The colour format in its table's words (ASCII), or its number.
    const ColorFormatInfo* format = FindColorFormat(settings->colorFormat);
    if (format != nullptr)
        AppendAscii(&line, format->name);
    else
        AppendNumber(&line, settings->colorFormat);
    AppendText(&line, WIDE_TEXT(", "));
    if (settings->aspectMode == AspectCustomPixel) {
        AppendText(&line, WIDE_TEXT("カスタム "));
        AppendNumber(&line, settings->pixelAspectNum);
        AppendAscii(&line, ":");
        AppendNumber(&line, settings->pixelAspectDen);
    } else {
        AppendChoice(&line, settings->aspectMode, Aspects, 3);
    }
    AppendText(&line, WIDE_TEXT(", "));
    AppendChoice(&line, settings->interlaceMode, Scans, 3);
    // Where it goes: the file, or the encoder command by its name.
    if (settings->destination == DestinationEncoder) {
        WideChar name[EncoderNameSize];
        WideFromUtf8(settings->encoderName, name, EncoderNameSize);
        AppendText(&line, WIDE_TEXT(", エンコーダー "));
        AppendText(&line, name);
    } else {
        static const WideChar* const Destinations[] = {WIDE_TEXT("ファイル")};
        AppendText(&line, WIDE_TEXT(", "));
        AppendChoice(&line, settings->destination, Destinations, 1);
    }
    gSettingsText[line.position] = 0;
    return gSettingsText;
}
