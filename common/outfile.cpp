#include "common/outfile.h"

#include <cerrno>
#include <new>

#include "common/files.h"

namespace common {

namespace {
constexpr size_t kBufferSize = 64 * 1024;
}  // namespace

OutputFile::~OutputFile() {
    if (stream_) fclose(stream_);
}

bool OutputFile::open(const char* path, OutputMode mode) {
    return attach(open_file(path, mode == OutputMode::kBinary ? "wb" : "w"));
}

bool OutputFile::create_new(const char* path, OutputMode mode) {
    return attach(create_new_file(path, mode == OutputMode::kBinary ? "wb" : "w"));
}

bool OutputFile::attach(FILE* stream) {
    stream_ = stream;
    if (!stream_) return false;
    // Given no buffer of its own, the stream would keep writing in pieces of
    // the library's default size (4 KiB) whatever size setvbuf was asked for.
    // Without the memory it simply keeps that default buffer.
    buffer_.reset(new (std::nothrow) char[kBufferSize]);
    if (buffer_) setvbuf(stream_, buffer_.get(), _IOFBF, kBufferSize);
    return true;
}

bool OutputFile::close() {
    if (!stream_) return false;
    bool ok = fflush(stream_) == 0 && !ferror(stream_);
    const int saved = errno;
    if (fclose(stream_) != 0) {
        ok = false;
    } else {
        errno = saved;
    }
    stream_ = nullptr;
    if (!ok && errno == 0) errno = EIO;
    return ok;
}

}  // namespace common
