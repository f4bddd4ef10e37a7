#include "tests/test_support.h"

#include <dirent.h>
#include <iconv.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "aviutl1/aviutl1_table.h"

std::string Sjis(const std::string& utf8) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == (iconv_t)-1) throw std::runtime_error("iconv has no CP932");
    std::string out(utf8.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char* outPos = &out[0];
    size_t outLeft = out.size();
    if (iconv(cd, &in, &inLeft, &outPos, &outLeft) == (size_t)-1) {
        iconv_close(cd);
        throw std::runtime_error("text not representable in CP932: " + utf8);
    }
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool FileExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

static std::vector<std::string> gTempDirs;

static void RemoveTree(const std::string& path) {
    if (DIR* dir = opendir(path.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name == "." || name == "..") continue;
            std::string child = path + "/" + name;
            struct stat info;
            if (lstat(child.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
                chmod(child.c_str(), 0700);
                RemoveTree(child);
            } else {
                unlink(child.c_str());
            }
        }
        closedir(dir);
    }
    rmdir(path.c_str());
}

static void RemoveTempDirs() {
    for (const std::string& dir : gTempDirs) RemoveTree(dir);
}

std::string MakeTempDir() {
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/y4m-test-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    if (gTempDirs.empty()) atexit(RemoveTempDirs);
    gTempDirs.push_back(name.data());
    return name.data();
}

OutputSettings MakeSettings(int32_t colorFormat, int32_t aspectMode, int32_t num, int32_t den, int32_t interlaceMode) {
    OutputSettings settings = {};
    settings.colorFormat = colorFormat;
    settings.aspectMode = aspectMode;
    settings.pixelAspectNum = num;
    settings.pixelAspectDen = den;
    settings.interlaceMode = interlaceMode;
    return settings;
}

void LoadSettings(const OutputSettings& settings) {
    unsigned char blob[MaxSettingsBlobSize];
    EncodeSettingsBlob(&settings, blob);
    GetOutputPluginTable()->configSet(blob, SettingsBlobSizeOf(&settings));
}
