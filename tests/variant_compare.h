// Every converter variant against the scalar reference, on random frames of
// awkward sizes with the source at an odd address: the native tests and the
// Windows test host (through a 32-bit build's stack) run the same cases.
//
// Reference and variant write into buffers pre-filled with two different
// sentinels, so a byte one of them skips shows: each byte must either be the
// same in both, or be left as its own sentinel in both.
#pragma once

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "convert/converter_table.h"
#include "tests/test_random.h"

enum : uint8_t { ReferenceSentinel = 0x5A, VariantSentinel = 0xC3 };
enum { SentinelGuard = 96 };

struct VariantShape {
    int width, height;
};

inline std::vector<VariantShape> VariantShapes() {
    std::vector<VariantShape> shapes;
    for (int width = 2; width <= 130; width += 2)
        for (int height : {1, 2, 3, 4, 5, 6, 7, 8, 9, 12}) shapes.push_back({width, height});
    for (int width = 1900; width <= 1940; width += 2) shapes.push_back({width, 6});
    shapes.push_back({1920, 12});
    // Sizes the check refuses, given directly: odd widths, stray rows.
    for (int width : {1, 3, 33, 65, 97, 1921}) shapes.push_back({width, 9});
    return shapes;
}

inline std::vector<uint8_t> ConvertOverSentinel(FrameConverter convert, const std::vector<uint8_t>& src, int width,
                                                int height, size_t frameSize, uint8_t sentinel) {
    std::vector<uint8_t> shifted(src.size() + 1);
    if (!src.empty()) memcpy(shifted.data() + 1, src.data(), src.size());
    std::vector<uint8_t> out(frameSize + SentinelGuard, sentinel);
    convert(out.data(), shifted.data() + 1, width, height);
    return out;
}

// "" when the variant's output equals the reference's; else where it first differs.
inline std::string CompareConverters(FrameConverter variant, FrameConverter reference, const std::vector<uint8_t>& src,
                                     int width, int height, size_t frameSize) {
    std::vector<uint8_t> expected = ConvertOverSentinel(reference, src, width, height, frameSize, ReferenceSentinel);
    std::vector<uint8_t> actual = ConvertOverSentinel(variant, src, width, height, frameSize, VariantSentinel);
    for (size_t i = 0; i < expected.size(); ++i) {
        bool bothSkipped = expected[i] == ReferenceSentinel && actual[i] == VariantSentinel;
        if (actual[i] != expected[i] && !bothSkipped) {
            char where[96];
            snprintf(where, sizeof where, "%dx%d: byte %zu of %zu is %d, not %d", width, height, i, frameSize,
                     actual[i], expected[i]);
            return where;
        }
    }
    return "";
}

// Every deep slot of a variant that holds a converter, with the size of its
// frames and the bytes of its picture's pixel.
struct DeepConverterPair {
    const char* picture;
    int32_t code;
    FrameConverter variant, reference;
    int pixelBytes;
};
inline std::vector<DeepConverterPair> DeepConverterPairs(const ConverterVariant* variant,
                                                         const ConverterVariant* reference) {
    std::vector<DeepConverterPair> pairs;
    for (const HostPictureInfo& picture : HostPictures) {
        if (picture.coding == CodedYuy2) continue;
        for (const ColorFormatInfo& format : ColorFormats)
            for (bool interlaced : {false, true}) {
                FrameConverter reference_ = ConverterIn(reference, picture.format, format.code, interlaced);
                if (reference_ == nullptr) continue;
                pairs.push_back({picture.name, format.code,
                                 ConverterIn(variant, picture.format, format.code, interlaced), reference_,
                                 picture.pixelBytes});
            }
    }
    return pairs;
}

// Every shape in all three YUY2 layouts and every deep conversion; "" when all match.
inline std::string CompareVariantOnShapes(const ConverterVariant* variant, const ConverterVariant* reference) {
    for (const VariantShape& shape : VariantShapes()) {
        const int w = shape.width, h = shape.height;
        std::vector<uint8_t> src = RandomBytes(static_cast<size_t>(2 * w * h), w * 7919 + h);
        const size_t size420 = static_cast<size_t>(w * h + w * h / 2), size422 = static_cast<size_t>(2 * w * h);
        std::string found =
            CompareConverters(ConverterIn(variant, FrameFormatYuy2, Yuv420, false),
                              ConverterIn(reference, FrameFormatYuy2, Yuv420, false), src, w, h, size420);
        if (found.empty())
            found = CompareConverters(ConverterIn(variant, FrameFormatYuy2, Yuv420, true),
                                      ConverterIn(reference, FrameFormatYuy2, Yuv420, true), src, w, h, size420);
        if (found.empty())
            found = CompareConverters(ConverterIn(variant, FrameFormatYuy2, Yuv422, false),
                                      ConverterIn(reference, FrameFormatYuy2, Yuv422, false), src, w, h, size422);
        if (!found.empty()) return std::string(variant->name) + " " + found;
        // Deep pictures of any values, and of values as hosts make them (each
        // 16 bits within +-4096), which take the fixed-point paths.
        for (bool hostLike : {false, true}) {
            for (const DeepConverterPair& pair : DeepConverterPairs(variant, reference)) {
                std::vector<uint8_t> deep =
                    RandomBytes(static_cast<size_t>(pair.pixelBytes * w * h), w * 104729 + h + hostLike);
                for (size_t i = 0; hostLike && i + 1 < deep.size(); i += 2) {
                    const int v = ((deep[i] | deep[i + 1] << 8) & 0x1FFF) - 0x1000;
                    deep[i] = static_cast<uint8_t>(v);
                    deep[i + 1] = static_cast<uint8_t>(v >> 8);
                }
                OutputSettings settings = {};
                settings.colorFormat = pair.code;
                found = CompareConverters(pair.variant, pair.reference, deep, w, h,
                                          static_cast<size_t>(PlanarFrameSize(&settings, w, h)));
                if (!found.empty())
                    return std::string(variant->name) + " " + pair.picture + " code " + std::to_string(pair.code) +
                           (hostLike ? " host-like " : " ") + found;
            }
        }
    }
    return "";
}

// The variants this processor runs, after the reference; says which it cannot check.
inline std::vector<const ConverterVariant*> RunnableVariants() {
    std::vector<const ConverterVariant*> variants;
    for (int i = 1; i < ConverterVariantCount(); ++i) {
        if (ConverterVariantAt(i)->available())
            variants.push_back(ConverterVariantAt(i));
        else
            printf("variant %s: not checked, this processor or system does not run it\n", ConverterVariantAt(i)->name);
    }
    return variants;
}
