// Output files (reports, decoded text, exports), opened as fopen(path, "w")
// opens them: created, or truncated to zero when they are opened, in text mode
// or, for files that are the same bytes on every platform, binary mode. Whatever
// ends the process (a fatal diagnostic, a signal, a file size limit), a file
// holds nothing but what this run wrote.
#pragma once

#include <cstdio>
#include <memory>

namespace common {

enum class OutputMode { kText, kBinary };

class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    // Closes a file that was left open (an exception on the way); errors are
    // ignored.
    ~OutputFile();

    // Opens the path with mode "w" (or "wb") and gives the stream a 64 KiB
    // buffer. Returns true, or false with errno set when the file cannot be created.
    bool open(const char* path, OutputMode mode = OutputMode::kText);
    // The same for a file that does not exist yet (errno EEXIST when one does).
    bool create_new(const char* path, OutputMode mode);

    FILE* stream() const { return stream_; }

    // Flushes and closes the file. Returns true when everything written reached
    // the file, false after any write or close error (errno tells why).
    bool close();

private:
    bool attach(FILE* stream);

    std::unique_ptr<char[]> buffer_;  // outlives the stream: released after fclose
    FILE* stream_ = nullptr;
};

}  // namespace common
