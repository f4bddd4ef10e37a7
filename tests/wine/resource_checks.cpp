// The dialog template and the version block, read back from the module's resources.
#include <string.h>

#include "plugin_version.h"
#include "resources/resource_ids.h"
#include "tests/wine/host_harness.h"

namespace {

struct Reader {
    const uint8_t* at;
    uint16_t Word() {
        uint16_t value;
        memcpy(&value, at, 2);
        at += 2;
        return value;
    }
    uint32_t Dword() {
        uint32_t value;
        memcpy(&value, at, 4);
        at += 4;
        return value;
    }
    // A name field: 0 for none, 0xFFFF + ordinal, or a UTF-16 text.
    std::wstring NameOrOrdinal(uint16_t* ordinal) {
        *ordinal = 0;
        if (reinterpret_cast<const uint16_t*>(at)[0] == 0xFFFF) {
            at += 2;
            *ordinal = Word();
            return L"";
        }
        std::wstring text;
        while (uint16_t c = Word()) text += static_cast<wchar_t>(c);
        return text;
    }
    void AlignDword(const uint8_t* base) {
        while ((at - base) % 4 != 0) ++at;
    }
};

struct ExpectedControl {
    int16_t id;
    const char* className;
    const char* caption;
    int16_t x, y, cx, cy;
    DWORD style;
};

}  // namespace

static void TestDialogTemplate() {
    HRSRC resource =
        FindResourceExA(gModule, MAKEINTRESOURCEA(5) /* RT_DIALOG */, MAKEINTRESOURCEA(ConfigDialogTemplate),
                        MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    CHECK(resource != nullptr);
    if (resource == nullptr) return;
    const uint8_t* base = static_cast<const uint8_t*>(LockResource(LoadResource(gModule, resource)));
    Reader r{base};
    const DWORD child = WS_CHILD | WS_VISIBLE;
    CHECK_EQ(r.Dword(), static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    CHECK_EQ(r.Dword(), 0u);  // extended style
    uint16_t count = r.Word();
    CHECK_EQ(count, 28);
    CHECK_EQ(static_cast<int16_t>(r.Word()), 0);
    CHECK_EQ(static_cast<int16_t>(r.Word()), 0);
    CHECK_EQ(static_cast<int16_t>(r.Word()), 400);
    CHECK_EQ(static_cast<int16_t>(r.Word()), 284);
    uint16_t ordinal;
    CHECK(r.NameOrOrdinal(&ordinal).empty() && ordinal == 0);  // no menu
    CHECK(r.NameOrOrdinal(&ordinal).empty() && ordinal == 0);  // the standard dialog class
    CHECK_EQ(r.NameOrOrdinal(&ordinal), Wide("YUV4MPEG2 出力設定"));
    CHECK_EQ(r.Word(), 9);  // points
    CHECK_EQ(r.NameOrOrdinal(&ordinal), Wide("ＭＳ Ｐゴシック"));

    const ExpectedControl expected[28] = {
        {-1, "Button", "カラーフォーマット", 7, 7, 186, 72, BS_GROUPBOX},
        {IdColor420, "Button", "YUV 420", 14, 21, 80, 14, BS_AUTORADIOBUTTON | WS_GROUP},
        {IdColor422, "Button", "YUV 422", 14, 39, 80, 14, BS_AUTORADIOBUTTON},
        {IdColor444, "Button", "YUV 444", 14, 57, 80, 14, BS_AUTORADIOBUTTON},
        {IdDepth8, "Button", "8 bit", 104, 21, 80, 14, BS_AUTORADIOBUTTON | WS_GROUP},
        {IdDepth10, "Button", "10 bit", 104, 39, 80, 14, BS_AUTORADIOBUTTON},
        {IdDepth12, "Button", "12 bit", 104, 57, 80, 14, BS_AUTORADIOBUTTON},
        {-1, "Button", "アスペクト比", 7, 86, 186, 90, BS_GROUPBOX},
        {IdAspectUnspecified, "Button", "指定しない", 14, 100, 160, 14, BS_AUTORADIOBUTTON | WS_GROUP},
        {IdAspect4x3, "Button", "4:3 (ディスプレイ)", 14, 118, 160, 14, BS_AUTORADIOBUTTON},
        {IdAspect16x9, "Button", "16:9 (ディスプレイ)", 14, 136, 160, 14, BS_AUTORADIOBUTTON},
        {IdAspectCustom, "Button", "カスタム (ピクセル)", 14, 154, 80, 14, BS_AUTORADIOBUTTON},
        {IdAspectNum, "Edit", "", 94, 154, 40, 14, ES_NUMBER | ES_RIGHT | WS_BORDER | WS_TABSTOP | WS_DISABLED},
        {-1, "Static", ":", 135, 156, 8, 14, SS_CENTER | WS_GROUP},
        {IdAspectDen, "Edit", "", 144, 154, 40, 14, ES_NUMBER | ES_RIGHT | WS_BORDER | WS_TABSTOP | WS_DISABLED},
        {-1, "Button", "インタレース / プログレッシブ", 7, 183, 186, 72, BS_GROUPBOX},
        {IdScanProgressive, "Button", "プログレッシブ", 14, 197, 160, 14, BS_AUTORADIOBUTTON | WS_GROUP},
        {IdScanTopFirst, "Button", "インタレース (トップ先頭)", 14, 215, 160, 14, BS_AUTORADIOBUTTON},
        {IdScanBottomFirst, "Button", "インタレース (ボトム先頭)", 14, 233, 160, 14, BS_AUTORADIOBUTTON},
        {1, "Button", "決定", 87, 262, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP},
        {2, "Button", "取り消し", 143, 262, 50, 14, BS_PUSHBUTTON | WS_TABSTOP},
        {-1, "Button", "出力先", 207, 7, 186, 248, BS_GROUPBOX},
        {IdDestinationFile, "Button", "ファイル", 214, 21, 160, 14, BS_AUTORADIOBUTTON | WS_GROUP},
        {IdDestinationEncoder, "Button", "エンコーダー (標準入力へ)", 214, 39, 160, 14, BS_AUTORADIOBUTTON},
        {IdEncoderName, "ComboBox", "", 214, 57, 172, 120, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP},
        {-1, "Static", "実行するコマンドライン", 214, 77, 172, 10, SS_LEFT},
        {IdEncoderCommandLine, "Edit", "", 214, 89, 172, 140,
         ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER},
        {IdEditCommands, "Button", "コマンドファイルを編集", 214, 235, 100, 14, BS_PUSHBUTTON | WS_TABSTOP},
    };
    // Predefined classes may be stored as atoms.
    // Predefined classes may be stored as atoms, and names in any case.
    auto classOf = [](const std::wstring& name, uint16_t atom) -> std::wstring {
        if (atom == 0x80) return L"Button";
        if (atom == 0x81) return L"Edit";
        if (atom == 0x82) return L"Static";
        if (atom == 0x85) return L"ComboBox";
        for (const wchar_t* known : {L"Button", L"Edit", L"Static", L"ComboBox"})
            if (_wcsicmp(name.c_str(), known) == 0) return known;
        return name;
    };
    for (int i = 0; i < count && i < 28; ++i) {
        const ExpectedControl& e = expected[i];
        r.AlignDword(base);
        DWORD style = r.Dword();
        DWORD exStyle = r.Dword();
        int16_t x = static_cast<int16_t>(r.Word()), y = static_cast<int16_t>(r.Word());
        int16_t cx = static_cast<int16_t>(r.Word()), cy = static_cast<int16_t>(r.Word());
        int16_t id = static_cast<int16_t>(r.Word());
        std::wstring className = r.NameOrOrdinal(&ordinal);
        className = classOf(className, ordinal);
        std::wstring caption = r.NameOrOrdinal(&ordinal);
        uint16_t extra = r.Word();
        r.at += extra;
        CHECK_EQ(style, e.style | child);
        CHECK_EQ(exStyle, 0u);
        CHECK(x == e.x && y == e.y && cx == e.cx && cy == e.cy);
        CHECK_EQ(id, e.id);
        CHECK_EQ(className, Wide(e.className));
        CHECK_EQ(caption, Wide(e.caption));
    }
}

static std::wstring VersionString(const std::vector<uint8_t>& block, const wchar_t* name) {
    std::wstring query = std::wstring(L"\\StringFileInfo\\041104b0\\") + name;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), query.c_str(), &value, &length) || value == nullptr) return L"<none>";
    return static_cast<const wchar_t*>(value);
}

static void TestVersionBlock() {
    const char* path = gModulePath.c_str();
    DWORD size = GetFileVersionInfoSizeA(path, nullptr);
    CHECK(size > 0);
    if (size == 0) return;
    std::vector<uint8_t> block(size);
    CHECK(GetFileVersionInfoA(path, 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    CHECK(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    if (fixed != nullptr) {
        // Numbers and texts both come from the one version.
        CHECK_EQ(fixed->dwFileVersionMS, DWORD(PLUGIN_VERSION_MAJOR << 16 | PLUGIN_VERSION_MINOR));
        CHECK_EQ(fixed->dwFileVersionLS, DWORD(PLUGIN_VERSION_PATCH << 16 | PLUGIN_VERSION_BUILD));
        CHECK_EQ(fixed->dwProductVersionMS, DWORD(PLUGIN_VERSION_MAJOR << 16 | PLUGIN_VERSION_MINOR));
        CHECK_EQ(fixed->dwProductVersionLS, DWORD(PLUGIN_VERSION_PATCH << 16));
    }
    CHECK_EQ(VersionString(block, L"FileVersion"), std::wstring(L"" PLUGIN_FILE_VERSION_TEXT));
    CHECK_EQ(VersionString(block, L"ProductVersion"), std::wstring(L"" PLUGIN_PRODUCT_VERSION_TEXT));
    CHECK_EQ(std::string(PLUGIN_FILE_VERSION_TEXT).rfind(PLUGIN_PRODUCT_VERSION_TEXT ".", 0), 0u);
    CHECK_EQ(VersionString(block, L"CompanyName"), std::wstring(L"Quillbeck"));
    // Each module names its own file: yuv4mpeg2.auo or yuv4mpeg2.auo2.
    const std::string fileName = gModulePath.substr(gModulePath.find_last_of("\\/") + 1);
    CHECK_EQ(VersionString(block, L"OriginalFilename"), Wide(fileName.c_str()));
    CHECK_EQ(VersionString(block, L"FileDescription"), Wide("YUV4MPEG2 出力"));
    DWORD* translation = nullptr;
    CHECK(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    if (translation != nullptr) CHECK_EQ(*translation, 0x04B00411u);
}

void TestResources() {
    TestDialogTemplate();
    TestVersionBlock();
}
