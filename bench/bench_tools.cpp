// Whole-tool benchmark: runs the four tools on synthetic inputs that it
// generates itself, side by side with cp, cat and iconv, and prints medians,
// ratios, throughput and peak resident memory against the budget.
//
//   mt_bench [--runs N] [--dir DIR] [--tmpfs DIR] [--callgrind] [--baseline DIR]...
//
// Every command runs once to warm up and then N times (default 7); the table
// shows the median wall time. The analyzers run on each image into an empty
// destination and again over their own reports, cp alike, once in --dir (the
// system's temporary directory by default, a disk file system) and once in
// --tmpfs (default /dev/shm/mt-bench; "--tmpfs ''" leaves it out), each row
// naming its file system. --callgrind also counts the instructions of one
// run of each analyzer under valgrind (repeatable, unlike wall time).
// The decoders convert 64 MiB of game text with some two-byte codes and 64 MiB
// of single-byte codes alone. --baseline DIR also runs another build's tools
// (DIR a build directory: each tool in the folder it has here, else anywhere
// below DIR, as in an older build) on the same inputs, its runs taking turns
// with these, and shows both builds' times and counts; given more than once,
// every such build's, all taking turns. A tool that a build does not have is
// shown without its times there.
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/chartables.h"
#include "games/a/chartables.h"

namespace {

namespace fs = std::filesystem;

constexpr size_t kMiB = 1024 * 1024;

struct Sample {
    double seconds;
    long max_rss_kib;
};

struct Measure {
    double median_s = 0;
    long max_rss_kib = 0;
};

// A tool's times in this build and (with --baseline) in each other build,
// where that build has the tool.
struct ToolMeasure {
    Measure tool;
    std::vector<std::optional<Measure>> others;
};

// Another build given by --baseline: its directory and the path of each of
// this build's tools that it has.
struct OtherBuild {
    std::string dir;
    std::map<std::string, std::string> tools;
};

// What every measurement needs: the runs per command and the other builds
// (none without --baseline).
struct Setup {
    int runs = 7;
    std::vector<OtherBuild> others;
};

// The same tool in another build: the same folder and file name below its
// directory, else (a build of other folders) the first file of that name
// below it, outside CMake's own folders; empty when it has none.
std::string find_other_tool(const std::string& other_dir, const std::string& tool) {
    const fs::path p(tool);
    const fs::path same = fs::path(other_dir) / p.parent_path().filename() / p.filename();
    if (fs::exists(same)) return same.string();
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(other_dir, error); !error && it != fs::end(it); it.increment(error)) {
        if (it->path().filename() == "CMakeFiles") it.disable_recursion_pending();
        else if (it->path().filename() == p.filename() && it->is_regular_file()) return it->path().string();
    }
    return "";
}

OtherBuild find_other_build(const std::string& dir, const std::vector<std::string>& tools) {
    OtherBuild build{dir, {}};
    for (const std::string& tool : tools) {
        const std::string found = find_other_tool(dir, tool);
        if (!found.empty()) build.tools[tool] = found;
    }
    return build;
}

// Deterministic pseudo-random bytes (xorshift64).
class Random {
public:
    uint8_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<uint8_t>(state_ >> 24);
    }

private:
    uint64_t state_ = 0x9E3779B97F4A7C15ull;
};

void write_bytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!f) {
        fprintf(stderr, "cannot write %s\n", path.c_str());
        exit(1);
    }
}

// A HiROM image of rom_size random bytes behind a 512-byte copier header,
// with the cartridge header (title and map mode 0x21) at rom offset 0xFFC0.
std::vector<uint8_t> make_image(size_t rom_size, const char* title) {
    Random r;
    std::vector<uint8_t> image(512 + rom_size);
    for (auto& b : image) b = r.next();
    if (title) {
        memcpy(&image[512 + 0xFFC0], title, 21);
        image[512 + 0xFFC0 + 21] = 0x21;
    }
    return image;
}

// Random text without any title: letters that never form "MERIDIAN".
std::vector<uint8_t> make_untitled(size_t size) {
    Random r;
    std::vector<uint8_t> image(size);
    for (auto& b : image) {
        b = r.next();
        if (b == 'M') b = 'N';
    }
    return image;
}

// Game text: mostly single-byte kana, some two-byte codes (none without
// two_byte_codes), a line end now and then.
std::vector<uint8_t> make_game_text(size_t size, bool two_byte_codes) {
    Random r;
    std::vector<uint8_t> text;
    text.reserve(size);
    while (text.size() < size) {
        const uint8_t x = r.next();
        if (x < 8) {
            text.push_back(0x00);
        } else if (x < 80 && two_byte_codes) {
            text.push_back(static_cast<uint8_t>(0x20 + (x & 3)));
            text.push_back(r.next());
        } else {
            text.push_back(static_cast<uint8_t>(0x51 + x % 0xAF));
        }
    }
    text.resize(size);
    return text;
}

// Shift-JIS text of about the same kind and size, for iconv.
std::vector<uint8_t> make_sjis_text(size_t size) {
    Random r;
    std::vector<uint8_t> text;
    text.reserve(size + 2);
    while (text.size() < size) {
        const uint8_t x = r.next();
        const char* entry = x < 8 ? "\n" : mt2::kCharTables.dbl[(x * 4 + r.next()) % 1024];
        text.insert(text.end(), entry, entry + strlen(entry));
    }
    return text;  // never cut inside a double-byte character
}

double now_seconds() {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// A run fails with an exit status above max_status (a comparison ends with 1
// when the images differ).
Sample run_once(const std::vector<std::string>& argv, int max_status = 0) {
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    fflush(stdout);
    const double t0 = now_seconds();
    const pid_t pid = fork();
    if (pid == 0) {
        if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr)) _exit(127);
        execvp(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    const double t1 = now_seconds();
    if (!WIFEXITED(status) || WEXITSTATUS(status) > max_status) {
        fprintf(stderr, "command failed: %s\n", argv[0].c_str());
        exit(1);
    }
    return {t1 - t0, usage.ru_maxrss};
}

// Removes everything in dir (untimed), so that the next run creates new files.
void empty_dir(const std::string& dir) {
    for (const auto& e : fs::directory_iterator(dir)) fs::remove_all(e.path());
}

// Median of runs timed runs of each command after a warm-up, the commands
// taking turns so that a busy machine slows them alike. With fresh set, every
// run starts from an empty destination directory.
std::vector<Measure> measure_each(const std::vector<std::vector<std::string>>& argvs, int runs,
                                  const std::string& fresh, int max_status) {
    std::vector<std::vector<double>> times(argvs.size());
    std::vector<Measure> m(argvs.size());
    for (int i = -1; i < runs; ++i) {  // -1: the warm-up
        for (size_t k = 0; k < argvs.size(); ++k) {
            if (!fresh.empty()) empty_dir(fresh);
            const Sample s = run_once(argvs[k], max_status);
            if (i < 0) continue;
            times[k].push_back(s.seconds);
            m[k].max_rss_kib = std::max(m[k].max_rss_kib, s.max_rss_kib);
        }
    }
    for (size_t k = 0; k < argvs.size(); ++k) {
        std::sort(times[k].begin(), times[k].end());
        m[k].median_s = times[k][times[k].size() / 2];
    }
    return m;
}

Measure measure(const std::vector<std::string>& argv, int runs, const std::string& fresh = "", int max_status = 0) {
    return measure_each({argv}, runs, fresh, max_status)[0];
}

// A tool (argv[0]) measured in this build and, with --baseline, in each
// other build that has it, their runs taking turns.
ToolMeasure measure_tool(const Setup& setup, const std::vector<std::string>& argv, const std::string& fresh = "",
                         int max_status = 0) {
    std::vector<std::vector<std::string>> argvs = {argv};
    std::vector<bool> present;
    for (const OtherBuild& build : setup.others) {
        const auto found = build.tools.find(argv[0]);
        present.push_back(found != build.tools.end());
        if (!present.back()) continue;
        argvs.push_back(argv);
        argvs.back()[0] = found->second;
    }
    const std::vector<Measure> m = measure_each(argvs, setup.runs, fresh, max_status);
    ToolMeasure result{m[0], {}};
    size_t next = 1;
    for (const bool p : present) result.others.push_back(p ? std::optional<Measure>(m[next++]) : std::nullopt);
    return result;
}

// What a row is held to: its time over the baseline's at most ratio_budget,
// or (throughput rows) at least 1 GB/s of input.
struct Row {
    std::string what;
    ToolMeasure tool;
    Measure baseline;
    std::string baseline_name;
    double input_mb;
    bool throughput;     // judged by bytes per second instead of the ratio
    bool judged = true;  // held to the budget
    double ratio_budget = 1.0;
    double memory_budget_mib = 16;
};

constexpr double kThroughputBudget = 1e9;  // bytes of game text per second

// The name of the k-th other build in the columns: "other", or with several
// "other1", "other2" and so on.
std::string other_name(size_t k, size_t builds) {
    return builds == 1 ? "other" : "other" + std::to_string(k + 1);
}

// The other builds' headings, and their columns: each one's median time and
// this build's time over it ("-" where the build has no such tool).
std::string other_headings(size_t builds) {
    std::string text;
    char column[48];
    for (size_t k = 0; k < builds; ++k) {
        const std::string name = other_name(k, builds);
        snprintf(column, sizeof column, " %9s %8s", (name + " ms").c_str(), ("vs " + name).c_str());
        text += column;
    }
    return text;
}

std::string other_columns(const ToolMeasure& m) {
    std::string text;
    char column[48];
    for (const std::optional<Measure>& other : m.others) {
        if (other) {
            snprintf(column, sizeof column, " %9.2f %8.2f", other->median_s * 1e3, m.tool.median_s / other->median_s);
        } else {
            snprintf(column, sizeof column, " %9s %8s", "-", "-");
        }
        text += column;
    }
    return text;
}

void print_rows(const std::vector<Row>& rows, const Setup& setup) {
    const size_t builds = setup.others.size();
    printf("\n%-53s %9s%s %9s %7s %10s %9s  %s\n", "run", "tool ms", other_headings(builds).c_str(), "base ms",
           "ratio", "tool MB/s", "peak MiB", "budget");
    for (const Row& r : rows) {
        const Measure& tool = r.tool.tool;
        const double ratio = tool.median_s / r.baseline.median_s;
        const double bytes_per_s = r.input_mb * kMiB / tool.median_s;
        const bool mem_ok = tool.max_rss_kib < r.memory_budget_mib * 1024;
        const bool speed_ok = r.throughput ? bytes_per_s >= kThroughputBudget : ratio <= r.ratio_budget;
        const char* verdict = !r.judged ? "-" : speed_ok && mem_ok ? "met" : "MISSED";
        char budget[32];
        if (r.throughput) {
            snprintf(budget, sizeof budget, ">= 1 GB/s");
        } else {
            snprintf(budget, sizeof budget, "<= %.1f x %s", r.ratio_budget, r.baseline_name.c_str());
        }
        printf("%-53s %9.2f%s %9.2f %7.2f %10.1f %9.1f  %s (%s)\n", r.what.c_str(), tool.median_s * 1e3,
               other_columns(r.tool).c_str(), r.baseline.median_s * 1e3, ratio, bytes_per_s / 1e6,
               tool.max_rss_kib / 1024.0, verdict, r.judged ? budget : "not held to a budget");
    }
    if (builds > 0) {
        printf("\nother ms: the --baseline build's tool on the same input, its runs taking turns with this\n"
               "       build's; vs other: this build's time / the other's (below 1: this build is faster);\n"
               "       - where that build has no such tool.\n");
        for (size_t k = 0; k < builds && builds > 1; ++k) {
            printf("%s: %s\n", other_name(k, builds).c_str(), setup.others[k].dir.c_str());
        }
    }
    printf("\nratio: tool time / baseline time (cp or cat of the image, iconv of as much Shift-JIS\n"
           "       text, one export of one image for the comparison and the import);\n"
           "MB/s: 10^6 bytes of input per second.\n"
           "budget: an analyzer run into an empty directory <= 1.0 x cp on a disk file system, <= 0.5 x cp\n"
           "       on tmpfs; the 64 MiB image without a title <= 1.2 x cat; decoders >= 1 GB/s;\n"
           "       peak MiB < 16 (the comparison: <= 2.0 x one export, the import of every CSV file\n"
           "       of an image: <= 3.0 x one export; both < 32).\n"
           "new: into an empty directory; replacing: over the files of the run before, each truncated\n"
           "       when it is opened (ext4 pushes such a file to the disk when it is closed: cp\n"
           "       replaces one file, an analyzer 18 or 19), shown beside the budget, not held to it.\n"
           "The analyzer fuzz target's inputs per second are not measured here: CI's fuzz step prints\n"
           "       them (libFuzzer's exec/s and the runs of each target).\n");
}

// The file system of a directory, as the rows name it.
std::string file_system_name(const std::string& dir) {
    struct statfs fs_info {};
    if (statfs(dir.c_str(), &fs_info) != 0) return "?";
    switch (static_cast<unsigned long>(fs_info.f_type)) {
        case 0x01021994UL: return "tmpfs";
        case 0xEF53UL: return "ext4";
        case 0x9123683EUL: return "btrfs";
        case 0x58465342UL: return "xfs";
        case 0x794C7630UL: return "overlay";
        default: return "other";
    }
}

// The analyzer rows of one directory: both small images into an empty
// destination and over their reports, the 64 MiB image without a title.
void analyzer_rows(std::vector<Row>& rows, const std::string& dir, const std::string& inputs, const Setup& setup) {
    const std::string out = dir + "/out";
    fs::create_directories(out);
    const std::string a = dir + "/a.smc", b = dir + "/b.smc", u = dir + "/untitled.bin";
    if (dir != inputs) {
        for (const char* f : {"/a.smc", "/b.smc", "/untitled.bin"}) fs::copy_file(inputs + f, dir + f);
    }
    const std::string fsys = file_system_name(dir);
    const bool tmpfs = fsys == "tmpfs";
    const double new_budget = tmpfs ? 0.5 : 1.0;
    auto cp = [&](const std::string& f, const std::string& fresh = "") {
        return measure({"cp", f, out + "/"}, setup.runs, fresh);
    };
    Row row{"mt2analyzer, 2 MiB image, new, " + fsys, measure_tool(setup, {MT2ANALYZER, a, out}, out), cp(a, out), "cp",
            2, false};
    row.ratio_budget = new_budget;
    rows.push_back(row);
    rows.push_back({"mt2analyzer, 2 MiB image, replacing, " + fsys, measure_tool(setup, {MT2ANALYZER, a, out}), cp(a),
                    "cp", 2, false, false});
    row = {"mt3analyzer, 4 MiB image, new, " + fsys, measure_tool(setup, {MT3ANALYZER, b, out}, out), cp(b, out), "cp", 4,
           false};
    row.ratio_budget = new_budget;
    rows.push_back(row);
    rows.push_back({"mt3analyzer, 4 MiB image, replacing, " + fsys, measure_tool(setup, {MT3ANALYZER, b, out}), cp(b),
                    "cp", 4, false, false});
    const Measure cat_u = measure({"cat", u}, setup.runs);
    for (const auto& [name, tool] : {std::pair{"mt2analyzer", MT2ANALYZER}, std::pair{"mt3analyzer", MT3ANALYZER}}) {
        row = {std::string(name) + ", 64 MiB without title, " + fsys, measure_tool(setup, {tool, u, out}), cat_u, "cat",
               64, false};
        row.ratio_budget = 1.2;
        rows.push_back(row);
    }
}

// The instructions of one run of the tool under valgrind, as callgrind
// prints them (empty when valgrind is not available).
std::string callgrind_count(const std::string& tool, const std::string& image, const std::string& out) {
    const std::string log = out + "/callgrind.log";
    const std::string cmd = "valgrind --tool=callgrind --callgrind-out-file=/dev/null '" + tool + "' '" + image +
                            "' '" + out + "' >/dev/null 2>'" + log + "'";
    if (system(cmd.c_str()) != 0) return "";
    std::ifstream f(log);
    std::string line, refs;
    while (std::getline(f, line)) {
        const auto p = line.find("Collected : ");
        if (p != std::string::npos) refs = line.substr(p + 12);
    }
    return refs;
}

void callgrind(const Setup& setup, const std::string& tool, const std::string& image, const std::string& out) {
    const std::string what = fs::path(tool).filename().string() + " " + fs::path(image).filename().string();
    const std::string count = callgrind_count(tool, image, out);
    if (count.empty()) {
        printf("%-40s valgrind not available\n", what.c_str());
        return;
    }
    std::string others;
    for (size_t k = 0; k < setup.others.size(); ++k) {
        const auto found = setup.others[k].tools.find(tool);
        const std::string other =
            found == setup.others[k].tools.end() ? "" : callgrind_count(found->second, image, out);
        others += ", " + other_name(k, setup.others.size()) + " build " + (other.empty() ? "-" : other);
    }
    printf("%-40s %s instructions%s\n", what.c_str(), count.c_str(), others.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    Setup setup;
    std::string dir = (fs::temp_directory_path() / "mt-bench").string();
    std::string tmpfs_dir = fs::is_directory("/dev/shm") ? "/dev/shm/mt-bench" : "";
    bool with_callgrind = false;
    std::vector<std::string> other_dirs;
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "--runs") && i + 1 < argc) setup.runs = std::max(1, atoi(argv[++i]));
        else if (!strcmp(argv[i], "--dir") && i + 1 < argc) dir = argv[++i];
        else if (!strcmp(argv[i], "--tmpfs") && i + 1 < argc) tmpfs_dir = argv[++i];
        else if (!strcmp(argv[i], "--callgrind")) with_callgrind = true;
        else if (!strcmp(argv[i], "--baseline") && i + 1 < argc) other_dirs.push_back(argv[++i]);
        else {
            fprintf(stderr, "usage: %s [--runs N] [--dir DIR] [--tmpfs DIR] [--callgrind] [--baseline DIR]...\n",
                    argv[0]);
            return 2;
        }
    }
    const std::vector<std::string> tools = {MT2ANALYZER, MT3ANALYZER, MT2DECODER, MT3DECODER,
                                            MT3EXPORT,   MT3COMPARE,  MT3IMPORT};
    for (const std::string& dir : other_dirs) {
        setup.others.push_back(find_other_build(dir, tools));
        if (!setup.others.back().tools.empty()) continue;
        fprintf(stderr, "%s: no tool of this build in the baseline build %s\n", argv[0], dir.c_str());
        return 2;
    }
    if (tmpfs_dir == dir) tmpfs_dir.clear();
    fs::remove_all(dir);
    fs::create_directories(dir + "/out");
    if (!tmpfs_dir.empty()) {
        fs::remove_all(tmpfs_dir);
        fs::create_directories(tmpfs_dir);
    }
    const std::string out = dir + "/out";
    printf("generating inputs in %s ...\n", dir.c_str());
    write_bytes(dir + "/a.smc", make_image(2 * kMiB, "MERIDIAN TALES2      "));
    {
        // Freed before the runs: each child starts with this process's resident pages.
        std::vector<uint8_t> image_b = make_image(4 * kMiB, "MERIDIAN TALES3      ");
        write_bytes(dir + "/b.smc", image_b);
        for (size_t i = 512; i < image_b.size(); i += 4099) image_b[i] ^= 0x5A;  // inside and outside the tables
        write_bytes(dir + "/b2.smc", image_b);
    }
    write_bytes(dir + "/untitled.bin", make_untitled(64 * kMiB));
    write_bytes(dir + "/text.bin", make_game_text(64 * kMiB, true));
    write_bytes(dir + "/single.bin", make_game_text(64 * kMiB, false));
    write_bytes(dir + "/text.sjis", make_sjis_text(64 * kMiB));

    std::vector<Row> rows;
    printf("running each command %d times after a warm-up ...\n", setup.runs);
    analyzer_rows(rows, dir, dir, setup);
    if (!tmpfs_dir.empty()) analyzer_rows(rows, tmpfs_dir, dir, setup);
    const Measure iconv =
        measure({"iconv", "-f", "CP932", "-t", "UTF-8", "-o", out + "/iconv.txt", dir + "/text.sjis"}, setup.runs);
    for (const std::string& to : {dir, tmpfs_dir}) {
        if (to.empty()) continue;
        const std::string text = to + "/out/text.txt";
        const std::string fsys = ", output on " + file_system_name(to);
        for (const auto& [input, what] : {std::pair{"/text.bin", ", 64 MiB game text"},
                                          std::pair{"/single.bin", ", 64 MiB single-byte codes"}}) {
            for (const auto& [name, tool] : {std::pair{"mt2decoder", MT2DECODER}, std::pair{"mt3decoder", MT3DECODER}}) {
                rows.push_back({name + std::string(what) + fsys, measure_tool(setup, {tool, dir + input, text}), iconv,
                                "iconv", 64, true});
            }
        }
        fs::remove(text);
    }
    const std::string b = dir + "/b.smc", b2 = dir + "/b2.smc";
    const Measure export_b = measure({MT3EXPORT, b, out}, setup.runs);
    Row compare{"mt3compare, two 4 MiB images", measure_tool(setup, {MT3COMPARE, b, b2}, "", 1), export_b,
                "mt3export", 8, false};
    compare.ratio_budget = 2.0;
    compare.memory_budget_mib = 32;
    rows.push_back(compare);
    // Every CSV file of the image (exported once, untimed) imported back into
    // a new image and a BPS patch.
    const std::string csv = dir + "/csv";
    fs::create_directories(csv);
    run_once({MT3EXPORT, "-c", b, csv});
    std::vector<std::string> import = {MT3IMPORT, "-o", out + "/new.smc", "-p", out + "/new.bps", b};
    for (const auto& e : fs::directory_iterator(csv)) import.push_back(e.path().string());
    Row import_row{"mt3import, every CSV file of a 4 MiB image", measure_tool(setup, import), export_b, "mt3export",
                   4, false};
    import_row.ratio_budget = 3.0;
    import_row.memory_budget_mib = 32;
    rows.push_back(import_row);
    print_rows(rows, setup);
    if (with_callgrind) {
        printf("\ninstruction counts (valgrind --tool=callgrind, one run):\n");
        callgrind(setup, MT2ANALYZER, dir + "/a.smc", out);
        callgrind(setup, MT3ANALYZER, b, out);
        callgrind(setup, MT2ANALYZER, dir + "/untitled.bin", out);
    }
    fs::remove_all(dir);
    if (!tmpfs_dir.empty()) fs::remove_all(tmpfs_dir);
    return 0;
}
