// The CRT's low-level file calls on POSIX systems.
#include "platform/platform.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

int _open(const char* path, int flags, int mode) {
    int posixFlags = 0;
    if (flags & _O_WRONLY) posixFlags |= O_WRONLY;
    if (flags & _O_CREAT) posixFlags |= O_CREAT;
    if (flags & _O_TRUNC) posixFlags |= O_TRUNC;
    // POSIX has no text mode, so _O_BINARY needs nothing. The descriptor is
    // never handed to a child process.
    posixFlags |= O_CLOEXEC;
    // A new file is readable and writable by everyone the umask allows.
    mode_t posixMode = ((mode & _S_IREAD) ? 0444 : 0) | ((mode & _S_IWRITE) ? 0222 : 0);
    return open(path, posixFlags, posixMode);
}

// Linux moves at most about 2 GiB per write() and may be interrupted, so keep
// going until everything is written or the system refuses; a count below the
// one asked for then tells the caller the write failed.
int _write(int fd, const void* data, unsigned int count) {
    const char* bytes = static_cast<const char*>(data);
    unsigned int done = 0;
    while (done < count) {
        ssize_t n = write(fd, bytes + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return done > 0 ? static_cast<int>(done) : -1;
        done += static_cast<unsigned int>(n);
    }
    return static_cast<int>(done);
}

int _close(int fd) { return close(fd); }
