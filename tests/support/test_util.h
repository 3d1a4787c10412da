// Temporary directories, files and running the built tools.
#pragma once

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/fields.h"
#include "tests/support/rom_builder.h"

// A UTF-8 text from a u8 literal (the tests' other literals are code page 932).
inline std::string utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// A fresh directory under the system's temporary directory, removed with its
// contents at the end of the test.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Paths are UTF-8 strings, with '/' between their parts on every platform.
std::string read_file(const std::string& path);  // the bytes as they are
// A text file that the tools wrote in text mode, with "\n" line ends: on
// Windows every line end must be CR LF (anything else fails the test), and
// is read as "\n".
std::string read_text_file(const std::string& path);
// A text as read from a text-mode file or stream (see read_text_file).
std::string text_from_platform(const std::string& raw);
void write_file(const std::string& path, const std::string& content);
void write_file(const std::string& path, const Bytes& content);
bool file_exists(const std::string& path);  // also a dangling link
int make_dir(const std::string& path);       // 0 when made, like mkdir
// Links: 0 when made. A symbolic link may need rights that a Windows user
// lacks; tests skip (skip_without_symlinks) rather than fail then.
int make_symlink(const std::string& target, const std::string& link);
int make_hard_link(const std::string& target, const std::string& link);
// Another name for a file: a symbolic link, or on Windows, where none can be
// made, a hard link. 0 when made.
int make_other_name(const std::string& target, const std::string& link);
// Removes every write permission (on Windows: the read-only attribute).
void make_read_only(const std::string& path);
// True when /dev/full (a device that is always full) can be written to.
bool have_dev_full();
// A file of the given size whose bytes are zero and need no disk space.
void make_sparse_file(const std::string& path, long long size);
// Writes bytes at a file position, leaving the rest of the file as it is.
void write_at(const std::string& path, long long position, const Bytes& bytes);
std::vector<std::string> list_dir(const std::string& path);  // sorted names

// A path of exactly length characters below base: directories of 200-character
// names, which are created, then a last name that does not exist yet.
std::string deep_path(const std::string& base, size_t length);

// Makes the nth allocation through calloc from now on fail (1: the next one),
// as memory that runs out would; 0 lets every allocation succeed again. The
// test executables are linked so that calloc goes through this switch.
void fail_calloc(int nth);

// A binary stream that collects what is written to it, and its text.
FILE* open_capture();
std::string close_capture(FILE* stream);

// What print(text) formats into a report text, as a string.
template <typename F>
std::string capture_output(F&& print) {
    common::ReportText text;
    print(text);
    return std::string(text.data(), text.size());
}

// Splits a text into lines without their "\n" (a final "\n" adds no line).
std::vector<std::string> split_lines(const std::string& text);

struct RunResult {
    int status = -1;  // exit status, or 128 + signal number
    std::string out;
    std::string err;
    long max_rss_kib = 0;  // peak resident memory
};

// Runs the executable with the arguments (argv[0] is the executable path unless
// argv0 is given), in cwd when it is not empty; out and err are read as text
// (text_from_platform), as the tools write them. The run is killed after 30
// seconds of processor time (SIGXCPU; on Windows after 120 seconds), so a
// tool that never ends fails its test; with file_size_limit >= 0 it is also
// killed (SIGXFSZ) when it writes past that many bytes into a file, and with
// address_space_limit >= 0 its allocations fail beyond that many bytes of
// address space (RLIMIT_AS; both POSIX only).
RunResult run_tool(const std::string& exe, const std::vector<std::string>& args,
                   const std::string& cwd = "", const char* argv0 = nullptr, long file_size_limit = -1,
                   long address_space_limit = -1);

// Runs the executable as run_tool does, without its output, and kills it
// with SIGKILL after the given number of microseconds unless it ended
// before. Returns its status (128 + SIGKILL when killed). POSIX only.
int run_tool_killed_after(const std::string& exe, const std::vector<std::string>& args, long microseconds);

// Error numbers that Windows gives where POSIX systems give another: for a
// directory opened as a file, and for a path through a regular file.
#ifdef _WIN32
constexpr int kIsDirectoryErrno = EACCES;
constexpr int kNotDirectoryErrno = ENOENT;
#else
constexpr int kIsDirectoryErrno = EISDIR;
constexpr int kNotDirectoryErrno = ENOTDIR;
#endif

// Skips a test that cannot mean anything on Windows, saying why.
#ifdef _WIN32
#define SKIP_ON_WINDOWS(reason) GTEST_SKIP() << (reason)
#else
#define SKIP_ON_WINDOWS(reason) static_cast<void>(0)
#endif

// Makes a symbolic link or fails the test; on Windows, where making one needs
// a right that a user may lack (and Wine cannot make them), skips it instead.
#ifdef _WIN32
#define MAKE_SYMLINK(target, link) \
    if (make_symlink(target, link) != 0) GTEST_SKIP() << "no symbolic links can be made here"
#else
#define MAKE_SYMLINK(target, link) ASSERT_EQ(make_symlink(target, link), 0)
#endif
