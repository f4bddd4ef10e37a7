// Whole exports through each host's table (AviUtl 1.x's and ExEdit2's; the
// 32-bit build has only the first), with a fake host recording each call.
#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <sys/resource.h>

#include <string>
#include <vector>

#include "convert/converter_table.h"
#include "export/export_job.h"
#include "aviutl1/aviutl1_table.h"
#if Y4M_WITH_EXEDIT2
#include "exedit2/exedit2_table.h"
#endif
#include "platform/stub_user32.h"
#include "tests/fake_host.h"
#include "tests/frame_model.h"
#include "tests/test_support.h"

namespace {

#if Y4M_WITH_EXEDIT2
bool FakeIsAbortBool() { return FakeIsAbort() != 0; }
void FakeShowProgressVoid(int now, int total) { FakeShowProgress(now, total); }
#endif

enum Host { AviUtl1 = 1, ExEdit2 = 2 };

class Export : public ::testing::TestWithParam<Host> {
protected:
    void SetUp() override {
        gFakeHost = &host;
        dir = MakeTempDir();
        path = dir + "/out.y4m";
        PluginInit();
        StubResetMessageBoxes();
        StubSetMessageBoxEcho(0);
    }
    void TearDown() override { StubSetMessageBoxEcho(1); }

    int Run(int frameCount, int rate = 30000, int scale = 1001, bool withPath = true) {
#if Y4M_WITH_EXEDIT2
        if (GetParam() == ExEdit2) {
            const std::u16string widePath(path.begin(), path.end());  // the tests' paths are ASCII
            ExEdit2OutputInfo request = {};
            request.flags = OutputFlagVideo;
            request.width = host.width;
            request.height = host.height;
            request.rate = rate;
            request.scale = scale;
            request.frameCount = frameCount;
            request.outputPath = withPath ? widePath.c_str() : nullptr;
            request.getVideo = FakeGetFrame;
            request.isAbort = FakeIsAbortBool;
            request.showProgress = FakeShowProgressVoid;
            return GetExEdit2PluginTable()->output(&request) ? 1 : 0;
        }
#endif
        OutputRequest request = {};
        request.width = host.width;
        request.height = host.height;
        request.rate = rate;
        request.scale = scale;
        request.frameCount = frameCount;
        request.outputPath = withPath ? path.c_str() : nullptr;
        request.isAbort = FakeIsAbort;
        request.showProgress = FakeShowProgress;
        request.updatePreview = FakeUpdatePreview;
        request.getFrame = FakeGetFrame;
        return GetOutputPluginTable()->output(&request);
    }

    // What the file must hold: header line, then `records` frame records of
    // the frames the host served, as the per-sample model makes them.
    std::string Expected(const std::string& header, int records) {
        if (SourcePictureOf(&gOutputSettings, HostPicture()) != FrameFormatYuy2) {
            // Deep formats: the reference converter (each sample checked on its own elsewhere).
            const FrameConverter convert =
                ChooseFrameConverterOf(ConverterVariantAt(0), &gOutputSettings, HostPicture());
            std::string bytes = header;
            for (int i = 0; i < records; ++i) {
                std::vector<uint8_t> frame(
                    static_cast<size_t>(PlanarFrameSize(&gOutputSettings, host.width, host.height)));
                convert(frame.data(), host.frames[i].data(), host.width, host.height);
                bytes += "FRAME\n" + std::string(frame.begin(), frame.end());
            }
            return bytes;
        }
        const FrameLayout layout = gOutputSettings.colorFormat == Yuv422          ? Planar422
                                   : gOutputSettings.interlaceMode == Progressive ? Progressive420
                                                                                  : Interlaced420;
        std::string bytes = header;
        for (int i = 0; i < records; ++i) {
            std::vector<uint8_t> frame = ModelFrame(layout, host.frames[i].data(), host.width, host.height);
            bytes += "FRAME\n" + std::string(frame.begin(), frame.end());
        }
        return bytes;
    }

    std::string BoxText() { return StubMessageBoxCount() ? StubLastMessageBox()->text : ""; }
    // A text as the host under test shows it: code page 932 bytes, or (ExEdit2)
    // UTF-16, which the stand-in box keeps as UTF-8.
    std::string Shown(const std::string& utf8) { return GetParam() == ExEdit2 ? utf8 : Sjis(utf8); }
    std::string OpenFailureText(const std::string& path) {
        return Shown("保存先ファイル ") + path +
               Shown(" を開くことができませんでした\nファイル名を正しく指定しているか確認してください");
    }
    bool HostHasPreview() { return GetParam() == AviUtl1; }
    // The host's precise picture: 1.x's YC48, ExEdit2's PA64.
    uint32_t HostPicture() { return GetParam() == ExEdit2 ? FrameFormatPa64 : FrameFormatYc48; }

    FakeHost host;
    std::string dir, path;
};

const std::string Header8x8 = "YUV4MPEG2 W8 H8 F30000:1001 Ip A0:0 C420mpeg2 XYSCSS=420MPEG2\n";

TEST_P(Export, HostCallsInOrder) {
    for (int frames : {0, 31, 32, 100}) {
        host.calls.clear();
        host.frameQuestions = 0;
        EXPECT_EQ(Run(frames), 1);
        EXPECT_EQ(host.calls, ExpectedHostCalls(frames, HostHasPreview())) << frames << " frames";
        EXPECT_EQ(ReadWholeFile(path), Expected(Header8x8, frames)) << frames << " frames";
    }
    EXPECT_EQ(StubMessageBoxCount(), 0);
}

TEST_P(Export, FilesInEachMode) {
    struct Mode {
        OutputSettings settings;
        int width, height;
        std::string header;
    };
    const Mode modes[] = {
        {MakeSettings(0, 1, 0, 0, 0), 720, 480, "YUV4MPEG2 W720 H480 F30000:1001 Ip A8:9 C420mpeg2 XYSCSS=420MPEG2\n"},
        {MakeSettings(0, 2, 0, 0, 1), 720, 480,
         "YUV4MPEG2 W720 H480 F30000:1001 It A32:27 C420mpeg2 XYSCSS=420MPEG2\n"},
        {MakeSettings(1, 3, 16, 15, 2), 720, 576, "YUV4MPEG2 W720 H576 F30000:1001 Ib A16:15 C422 XYSCSS=422\n"},
        {MakeSettings(1, 0, 0, 0, 0), 2, 1, "YUV4MPEG2 W2 H1 F30000:1001 Ip A0:0 C422 XYSCSS=422\n"},
        {MakeSettings(0, 0, 0, 0, 0), 2, 2, "YUV4MPEG2 W2 H2 F30000:1001 Ip A0:0 C420mpeg2 XYSCSS=420MPEG2\n"},
        {MakeSettings(0, 0, 0, 0, 0), 0, 0, "YUV4MPEG2 W0 H0 F30000:1001 Ip A0:0 C420mpeg2 XYSCSS=420MPEG2\n"},
        {MakeSettings(2, 0, 0, 0, 0), 5, 3,
         "YUV4MPEG2 W5 H3 F30000:1001 Ip A0:0 C444 XYSCSS=444 XCOLORRANGE=LIMITED\n"},
        {MakeSettings(3, 2, 0, 0, 1), 1280, 720,
         "YUV4MPEG2 W1280 H720 F30000:1001 It A1:1 C420p10 XYSCSS=420P10 XCOLORRANGE=LIMITED\n"},
        {MakeSettings(4, 0, 0, 0, 0), 34, 7,
         "YUV4MPEG2 W34 H7 F30000:1001 Ip A0:0 C422p10 XYSCSS=422P10 XCOLORRANGE=LIMITED\n"},
        {MakeSettings(5, 0, 0, 0, 2), 33, 5,
         "YUV4MPEG2 W33 H5 F30000:1001 Ib A0:0 C444p10 XYSCSS=444P10 XCOLORRANGE=LIMITED\n"},
        {MakeSettings(6, 0, 0, 0, 0), 720, 480,
         "YUV4MPEG2 W720 H480 F30000:1001 Ip A0:0 C420p12 XYSCSS=420P12 XCOLORRANGE=LIMITED\n"},
        {MakeSettings(7, 0, 0, 0, 1), 1920, 1080,
         "YUV4MPEG2 W1920 H1080 F30000:1001 It A0:0 C422p12 XYSCSS=422P12 XCOLORRANGE=LIMITED\n"},
        {MakeSettings(8, 0, 0, 0, 0), 1, 1,
         "YUV4MPEG2 W1 H1 F30000:1001 Ip A0:0 C444p12 XYSCSS=444P12 XCOLORRANGE=LIMITED\n"},
    };
    for (const Mode& mode : modes) {
        LoadSettings(mode.settings);
        host.width = mode.width;
        host.height = mode.height;
        host.frames.clear();
        ASSERT_EQ(Run(3), 1) << mode.header;
        EXPECT_EQ(host.lastFormat, SourcePictureOf(&mode.settings, HostPicture())) << mode.header;
        std::string file = ReadWholeFile(path);
        EXPECT_EQ(file.size(), mode.header.size() + 3 * (6 + PlanarFrameSize(&mode.settings, mode.width, mode.height)));
        EXPECT_EQ(file, Expected(mode.header, 3)) << mode.header;
    }
    EXPECT_EQ(StubMessageBoxCount(), 0);
}

TEST_P(Export, AbortStopsWithoutAMessage) {
    host.abortAt = 0;
    EXPECT_EQ(Run(10), 0);
    EXPECT_EQ(ReadWholeFile(path), Header8x8);
    EXPECT_EQ(host.calls, std::vector<std::string>{"abort?"});

    host = FakeHost();
    host.abortAt = 3;
    EXPECT_EQ(Run(10), 0);
    EXPECT_EQ(ReadWholeFile(path), Expected(Header8x8, 3));
    EXPECT_EQ(StubMessageBoxCount(), 0);
}

TEST_P(Export, MissingFrameIsReported) {
    host.nullFrameAt = 5;
    EXPECT_EQ(Run(10), 0);
    EXPECT_EQ(ReadWholeFile(path), Expected(Header8x8, 5));
    EXPECT_EQ(StubMessageBoxCount(), 1);
    EXPECT_EQ(BoxText(),
              Shown("フレーム 5 を AviUtl 本体から取得することに失敗しました\n"
                    "再度実行しても同じエラーがでる場合は、プラグインの作者に詳細な再現方法を報告してください\n"));
    EXPECT_EQ(StubLastMessageBox()->owner, nullptr);
    EXPECT_STREQ(StubLastMessageBox()->caption, "ERROR");
    EXPECT_EQ(StubLastMessageBox()->style, MB_ICONERROR);
}

TEST_P(Export, OpenFailuresQuoteThePath) {
    path = dir + "/missing/out.y4m";
    EXPECT_EQ(Run(3), 0);
    EXPECT_EQ(BoxText(), OpenFailureText(path));
    EXPECT_TRUE(host.calls.empty());

    StubResetMessageBoxes();
    path = dir;  // a directory
    EXPECT_EQ(Run(3), 0);
    EXPECT_EQ(StubMessageBoxCount(), 1);
    EXPECT_EQ(BoxText(), OpenFailureText(path));

    // A path longer than the message buffer: the text is cut to 2047 bytes
    // (ExEdit2: UTF-16 units).
    StubResetMessageBoxes();
    path = dir + "/" + std::string(3000, 'x') + "/out.y4m";
    EXPECT_EQ(Run(3), 0);
    EXPECT_EQ(StubLastMessageBox()->textLength, 2047);
    EXPECT_EQ(OpenFailureText(path).compare(0, BoxText().size(), BoxText()), 0);
}

// A host that passes no path gets the open failure report, not a crash.
TEST_P(Export, NoPathIsAnOpenFailure) {
    EXPECT_EQ(Run(3, 30000, 1001, false), 0);
    EXPECT_EQ(StubMessageBoxCount(), 1);
    EXPECT_EQ(BoxText(), OpenFailureText(""));
    EXPECT_TRUE(host.calls.empty());
}

TEST_P(Export, RefusedRequestsLeaveTheFileAlone) {
    WriteWholeFile(path, "precious");
    LoadSettings(MakeSettings(9, 0, 0, 0, 0));
    EXPECT_EQ(Run(3), 0);
    EXPECT_EQ(StubMessageBoxCount(), 1);
    EXPECT_EQ(BoxText(), Shown("出力パラメータに問題があります\n\n"
                               "- プラグインの設定が正しく行われていません\n"
                               "  設定ダイアログを開いて「決定」ボタンを押して\n"
                               "  正しく設定を完了してください\n"));
    EXPECT_EQ(ReadWholeFile(path), "precious");
    EXPECT_TRUE(host.calls.empty());
}

// Sizes the check lets through but no 32-bit export can hold.
TEST_P(Export, UnsupportedSizesAreRefusedBeforeTheFile) {
    WriteWholeFile(path, "precious");
    struct Case {
        int width, height;
        int32_t colorFormat = Yuv420;
    };
    // The deep ones: 20000 x 20000 8-bit 4:4:4 is a 1.2 GB frame, but its
    // YC48 or PA64 picture is 2.4 or 3.2 GB; 18920 x 18920 in 12 bits is a
    // frame of over 2 GiB.
    for (Case c : {Case{-4, 480}, Case{640, -480}, Case{-2, -2}, Case{32768, 32768}, Case{46342, 23170},
                   Case{2, 1073741824}, Case{20000, 20000, Yuv444}, Case{18920, 18920, Yuv444P12}, Case{-1, 3, Yuv444},
                   Case{INT32_MAX, INT32_MAX, Yuv444P12}}) {
        LoadSettings(MakeSettings(c.colorFormat, 0, 0, 0, 0));
        StubResetMessageBoxes();
        host.width = c.width;
        host.height = c.height;
        EXPECT_EQ(Run(3), 0);
        EXPECT_EQ(StubMessageBoxCount(), 1);
        EXPECT_EQ(BoxText(), Shown("映像のサイズ " + std::to_string(c.width) + " x " + std::to_string(c.height) +
                                   " には対応していません\n「サイズの変更」等で映像のサイズを変更してください\n"));
        EXPECT_STREQ(StubLastMessageBox()->caption, "ERROR");
        EXPECT_EQ(ReadWholeFile(path), "precious");
    }
    EXPECT_TRUE(host.calls.empty());
}

int OpenDescriptorCount() {
    int count = 0;
    if (DIR* fds = opendir("/proc/self/fd")) {
        while (readdir(fds) != nullptr) ++count;
        closedir(fds);
    }
    return count;
}

const std::string WriteFailureText =
    "ファイルへのデータ書き込みに失敗しました\nデータ出力先の空き容量を確認してください\n";

TEST_P(Export, HeaderWriteFailure) {
    path = "/dev/full";
    EXPECT_EQ(Run(3), 0);
    EXPECT_EQ(BoxText(), Shown(WriteFailureText));
    EXPECT_TRUE(host.calls.empty());
}

// The file may grow only to `limit` bytes: the write that crosses it fails.
class WriteLimit {
public:
    explicit WriteLimit(rlim_t limit) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved_;
        lowered.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~WriteLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit saved_;
    void (*previousHandler_)(int);
};

// Each write of a 3-frame export fails in turn (header, then each marker and
// each frame), storing part of its bytes first: one exact report, result 0,
// and the file holds exactly what was stored before the failure.
TEST_P(Export, EveryWriteCanFail) {
    const size_t header = Header8x8.size(), record = 6 + 96;
    struct Case {
        size_t limit;
        const char* what;
    };
    const Case cases[] = {
        {header - 10, "header"},
        {header + 3, "marker 0"},
        {header + 6 + 50, "frame 0"},
        {header + record + 2, "marker 1"},
        {header + record + 6 + 1, "frame 1"},
        {header + 2 * record, "marker 2"},
        {header + 2 * record + 6 + 95, "frame 2"},
    };
    for (const Case& c : cases) {
        StubResetMessageBoxes();
        host = FakeHost();
        int descriptorsBefore = OpenDescriptorCount();
        int result;
        {
            WriteLimit limit(c.limit);
            result = Run(3);
        }
        EXPECT_EQ(result, 0) << c.what;
        EXPECT_EQ(StubMessageBoxCount(), 1) << c.what;
        EXPECT_EQ(BoxText(), Shown(WriteFailureText)) << c.what;
        EXPECT_EQ(OpenDescriptorCount(), descriptorsBefore) << c.what;
        int served = static_cast<int>(host.frames.size());
        EXPECT_EQ(ReadWholeFile(path), Expected(Header8x8, served).substr(0, c.limit)) << c.what;
    }
}

// An existing file the user may not write: refused at the open, kept as it
// was. Root may write anything, so as root the export runs in a child that
// has given up its privileges.
TEST_P(Export, ReadOnlyFileIsNotTouched) {
    WriteWholeFile(path, "precious");
    chmod(path.c_str(), 0444);
    chmod(dir.c_str(), 0777);
    auto attempt = [this]() {
        StubResetMessageBoxes();
        int result = Run(3);
        return result == 0 && StubMessageBoxCount() == 1 && BoxText() == OpenFailureText(path) && host.calls.empty() &&
               ReadWholeFile(path) == "precious";
    };
    if (geteuid() != 0) {
        EXPECT_TRUE(attempt());
        return;
    }
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        bool dropped = setgid(65534) == 0 && setuid(65534) == 0;
        _exit(dropped && attempt() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(ReadWholeFile(path), "precious");
}

TEST_P(Export, NoDescriptorOutlivesAnExport) {
    int before = OpenDescriptorCount();
    EXPECT_EQ(Run(3), 1);
    host = FakeHost();
    host.abortAt = 1;
    EXPECT_EQ(Run(3), 0);
    host = FakeHost();
    host.nullFrameAt = 2;
    EXPECT_EQ(Run(3), 0);
    path = dir + "/missing/x.y4m";
    EXPECT_EQ(Run(3), 0);
    EXPECT_EQ(OpenDescriptorCount(), before);
}

// A 32-bit process runs out of address space before memory, and under qemu
// (which leaves address-space limits to itself) a limit would not bind: there
// the space is filled instead, but for a margin the test's own calls need.
class AddressSpaceFiller {
public:
    explicit AddressSpaceFiller(size_t margin) {
        blocks_.reserve(8192);
        for (size_t size = size_t(1) << 28; size >= (size_t(1) << 16) && blocks_.size() < blocks_.capacity();) {
            void* block = mmap(nullptr, size, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
            if (block == MAP_FAILED)
                size /= 2;
            else
                blocks_.push_back({block, size});
        }
        for (size_t freed = 0; freed < margin && !blocks_.empty(); blocks_.pop_back()) {
            freed += blocks_.back().size;
            munmap(blocks_.back().start, blocks_.back().size);
        }
    }
    ~AddressSpaceFiller() {
        for (const Block& block : blocks_) munmap(block.start, block.size);
    }

private:
    struct Block {
        void* start;
        size_t size;
    };
    std::vector<Block> blocks_;
};

TEST_P(Export, OutOfMemoryIsReported) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves more address space than the limit allows";
#else
    // 4:2:2 at 32766 x 32766 wants a 2 GiB buffer; allow the process far less.
    LoadSettings(MakeSettings(1, 0, 0, 0, 0));
    host.width = 32766;
    host.height = 32766;
    int result = 0;
    if (sizeof(void*) == 4) {
        AddressSpaceFiller filler(size_t(256) << 20);
        result = Run(3);
    } else {
        rlimit saved;
        getrlimit(RLIMIT_AS, &saved);
        rlimit lowered = saved;
        lowered.rlim_cur = 1ull << 30;
        setrlimit(RLIMIT_AS, &lowered);
        result = Run(3);
        setrlimit(RLIMIT_AS, &saved);
    }
    EXPECT_EQ(result, 0);
    EXPECT_EQ(BoxText(), Shown("メモリの確保に失敗しました\n利用可能なメモリ量や異常にメモリを消費している\n"
                               "他のアプリケーションがないか確認してみてください\n"));
    EXPECT_EQ(ReadWholeFile(path), "");  // created, and left empty
    EXPECT_TRUE(host.calls.empty());
#endif
}

#if Y4M_WITH_EXEDIT2
INSTANTIATE_TEST_SUITE_P(BothHosts, Export, ::testing::Values(AviUtl1, ExEdit2),
#else
INSTANTIATE_TEST_SUITE_P(BothHosts, Export, ::testing::Values(AviUtl1),
#endif
                         [](const ::testing::TestParamInfo<Host>& info) {
                             return info.param == AviUtl1 ? "AviUtl1" : "ExEdit2";
                         });

}  // namespace
