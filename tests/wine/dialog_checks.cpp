// The settings dialog through Wine's real user32, one user action at a time.
#include "resources/resource_ids.h"
#include "tests/wine/dialog_driver.h"

void TestDialog() {
    HWND owner = MakeOwner();

    // Initial state from a blob, caption and owner; cancel keeps everything.
    SetBlob({1, 3, 40, 33, 2});
    int result = RunDialog(owner, {Expect([owner](HWND d) {
                                       wchar_t caption[64] = {};
                                       GetWindowTextW(d, caption, 64);
                                       CHECK_EQ(std::wstring(caption), Wide("YUV4MPEG2 出力設定"));
                                       CHECK(GetWindow(d, GW_OWNER) == owner);
                                       CHECK(Checked(d, IdColor422) && !Checked(d, IdColor420));
                                       CHECK(Checked(d, IdAspectCustom) && !Checked(d, IdAspectUnspecified));
                                       CHECK(Enabled(d, IdAspectNum) && Enabled(d, IdAspectDen));
                                       CHECK_EQ(Text(d, IdAspectNum), std::string("40"));
                                       CHECK_EQ(Text(d, IdAspectDen), std::string("33"));
                                       CHECK(Checked(d, IdScanBottomFirst) && !Checked(d, IdScanProgressive));
                                   }),
                                   Click(IdColor420), Click(IdAspectUnspecified), Type(IdAspectNum, "1"),
                                   Click(IdScanProgressive), Click(IDCANCEL)});
    CHECK_EQ(result, 2);
    CHECK(GetBlob() == (std::vector<int32_t>{1, 3, 40, 33, 2}));

    // Codes outside the ranges show as first choices; numbers unsigned.
    SetBlob({9, 9, -1, INT32_MIN, -3});
    result = RunDialog(owner, {Expect([](HWND d) {
                                   CHECK(Checked(d, IdColor422));
                                   CHECK(Checked(d, IdAspectUnspecified));
                                   CHECK(!Enabled(d, IdAspectNum) && !Enabled(d, IdAspectDen));
                                   CHECK_EQ(Text(d, IdAspectNum), std::string("4294967295"));
                                   CHECK_EQ(Text(d, IdAspectDen), std::string("2147483648"));
                                   CHECK(Checked(d, IdScanProgressive));
                               }),
                               Click(IDCANCEL)});
    CHECK_EQ(result, 2);

    // OK without changes writes codes in range.
    SetBlob({-1, 9, 5, 6, -3});
    CHECK_EQ(RunDialog(owner, {Click(IDOK)}), 1);
    CHECK(GetBlob() == (std::vector<int32_t>{1, 0, 5, 6, 0}));

    // The enable step follows the custom choice.
    SetBlob({0, 0, 1, 1, 0});
    RunDialog(owner,
              {Click(IdAspectCustom), Expect([](HWND d) { CHECK(Enabled(d, IdAspectNum) && Enabled(d, IdAspectDen)); }),
               Click(IdAspect16x9), Expect([](HWND d) { CHECK(!Enabled(d, IdAspectNum) && !Enabled(d, IdAspectDen)); }),
               Click(IdAspectCustom), Click(IdColor422), Expect([](HWND d) { CHECK(Enabled(d, IdAspectNum)); }),
               Click(IDCANCEL)});

    // OK stores all five fields at once.
    SetBlob({0, 0, 0, 0, 0});
    result = RunDialog(owner, {Click(IdColor422), Click(IdAspectCustom), Type(IdAspectNum, "10"),
                               Type(IdAspectDen, "11"), Click(IdScanBottomFirst), Click(IDOK)});
    CHECK_EQ(result, 1);
    CHECK(GetBlob() == (std::vector<int32_t>{1, 3, 10, 11, 2}));
    CHECK(gBoxes.empty());

    // Layout and depth: the real buttons keep each group to itself (4:4:4,
    // added last, belongs to the layout's group, the depths start their own).
    SetBlob({8, 0, 0, 0, 0});
    result = RunDialog(owner, {Expect([](HWND d) {
                                   CHECK(Checked(d, IdColor444) && !Checked(d, IdColor420) && !Checked(d, IdColor422));
                                   CHECK(Checked(d, IdDepth12) && !Checked(d, IdDepth8));
                                   CHECK(Checked(d, IdAspectUnspecified) && Checked(d, IdScanProgressive));
                               }),
                               Click(IdColor420), Click(IdDepth10), Expect([](HWND d) {
                                   CHECK(!Checked(d, IdColor444) && !Checked(d, IdDepth12));
                                   CHECK(Checked(d, IdAspectUnspecified) && Checked(d, IdScanProgressive));
                               }),
                               Click(IDOK)});
    CHECK_EQ(result, 1);
    CHECK(GetBlob() == (std::vector<int32_t>{3, 0, 0, 0, 0}));
    CHECK_EQ(RunDialog(owner, {Click(IdColor444), Click(IdDepth8), Click(IDOK)}), 1);
    CHECK(GetBlob() == (std::vector<int32_t>{2, 0, 0, 0, 0}));

    // Values in the disabled fields are kept with a display aspect.
    SetBlob({0, 3, 40, 33, 0});
    CHECK_EQ(RunDialog(owner, {Click(IdAspect4x3), Click(IDOK)}), 1);
    CHECK(GetBlob() == (std::vector<int32_t>{0, 1, 40, 33, 0}));

    // Refusals: an empty field reads 0, 2^31 reads negative; the dialog stays
    // open, owns the box, and nothing changes until a valid OK.
    SetBlob({0, 0, 4, 3, 0});
    HWND refusingDialog = nullptr;
    result = RunDialog(
        owner, {Click(IdAspectCustom), Type(IdAspectNum, ""), Type(IdAspectDen, "11"), Click(IDOK),
                Expect([&refusingDialog](HWND d) {
                    refusingDialog = d;
                    CHECK_EQ(static_cast<long long>(gBoxes.size()), 1LL);
                    if (gBoxes.size() != 1) return;
                    CHECK_EQ(gBoxes[0].text, BoxText("不正なカスタムピクセルアスペクト比 0:11 が指定されています"));
                    CHECK(gBoxes[0].owner == d);
                    CHECK_EQ(gBoxes[0].caption, std::string("ERROR"));
                    CHECK_EQ(gBoxes[0].style, static_cast<UINT>(MB_ICONERROR));
                }),
                Type(IdAspectNum, "2147483648"), Click(IDOK), Expect([](HWND) {
                    CHECK_EQ(static_cast<long long>(gBoxes.size()), 2LL);
                    if (gBoxes.size() != 2) return;
                    CHECK_EQ(gBoxes[1].text,
                             BoxText("不正なカスタムピクセルアスペクト比 -2147483648:11 が指定されています"));
                }),
                Click(IDCANCEL)});
    CHECK_EQ(result, 2);
    CHECK(refusingDialog != nullptr);
    CHECK(GetBlob() == (std::vector<int32_t>{0, 0, 4, 3, 0}));

    // The Escape key and the close box arrive as cancel.
    SetBlob({0, 2, 0, 0, 1});
    CHECK_EQ(
        RunDialog(owner, {Click(IdColor422), [](HWND d) { SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0); }}),
        2);
    CHECK_EQ(RunDialog(owner, {[](HWND d) { SendMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }}), 2);
    CHECK(GetBlob() == (std::vector<int32_t>{0, 2, 0, 0, 1}));

    // Enter on an edit presses the default button.
    SetBlob({0, 0, 0, 0, 0});
    CHECK_EQ(
        RunDialog(owner, {Click(IdAspect16x9), [](HWND d) { SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0); }}),
        1);
    CHECK(GetBlob() == (std::vector<int32_t>{0, 2, 0, 0, 0}));

    DestroyWindow(owner);
    SetBlob({0, 0, 0, 0, 0});
}
