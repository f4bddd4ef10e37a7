// The settings dialog. Compiled with Shift-JIS as the execution character set
// for its one message. The procedure only dispatches; the functions it calls
// hold the logic (tests reach it through PluginConfig and the dialog itself).
#include "settings/config_dialog.h"

#include "platform/bounded_format.h"
#include "settings/color_formats.h"
#include "settings/destination_dialog.h"

// The colour format is two choices: the layout (4:2:0, 4:2:2, 4:4:4) and the
// depth (8, 10, 12 bits); the format's row says which button of each group
// it is. The layout's ids are not contiguous (4:4:4 came last), so its
// buttons are set one by one: a range would reach the aspect and scan
// choices between them.
static const int LayoutIds[] = {IdColor420, IdColor422, IdColor444};  // by ChromaLayout
static const int DepthIds[] = {IdDepth8, IdDepth10, IdDepth12};       // by DepthChoice

// Any pair of buttons the user can check is a row of the table.
constexpr bool EveryChoiceHasFormat(void) {
    for (int32_t layout = Chroma420; layout <= Chroma444; ++layout)
        for (int32_t depth = Depth8Bits; depth <= Depth12Bits; ++depth)
            if (ColorFormatIndexOf(static_cast<ChromaLayout>(layout), static_cast<DepthChoice>(depth)) < 0)
                return false;
    return true;
}
static_assert(EveryChoiceHasFormat(), "a pair of the dialog's colour buttons has no format");

static bool IsChecked(HWND dialog, int id) { return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }

static void EnableControl(HWND dialog, int id, BOOL enable) { EnableWindow(GetDlgItem(dialog, id), enable); }

// Checks the choices and fills the fields from a record. Codes outside the
// ranges show as the first choice of their group.
static void ShowSettingsInDialog(HWND dialog, const OutputSettings* settings) {
    // A colour code outside the table shows as 4:2:2, 8 bits.
    const ColorFormatInfo* format = FindColorFormat(settings->colorFormat);
    const ChromaLayout layout = format != nullptr ? format->layout : Chroma422;
    const DepthChoice depth = format != nullptr ? format->depthChoice : Depth8Bits;
    for (int32_t i = Chroma420; i <= Chroma444; ++i)
        SendDlgItemMessageA(dialog, LayoutIds[i], BM_SETCHECK, i == layout ? BST_CHECKED : BST_UNCHECKED, 0);
    CheckRadioButton(dialog, IdDepth8, IdDepth12, DepthIds[depth]);

    int aspect = IdAspectUnspecified;
    if (settings->aspectMode == AspectDisplay4x3) aspect = IdAspect4x3;
    if (settings->aspectMode == AspectDisplay16x9) aspect = IdAspect16x9;
    if (settings->aspectMode == AspectCustomPixel) aspect = IdAspectCustom;
    CheckRadioButton(dialog, IdAspectUnspecified, IdAspectCustom, aspect);
    BOOL custom = settings->aspectMode == AspectCustomPixel ? TRUE : FALSE;
    EnableControl(dialog, IdAspectNum, custom);
    EnableControl(dialog, IdAspectDen, custom);
    // Unsigned, as the fields take digits only: -1 shows as 4294967295.
    SetDlgItemInt(dialog, IdAspectNum, static_cast<UINT>(settings->pixelAspectNum), FALSE);
    SetDlgItemInt(dialog, IdAspectDen, static_cast<UINT>(settings->pixelAspectDen), FALSE);

    int scan = IdScanProgressive;
    if (settings->interlaceMode == InterlacedTopFirst) scan = IdScanTopFirst;
    if (settings->interlaceMode == InterlacedBottomFirst) scan = IdScanBottomFirst;
    CheckRadioButton(dialog, IdScanProgressive, IdScanBottomFirst, scan);
}

// The custom fields are enabled exactly while the custom choice is checked.
static void UpdateCustomAspectFields(HWND dialog) {
    BOOL custom = IsChecked(dialog, IdAspectCustom) ? TRUE : FALSE;
    EnableControl(dialog, IdAspectNum, custom);
    EnableControl(dialog, IdAspectDen, custom);
}

// Every control's value into a fresh record, whatever is enabled (the
// destination is read apart, as it may refuse).
static OutputSettings ReadSettingsFromDialog(HWND dialog) {
    OutputSettings settings = {};
    const ChromaLayout layout = IsChecked(dialog, IdColor420)   ? Chroma420
                                : IsChecked(dialog, IdColor444) ? Chroma444
                                                                : Chroma422;
    const DepthChoice depth = IsChecked(dialog, IdDepth10)   ? Depth10Bits
                              : IsChecked(dialog, IdDepth12) ? Depth12Bits
                                                             : Depth8Bits;
    settings.colorFormat = FindColorFormatOf(layout, depth)->code;
    if (IsChecked(dialog, IdAspectUnspecified))
        settings.aspectMode = AspectUnspecified;
    else if (IsChecked(dialog, IdAspect4x3))
        settings.aspectMode = AspectDisplay4x3;
    else if (IsChecked(dialog, IdAspect16x9))
        settings.aspectMode = AspectDisplay16x9;
    else
        settings.aspectMode = AspectCustomPixel;
    // An empty field reads 0; 2^31 and above come back negative.
    settings.pixelAspectNum = static_cast<int32_t>(GetDlgItemInt(dialog, IdAspectNum, nullptr, FALSE));
    settings.pixelAspectDen = static_cast<int32_t>(GetDlgItemInt(dialog, IdAspectDen, nullptr, FALSE));
    if (IsChecked(dialog, IdScanProgressive))
        settings.interlaceMode = Progressive;
    else if (IsChecked(dialog, IdScanTopFirst))
        settings.interlaceMode = InterlacedTopFirst;
    else
        settings.interlaceMode = InterlacedBottomFirst;
    return settings;
}

// OK may store the record: a custom aspect needs both numbers >= 1.
static bool DialogSettingsAcceptable(const OutputSettings* settings) {
    return settings->aspectMode != AspectCustomPixel ||
           (settings->pixelAspectNum >= 1 && settings->pixelAspectDen >= 1);
}

static void ReportInvalidCustomAspect(HWND dialog, const OutputSettings* settings, DialogRefusalBox showRefusal) {
    char message[1024];
    TextComposition text;
    BeginComposition(&text, message, sizeof message);
    AppendPiece(&text, "不正なカスタムピクセルアスペクト比 %d:%d が指定されています", settings->pixelAspectNum,
                settings->pixelAspectDen);
    EndComposition(&text);
    showRefusal(dialog, message);
}

// OK: every field at once, or nothing and the dialog stays open.
static void AcceptDialog(HWND dialog, DialogRefusalBox showRefusal) {
    OutputSettings chosen = ReadSettingsFromDialog(dialog);
    if (!DialogSettingsAcceptable(&chosen)) {
        ReportInvalidCustomAspect(dialog, &chosen, showRefusal);
        return;
    }
    if (!ReadDestinationFromDialog(dialog, &chosen, showRefusal)) return;
    OutputSettings* live = reinterpret_cast<OutputSettings*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
    *live = chosen;
    EndDialog(dialog, IDOK);
}

// Returns 0 for every message: initialisation leaves the focus where the
// system puts none.
INT_PTR DispatchConfigDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, DialogRefusalBox showRefusal) {
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrA(dialog, GWLP_USERDATA, static_cast<LONG_PTR>(lParam));
            ShowSettingsInDialog(dialog, reinterpret_cast<const OutputSettings*>(lParam));
            ShowDestinationInDialog(dialog, reinterpret_cast<const OutputSettings*>(lParam));
            break;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK: AcceptDialog(dialog, showRefusal); break;
                case IDCANCEL: EndDialog(dialog, IDCANCEL); break;
                case IdAspectUnspecified:
                case IdAspect4x3:
                case IdAspect16x9:
                case IdAspectCustom: UpdateCustomAspectFields(dialog); break;
                default: HandleDestinationCommand(dialog, LOWORD(wParam), HIWORD(wParam), showRefusal); break;
            }
            break;
        default: break;
    }
    return 0;
}

static void ShowNarrowRefusal(HWND dialog, const char* text) { MessageBoxA(dialog, text, "ERROR", MB_ICONERROR); }

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return DispatchConfigDialog(dialog, message, wParam, lParam, ShowNarrowRefusal);
}
