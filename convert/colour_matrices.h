// The two colour matrices the hosts use and the rule that picks one: BT.709
// from 720 lines, BT.601 below. The plug-in's deep kernels and y4mhost's
// pictures both read them here, so the rule is written once.
#pragma once

#include <stdint.h>

struct Matrix3 {
    double m[3][3];
};

struct LumaWeights {
    double kr, kb;
};
constexpr LumaWeights Bt601 = {0.299, 0.114};
constexpr LumaWeights Bt709 = {0.2126, 0.0722};

// The colour matrix follows the frame height, as the hosts themselves choose.
enum { Bt709FromHeight = 720 };
constexpr bool UsesBt709(int32_t height) { return height >= Bt709FromHeight; }
constexpr LumaWeights WeightsForHeight(int32_t height) { return UsesBt709(height) ? Bt709 : Bt601; }

// R'G'B' (0 to 1) to Y' (0 to 1), Pb and Pr (-1/2 to 1/2).
constexpr Matrix3 RgbToYpbpr(LumaWeights w) {
    const double kg = 1.0 - w.kr - w.kb;
    const double cb = 2.0 * (1.0 - w.kb), cr = 2.0 * (1.0 - w.kr);
    return Matrix3{
        {{w.kr, kg, w.kb}, {-w.kr / cb, -kg / cb, (1.0 - w.kb) / cb}, {(1.0 - w.kr) / cr, -kg / cr, -w.kb / cr}}};
}

// Y'PbPr to R'G'B', no clipping.
constexpr Matrix3 YpbprToRgb(LumaWeights w) {
    const double kg = 1.0 - w.kr - w.kb;
    const double toR = 2.0 * (1.0 - w.kr), toB = 2.0 * (1.0 - w.kb);
    return Matrix3{{{1.0, 0.0, toR}, {1.0, -w.kb * toB / kg, -w.kr * toR / kg}, {1.0, toB, 0.0}}};
}

constexpr Matrix3 Multiply(const Matrix3& a, const Matrix3& b) {
    Matrix3 p = {};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) p.m[i][j] += a.m[i][k] * b.m[k][j];
    return p;
}
