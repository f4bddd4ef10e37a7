// Checks every frame of a .y4m file against the per-sample model of the
// conversion of the raw YUY2 frames it was made from.
//   y4m_model_check RAW.yuy2 OUT.y4m WIDTH HEIGHT 420|420i|422
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "tests/frame_model.h"

int main(int argc, char** argv) {
    if (argc != 6) {
        fprintf(stderr, "usage: %s RAW Y4M WIDTH HEIGHT 420|420i|422\n", argv[0]);
        return 2;
    }
    int width = atoi(argv[3]), height = atoi(argv[4]);
    FrameLayout layout = strcmp(argv[5], "422") == 0    ? Planar422
                         : strcmp(argv[5], "420i") == 0 ? Interlaced420
                                                        : Progressive420;
    FILE* raw = fopen(argv[1], "rb");
    FILE* y4m = fopen(argv[2], "rb");
    if (raw == nullptr || y4m == nullptr) {
        fprintf(stderr, "cannot open the inputs\n");
        return 2;
    }
    char header[256];
    if (fgets(header, sizeof header, y4m) == nullptr || strncmp(header, "YUV4MPEG2 ", 10) != 0) {
        fprintf(stderr, "not a y4m file\n");
        return 1;
    }
    size_t rawBytes = static_cast<size_t>(2 * width * height);
    size_t frameBytes = static_cast<size_t>(ModelFrameBytes(layout, width, height));
    std::vector<uint8_t> source(rawBytes), frame(frameBytes);
    int frames = 0;
    char marker[6];
    while (fread(marker, 1, 6, y4m) == 6) {
        if (memcmp(marker, "FRAME\n", 6) != 0) {
            fprintf(stderr, "frame %d: bad marker\n", frames);
            return 1;
        }
        if (fread(frame.data(), 1, frameBytes, y4m) != frameBytes ||
            fread(source.data(), 1, rawBytes, raw) != rawBytes) {
            fprintf(stderr, "frame %d: short\n", frames);
            return 1;
        }
        if (ModelFrame(layout, source.data(), width, height) != frame) {
            fprintf(stderr, "frame %d differs from the model\n", frames);
            return 1;
        }
        ++frames;
    }
    printf("%d frames match the model\n", frames);
    return frames > 0 ? 0 : 1;
}
