#include "common/outfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

constexpr size_t kBufferSize = 64 * 1024;
constexpr int kMaxOpen = 4;

// The regular files that are open for output, to be cut at a premature exit.
FILE* g_open[kMaxOpen];

// Errors are ignored: this runs at exit or for abandoned files.
void cut_to_written(FILE* stream) {
    fflush(stream);
    const off_t written = ftello(stream);
    if (written >= 0) (void)!ftruncate(fileno(stream), written);
}

void cut_open_files_at_exit() {
    for (FILE*& f : g_open) {
        if (f) cut_to_written(f);
        f = nullptr;
    }
}

bool track(FILE* stream) {
    static const bool registered = atexit(cut_open_files_at_exit) == 0;
    if (!registered) return false;
    for (FILE*& f : g_open) {
        if (!f) {
            f = stream;
            return true;
        }
    }
    return false;
}

bool untrack(FILE* stream) {
    for (FILE*& f : g_open) {
        if (f == stream) {
            f = nullptr;
            return true;
        }
    }
    return false;
}

}  // namespace

FILE* open_output(const char* path) {
    const int fd = open(path, O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    struct stat st;
    const bool regular = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    FILE* stream = fdopen(fd, "w");
    if (!stream) {
        const int saved = errno;
        close(fd);
        errno = saved;
        return nullptr;
    }
    setvbuf(stream, nullptr, _IOFBF, kBufferSize);
    // Only a regular file is cut at the end; a device or a pipe is written as
    // fopen "w" writes it. A file that cannot be tracked is truncated now.
    if (regular && !track(stream) && ftruncate(fd, 0) != 0) {
        const int saved = errno;
        fclose(stream);
        errno = saved;
        return nullptr;
    }
    return stream;
}

int close_output(FILE* stream) {
    int ok = fflush(stream) == 0 && !ferror(stream);
    if (untrack(stream)) {
        const off_t written = ftello(stream);
        if (written < 0 || ftruncate(fileno(stream), written) != 0) ok = 0;
    }
    const int saved = errno;
    if (fclose(stream) != 0) {
        ok = 0;
    } else {
        errno = saved;
    }
    if (!ok && errno == 0) errno = EIO;
    return ok;
}

void abandon_output(FILE* stream) {
    if (untrack(stream)) cut_to_written(stream);
    fclose(stream);
}
