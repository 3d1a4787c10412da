// Hostile inputs and injected faults against the built analyzers: images cut
// short inside every table, images that are not files, destinations that cannot
// hold reports, huge sparse images, and many random images.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <csignal>
#include <cstring>
#include <map>
#include <random>
#include <string>

#include "tests/tools/game_layouts.h"
#include "tests/support/test_util.h"

namespace {

constexpr long kCopier = 512;

// An image of the game with random bytes in every table region.
RomBuilder random_image(const GameLayout& game, unsigned seed) {
    RomBuilder rom(static_cast<size_t>(game.rom.rom_size));
    rom.header(game.rom.title, game.rom.map_mode).copier(kCopier);
    std::mt19937 rng(seed);
    for (const TableRegion& t : game.rom.tables) {
        Bytes bytes(static_cast<size_t>(t.size));
        for (auto& b : bytes) b = static_cast<uint8_t>(rng());
        rom.put(t.offset, bytes);
    }
    return rom;
}

long count_lines(const std::string& text) { return static_cast<long>(std::count(text.begin(), text.end(), '\n')); }

// The file size limit of the killed runs.
constexpr size_t kCutAt = 4096;

// What a killed run left: a prefix of the complete output, nothing else.
[[maybe_unused]] void expect_prefix_only(const std::string& left, const std::string& complete, char old_byte) {
    EXPECT_GT(left.size(), 0u);
    EXPECT_LE(left.size(), kCutAt);
    EXPECT_EQ(left, complete.substr(0, left.size()));
    EXPECT_EQ(left.find(old_byte), std::string::npos);
}

#ifndef _WIN32
// Makes a FIFO at path whose reader takes at most 100 bytes and quits; the
// returned reader is to be passed to end_reader.
pid_t fifo_that_quits_early(const std::string& path) {
    if (mkfifo(path.c_str(), 0600) != 0) return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        char buf[100];
        const int fd = open(path.c_str(), O_RDONLY);
        _exit(fd >= 0 && read(fd, buf, sizeof buf) > 0 ? 0 : 1);
    }
    return pid;
}

void end_reader(pid_t reader) {
    kill(reader, SIGKILL);  // in case the tool never opened the FIFO
    waitpid(reader, nullptr, 0);
}
#endif

class FaultTest : public ::testing::TestWithParam<const GameLayout*> {
protected:
    const GameLayout& game() const { return *GetParam(); }

    TempDir dir_;
    std::string image_ = dir_.file("image.smc");
    std::string out_ = dir_.file("out");
};

}  // namespace

TEST_P(FaultTest, ImageCutShortInsideEveryTable) {
    const RomBuilder rom = random_image(game(), 1);
    ASSERT_EQ(make_dir(out_), 0);
    for (const TableRegion& t : game().rom.tables) {
        for (long cut : {t.offset, t.offset + t.size / 2, t.offset + t.size - 1}) {
            rom.write_truncated(image_, static_cast<size_t>(kCopier + cut));
            const RunResult r = run_tool(game().tool, {image_, out_});
            EXPECT_EQ(r.status, 1) << t.name << " cut at " << cut;
            EXPECT_EQ(r.err, std::string(game().tool) + ": Fatal error in fread(): Unexpected end of file\n") << t.name;
            EXPECT_TRUE(list_dir(out_).empty()) << t.name << " cut at " << cut;
        }
    }
}

TEST_P(FaultTest, ImageThatIsNotAReadableFile) {
    ASSERT_EQ(make_dir(out_), 0);
    RunResult r = run_tool(game().tool, {dir_.path(), out_});
    EXPECT_EQ(r.status, 1);
#ifdef _WIN32
    // Windows opens no directory as a file.
    EXPECT_EQ(r.err, std::string(game().tool) + ": Invalid ROM-Image file - " + dir_.path() + "\n");
#else
    EXPECT_EQ(r.err, std::string(game().tool) + ": Fatal error in fread(): " + strerror(EISDIR) + "\n");
#endif
    MAKE_SYMLINK(dir_.file("nowhere"), image_);
    r = run_tool(game().tool, {image_, out_});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, std::string(game().tool) + ": Invalid ROM-Image file - " + image_ + "\n");
    EXPECT_TRUE(list_dir(out_).empty());
}

TEST_P(FaultTest, DestinationThatIsARegularFile) {
    random_image(game(), 2).write(image_);
    write_file(out_, std::string("keep"));
    const RunResult r = run_tool(game().tool, {image_, out_});
    EXPECT_EQ(r.status, 1);
    std::string expected;
    for (const ReportShape& s : game().reports) {
        expected += std::string(game().tool) + ": Cannot create file - " + out_ + "/" + s.file + ": " + strerror(kNotDirectoryErrno) + "\n";
    }
    EXPECT_EQ(r.err, expected);
    EXPECT_EQ(read_file(out_), "keep");
}

TEST_P(FaultTest, ReportThatCannotBeCompletelyWritten) {
    if (!have_dev_full()) GTEST_SKIP() << "no /dev/full";
    random_image(game(), 3).write(image_);
    ASSERT_EQ(make_dir(out_), 0);
    const std::string victim = out_ + "/" + game().reports[3].file;
    MAKE_SYMLINK("/dev/full", victim);
    const RunResult r = run_tool(game().tool, {image_, out_});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, std::string(game().tool) + ": Cannot create file - " + victim + ": " + strerror(ENOSPC) + "\n");
    EXPECT_EQ(list_dir(out_).size(), game().reports.size());
}

// A device that never runs dry reports a size of 0: the title search ends at
// once, the image base stays 0 and every report is written.
TEST_P(FaultTest, EndlessDeviceAsImage) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no /dev/zero or /dev/urandom";
#else
    ASSERT_EQ(make_dir(out_), 0);
    for (const char* device : {"/dev/zero", "/dev/urandom"}) {
        const RunResult r = run_tool(game().tool, {device, out_});
        EXPECT_EQ(r.status, 0) << device;
        EXPECT_EQ(r.err, "") << device;
        EXPECT_EQ(list_dir(out_).size(), game().reports.size()) << device;
    }
#endif
}

// A run killed midway (here by a file size limit) leaves in a report that
// existed, larger, before it only a prefix of the new report: no old bytes.
TEST_P(FaultTest, KilledRunLeavesNoOldBytes) {
#ifdef _WIN32
    GTEST_SKIP() << "a file size limit that kills the run (RLIMIT_FSIZE) is POSIX only";
#else
    random_image(game(), 4).write(image_);
    TempDir whole;
    ASSERT_EQ(run_tool(game().tool, {image_, whole.path()}).status, 0);
    const std::string first = game().reports[0].file;
    const std::string expected = read_file(whole.file(first));
    ASSERT_GT(expected.size(), 3 * kCutAt);
    ASSERT_EQ(make_dir(out_), 0);
    write_file(out_ + "/" + first, std::string(2 * expected.size(), 'X'));
    const RunResult r = run_tool(game().tool, {image_, out_}, "", nullptr, kCutAt);
    EXPECT_EQ(r.status, 128 + SIGXFSZ);
    expect_prefix_only(read_file(out_ + "/" + first), expected, 'X');
#endif
}

TEST(DecoderFault, KilledRunLeavesNoOldBytes) {
#ifdef _WIN32
    GTEST_SKIP() << "a file size limit that kills the run (RLIMIT_FSIZE) is POSIX only";
#else
    TempDir dir;
    write_file(dir.file("t.bin"), std::string(100000, '\x51'));
    write_file(dir.file("t.txt"), std::string(400000, 'O'));
    const RunResult r = run_tool(MT2DECODER, {dir.file("t.bin"), dir.file("t.txt")}, "", nullptr, kCutAt);
    EXPECT_EQ(r.status, 128 + SIGXFSZ);
    std::string expected;
    for (int i = 0; i < 100000; ++i) expected += "あ";
    expect_prefix_only(read_file(dir.file("t.txt")), expected, 'O');
#endif
}

// A report pipe whose reader quits early is an ordinary write error.
TEST_P(FaultTest, ReportPipeWhoseReaderQuits) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no FIFOs in the file system";
#else
    random_image(game(), 5).write(image_);
    ASSERT_EQ(make_dir(out_), 0);
    const std::string pipe = out_ + "/" + game().reports[5].file;  // the largest report
    const pid_t reader = fifo_that_quits_early(pipe);
    ASSERT_GT(reader, 0);
    const RunResult r = run_tool(game().tool, {image_, out_});
    end_reader(reader);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, std::string(game().tool) + ": Cannot create file - " + pipe + ": " + strerror(EPIPE) + "\n");
    EXPECT_EQ(list_dir(out_).size(), game().reports.size());
    EXPECT_TRUE(file_exists(out_ + "/" + game().reports.back().file));
#endif
}

TEST(DecoderFault, OutputPipeWhoseReaderQuits) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no FIFOs in the file system";
#else
    TempDir dir;
    write_file(dir.file("t.bin"), std::string(100000, '\x51'));
    const pid_t reader = fifo_that_quits_early(dir.file("t.txt"));
    ASSERT_GT(reader, 0);
    const RunResult r = run_tool(MT2DECODER, {dir.file("t.bin"), dir.file("t.txt")});
    end_reader(reader);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, std::string(MT2DECODER) + ": Cannot decode\n");
#endif
}

TEST_P(FaultTest, HugeSparseImagesKeepMemorySmall) {
#if defined(MT_SANITIZED)
    GTEST_SKIP() << "sanitizers add their own memory";
#elif defined(_WIN32)
    GTEST_SKIP() << "the peak memory of a process is measured through wait4";
#else
    const off_t size = off_t{1} << 30;
    ASSERT_EQ(make_dir(out_), 0);
    // Without any title: the whole file is searched, then read as if base 0.
    int fd = open(image_.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, size), 0);
    close(fd);
    RunResult u = run_tool(game().tool, {image_, out_});
    EXPECT_EQ(u.status, 0);
    EXPECT_LT(u.max_rss_kib, 16 * 1024);
    // With the title near the end: the ROM proper is the file's last part.
    const RomBuilder header_only = RomBuilder(0x10000).header(game().rom.title, game().rom.map_mode);
    const Bytes h = header_only.image();
    const long header_at = (game().rom.map_mode & 0x0F) ? 0xFFC0 : 0x7FC0;
    fd = open(image_.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    const off_t base = size - game().rom.rom_size;
    ASSERT_EQ(pwrite(fd, h.data() + header_at, 22, base + header_at), 22);
    close(fd);
    u = run_tool(game().tool, {image_, out_});
    EXPECT_EQ(u.status, 0);
    EXPECT_LT(u.max_rss_kib, 16 * 1024);
    EXPECT_EQ(list_dir(out_).size(), game().reports.size());
#endif
}

TEST_P(FaultTest, RandomImagesGiveCompleteRepeatableReports) {
#if defined(MT_SANITIZED) || defined(_WIN32)
    const unsigned kImages = 30;  // each run costs much more there
#else
    const unsigned kImages = 200;
#endif
    for (unsigned seed = 100; seed < 100 + kImages; ++seed) {
        random_image(game(), seed).write(image_);
        TempDir first, second;
        const RunResult r1 = run_tool(game().tool, {image_, first.path()});
        const RunResult r2 = run_tool(game().tool, {image_, second.path()});
        ASSERT_EQ(r1.status, 0) << "seed " << seed << ": " << r1.err;
        ASSERT_EQ(r2.status, 0);
        EXPECT_EQ(r1.err, "");
        ASSERT_EQ(list_dir(first.path()).size(), game().reports.size()) << "seed " << seed;
        for (const ReportShape& s : game().reports) {
            const std::string a = read_file(first.file(s.file));
            EXPECT_EQ(a, read_file(second.file(s.file))) << s.file << " seed " << seed;
            if (!s.varies) {
                EXPECT_EQ(count_lines(a), s.lines) << s.file << " seed " << seed;
            }
            EXPECT_TRUE(a.empty() || a.back() == '\n') << s.file;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Games, FaultTest, ::testing::Values(&game_a_layout(), &game_b_layout()),
                         [](const auto& info) { return std::string(info.param == &game_a_layout() ? "GameA" : "GameB"); });

namespace {

// How a tool is given its input in the sweep below.
enum class ToolInput {
    kImage,       // a random image of its game and a destination folder
    kGameText,    // game text and the decoded text (the decoders)
    kTwoImages,   // the same random image twice (the comparisons: status 0)
    kEditedFile,  // the image, its exported monsters CSV, a new image and a BPS patch
};

// A tool, its input, and the status that a failed run ends with (the
// comparisons' trouble is 2, as in diff and cmp).
struct ToolCase {
    const char* tool;
    const GameLayout* game;  // the image's game, null for game text
    ToolInput input;
    int failure;
    const char* exporter;  // makes the edited file
};

void PrintTo(const ToolCase& c, std::ostream* os) { *os << c.tool; }

// The arguments of a case's run, with its inputs made in dir.
[[maybe_unused]] std::vector<std::string> sweep_arguments(const ToolCase& c, const TempDir& dir) {
    if (c.input == ToolInput::kGameText) {
        write_file(dir.file("t.bin"), std::string(100000, '\x51'));
        return {dir.file("t.bin"), dir.file("t.txt")};
    }
    const std::string image = dir.file("image.smc");
    random_image(*c.game, 9).write(image);
    if (c.input == ToolInput::kImage) return {image, dir.path()};
    if (c.input == ToolInput::kTwoImages) return {image, image};
    if (run_tool(c.exporter, {"-c", image, dir.path()}).status != 0) return {};
    std::string sheet;
    for (const std::string& name : list_dir(dir.path())) {
        if (name.ends_with("-monsters.csv")) sheet = dir.file(name);
    }
    return {"-o", dir.file("new.smc"), "-p", dir.file("new.bps"), image, sheet};
}

class MemoryLimitTest : public ::testing::TestWithParam<ToolCase> {};

}  // namespace

// Memory that runs out at any point of a run, from the smallest address space
// in which the tool gets past the dynamic loader up to the one in which it
// succeeds, ends the run with "Fatal error in malloc()" and its failure
// status, never with a signal or with files anywhere but in the destination.
// The limit grows by a page over the first 4 MiB above the smallest (the
// start-up, the tool's tables and small allocations), then by 16 pages
// (where the comparisons and the importers hold whole images).
TEST_P(MemoryLimitTest, EveryLimitEndsInStatusZeroOrOne) {
#if defined(MT_SANITIZED)
    GTEST_SKIP() << "the sanitizers reserve far more address space than any limit here";
#elif defined(_WIN32)
    GTEST_SKIP() << "an address-space limit (RLIMIT_AS) is POSIX only";
#else
    const ToolCase& c = GetParam();
    TempDir dir;
    const std::vector<std::string> args = sweep_arguments(c, dir);
    ASSERT_FALSE(args.empty());
    TempDir cwd;  // nothing goes anywhere but to the destination
    const auto run = [&](long limit) { return run_tool(c.tool, args, cwd.path(), nullptr, -1, limit); };
    constexpr long kPage = 4096;  // a page: every allocation of the run fails at some limit
    constexpr long kFine = 4 << 20;
    long lo = 1 << 20, hi = 256 << 20;
    // Below the size of the program's own mapping the kernel cannot even
    // start it (SIGSEGV during exec): the search starts above that.
    while (lo < (16 << 20) && run(lo).status == 128 + SIGSEGV) lo += 1 << 20;
    ASSERT_EQ(run(lo).status, 127);  // the loader cannot map the program
    ASSERT_EQ(run(hi).status, 0);
    while (hi - lo > kPage) {
        const long mid = (lo + hi) / 2 / kPage * kPage;
        (run(mid).status == 127 ? lo : hi) = mid;
    }
    int failures = 0;
    for (long limit = hi; limit < hi + (64 << 20); limit += limit < hi + kFine ? kPage : 16 * kPage) {
        const RunResult r = run(limit);
        // Near the smallest limit starting the program (exec, the dynamic
        // loader) still fails now and then (127), before any of the tool's
        // own code: the tool never ends so itself.
        if (r.status == 127) continue;
        ASSERT_TRUE(r.status == 0 || r.status == c.failure)
            << "limit " << limit << ": status " << r.status << " " << r.err;
        if (r.status == 0) break;
        EXPECT_NE(r.err.find(std::string(c.tool) + ": Fatal error in malloc()"), std::string::npos)
            << "limit " << limit << ": " << r.err;
        ++failures;
    }
    EXPECT_GT(failures, 0);  // the sweep met the allocations of a run
    EXPECT_TRUE(list_dir(cwd.path()).empty());
#endif
}

INSTANTIATE_TEST_SUITE_P(
    EveryTool, MemoryLimitTest,
    ::testing::Values(ToolCase{MT2ANALYZER, &game_a_layout(), ToolInput::kImage, 1, nullptr},
                      ToolCase{MT3ANALYZER, &game_b_layout(), ToolInput::kImage, 1, nullptr},
                      ToolCase{MT2DECODER, nullptr, ToolInput::kGameText, 1, nullptr},
                      ToolCase{MT3DECODER, nullptr, ToolInput::kGameText, 1, nullptr},
                      ToolCase{MT2EXPORT, &game_a_layout(), ToolInput::kImage, 1, nullptr},
                      ToolCase{MT3EXPORT, &game_b_layout(), ToolInput::kImage, 1, nullptr},
                      ToolCase{MT2COMPARE, &game_a_layout(), ToolInput::kTwoImages, 2, nullptr},
                      ToolCase{MT3COMPARE, &game_b_layout(), ToolInput::kTwoImages, 2, nullptr},
                      ToolCase{MT2IMPORT, &game_a_layout(), ToolInput::kEditedFile, 1, MT2EXPORT},
                      ToolCase{MT3IMPORT, &game_b_layout(), ToolInput::kEditedFile, 1, MT3EXPORT}),
    [](const auto& info) {
        const std::string path = info.param.tool;
        const std::string name = path.substr(path.find_last_of("/\\") + 1);
        return name.substr(0, name.find('.'));  // without ".exe"
    });

namespace {

// Every report of a run into dir, with its name.
std::map<std::string, std::string> reports_in(const std::string& dir) {
    std::map<std::string, std::string> texts;
    for (const std::string& name : list_dir(dir)) texts[name] = read_text_file(dir + "/" + name);
    return texts;
}

}  // namespace

// File positions beyond 32 bits: a game image 2.5 GiB into a sparse file of
// 3 GiB gives the reports that the image alone gives.
TEST(LargeImage, TitleBeyondTwoGiBGivesTheReportsOfTheImageAlone) {
    const GameLayout& game = game_a_layout();
    TempDir dir;
    const RomBuilder rom = random_image(game, 7);
    rom.write(dir.file("small.smc"));
    make_sparse_file(dir.file("big.smc"), 3LL << 30);
    write_at(dir.file("big.smc"), 2560LL << 20, rom.image());
    ASSERT_EQ(make_dir(dir.file("small")), 0);
    ASSERT_EQ(make_dir(dir.file("big")), 0);
    const RunResult small = run_tool(game.tool, {dir.file("small.smc"), dir.file("small")});
    const RunResult big = run_tool(game.tool, {dir.file("big.smc"), dir.file("big")});
    EXPECT_EQ(small.status, 0) << small.err;
    EXPECT_EQ(big.status, 0) << big.err;
    EXPECT_EQ(big.err, "");
    EXPECT_EQ(list_dir(dir.file("big")).size(), game.reports.size());
    EXPECT_TRUE(reports_in(dir.file("big")) == reports_in(dir.file("small")));
}

// Names in any script reach the file system intact, whatever the system's
// code page: an image, a destination and a decoded text with Japanese names
// (表 is 0x95 0x5C in code page 932, a backslash as its second byte).
TEST(JapaneseNames, ImageDestinationAndDecodedText) {
    const GameLayout& game = game_a_layout();
    TempDir dir;
    const std::string folder = dir.file(utf8(u8"表データ"));
    ASSERT_EQ(make_dir(folder), 0);
    const std::string image = folder + "/" + utf8(u8"画像表.smc");
    const std::string out = folder + "/" + utf8(u8"出力表");
    random_image(game, 8).write(image);
    ASSERT_EQ(make_dir(out), 0);
    const RunResult r = run_tool(game.tool, {image, out});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(list_dir(out).size(), game.reports.size());

    const std::string text = folder + "/" + utf8(u8"台詞表.bin");
    const std::string decoded = folder + "/" + utf8(u8"台詞表.txt");
    write_file(text, std::string("\x51\x00\x52", 3));
    const RunResult d = run_tool(MT2DECODER, {text, decoded});
    EXPECT_EQ(d.status, 0) << d.err;
    EXPECT_EQ(read_text_file(decoded), "\x82\xA0\n\x82\xA2");  // あ, line end, い
}

// One main per tool family: a tool started by another game's tool name
// (folder and ".exe" in any case aside) is that game's tool; by a name of no
// game's tool, the game it was built for.
TEST(ToolNames, TheProgramNameChoosesTheGame) {
    const struct {
        const char* tool;
        const char* other;  // the other game's tool of the family
        const char* name;   // the other game's tool name, as a copy may spell it
    } kCases[] = {
        {MT2ANALYZER, MT3ANALYZER, "MT3Analyzer.EXE"}, {MT3ANALYZER, MT2ANALYZER, "mt2analyzer"},
        {MT2DECODER, MT3DECODER, "mt3decoder.exe"},    {MT3DECODER, MT2DECODER, "mt2decoder"},
        {MT2EXPORT, MT3EXPORT, "mt3export"},           {MT3EXPORT, MT2EXPORT, "MT2EXPORT.exe"},
        {MT2COMPARE, MT3COMPARE, "mt3compare"},        {MT3COMPARE, MT2COMPARE, "mt2compare"},
        {MT2IMPORT, MT3IMPORT, "mt3import"},           {MT3IMPORT, MT2IMPORT, "mt2import.Exe"},
    };
    const auto banner = [](const std::string& tool) { return split_lines(run_tool(tool, {"-h"}).out).at(0); };
    for (const auto& c : kCases) {
        TempDir dir;
        const std::string as_other = dir.file(c.name), renamed = dir.file("tool");
        if (make_other_name(c.tool, as_other) != 0 || make_other_name(c.tool, renamed) != 0) GTEST_SKIP();
        EXPECT_EQ(banner(as_other), banner(c.other)) << c.name;
        EXPECT_EQ(banner(renamed), banner(c.tool)) << c.tool;
        EXPECT_NE(banner(c.tool), banner(c.other)) << c.tool;
    }
}
