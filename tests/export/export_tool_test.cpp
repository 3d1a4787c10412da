// mt2export and mt3export run end to end on the demo images: the files they
// write, the JSON read back with the library, and the command-line, image and
// output failures with their diagnostics and exit statuses.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <random>
#include <thread>
#ifndef _WIN32
#include <fnmatch.h>
#include <time.h>
#endif

#include "demo/demo.h"
#include "games/a/demo.h"
#include "games/b/demo.h"
#include "tests/support/demo_files_test.h"
#include "tests/support/game_regions.h"
#include "tests/support/test_util.h"
#include "tools/demo_files.h"

using namespace demo;

namespace {

struct Game {
    std::string tool;
    const char* image;
    const GameRegions* regions;
    std::vector<std::string> csv;  // the rom block and table files, without "<prefix>-" and ".csv"
    std::vector<std::pair<std::string, size_t>> counts;
};

const Game kGameA = {MT2EXPORT, kGameAFiles.image, &kGameARegions,
                     {"rom", "monsters", "monster-actions", "characters", "special-characters", "skill-levels",
                      "overall-skill-levels", "items", "techniques", "learning-lists", "learning-entries", "formations",
                      "formation-members"},
                     {{"monsters", 320}, {"characters", 256}, {"special_characters", 16}, {"skill_levels", 50},
                      {"overall_skill_levels", 39}, {"items", 256}, {"techniques", 256}, {"formations", 16}}};
const Game kGameB = {MT3EXPORT, kGameBFiles.image, &kGameBRegions,
                     {"rom", "monsters", "monster-actions", "main-encounters", "main-encounter-rows", "sub-encounters",
                      "sub-encounter-entries", "characters", "items", "techniques", "learning-lists",
                      "learning-entries", "formations", "formation-members"},
                     {{"monsters", 320}, {"main_encounters", 16}, {"sub_encounters", 15}, {"characters", 48},
                      {"items", 256}, {"techniques", 512}, {"formations", 32}}};

void PrintTo(const Game& g, std::ostream* os) { *os << g.tool; }

std::string prefix_of(const Game& g) { return g.tool == kGameA.tool ? "mt2" : "mt3"; }

// Every output of a full run, sorted.
std::vector<std::string> outputs(const Game& g) {
    std::vector<std::string> names = {prefix_of(g) + ".json", prefix_of(g) + ".sql", prefix_of(g) + ".html"};
    for (const std::string& t : g.csv) names.push_back(prefix_of(g) + "-" + t + ".csv");
    std::sort(names.begin(), names.end());
    return names;
}

class ExportTest : public DemoFilesTest<Game> {
protected:
    void SetUp() override {
        DemoFilesTest::SetUp();
        std::filesystem::create_directory(out_);
    }

    RunResult run(const std::vector<std::string>& args) { return run_tool(GetParam().tool, args); }
    std::vector<std::string> written() const { return list_dir(out_); }

    // A second image of the game, with random bytes in every table, and the
    // complete outputs of both images: the files that a run may leave.
    void make_second_image() {
        const std::string demo = read_file(image_);
        Bytes image(demo.begin(), demo.end());
        std::mt19937 rng(11);
        for (const TableRegion& t : GetParam().regions->tables) {
            for (long i = 0; i < t.size; ++i) image[static_cast<size_t>(0x200 + t.offset + i)] = static_cast<uint8_t>(rng());
        }
        write_file(second_, image);
        for (const std::string& source : {image_, second_}) {
            TempDir whole;
            ASSERT_EQ(run({source, whole.path()}).status, 0);
            for (const std::string& name : outputs(GetParam())) complete_[name].push_back(read_file(whole.file(name)));
        }
    }

    // Every output is one run's complete file, and any other name is a
    // hidden temporary file, which no glob of the outputs picks up.
    void expect_whole_files(const std::string& when) {
        for (const auto& [name, versions] : complete_) {
            const std::string now = read_file(out_ + "/" + name);
            EXPECT_TRUE(now == versions[0] || now == versions[1]) << name << " " << when << ": " << now.size() << " bytes";
        }
        for (const std::string& name : written()) {
            if (complete_.count(name)) continue;
            EXPECT_TRUE(name.front() == '.' && name.ends_with(".tmp")) << name << " " << when;
#ifndef _WIN32
            for (const std::string& glob : {prefix_of(GetParam()) + "*.csv", prefix_of(GetParam()) + "*"})
                EXPECT_NE(fnmatch(glob.c_str(), name.c_str(), FNM_PERIOD), 0) << name << " " << glob;
#endif
        }
    }

    std::string second_ = dir_.file("second.smc");
    std::string out_ = dir_.file("out");
    std::map<std::string, std::vector<std::string>> complete_;  // per output: the files of both images
};

TEST_P(ExportTest, WritesTheJsonDocumentAndEveryTableAsCsv) {
    const RunResult r = run({image_, out_});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(written(), outputs(GetParam()));

    const auto doc = nlohmann::json::parse(read_file(out_ + "/" + prefix_of(GetParam()) + ".json"));
    EXPECT_EQ(doc["format"], "meridian-tools-export");
    EXPECT_EQ(doc["rom"]["image_base"], 512);
    for (const auto& [table, count] : GetParam().counts) EXPECT_EQ(doc["tables"][table].size(), count) << table;
    EXPECT_EQ(doc["tables"]["monsters"][319]["actions"].size(), 16u);
    EXPECT_EQ(doc["tables"]["formations"][0]["members"].size(), 5u);
    for (const auto& item : doc["tables"]["items"]) EXPECT_TRUE(item["price"].is_number_unsigned());

    // The identification file: every hash behind "0x" (spreadsheet programs
    // keep it as text), the JSON's plain form after it; other values as in
    // the JSON.
    const std::string rom_csv = read_file(out_ + "/" + prefix_of(GetParam()) + "-rom.csv");
    for (const char* key : {"crc32", "md5", "sha1", "rom_crc32", "rom_md5", "rom_sha1"}) {
        const std::string plain = doc["rom"][key];
        EXPECT_NE(rom_csv.find("\r\n" + std::string(key) + ",0x" + plain + "\r\n"), std::string::npos) << key;
    }
    for (const std::string line : {"\r\nfile_size,", "\r\nchecksum,", "\r\ncomputed_checksum,"}) {
        const size_t at = rom_csv.find(line);
        ASSERT_NE(at, std::string::npos) << line;
        EXPECT_NE(rom_csv[at + line.size()], '0') << line;  // a number, no prefix
    }

    // In SQL the keys that SQLite reserves have columns of their own (the
    // sqlite3 shell runs queries on them in check_exports.py).
    const std::string sql = read_file(out_ + "/" + prefix_of(GetParam()) + ".sql");
    for (const char* reserved : {"\"index\"", "\"group\""}) EXPECT_EQ(sql.find(reserved), std::string::npos) << reserved;
    for (const char* named : {"  \"idx\" INTEGER NOT NULL,\n", "PRIMARY KEY (\"grp\", \"idx\")",
                              "FOREIGN KEY (\"drop_high\") REFERENCES \"items\" (\"idx\")"}) {
        EXPECT_NE(sql.find(named), std::string::npos) << named;
    }
}

TEST_P(ExportTest, OptionsChooseTheFormat) {
    const std::string json = prefix_of(GetParam()) + ".json";
    const std::string page = prefix_of(GetParam()) + ".html";
    ASSERT_EQ(run({"-j", image_, out_}).status, 0);
    EXPECT_EQ(written(), std::vector<std::string>{json});
    ASSERT_EQ(run({"-W", image_, out_}).status, 0);
    EXPECT_EQ(written(), (std::vector<std::string>{page, json}));
    std::filesystem::remove(out_ + "/" + json);
    std::filesystem::remove(out_ + "/" + page);
    ASSERT_EQ(run({image_, "-C", out_}).status, 0);
    EXPECT_EQ(written().size(), GetParam().csv.size());
    ASSERT_EQ(run({"-cj", image_, out_}).status, 0);
    EXPECT_EQ(written().size(), GetParam().csv.size() + 1);
    ASSERT_EQ(run({"-sw", image_, out_}).status, 0);
    EXPECT_EQ(written(), outputs(GetParam()));
    // A destination that is not there is made, with the folders above it.
    const RunResult deeper = run({"-j", image_, out_ + "/new/deeper"});
    EXPECT_EQ(deeper.status, 0) << deeper.err;
    EXPECT_TRUE(file_exists(out_ + "/new/deeper/" + json));
}

TEST_P(ExportTest, CommandLineAndImageErrors) {
    const std::string tool = GetParam().tool;
    EXPECT_EQ(run({}).err, tool + ": Too few arguments\n");
    const RunResult invalid = run({"-x", image_, out_});
    EXPECT_EQ(invalid.status, 1);
    EXPECT_EQ(invalid.err, tool + ": Invalid option\n");
    const RunResult help = run({"-h", "-x", image_, out_});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("\t-j\twrite only the JSON document\n\t-c\twrite only the CSV files, with the identification\n"
                            "\t\t(file CRC32, MD5, SHA-1; ROM CRC32, MD5, SHA-1 of the ROM proper)\n"
                            "\t-s\twrite only the SQL file\n"
                            "\t-w\twrite only the viewer page\n"),
              std::string::npos);
    const RunResult missing = run({dir_.file("none.smc"), out_});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, tool + ": Invalid ROM-Image file - " + dir_.file("none.smc") + "\n");
    EXPECT_TRUE(written().empty());
}

// The other game's image, a file without the title and a file whose title
// lies too near its start to be the cartridge header's: refused as the
// comparison and the importer refuse them, before any output is created.
TEST_P(ExportTest, OtherFilesThanTheGamesImagesWriteNothing) {
    const bool a = GetParam().tool == kGameA.tool;
    const std::string title = a ? "MERIDIAN TALES2" : "MERIDIAN TALES3";
    std::string early(0x10000, '\0');
    early.replace(0x100, title.size(), title);
    const std::vector<std::pair<std::string, std::string>> files = {
        {dir_.file(a ? kGameBFiles.image : kGameAFiles.image), ""},
        {dir_.file("text.txt"), std::string(0x20000, 'x')},
        {dir_.file("early.smc"), early},
    };
    for (const auto& [path, bytes] : files) {
        if (!bytes.empty()) write_file(path, bytes);
        for (const std::string option : {"", "-j", "-c", "-s", "-w", "-js"}) {
            const RunResult r = run(option.empty() ? std::vector<std::string>{path, out_}
                                                   : std::vector<std::string>{option, path, out_});
            EXPECT_EQ(r.status, 1) << path << " " << option;
            EXPECT_EQ(r.err, GetParam().tool + ": " + path + " is not an image of " + title +
                                 ": its cartridge header is not found\n")
                << option;
            EXPECT_EQ(r.out, "");
            EXPECT_TRUE(written().empty()) << path << " " << option;
        }
    }
}

// An image cut short: the run ends before any output is created.
TEST_P(ExportTest, ImageCutShortWritesNothing) {
    const std::string data = read_file(image_);
    const std::string cut = dir_.file("cut.smc");
    // inside the monster statistics: named with the sizes, not as a failed read
    const size_t size = 0x200 + (GetParam().tool == kGameA.tool ? 0x1E8000 : 0x3E4000);
    write_file(cut, data.substr(0, size));
    const RunResult r = run({cut, out_});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind(GetParam().tool + ": " + cut + ": the image ends before its tables: it has " +
                              std::to_string(size) + " bytes, its tables end at byte ", 0), 0u) << r.err;
    EXPECT_TRUE(written().empty());
}

// Each output that cannot be created or completely written is reported; the
// others are still written, and an existing longer file keeps none of its old
// bytes.
TEST_P(ExportTest, OutputFailures) {
    if (!have_dev_full()) GTEST_SKIP() << "no /dev/full";
    const std::string json = out_ + "/" + prefix_of(GetParam()) + ".json";
    const std::string monsters = out_ + "/" + prefix_of(GetParam()) + "-monsters.csv";
    const std::string items = out_ + "/" + prefix_of(GetParam()) + "-items.csv";
    const std::string sql = out_ + "/" + prefix_of(GetParam()) + ".sql";
    MAKE_SYMLINK("/dev/full", json);
    MAKE_SYMLINK("/dev/full", sql);
    ASSERT_EQ(make_other_name(image_, monsters), 0);
    write_file(items, std::string(4 << 20, 'X'));
    const std::string image = read_file(image_);
    const RunResult r = run({image_, out_});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, GetParam().tool + ": Cannot create file - " + json + ": " + strerror(ENOSPC) + "\n" +
                         GetParam().tool + ": Cannot create file - " + monsters + ": " + strerror(EBUSY) + "\n" +
                         GetParam().tool + ": Cannot create file - " + sql + ": " + strerror(ENOSPC) + "\n");
    EXPECT_EQ(read_file(image_), image);
    const std::string rewritten = read_file(items);
    EXPECT_EQ(rewritten.rfind("\xEF\xBB\xBFindex,name,kind,price", 0), 0u);
    EXPECT_EQ(rewritten.find('X'), std::string::npos);

    // A destination that cannot be made (a file stands in its way): each
    // file says why it is not written.
    write_file(dir_.file("blocker"), std::string("a file"));
    const RunResult nowhere = run({image_, dir_.file("blocker/dir")});
    EXPECT_EQ(nowhere.status, 1);
    EXPECT_EQ(split_lines(nowhere.err).size(), outputs(GetParam()).size());
    EXPECT_NE(nowhere.err.find(dir_.file("blocker/dir/") + prefix_of(GetParam()) + ".json: " + strerror(kNotDirectoryErrno)),
              std::string::npos) << nowhere.err;
}

// Runs killed with SIGKILL at random moments, over the files of the run
// before: every output is the old file or the complete new one.
TEST_P(ExportTest, KilledRunsLeaveOldOrCompleteFiles) {
#ifdef _WIN32
    GTEST_SKIP() << "killing a run at a chosen moment needs SIGKILL; under Wine it would mostly hit Wine's start-up";
#else
    make_second_image();
    ASSERT_EQ(run({image_, out_}).status, 0);
    timespec start, end;
    clock_gettime(CLOCK_MONOTONIC, &start);
    ASSERT_EQ(run({second_, out_}).status, 0);
    clock_gettime(CLOCK_MONOTONIC, &end);
    const long run_us = (end.tv_sec - start.tv_sec) * 1000000L + (end.tv_nsec - start.tv_nsec) / 1000;
    std::mt19937 rng(12);
    int killed = 0;
    for (int i = 0; i < 24; ++i) {
        const long after = static_cast<long>(rng() % static_cast<unsigned long>(run_us + 1));
        killed += run_tool_killed_after(GetParam().tool, {i % 2 ? second_ : image_, out_}, after) == 128 + SIGKILL;
        expect_whole_files("after a kill at " + std::to_string(after) + " us");
    }
    EXPECT_GT(killed, 0);
#endif
}

// Two and four runs of two different images into one folder at the same
// moment: every output is wholly one run's.
TEST_P(ExportTest, ConcurrentRunsLeaveWholeFiles) {
    make_second_image();
    for (const int runs : {2, 4}) {
        for (int round = 0; round < 3; ++round) {
            std::vector<std::thread> threads;
            std::vector<int> statuses(static_cast<size_t>(runs), -1);
            for (int i = 0; i < runs; ++i) {
                threads.emplace_back([&, i] { statuses[static_cast<size_t>(i)] = run({i % 2 ? second_ : image_, out_}).status; });
            }
            for (std::thread& t : threads) t.join();
            EXPECT_EQ(statuses, std::vector<int>(static_cast<size_t>(runs), 0));
            expect_whole_files(std::to_string(runs) + " runs");
            EXPECT_EQ(written(), outputs(GetParam()));  // no temporary file is left
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothGames, ExportTest, ::testing::Values(kGameA, kGameB),
                         [](const auto& info) { return info.index == 0 ? std::string("A") : std::string("B"); });

}  // namespace
