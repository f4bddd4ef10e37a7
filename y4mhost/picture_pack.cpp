#include "y4mhost/picture_pack.h"

#include <thread>

extern "C" {
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <libyuv/convert_from.h>
#include <libyuv/planar_functions.h>

#include "convert/colour_matrices.h"
#include "settings/color_formats.h"
#include "export/export_job.h"
#include "y4mhost/precise_picture.h"

// A libswscale context and what it was made for; made anew when a picture
// needs another (a stream may change size or format).
struct Converter {
    SwsContext* context;
    int sourceWidth, sourceHeight, sourceFormat, width, height, format, flags;
    bool fullRange;
    int matrix;
};

struct PicturePacker {
    Converter reducer;  // to 8-bit limited range at the picture's own layout
    Converter scaler;   // straight to YUY2
    AVFrame* reduced;
    Converter deepener;  // to limited-range planes the precise pictures are read from
    AVFrame* deepened;
};

static PicturePacker gPacker;

static bool FullRange(AVPixelFormat format, AVColorRange range) {
    return range == AVCOL_RANGE_JPEG || format == AV_PIX_FMT_YUVJ420P || format == AV_PIX_FMT_YUVJ422P ||
           format == AV_PIX_FMT_YUVJ444P || format == AV_PIX_FMT_YUVJ440P || format == AV_PIX_FMT_YUVJ411P;
}

SourcePictures DescribeSourcePictures(AVPixelFormat format, AVColorRange range) {
    SourcePictures source;
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(format);
    const char* name = av_get_pix_fmt_name(format);
    source.depth = d != nullptr ? d->comp[0].depth : 8;
    const bool rgb = d != nullptr && (d->flags & AV_PIX_FMT_FLAG_RGB);
    source.fullRange = !rgb && FullRange(format, range);
    if (d == nullptr)
        source.layout = "unknown";
    else if (rgb)
        source.layout = "RGB";
    else if (d->nb_components < 3)
        source.layout = "grey";
    else
        source.layout = "4:" + std::to_string(4 >> d->log2_chroma_w) + ":" +
                        std::to_string(d->log2_chroma_h ? 0 : 4 >> d->log2_chroma_w);
    source.description = std::string(name != nullptr ? name : "unknown") + (rgb                ? ""
                                                                            : source.fullRange ? ", full range"
                                                                                               : ", limited range");
    // Layout: chroma halved both ways, halved (or less) across, or full; RGB
    // and grey as 4:4:4 and 4:2:0. Depth: the format of that layout with the
    // fewest bits that hold the source's, else the deepest.
    ChromaLayout layout = Chroma420;
    if (d != nullptr && !rgb && d->nb_components >= 3)
        layout = d->log2_chroma_w == 0 ? Chroma444 : d->log2_chroma_h ? Chroma420 : Chroma422;
    if (rgb) layout = Chroma444;
    const ColorFormatInfo* nearest = nullptr;
    for (const ColorFormatInfo& format : ColorFormats) {
        if (format.layout != layout) continue;
        const bool holds = format.bits >= source.depth,
                   nearestHolds = nearest != nullptr && nearest->bits >= source.depth;
        if (nearest == nullptr || (holds && (!nearestHolds || format.bits < nearest->bits)) ||
            (!holds && !nearestHolds && format.bits > nearest->bits))
            nearest = &format;
    }
    source.nearestColorFormat = nearest->code;
    return source;
}

// The 8-bit limited-range planar format of the same chroma layout, for the
// layouts YUY2 holds sample for sample; AV_PIX_FMT_NONE for the others.
static AVPixelFormat ExactLayout(const AVFrame* picture) {
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(picture->format));
    if (d == nullptr || (d->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL)) || d->nb_components < 3)
        return AV_PIX_FMT_NONE;
    if (d->log2_chroma_w == 1 && d->log2_chroma_h == 1) return AV_PIX_FMT_YUV420P;
    if (d->log2_chroma_w == 1 && d->log2_chroma_h == 0) return AV_PIX_FMT_YUV422P;
    return AV_PIX_FMT_NONE;
}

// Each chroma row of 4:2:0 is repeated for the picture rows it covers
// (within its field, for an interlaced picture): the plug-in's 4:2:0 mean of
// two equal rows, and its 4:2:2 copy, then give back the source's own samples.
static bool PackPlanes(const uint8_t* const* p, const int* s, AVPixelFormat format, bool interlaced, int width,
                       int height, uint8_t* yuy2) {
    const int stride = 2 * width;
    if (format == AV_PIX_FMT_YUV422P) {
        libyuv::I422ToYUY2(p[0], s[0], p[1], s[1], p[2], s[2], yuy2, stride, width, height);
        return true;
    }
    if (!interlaced) {
        if (height % 2 != 0) return false;
        libyuv::I420ToYUY2(p[0], s[0], p[1], s[1], p[2], s[2], yuy2, stride, width, height);
        return true;
    }
    // Each field is a 4:2:0 picture of every other row, with every other
    // chroma row: the top field rows 0, 2, ... and chroma rows 0, 2, ...
    if (height % 4 != 0) return false;
    for (int field = 0; field < 2; ++field)
        libyuv::I420ToYUY2(p[0] + field * s[0], 2 * s[0], p[1] + field * s[1], 2 * s[1], p[2] + field * s[2], 2 * s[2],
                           yuy2 + field * stride, 2 * stride, width, height / 2);
    return true;
}

// A scratch frame of this size and format, (re)allocated when either
// changes; null when it cannot be had.
static AVFrame* ScratchFrame(AVFrame** slot, int32_t width, int32_t height, AVPixelFormat format) {
    AVFrame* frame = *slot != nullptr ? *slot : (*slot = av_frame_alloc());
    if (frame != nullptr && (frame->width != width || frame->height != height || frame->format != format)) {
        av_frame_unref(frame);
        frame->width = width;
        frame->height = height;
        frame->format = format;
        if (av_frame_get_buffer(frame, 0) < 0) av_frame_unref(frame);
    }
    return frame != nullptr && frame->data[0] != nullptr ? frame : nullptr;
}

// The formats whose names say "j" are their plain namesakes at full range:
// libswscale is given the plain one and the range (given a "j" one, it warns
// and, its cached context never matching again, is made anew every picture).
static AVPixelFormat PlainFormat(AVPixelFormat format) {
    switch (format) {
        case AV_PIX_FMT_YUVJ420P: return AV_PIX_FMT_YUV420P;
        case AV_PIX_FMT_YUVJ422P: return AV_PIX_FMT_YUV422P;
        case AV_PIX_FMT_YUVJ444P: return AV_PIX_FMT_YUV444P;
        case AV_PIX_FMT_YUVJ440P: return AV_PIX_FMT_YUV440P;
        case AV_PIX_FMT_YUVJ411P: return AV_PIX_FMT_YUV411P;
        default: return format;
    }
}

static bool IsRgb(AVPixelFormat format) {
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(format);
    return d != nullptr && (d->flags & AV_PIX_FMT_FLAG_RGB);
}

// Full-range sources come out at limited range (as AviUtl's own input brings
// them), whether or not their format's name says "j". The ranges are given
// before the context is made: set afterwards, libswscale leaves them unused
// for sources deeper than 8 bits. A Y'CbCr source keeps its own matrix (one
// matrix on both sides: two different ones would send the picture through
// RGB, clipped); an RGB source is coded with the matrix the hosts use for its
// height, BT.709 from 720 lines and BT.601 below.
static SwsContext* ConverterFor(Converter* c, const AVFrame* picture, int32_t width, int32_t height,
                                AVPixelFormat target, int flags) {
    const AVPixelFormat source = PlainFormat(static_cast<AVPixelFormat>(picture->format));
    const bool rgb = IsRgb(source);
    const bool full = !rgb && FullRange(static_cast<AVPixelFormat>(picture->format), picture->color_range);
    const int matrix = rgb && UsesBt709(height) ? SWS_CS_ITU709 : SWS_CS_ITU601;
    if (c->context != nullptr && c->sourceWidth == picture->width && c->sourceHeight == picture->height &&
        c->sourceFormat == source && c->width == width && c->height == height && c->format == target &&
        c->flags == flags && c->fullRange == full && c->matrix == matrix)
        return c->context;
    sws_freeContext(c->context);
    *c = Converter{
        sws_alloc_context(), picture->width, picture->height, source, width, height, target, flags, full, matrix};
    SwsContext* context = c->context;
    if (context == nullptr) return nullptr;
    av_opt_set_int(context, "srcw", picture->width, 0);
    av_opt_set_int(context, "srch", picture->height, 0);
    av_opt_set_int(context, "src_format", source, 0);
    av_opt_set_int(context, "dstw", width, 0);
    av_opt_set_int(context, "dsth", height, 0);
    av_opt_set_int(context, "dst_format", target, 0);
    av_opt_set_int(context, "sws_flags", flags, 0);
    av_opt_set_int(context, "src_range", full ? 1 : 0, 0);
    av_opt_set_int(context, "dst_range", 0, 0);
    if (sws_init_context(context, nullptr, nullptr) < 0) {
        sws_freeContext(context);
        c->context = nullptr;
        return nullptr;
    }
    if (rgb) {
        const int* coefficients = sws_getCoefficients(matrix);
        sws_setColorspaceDetails(context, coefficients, 0, coefficients, 0, 0, 1 << 16, 1 << 16);
    }
    return context;
}

// The picture's own samples as planes, when they can be read as they are:
// limited-range Y'CbCr of 8 to 12 bits in the low bits of 1 or 2
// little-endian bytes, at the export's size.
static bool SamplesAsTheyAre(const AVFrame* picture, int32_t width, int32_t height, SamplePlanes* planes) {
    const AVPixelFormat format = static_cast<AVPixelFormat>(picture->format);
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(format);
    if (d == nullptr || picture->width != width || picture->height != height || d->nb_components < 3 ||
        (d->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_BITSTREAM | AV_PIX_FMT_FLAG_BE)) ||
        d->log2_chroma_w > 1 || d->log2_chroma_h > 1 || FullRange(format, picture->color_range))
        return false;
    const int depth = d->comp[0].depth;
    const int bytes = depth > 8 ? 2 : 1;
    if (depth < 8 || depth > 12) return false;
    for (int i = 0; i < 3; ++i) {
        const AVComponentDescriptor& c = d->comp[i];
        if (c.depth != depth || c.shift != 0 || c.step < bytes) return false;
        planes->start[i] = picture->data[c.plane] + c.offset;
        planes->stride[i] = picture->linesize[c.plane];
        planes->step[i] = c.step;
    }
    planes->sampleBytes = bytes;
    planes->depth = depth;
    planes->chromaWidthShift = d->log2_chroma_w;
    planes->chromaHeightShift = d->log2_chroma_h;
    planes->interlaced = picture->interlaced_frame != 0;
    return true;
}

// Another picture is brought to limited range, 12 bits at most, by
// libswscale: at its own chroma layout where that is 4:2:0, 4:2:2 or 4:4:4
// and the size stays, at 4:4:4 otherwise. A full-range picture goes to 12
// bits whatever its depth: its range step lands between the codes of its own
// depth, and the deep formats keep what lies between.
static AVPixelFormat DeepenedFormat(const AVFrame* picture, int32_t width, int32_t height) {
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(picture->format));
    const bool sameSize = picture->width == width && picture->height == height;
    const bool yuv = d != nullptr && !(d->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL)) && d->nb_components >= 3;
    const int depth = d != nullptr && !FullRange(static_cast<AVPixelFormat>(picture->format), picture->color_range)
                          ? d->comp[0].depth
                          : 12;
    if (sameSize && yuv && d->log2_chroma_w == 1) {
        if (d->log2_chroma_h == 1)
            return depth <= 8 ? AV_PIX_FMT_YUV420P : depth <= 10 ? AV_PIX_FMT_YUV420P10LE : AV_PIX_FMT_YUV420P12LE;
        if (d->log2_chroma_h == 0)
            return depth <= 8 ? AV_PIX_FMT_YUV422P : depth <= 10 ? AV_PIX_FMT_YUV422P10LE : AV_PIX_FMT_YUV422P12LE;
    }
    if (sameSize && yuv && d->log2_chroma_w == 0 && d->log2_chroma_h == 0)
        return depth <= 8 ? AV_PIX_FMT_YUV444P : depth <= 10 ? AV_PIX_FMT_YUV444P10LE : AV_PIX_FMT_YUV444P12LE;
    return AV_PIX_FMT_YUV444P12LE;
}

static bool PackPrecise(const AVFrame* picture, int32_t width, int32_t height, uint32_t format, uint8_t* frame,
                        std::string* error) {
    SamplePlanes planes;
    if (!SamplesAsTheyAre(picture, width, height, &planes)) {
        const AVPixelFormat target = DeepenedFormat(picture, width, height);
        SwsContext* deepener =
            ConverterFor(&gPacker.deepener, picture, width, height, target, SWS_BICUBIC | SWS_ACCURATE_RND);
        AVFrame* deepened = ScratchFrame(&gPacker.deepened, width, height, target);
        if (deepener == nullptr || deepened == nullptr) {
            *error = "cannot convert pictures of this format for the deep colour formats";
            return false;
        }
        sws_scale(deepener, picture->data, picture->linesize, 0, picture->height, deepened->data, deepened->linesize);
        deepened->interlaced_frame = picture->interlaced_frame;
        if (!SamplesAsTheyAre(deepened, width, height, &planes)) {
            *error = "cannot read the converted pictures";
            return false;
        }
    }
    // Making the picture is most of the host's work a frame: two threads
    // share its rows (the decoder's threads are waiting for the ring then).
    PreparePrecisePicture(planes, height, format);
    const int32_t middle = height / 2;
    int64_t lowerClipped = 0;
    std::thread lower([&] { lowerClipped = PackPreciseRows(planes, width, middle, height, frame); });
    const int64_t clipped = PackPreciseRows(planes, width, 0, middle, frame) + (lower.join(), lowerClipped);
    if (!IsRgb(static_cast<AVPixelFormat>(picture->format)))
        CountPreciseClips(static_cast<int64_t>(width) * height, clipped);
    return true;
}

bool PackPicture(const AVFrame* picture, int32_t width, int32_t height, uint32_t hostFormat, uint8_t* frame,
                 std::string* error) {
    if (hostFormat != FrameFormatYuy2) return PackPrecise(picture, width, height, hostFormat, frame, error);
    uint8_t* yuy2 = frame;
    const AVPixelFormat format = static_cast<AVPixelFormat>(picture->format);
    const AVPixelFormat exact = ExactLayout(picture);
    const bool sameSize = picture->width == width && picture->height == height && width % 2 == 0;
    if (sameSize && exact != AV_PIX_FMT_NONE) {
        if (format == exact && !FullRange(format, picture->color_range))
            if (PackPlanes(picture->data, picture->linesize, exact, picture->interlaced_frame, width, height, yuy2))
                return true;
        // Deeper or full range: to 8-bit limited range first, as ffmpeg's
        // -pix_fmt yuv420p (yuv422p) does, then sample for sample.
        SwsContext* reducer = ConverterFor(&gPacker.reducer, picture, width, height, exact, SWS_BICUBIC);
        AVFrame* reduced = ScratchFrame(&gPacker.reduced, width, height, exact);
        if (reducer != nullptr && reduced != nullptr) {
            sws_scale(reducer, picture->data, picture->linesize, 0, height, reduced->data, reduced->linesize);
            if (PackPlanes(reduced->data, reduced->linesize, exact, picture->interlaced_frame, width, height, yuy2))
                return true;
        }
    }
    SwsContext* scaler = ConverterFor(&gPacker.scaler, picture, width, height, AV_PIX_FMT_YUYV422, SWS_BICUBIC);
    if (scaler == nullptr) {
        *error = "cannot convert pictures of this format to YUY2";
        return false;
    }
    uint8_t* planes[4] = {yuy2, nullptr, nullptr, nullptr};
    int strides[4] = {2 * width, 0, 0, 0};
    sws_scale(scaler, picture->data, picture->linesize, 0, picture->height, planes, strides);
    return true;
}

void ClosePicturePacker() {
    sws_freeContext(gPacker.reducer.context);
    sws_freeContext(gPacker.scaler.context);
    av_frame_free(&gPacker.reduced);
    sws_freeContext(gPacker.deepener.context);
    av_frame_free(&gPacker.deepened);
    gPacker = PicturePacker{};
}
