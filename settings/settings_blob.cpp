// The settings' 20-byte persisted form: the one codec of the module, its
// tests and y4mhost.
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

void EncodeSettingsBlob(const OutputSettings* settings, unsigned char* blob) {
    PutLittleEndian(blob + 0, settings->colorFormat);
    PutLittleEndian(blob + 4, settings->aspectMode);
    PutLittleEndian(blob + 8, settings->pixelAspectNum);
    PutLittleEndian(blob + 12, settings->pixelAspectDen);
    PutLittleEndian(blob + 16, settings->interlaceMode);
}

void DecodeSettingsBlob(const unsigned char* blob, OutputSettings* settings) {
    settings->colorFormat = GetLittleEndian(blob + 0);
    settings->aspectMode = GetLittleEndian(blob + 4);
    settings->pixelAspectNum = GetLittleEndian(blob + 8);
    settings->pixelAspectDen = GetLittleEndian(blob + 12);
    settings->interlaceMode = GetLittleEndian(blob + 16);
}
