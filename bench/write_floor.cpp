// The floor a y4m export cannot beat: the same writes (a header, then per
// frame "FRAME\n" and the frame size in one write) from a buffer that needs
// no conversion.  write_floor OUTPUT WIDTH HEIGHT FRAMES
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <string>
#include <vector>

static bool WriteAll(int fd, const void* data, size_t count) {
    const char* p = static_cast<const char*>(data);
    while (count > 0) {
        ssize_t n = write(fd, p, count);
        if (n <= 0) return false;
        p += n;
        count -= static_cast<size_t>(n);
    }
    return true;
}

int main(int argc, char** argv) {
    if (argc != 5) {
        fprintf(stderr, "usage: %s OUTPUT WIDTH HEIGHT FRAMES\n", argv[0]);
        return 2;
    }
    int width = atoi(argv[2]), height = atoi(argv[3]), frames = atoi(argv[4]);
    std::vector<unsigned char> frame(static_cast<size_t>(width) * height * 3 / 2, 128);
    std::string header = "YUV4MPEG2 W" + std::to_string(width) + " H" + std::to_string(height) +
                         " F30000:1001 Ip A0:0 C420mpeg2 XYSCSS=420MPEG2\n";
    timespec start, end;
    clock_gettime(CLOCK_MONOTONIC, &start);
    int fd = open(argv[1], O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0 || !WriteAll(fd, header.data(), header.size())) return 1;
    for (int i = 0; i < frames; ++i)
        if (!WriteAll(fd, "FRAME\n", 6) || !WriteAll(fd, frame.data(), frame.size())) return 1;
    close(fd);
    clock_gettime(CLOCK_MONOTONIC, &end);
    double seconds = static_cast<double>(end.tv_sec - start.tv_sec) + (end.tv_nsec - start.tv_nsec) * 1e-9;
    printf("%.1f fps\n", frames / seconds);
    return 0;
}
