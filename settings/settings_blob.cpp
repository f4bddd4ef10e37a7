// The settings' persisted form: the one codec of the module, its tests and
// y4mhost.
//
// Offset  Size  Field
//      0     4  colorFormat       } the 20-byte blob of a file export, as
//      4     4  aspectMode        } every version has written it: each field
//      8     4  pixelAspectNum    } little-endian two's complement, no magic,
//     12     4  pixelAspectDen    } no version
//     16     4  interlaceMode     }
//     20     4  destination       } only when the stream goes to an encoder
//     24    64  encoderName       } (88 bytes): the command's name, UTF-8,
//                                   NUL-padded; its command line stays in the
//                                   user's own file
#include <string.h>

#include "settings/output_settings.h"

static void PutLittleEndian(unsigned char* bytes, int32_t value) {
    uint32_t bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
}

static int32_t GetLittleEndian(const unsigned char* bytes) {
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) bits |= static_cast<uint32_t>(bytes[i]) << (8 * i);
    return static_cast<int32_t>(bits);
}

int32_t SettingsBlobSizeOf(const OutputSettings* settings) {
    return settings->destination == DestinationFile ? SettingsBlobSize : EncoderSettingsBlobSize;
}

void EncodeSettingsBlob(const OutputSettings* settings, unsigned char* blob) {
    PutLittleEndian(blob + 0, settings->colorFormat);
    PutLittleEndian(blob + 4, settings->aspectMode);
    PutLittleEndian(blob + 8, settings->pixelAspectNum);
    PutLittleEndian(blob + 12, settings->pixelAspectDen);
    PutLittleEndian(blob + 16, settings->interlaceMode);
    if (SettingsBlobSizeOf(settings) == SettingsBlobSize) return;
    PutLittleEndian(blob + 20, settings->destination);
    // Padded with NULs, so the same settings always give the same bytes.
    memset(blob + 24, 0, EncoderNameSize);
    memcpy(blob + 24, settings->encoderName, strnlen(settings->encoderName, EncoderNameSize - 1));
}

bool DecodeSettingsBlob(const unsigned char* blob, int32_t size, OutputSettings* settings) {
    if (blob == nullptr || (size != SettingsBlobSize && size != EncoderSettingsBlobSize)) return false;
    settings->colorFormat = GetLittleEndian(blob + 0);
    settings->aspectMode = GetLittleEndian(blob + 4);
    settings->pixelAspectNum = GetLittleEndian(blob + 8);
    settings->pixelAspectDen = GetLittleEndian(blob + 12);
    settings->interlaceMode = GetLittleEndian(blob + 16);
    settings->destination = size == SettingsBlobSize ? DestinationFile : GetLittleEndian(blob + 20);
    memset(settings->encoderName, 0, EncoderNameSize);
    // A name is taken up to its first NUL, and never past the 63rd byte.
    if (size == EncoderSettingsBlobSize)
        memcpy(settings->encoderName, blob + 24,
               strnlen(reinterpret_cast<const char*>(blob + 24), EncoderNameSize - 1));
    return true;
}
