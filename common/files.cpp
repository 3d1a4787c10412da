#include "common/files.h"

namespace {

// Where the name part of a path begins.
size_t name_start(const std::string& path) {
#ifdef _WIN32
    const size_t end = path.find_last_of("/\\");
#else
    const size_t end = path.find_last_of('/');
#endif
    return end == std::string::npos ? 0 : end + 1;
}

}  // namespace

std::string folder_of(const std::string& path) { return path.substr(0, name_start(path)); }

std::string base_name(const std::string& path) { return path.substr(name_start(path)); }
