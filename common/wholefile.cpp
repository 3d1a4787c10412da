#include "common/wholefile.h"

#include <cerrno>
#include <memory>
#include <string>
#include <utility>

#include "common/files.h"

namespace common {

namespace {

// Attempts at a temporary name before giving up: names that a killed run
// with the same process number left behind are passed over.
constexpr int kTempAttempts = 100;

// A temporary file beside the final name, removed again unless it was put
// in its place.
class TempFile {
public:
    TempFile() = default;
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() {
        if (path_.empty()) return;
        const int saved = errno;
        file_.close();
        remove_file(path_.c_str());
        errno = saved;
    }

    bool create(const char* final_path, OutputMode mode) {
        const std::string folder = folder_of(final_path);
        const std::string stem = folder + ".mt-" + std::to_string(process_id()) + "-";
        for (int n = 0; n < kTempAttempts; ++n) {
            std::string path = stem + std::to_string(n) + ".tmp";
            if (file_.create_new(path.c_str(), mode)) {
                path_ = std::move(path);
                return true;
            }
            if (errno != EEXIST) return false;
        }
        return false;
    }

    FILE* stream() const { return file_.stream(); }

    // Pushes the bytes to the disk and closes the file.
    bool finish() {
        const bool synced = fflush(file_.stream()) == 0 && sync_file(file_.stream());
        const int saved = errno;
        if (!file_.close()) return false;
        if (!synced) {
            errno = saved;
            return false;
        }
        return true;
    }

    // Renames the finished file over the final name.
    bool rename_to(const char* final_path) {
        if (!replace_file(path_.c_str(), final_path)) return false;
        path_.clear();
        return true;
    }

    bool put_in_place(const char* final_path) { return finish() && rename_to(final_path); }

private:
    OutputFile file_;
    std::string path_;
};

// Today's way for what is not a regular file: opened as fopen opens it.
bool write_through(const char* path, OutputMode mode, const FileBody& body) {
    OutputFile file;
    if (!file.open(path, mode)) return false;
    const bool written = body(file.stream());
    const int saved = errno;
    if (!file.close()) return false;
    errno = saved;
    return written;
}

}  // namespace

bool write_whole_file(const char* path, OutputMode mode, const FileBody& body) {
    PathKind kind;
    unsigned permissions;
    if (!look_at_path(path, &kind, &permissions)) return false;
    if (kind == PathKind::Other) return write_through(path, mode, body);
    TempFile temp;
    if (!temp.create(path, mode)) return false;
    if (kind == PathKind::Regular && !set_permissions(temp.stream(), permissions)) return false;
    if (!body(temp.stream())) return false;
    return temp.put_in_place(path);
}

bool write_whole_file(const char* path, const void* data, size_t size) {
    return write_whole_file(path, OutputMode::kBinary,
                            [data, size](FILE* stream) { return fwrite(data, 1, size, stream) == size; });
}

namespace {

// The temporary file of one output, written and finished, or an output that
// is not a regular file (kept for writing through).
bool prepare(const WholeFileOutput& file, std::unique_ptr<TempFile>* temp, bool* through) {
    PathKind kind;
    unsigned permissions;
    if (!look_at_path(file.path.c_str(), &kind, &permissions)) return false;
    *through = kind == PathKind::Other;
    if (*through) return true;
    *temp = std::make_unique<TempFile>();
    if (!(*temp)->create(file.path.c_str(), OutputMode::kBinary)) return false;
    if (kind == PathKind::Regular && !set_permissions((*temp)->stream(), permissions)) return false;
    if (fwrite(file.data, 1, file.size, (*temp)->stream()) != file.size) return false;
    return (*temp)->finish();
}

}  // namespace

bool write_whole_files(const std::vector<WholeFileOutput>& files, size_t* failed) {
    std::vector<std::unique_ptr<TempFile>> temps(files.size());
    std::vector<bool> through(files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        bool other = false;
        *failed = i;
        if (!prepare(files[i], &temps[i], &other)) return false;
        through[i] = other;
    }
    for (size_t i = 0; i < files.size(); ++i) {
        *failed = i;
        if (through[i] && !write_whole_file(files[i].path.c_str(), files[i].data, files[i].size)) return false;
    }
    for (size_t i = 0; i < files.size(); ++i) {
        *failed = i;
        if (temps[i] && !temps[i]->rename_to(files[i].path.c_str())) return false;
    }
    return true;
}

bool read_whole_file(const char* path, size_t limit, std::vector<unsigned char>* bytes) {
    bytes->clear();
    FILE* stream = open_file(path, "rb");
    if (!stream) return false;
    if (seek_file(stream, 0, SEEK_END) == 0) {
        const int64_t size = tell_file(stream);
        if (size > 0 && static_cast<uint64_t>(size) <= limit) bytes->reserve(static_cast<size_t>(size));
        seek_file(stream, 0, SEEK_SET);
    }
    unsigned char chunk[64 * 1024];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, stream)) > 0) {
        if (bytes->size() + got > limit) {
            fclose(stream);
            errno = EFBIG;
            return false;
        }
        bytes->insert(bytes->end(), chunk, chunk + got);
    }
    const bool failed = ferror(stream);
    const int error = errno;
    fclose(stream);
    errno = error;
    return !failed;
}

}  // namespace common
