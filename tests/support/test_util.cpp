#include "tests/support/test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

// UTF-8 strings to paths and back, the same on every platform.
fs::path native(const std::string& path) { return fs::path(std::u8string(path.begin(), path.end())); }

std::string utf8(const fs::path& path) {
    const std::u8string s = path.generic_u8string();
    return std::string(s.begin(), s.end());
}

}  // namespace

TempDir::TempDir() {
    static std::mt19937_64 rng(std::random_device{}());
    const fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = base / ("mt-test-" + std::to_string(rng() % 1000000000));
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) {
            path_ = utf8(candidate);
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary directory");
}

TempDir::~TempDir() {
    std::error_code ec;
    // Directories made read-only by a test must be writable again to be removed.
    for (auto it = fs::recursive_directory_iterator(native(path_), ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec)) fs::permissions(it->path(), fs::perms::owner_all, ec);
    }
    fs::permissions(native(path_), fs::perms::owner_all, ec);
    fs::remove_all(native(path_), ec);
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
    std::ifstream f(native(path), std::ios::binary);
    if (!f) throw std::runtime_error("cannot read " + path);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

std::string text_from_platform(const std::string& raw) {
#ifdef _WIN32
    std::string text;
    text.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        const bool cr_lf = raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n';
        if (cr_lf) {
            ++i;
        } else if (raw[i] == '\n') {
            ADD_FAILURE() << "a line end without CR at byte " << i;
        }
        text += raw[i];
    }
    return text;
#else
    return raw;
#endif
}

std::string read_text_file(const std::string& path) { return text_from_platform(read_file(path)); }

void write_file(const std::string& path, const std::string& content) {
    std::ofstream f(native(path), std::ios::binary | std::ios::trunc);
    f << content;
    if (!f) throw std::runtime_error("cannot write " + path);
}

void write_file(const std::string& path, const Bytes& content) {
    write_file(path, std::string(content.begin(), content.end()));
}

bool file_exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(native(path), ec));
}

int make_dir(const std::string& path) {
    std::error_code ec;
    return fs::create_directory(native(path), ec) ? 0 : -1;
}

int make_symlink(const std::string& target, const std::string& link) {
    std::error_code ec;
    fs::create_symlink(native(target), native(link), ec);
    return ec ? -1 : 0;
}

int make_hard_link(const std::string& target, const std::string& link) {
    std::error_code ec;
    fs::create_hard_link(native(target), native(link), ec);
    return ec ? -1 : 0;
}

int make_other_name(const std::string& target, const std::string& link) {
    if (make_symlink(target, link) == 0) return 0;
#ifdef _WIN32
    return make_hard_link(target, link);
#else
    return -1;
#endif
}

void make_read_only(const std::string& path) {
    fs::permissions(native(path), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

#ifdef _WIN32
bool have_dev_full() { return false; }
#else
bool have_dev_full() { return access("/dev/full", W_OK) == 0; }
#endif

void make_sparse_file(const std::string& path, long long size) {
    write_file(path, std::string());
#ifdef _WIN32
    // Without the sparse attribute Windows would write every zero.
    const std::wstring wide = native(path).wstring();
    const HANDLE h = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + path);
    DWORD returned = 0;
    DeviceIoControl(h, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    CloseHandle(h);
#endif
    fs::resize_file(native(path), static_cast<std::uintmax_t>(size));
}

void write_at(const std::string& path, long long position, const Bytes& bytes) {
    std::fstream f(native(path), std::ios::binary | std::ios::in | std::ios::out);
    f.seekp(static_cast<std::streamoff>(position));
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!f) throw std::runtime_error("cannot write into " + path);
}

std::vector<std::string> list_dir(const std::string& path) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(native(path))) names.push_back(utf8(e.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

std::string deep_path(const std::string& base, size_t length) {
    std::string path = base;
    while (length - path.size() > 250) path.append("/").append(200, 'd');
    fs::create_directories(native(path));
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

#ifdef _WIN32

namespace {

std::atomic<unsigned> g_captures{0};

std::string capture_path() {
    return utf8(fs::temp_directory_path() / ("mt-capture-" + std::to_string(GetCurrentProcessId()) + "-" +
                                             std::to_string(++g_captures)));
}

}  // namespace

// A temporary file in binary mode, removed when it is closed.
FILE* open_capture() {
    FILE* f = _wfopen(native(capture_path()).wstring().c_str(), L"w+bD");
    if (!f) throw std::runtime_error("cannot make a capture file");
    return f;
}

#else

FILE* open_capture() {
    FILE* f = tmpfile();
    if (!f) throw std::runtime_error("cannot make a capture file");
    return f;
}

#endif

std::string close_capture(FILE* stream) {
    fflush(stream);
    rewind(stream);
    std::string s;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, stream)) > 0) s.append(buf, n);
    fclose(stream);
    return s;
}

#ifdef _WIN32

namespace {

// One argument as the C runtime splits a command line: quoted when it holds
// blanks or quotes, with backslashes doubled before a quote.
std::wstring quote(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
    std::wstring q = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        q.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        q += c;
    }
    q.append(2 * backslashes, L'\\');
    return q + L"\"";
}

// An inheritable handle on a new temporary file, removed when closed.
HANDLE temp_handle(const std::wstring& path) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    const HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot make a temporary file");
    return h;
}

std::string slurp(HANDLE h) {
    std::string s;
    char buf[65536];
    DWORD n = 0;
    SetFilePointer(h, 0, nullptr, FILE_BEGIN);
    while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) s.append(buf, n);
    return s;
}

}  // namespace

RunResult run_tool(const std::string& exe, const std::vector<std::string>& args, const std::string& cwd,
                   const char* argv0, long, long) {
    const std::wstring program = fs::absolute(native(exe)).wstring();
    std::wstring command = quote(native(argv0 ? argv0 : exe).wstring());
    for (const std::string& a : args) command += L" " + quote(native(a).wstring());
    const HANDLE out = temp_handle(native(capture_path()).wstring());
    const HANDLE err = temp_handle(native(capture_path()).wstring());
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = INVALID_HANDLE_VALUE;
    si.hStdOutput = out;
    si.hStdError = err;
    PROCESS_INFORMATION pi{};
    const std::wstring dir = cwd.empty() ? std::wstring() : native(cwd).wstring();
    RunResult r;
    // Under Wine a start now and then fails for a moment while the Wine
    // server is busy with another test's processes; a few tries ride it out,
    // and a start that keeps failing says why.
    bool started = false;
    DWORD start_error = 0;
    for (int attempt = 0; attempt < 5 && !started; ++attempt) {
        if (attempt > 0) Sleep(200 * attempt);
        started = CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                 dir.empty() ? nullptr : dir.c_str(), &si, &pi);
        if (!started) start_error = GetLastError();
    }
    if (started) {
        if (WaitForSingleObject(pi.hProcess, 120 * 1000) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 128);
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        r.status = static_cast<int>(code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    r.out = text_from_platform(slurp(out));
    r.err = text_from_platform(slurp(err));
    if (!started) {
        r.status = 127;
        r.err += "CreateProcessW failed with error " + std::to_string(start_error) + "\n";
    }
    CloseHandle(out);
    CloseHandle(err);
    return r;
}

#else

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

// Starts the executable with its standard output and error on the given
// descriptors and its limits set.
pid_t start_tool(const std::string& exe, const std::vector<std::string>& args, const std::string& cwd,
                 const char* argv0, int out_fd, int err_fd, long file_size_limit, long address_space_limit) {
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
        if (address_space_limit >= 0) limit(RLIMIT_AS, static_cast<rlim_t>(address_space_limit));
        execv(exe.c_str(), argv.data());
        _exit(127);
    }
    return pid;
}

int status_of(int wstatus) { return WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus); }

}  // namespace

RunResult run_tool(const std::string& exe, const std::vector<std::string>& args, const std::string& cwd,
                   const char* argv0, long file_size_limit, long address_space_limit) {
    const int out_fd = temp_fd();
    const int err_fd = temp_fd();
    const pid_t pid = start_tool(exe, args, cwd, argv0, out_fd, err_fd, file_size_limit, address_space_limit);
    int wstatus = 0;
    struct rusage usage {};
    wait4(pid, &wstatus, 0, &usage);
    RunResult r;
    r.max_rss_kib = usage.ru_maxrss;
    r.status = status_of(wstatus);
    r.out = slurp_fd(out_fd);
    r.err = slurp_fd(err_fd);
    close(out_fd);
    close(err_fd);
    return r;
}

int run_tool_killed_after(const std::string& exe, const std::vector<std::string>& args, long microseconds) {
    const int null_fd = open("/dev/null", O_WRONLY);
    const pid_t pid = start_tool(exe, args, "", nullptr, null_fd, null_fd, -1, -1);
    close(null_fd);
    usleep(static_cast<useconds_t>(microseconds));
    kill(pid, SIGKILL);  // a run that has ended waits as a zombie: no other process is hit
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    return status_of(wstatus);
}

#endif
