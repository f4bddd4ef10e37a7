// The deep formats' numbers as written out in words, in double precision and
// with no regard for speed: the yardstick for the deep converters.
#pragma once

#include <math.h>
#include <stdint.h>

#include <vector>

struct LumaPair {
    double kr, kb;
};

inline LumaPair ModelWeights(int height) { return height >= 720 ? LumaPair{0.2126, 0.0722} : LumaPair{0.299, 0.114}; }

// Y', Pb, Pr of one pixel: three signed values of YC48 (BT.601 in 1/4096,
// taken through R'G'B' to BT.709 from 720 lines) or three of PA64's R, G, B.
inline void ModelYpbpr(bool pa64, int height, int a, int b, int c, double out[3]) {
    const LumaPair to = ModelWeights(height);
    double r, g, bl;
    if (pa64) {
        r = a / 65535.0, g = b / 65535.0, bl = c / 65535.0;
    } else {
        const double y = a / 4096.0, pb = b / 4096.0, pr = c / 4096.0;
        if (height < 720) {
            out[0] = y, out[1] = pb, out[2] = pr;
            return;
        }
        const LumaPair from = {0.299, 0.114};
        r = y + 2 * (1 - from.kr) * pr;
        bl = y + 2 * (1 - from.kb) * pb;
        g = (y - from.kr * r - from.kb * bl) / (1 - from.kr - from.kb);
    }
    const double y = to.kr * r + (1 - to.kr - to.kb) * g + to.kb * bl;
    out[0] = y;
    out[1] = (bl - y) / (2 * (1 - to.kb));
    out[2] = (r - y) / (2 * (1 - to.kr));
}

// Y, Cb, Cr as real-valued codes before rounding and clipping.
inline void ModelCodes(bool pa64, int height, int bits, int a, int b, int c, double out[3]) {
    const double s = 1 << (bits - 8);
    ModelYpbpr(pa64, height, a, b, c, out);
    out[0] = 219 * s * out[0] + 16 * s;
    out[1] = 224 * s * out[1] + 128 * s;
    out[2] = 224 * s * out[2] + 128 * s;
}

inline int ModelClip(double code, int bits) {
    const double top = (1 << bits) - 1;
    const double rounded = floor(code + 0.5);
    return static_cast<int>(rounded < 0 ? 0 : rounded > top ? top : rounded);
}

// Whether `sample` is the code for `code`: the nearest one, or its neighbour
// where the real value lies within 1/8 of a code of the midpoint between them.
inline bool ModelAdmits(double code, int bits, int sample) {
    if (sample == ModelClip(code, bits)) return true;
    const double midpoint = floor(code) + 0.5;
    return fabs(code - midpoint) <= 0.125 &&
           (sample == ModelClip(code - 0.25, bits) || sample == ModelClip(code + 0.25, bits));
}
