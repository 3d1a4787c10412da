// Temporary directories, files and running the built tools.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/rom_builder.h"

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

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& content);
void write_file(const std::string& path, const Bytes& content);
bool file_exists(const std::string& path);
std::vector<std::string> list_dir(const std::string& path);  // sorted names

// A path of exactly length characters below base: directories of 200-character
// names, which are created, then a last name that does not exist yet.
std::string deep_path(const std::string& base, size_t length);

// Makes the nth allocation through calloc from now on fail (1: the next one),
// as memory that runs out would; 0 lets every allocation succeed again. The
// test executables are linked so that calloc goes through this switch.
void fail_calloc(int nth);

// What print(stream) writes to a stream, as a string.
template <typename F>
std::string capture_output(F&& print) {
    char* buf = nullptr;
    size_t len = 0;
    FILE* f = open_memstream(&buf, &len);
    print(f);
    fclose(f);
    std::string s(buf, len);
    free(buf);
    return s;
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
// argv0 is given), in cwd when it is not empty. The run is killed (SIGXCPU)
// after 30 seconds of processor time, so a tool that never ends fails its
// test; with file_size_limit >= 0 it is also killed (SIGXFSZ) when it writes
// past that many bytes into a file.
RunResult run_tool(const std::string& exe, const std::vector<std::string>& args,
                   const std::string& cwd = "", const char* argv0 = nullptr, long file_size_limit = -1);
