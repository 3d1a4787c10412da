#include "tests/support/test_util.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

TempDir::TempDir() {
    const char* base = getenv("TMPDIR");
    std::string tmpl = std::string(base && *base ? base : "/tmp") + "/mt-test-XXXXXX";
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
}

TempDir::~TempDir() {
    std::error_code ec;
    // Directories made read-only by a test must be writable again to be removed.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec)) chmod(it->path().c_str(), 0700);
    }
    chmod(path_.c_str(), 0700);
    std::filesystem::remove_all(path_, ec);
}

namespace {
int g_calloc_countdown = 0;
}  // namespace

void fail_calloc(int nth) { g_calloc_countdown = nth; }

// The linker (--wrap=calloc) sends every calloc of the test executables here.
extern "C" void* __real_calloc(size_t count, size_t size);
extern "C" void* __wrap_calloc(size_t count, size_t size) {
    if (g_calloc_countdown > 0 && --g_calloc_countdown == 0) return nullptr;
    return __real_calloc(count, size);
}

std::string read_file(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    if (!f) throw std::runtime_error("cannot read " + path);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

void write_file(const std::string& path, const std::string& content) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << content;
    if (!f) throw std::runtime_error("cannot write " + path);
}

void write_file(const std::string& path, const Bytes& content) {
    write_file(path, std::string(content.begin(), content.end()));
}

bool file_exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

std::vector<std::string> list_dir(const std::string& path) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(path)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

std::string deep_path(const std::string& base, size_t length) {
    std::string path = base;
    while (length - path.size() > 250) path.append("/").append(200, 'd');
    std::filesystem::create_directories(path);
    path.append("/");
    return path.append(length - path.size(), 'e');
}

std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t nl = text.find('\n', start);
        if (nl == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, nl - start));
        start = nl + 1;
    }
    return lines;
}

namespace {

std::string slurp_fd(int fd) {
    std::string s;
    char buf[65536];
    lseek(fd, 0, SEEK_SET);
    ssize_t n;
    while ((n = read(fd, buf, sizeof buf)) > 0) s.append(buf, static_cast<size_t>(n));
    return s;
}

int temp_fd() {
    char name[] = "/tmp/mt-run-XXXXXX";
    int fd = mkstemp(name);
    if (fd < 0) throw std::runtime_error("mkstemp failed");
    unlink(name);
    return fd;
}

void limit(int resource, rlim_t value) {
    const struct rlimit r {value, value};
    setrlimit(resource, &r);
}

}  // namespace

RunResult run_tool(const std::string& exe, const std::vector<std::string>& args, const std::string& cwd,
                   const char* argv0, long file_size_limit) {
    const int out_fd = temp_fd();
    const int err_fd = temp_fd();
    std::vector<std::string> all{argv0 ? argv0 : exe};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out_fd, 1);
        dup2(err_fd, 2);
        if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(127);
        limit(RLIMIT_CORE, 0);
        limit(RLIMIT_CPU, 30);
        if (file_size_limit >= 0) limit(RLIMIT_FSIZE, static_cast<rlim_t>(file_size_limit));
        execv(exe.c_str(), argv.data());
        _exit(127);
    }
    int wstatus = 0;
    struct rusage usage {};
    wait4(pid, &wstatus, 0, &usage);
    RunResult r;
    r.max_rss_kib = usage.ru_maxrss;
    r.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    r.out = slurp_fd(out_fd);
    r.err = slurp_fd(err_fd);
    close(out_fd);
    close(err_fd);
    return r;
}
