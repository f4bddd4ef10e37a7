#include "y4mhost/frame_source.h"

#include "convert/host_pictures.h"
#include "y4mhost/precise_picture.h"

const FrameSourceKind* SourceKindFor(const HostOptions& o) {
    if (!o.videoPath.empty()) return &VideoSource;
    return o.rawPath.empty() ? &PatternSource : &RawSource;
}

std::string Ratio(int32_t a, int32_t b, const char* between) { return std::to_string(a) + between + std::to_string(b); }

const char* PictureName(uint32_t format) {
    const HostPictureInfo* picture = FindHostPicture(format);
    return picture != nullptr ? picture->name : "an unknown picture";
}

bool FrameSizeFits(const HostOptions& o, uint32_t picture, std::string* error) {
    const int64_t frameBytes = FramePixelBytes(picture) * static_cast<int64_t>(o.width) * o.height;
    if (frameBytes <= INT32_MAX) return true;
    *error = "frame size " + Ratio(o.width, o.height, "x") + " is too large: a " + PictureName(picture) +
             " frame of it (" + std::to_string(frameBytes) +
             " bytes) does not fit the host's 32-bit sizes; give a smaller --size";
    return false;
}

void StartYuy2Frames(Yuy2Frames* frames, int32_t width, int32_t height, uint32_t picture, bool still) {
    frames->width = width;
    frames->height = height;
    frames->picture = picture;
    frames->still = still;
    frames->preciseMade = false;
    frames->frame.assign(2 * static_cast<size_t>(width) * height + 1, 0);
    if (picture != FrameFormatYuy2)
        frames->precise.assign(static_cast<size_t>(FramePixelBytes(picture)) * width * height + 1, 0);
}

int64_t Yuy2FramesBytes(int32_t width, int32_t height, uint32_t picture) {
    return (2 + (picture != FrameFormatYuy2 ? FramePixelBytes(picture) : 0)) * static_cast<int64_t>(width) * height;
}

const uint8_t* Yuy2FrameAsPicture(Yuy2Frames* frames) {
    if (frames->picture == FrameFormatYuy2) return frames->frame.data();
    if (!frames->still || !frames->preciseMade)
        PackPrecisePicture(Yuy2Planes(frames->frame.data(), frames->width), frames->width, frames->height,
                           frames->picture, frames->precise.data(), true);
    frames->preciseMade = true;
    return frames->precise.data();
}
