#include "y4mhost/host_options.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>

#include "settings/color_formats.h"
#include "settings/output_settings.h"

// A colour format's name on the command line ("420", "444p12"); a code
// outside the table as its number.
std::string ColorFormatOptionName(int32_t code) {
    const ColorFormatInfo* format = FindColorFormat(code);
    return format != nullptr ? format->option : std::to_string(code);
}

const char HostUsage[] =
    "usage: y4mhost [INPUT] [options] -o OUTPUT.y4m\n"
    "Exports video through a YUV4MPEG2 output plug-in, as its host would.\n"
    "\n"
    "  INPUT, -i, --input FILE  any video file FFmpeg's libraries read: its first video\n"
    "                          stream, at its own size, rate, frame count, field order and\n"
    "                          sample aspect (each option below overrides what the file\n"
    "                          says). Native build only: the Windows build takes --raw\n"
    "                          and the pattern. Without an input: a moving test pattern\n"
    "      --raw FILE|-        raw packed YUY2 frames instead (ffmpeg -f rawvideo\n"
    "                          -pix_fmt yuyv422); needs --size and --rate\n"
    "  -o, --output FILE|-     the .y4m file to write (required; never the input file);\n"
    "                          - is standard output (native build only)\n"
    "  -y, --overwrite         replace an existing output file (refused without it)\n"
    "      --encoder 'COMMAND' export into COMMAND's standard input instead of a file, as\n"
    "                          the plug-in's encoder destination does (no shell: Windows'\n"
    "                          quoting rules; {output} {output_noext} {width} {height}\n"
    "                          {rate} {bits} {chroma} put in, -o naming {output}); e.g.\n"
    "                          --encoder 'x265 --y4m --input - -o {output_noext}.hevc'\n"
    "      --size WxH          frame size (pattern default 1280x720; scales a video file)\n"
    "      --rate N[/D]        frame rate (pattern default 30000/1001; 30 means 30/1); a\n"
    "                          video file is laid on a timeline of this rate\n"
    "      --frames N          frames to export (default: 300 of the pattern, every frame\n"
    "                          of a file; required with --raw -)\n"
    "      --format F          colour format: 420 422 444 (8-bit), 420p10 422p10 444p10,\n"
    "                          420p12 422p12 444p12 (default: a video file's own layout\n"
    "                          and depth, the nearest of these; 420 otherwise)\n"
    "      --aspect none|4:3|16:9|N:D   aspect tag; N:D is a custom pixel aspect\n"
    "      --scan progressive|tff|bff   scan type\n"
    "      --settings FILE     start from a 20-byte settings blob\n"
    "      --save-settings FILE  store the settings blob used, as the host does\n"
    "      --config            open the plug-in's settings dialog first (Windows build)\n"
    "      --plugin FILE       the plug-in module (default: the one built with this host)\n"
    "      --still             serve one pre-rendered pattern frame for every index\n"
    "      --quiet             no progress bar\n"
    "      --version           the version of y4mhost\n"
    "  -h, --help              this text\n"
    "\n"
    "Exit status: 0 exported, 1 the plug-in failed or the reader of -o - closed it,\n"
    "2 bad command line or input (nothing written), 130 interrupted.\n";

static bool ParseInt(const char* text, int32_t* value) {
    errno = 0;
    char* end = nullptr;
    long long parsed = strtoll(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || parsed < INT32_MIN || parsed > INT32_MAX) return false;
    *value = static_cast<int32_t>(parsed);
    return true;
}

// "AxB" or "A:B" or "A/B" into two integers.
static bool ParsePair(const char* text, char separator, int32_t* a, int32_t* b) {
    const char* split = strchr(text, separator);
    if (split == nullptr) return false;
    std::string first(text, split);
    return ParseInt(first.c_str(), a) && ParseInt(split + 1, b);
}

bool ParseHostOptions(int argc, char** argv, HostOptions* o, std::string* error) {
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        std::string inlineValue;
        bool hasInline = false;
        size_t equals = name.find('=');
        if (name.compare(0, 2, "--") == 0 && equals != std::string::npos) {
            inlineValue = name.substr(equals + 1);
            name = name.substr(0, equals);
            hasInline = true;
        }
        auto value = [&](const char** out) {
            if (hasInline) {
                *out = argv[i] + equals + 1;
                return true;
            }
            if (i + 1 >= argc) {
                *error = "option " + name + " needs a value";
                return false;
            }
            *out = argv[++i];
            return true;
        };
        const char* v = nullptr;
        if (name == "-h" || name == "--help") {
            o->help = true;
        } else if (name == "--version") {
            o->version = true;
        } else if (name == "--config") {
            o->config = true;
        } else if (name == "--still") {
            o->still = true;
        } else if (name == "--quiet") {
            o->quiet = true;
        } else if (name == "-y" || name == "--overwrite") {
            o->overwrite = true;
        } else if (name == "-o" || name == "--output") {
            if (!value(&v)) return false;
            o->outputPath = v;
        } else if (name == "-i" || name == "--input") {
            if (!value(&v)) return false;
            if (!o->videoPath.empty()) {
                *error = "more than one input: " + o->videoPath + " and " + v;
                return false;
            }
            o->videoPath = v;
        } else if (name == "--raw") {
            if (!value(&v)) return false;
            o->rawPath = v;
        } else if (name == "--plugin") {
            if (!value(&v)) return false;
            o->pluginPath = v;
        } else if (name == "--encoder") {
            if (!value(&v)) return false;
            o->encoderCommand = v;
            if (o->encoderCommand.find_first_not_of(" \t") == std::string::npos ||
                o->encoderCommand.find_first_of("\r\n") != std::string::npos) {
                *error =
                    "bad --encoder: give one command line, e.g. --encoder 'x265 --y4m --input - -o "
                    "{output_noext}.hevc'";
                return false;
            }
        } else if (name == "--settings") {
            if (!value(&v)) return false;
            o->settingsPath = v;
        } else if (name == "--save-settings") {
            if (!value(&v)) return false;
            o->saveSettingsPath = v;
        } else if (name == "--size") {
            if (!value(&v)) return false;
            if (!ParsePair(v, 'x', &o->width, &o->height) || o->width <= 0 || o->height <= 0) {
                *error = std::string("bad --size '") + v + "': expected WxH with positive numbers, e.g. 1920x1080";
                return false;
            }
            o->sizeGiven = true;
        } else if (name == "--rate") {
            if (!value(&v)) return false;
            // A whole number is a rate of that many frames a second.
            bool parsed = strchr(v, '/') != nullptr ? ParsePair(v, '/', &o->rate, &o->scale) : ParseInt(v, &o->rate);
            if (strchr(v, '/') == nullptr) o->scale = 1;
            if (!parsed || o->rate <= 0 || o->scale <= 0) {
                *error =
                    std::string("bad --rate '") + v + "': expected N or N/D with positive numbers, e.g. 30000/1001";
                return false;
            }
            o->rateGiven = true;
        } else if (name == "--frames") {
            if (!value(&v)) return false;
            if (!ParseInt(v, &o->frames) || o->frames < 0) {
                *error = std::string("bad --frames '") + v + "': expected a count of 0 or more";
                return false;
            }
        } else if (name == "--format") {
            if (!value(&v)) return false;
            o->colorFormat = -1;
            std::string names;
            for (const ColorFormatInfo& format : ColorFormats) {
                if (strcmp(format.option, v) == 0) o->colorFormat = format.code;
                names += (names.empty() ? "" : " ") + std::string(format.option);
            }
            if (o->colorFormat < 0) {
                *error = std::string("bad --format '") + v + "': expected one of " + names;
                return false;
            }
        } else if (name == "--scan") {
            if (!value(&v)) return false;
            if (strcmp(v, "progressive") == 0)
                o->interlaceMode = Progressive;
            else if (strcmp(v, "tff") == 0)
                o->interlaceMode = InterlacedTopFirst;
            else if (strcmp(v, "bff") == 0)
                o->interlaceMode = InterlacedBottomFirst;
            else {
                *error = std::string("bad --scan '") + v + "': expected progressive, tff or bff";
                return false;
            }
        } else if (name == "--aspect") {
            if (!value(&v)) return false;
            if (strcmp(v, "none") == 0)
                o->aspectMode = AspectUnspecified;
            else if (strcmp(v, "4:3") == 0)
                o->aspectMode = AspectDisplay4x3;
            else if (strcmp(v, "16:9") == 0)
                o->aspectMode = AspectDisplay16x9;
            else if (ParsePair(v, ':', &o->aspectNum, &o->aspectDen) && o->aspectNum > 0 && o->aspectDen > 0)
                o->aspectMode = AspectCustomPixel;
            else {
                *error = std::string("bad --aspect '") + v + "': expected none, 4:3, 16:9 or N:D (positive)";
                return false;
            }
        } else if (name == "-") {
            *error = "unexpected '-': use --raw - for raw YUY2 on standard input";
            return false;
        } else if (!name.empty() && name[0] != '-') {
            if (!o->videoPath.empty()) {
                *error = "more than one input: " + o->videoPath + " and " + name;
                return false;
            }
            o->videoPath = name;
        } else {
            *error = "unknown option '" + name + "' (see --help)";
            return false;
        }
    }
    if (o->help || o->version) return true;
    if (o->outputPath.empty()) {
        *error = "no output file: give -o OUTPUT.y4m";
        return false;
    }
    if (!o->encoderCommand.empty() && o->outputPath == "-") {
        *error = "--encoder takes the stream: -o names the output its {output} stands for, not -";
        return false;
    }
    if (!o->videoPath.empty() && !o->rawPath.empty()) {
        *error = "give either a video file or --raw, not both";
        return false;
    }
    if (!o->rawPath.empty() && (!o->sizeGiven || !o->rateGiven)) {
        *error = "--raw needs --size WxH and --rate N/D: raw YUY2 does not say them";
        return false;
    }
    if (o->rawPath == "-" && o->frames < 0) {
        *error = "--frames is needed when reading standard input";
        return false;
    }
    if (o->still && (!o->videoPath.empty() || !o->rawPath.empty())) {
        *error = "--still serves the built-in pattern: give no input with it";
        return false;
    }
    return true;
}
