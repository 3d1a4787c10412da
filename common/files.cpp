#include "common/files.h"

namespace common {

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

namespace {

bool is_separator(char c) {
#ifdef _WIN32
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

// A path without its empty and "." parts ("./x//y/" is "x/y"), "." for none.
std::string without_dots(const std::string& path) {
    std::string out, part;
    auto end_part = [&out, &part] {
        if (!part.empty() && part != ".") out += (out.empty() ? "" : "/") + part;
        part.clear();
    };
    for (const char c : path) {
        if (is_separator(c)) {
            end_part();
        } else {
            part += c;
        }
    }
    end_part();
    if (!path.empty() && is_separator(path[0])) out = "/" + out;
    return out.empty() ? "." : out;
}

bool missing(const std::string& path) {
    PathKind kind;
    unsigned permissions;
    return look_at_path(path.c_str(), &kind, &permissions) && kind == PathKind::Missing;
}

}  // namespace

FileIdentity output_identity(const std::string& a, const std::string& b) {
    const FileIdentity files = path_identity(a.c_str(), b.c_str());
    if (files != FileIdentity::Different || !missing(a) || !missing(b)) return files;
    const std::string pa = without_dots(a), pb = without_dots(b);
    if (!same_file_name(base_name(pa), base_name(pb))) return FileIdentity::Different;
    const std::string folder_a = folder_of(pa), folder_b = folder_of(pb);
    if (folder_a.empty() || folder_b.empty()) {
        if (folder_a.empty() && folder_b.empty()) return FileIdentity::Same;
        return path_identity(folder_a.empty() ? "." : folder_a.c_str(), folder_b.empty() ? "." : folder_b.c_str());
    }
    return output_identity(folder_a, folder_b);
}

FileMapping::Pages FileMapping::pages_of(int64_t offset, size_t length, uint64_t file_size, int64_t granularity) {
    const uint64_t held = file_size - static_cast<uint64_t>(offset);
    const size_t size = held < length ? static_cast<size_t>(held) : length;
    const int64_t start = offset - offset % granularity;
    return {start, size + static_cast<size_t>(offset - start), size};
}

void FileMapping::hold(void* view, const Pages& pages, int64_t offset) {
    view_ = view;
    view_size_ = pages.view_size;
    data_ = static_cast<const unsigned char*>(view) + (offset - pages.start);
    size_ = pages.size;
}

void FileMapping::forget() {
    view_ = nullptr;
    view_size_ = 0;
    data_ = nullptr;
    size_ = 0;
}

}  // namespace common
