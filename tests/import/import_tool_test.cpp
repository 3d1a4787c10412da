// mt2import and mt3import end to end: the exports of the demo images and of
// an image with random tables imported back unchanged, a monster's HP changed
// in its CSV file (plain and as a spreadsheet saves it) and checked with the
// comparison and the tests' own BPS reader, the refusals that write nothing,
// and runs killed while they write.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <memory>
#include <random>
#ifndef _WIN32
#include <time.h>
#endif

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

#include "common/image_id.h"
#include "demo/demo.h"
#include "games/a/demo.h"
#include "games/b/demo.h"
#include "tests/import/bps_reader.h"
#include "tests/support/demo_files_test.h"
#include "tests/support/game_regions.h"
#include "tests/support/test_util.h"
#include "tools/demo_files.h"

using namespace demo;

namespace {

struct Game {
    const char* importer;
    const char* exporter;
    const char* compare;
    const char* image;
    const char* prefix;
    const GameRegions* regions;
};

constexpr size_t kRefusalLines = 50;  // the importers' refusal limit

const Game kGameA = {MT2IMPORT, MT2EXPORT, MT2COMPARE, kGameAFiles.image, "mt2", &kGameARegions};
const Game kGameB = {MT3IMPORT, MT3EXPORT, MT3COMPARE, kGameBFiles.image, "mt3", &kGameBRegions};

void PrintTo(const Game& g, std::ostream* os) { *os << g.prefix; }

Bytes bytes_of(const std::string& path) {
    const std::string s = read_file(path);
    return Bytes(s.begin(), s.end());
}

// The ROM proper: the demo images carry a copier header, their copies made
// here may not.
Bytes rom_of(const Bytes& image) {
    const size_t header = image.size() % 1024 == kDemoCopierHeaderSize ? kDemoCopierHeaderSize : 0;
    return Bytes(image.begin() + static_cast<long>(header), image.end());
}

// CSV records as a spreadsheet sees them (the tests' own reading, RFC 4180).
using Records = std::vector<std::vector<std::string>>;

Records parse_csv_text(std::string text) {
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    Records records(1, std::vector<std::string>(1));
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        std::string& field = records.back().back();
        if (quoted) {
            if (c != '"') {
                field += c;
            } else if (i + 1 < text.size() && text[i + 1] == '"') {
                field += text[++i];
            } else {
                quoted = false;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            records.back().emplace_back();
        } else if (c == '\n') {
            records.emplace_back(1);
        } else if (c != '\r') {
            field += c;
        }
    }
    if (records.back() == std::vector<std::string>(1)) records.pop_back();
    return records;
}

// Every field quoted, the given line end, a byte-order mark or none.
std::string format_csv(const Records& records, const char* line_end, bool mark) {
    std::string text = mark ? "\xEF\xBB\xBF" : "";
    for (const auto& record : records) {
        for (size_t i = 0; i < record.size(); ++i) {
            std::string field = record[i];
            for (size_t at = field.find('"'); at != std::string::npos; at = field.find('"', at + 2)) field.insert(at, 1, '"');
            text += (i ? ",\"" : "\"") + field + "\"";
        }
        text += line_end;
    }
    return text;
}

// Every field quoted, with the given separator and line end.
std::string joined(const Records& records, const std::string& separator, const std::string& line_end) {
    std::string text;
    for (const auto& record : records) {
        for (size_t i = 0; i < record.size(); ++i) {
            std::string field = record[i];
            for (size_t at = field.find('"'); at != std::string::npos; at = field.find('"', at + 2)) field.insert(at, 1, '"');
            text += (i ? separator : "") + "\"" + field + "\"";
        }
        text += line_end;
    }
    return text;
}

// A UTF-8 text in another encoding ("UTF-16LE", "UTF-16BE", "CP932"; ""
// keeps it), through the system's own converter.
std::string encoded(const std::string& utf8, const std::string& encoding) {
    if (encoding.empty()) return utf8;
#ifdef _WIN32
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(static_cast<size_t>(
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), static_cast<int>(wide.size()))));
    if (encoding == "CP932") {
        std::string out(wide.size() * 2, '\0');
        out.resize(static_cast<size_t>(WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), out.data(),
                                                           static_cast<int>(out.size()), nullptr, nullptr)));
        return out;
    }
    std::string out;
    for (wchar_t w : wide) {
        const char lo = static_cast<char>(w & 0xFF), hi = static_cast<char>((w >> 8) & 0xFF);
        out += encoding == "UTF-16LE" ? std::string{lo, hi} : std::string{hi, lo};
    }
    return out;
#else
    const iconv_t cd = iconv_open(encoding.c_str(), "UTF-8");
    std::string out(utf8.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(utf8.data());
    char* to = out.data();
    size_t in_left = utf8.size(), to_left = out.size();
    EXPECT_NE(iconv(cd, &in, &in_left, &to, &to_left), static_cast<size_t>(-1)) << encoding;
    iconv_close(cd);
    out.resize(out.size() - to_left);
    return out;
#endif
}

std::string& cell(Records& records, const std::string& index, const std::string& key) {
    const auto column = std::find(records[0].begin(), records[0].end(), key) - records[0].begin();
    for (auto& record : records) {
        if (record[0] == index) return record.at(static_cast<size_t>(column));
    }
    ADD_FAILURE() << "no row " << index;
    return records[0][0];
}

// A copy of the demo image with random bytes in every table region.
Bytes random_tables(Bytes image, const GameRegions& regions, unsigned seed) {
    std::mt19937 rng(seed);
    for (const TableRegion& t : regions.tables) {
        for (long i = 0; i < t.size; ++i) image[kDemoCopierHeaderSize + static_cast<size_t>(t.offset + i)] = static_cast<uint8_t>(rng());
    }
    return image;
}

class ImportTest : public DemoFilesTest<Game> {
protected:
    void SetUp() override {
        DemoFilesTest::SetUp();
        original_ = bytes_of(image_);
        export_to(image_, exported_);
    }

    void export_to(const std::string& image, const std::string& folder) {
        ASSERT_EQ(make_dir(folder), 0);
        const RunResult r = run_tool(GetParam().exporter, {"-cj", image, folder});
        ASSERT_EQ(r.status, 0) << r.err;
    }
    std::string csv(const std::string& table, const std::string& folder = "") const {
        return (folder.empty() ? exported_ : folder) + "/" + GetParam().prefix + "-" + table + ".csv";
    }
    std::vector<std::string> all_csv(const std::string& folder) const {
        std::vector<std::string> paths;
        for (const std::string& name : list_dir(folder)) {
            if (name.ends_with(".csv")) paths.push_back(folder + "/" + name);
        }
        return paths;
    }
    RunResult import(std::vector<std::string> args) const { return run_tool(GetParam().importer, args); }

    // The monsters' CSV with monster 3's HP raised by 100, and that HP.
    std::pair<Records, std::string> raised_hp() const {
        Records records = parse_csv_text(read_file(csv("monsters")));
        std::string& hp = cell(records, "3", "hp");
        const std::string old = hp;
        hp = std::to_string(std::stoi(hp) + 100);
        return {records, old};
    }

    // The image from the patch, by the tests' own BPS reader.
    Bytes patched(const std::string& patch, const Bytes& source) const {
        std::string error;
        const PatchBytes target = apply_bps(bytes_of(patch), source, &error);
        EXPECT_EQ(error, "");
        return Bytes(target.begin(), target.end());
    }

    Bytes original_;
    std::string exported_ = dir_.file("export");
    std::string new_image_ = dir_.file("new.smc");
    std::string patch_ = dir_.file("new.bps");
    std::string ips_ = dir_.file("new.ips");
};

// Export, then import of every CSV file and of the JSON document without an
// edit: the same image byte for byte, a BPS patch that gives it again, and an
// IPS patch that changes nothing.
TEST_P(ImportTest, RoundTripGivesTheSameImage) {
    const std::string random = dir_.file("random.smc");
    write_file(random, random_tables(original_, *GetParam().regions, 19));
    export_to(random, dir_.file("random"));
    for (const auto& [image, folder] : {std::pair{image_, exported_}, {random, dir_.file("random")}}) {
        SCOPED_TRACE(image);
        const Bytes before = bytes_of(image);
        for (const std::vector<std::string>& edited :
             {all_csv(folder), std::vector<std::string>{folder + "/" + GetParam().prefix + ".json"}}) {
            std::vector<std::string> args = {"-o", new_image_, "-p", patch_, "-i", dir_.file("new.ips"), image};
            args.insert(args.end(), edited.begin(), edited.end());
            const RunResult r = import(args);
            ASSERT_EQ(r.status, 0) << r.err;
            EXPECT_EQ(split_lines(r.out).at(0), "no changes");
            EXPECT_EQ(bytes_of(new_image_), before);
            EXPECT_EQ(patched(patch_, rom_of(before)), rom_of(before));
            EXPECT_EQ(read_file(dir_.file("new.ips")), "PATCHEOF");
        }
    }
}

// Monster 3's HP raised in the CSV file, its row given twice: the importer
// and the comparison show that one field of that one record (and the
// checksum, outside the tables), and the BPS patch gives the new image.
TEST_P(ImportTest, ChangedHpIsTheOneChange) {
    auto [records, old_hp] = raised_hp();
    const size_t rows = records.size();
    for (size_t r = 0; r < rows; ++r) {
        if (records[r][0] == "3") records.push_back(Records::value_type(records[r]));
    }
    const std::string edited = dir_.file(std::string(GetParam().prefix) + "-monsters.csv");
    write_file(edited, format_csv(records, "\r\n", true));
    write_file(dir_.file(std::string(GetParam().prefix) + "-rom.csv"), read_file(csv("rom")));
    const RunResult r = import({"-o", new_image_, "-p", patch_, image_, edited});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\n1 field changed\n"), std::string::npos) << r.out;
    const Bytes changed = bytes_of(new_image_);
    EXPECT_EQ(patched(patch_, rom_of(original_)), rom_of(changed));

    const RunResult diff = run_tool(GetParam().compare, {image_, new_image_});
    EXPECT_EQ(diff.status, 1) << diff.err;
    const std::vector<std::string> lines = split_lines(diff.out);
    ASSERT_GE(lines.size(), 4u) << diff.out;
    EXPECT_NE(diff.out.find("\nmonsters 3 \""), std::string::npos) << diff.out;
    EXPECT_NE(diff.out.find("\n  hp: " + old_hp + utf8(u8" → ") + std::to_string(std::stoi(old_hp) + 100) + "\n"),
              std::string::npos) << diff.out;
    EXPECT_NE(diff.out.find("internal checksum valid\n  stored checksum "), std::string::npos) << diff.out;
    EXPECT_NE(lines.back().find(" tables compared, 1 records changed, 1 fields changed, "), std::string::npos);
    // Outside the tables only the checksum and its complement changed.
    const long checksum = (GetParam().prefix == std::string("mt2") ? 0x7FC0 : 0xFFC0) + 0x1C;
    const auto outside = std::find(lines.begin(), lines.end(), "changed outside the tables (offset in the ROM proper, length):");
    ASSERT_NE(outside, lines.end()) << diff.out;
    for (auto line = outside + 1; line != lines.end() && line->rfind("  0x", 0) == 0; ++line) {
        const long offset = std::stol(line->substr(4, 6), nullptr, 16);
        EXPECT_TRUE(offset >= checksum && offset + std::stol(line->substr(11)) <= checksum + 4) << *line;
    }
}

// The same edit saved by a spreadsheet: no byte-order mark or one, LF or CR
// LF, every field quoted, the columns and rows in another order.
TEST_P(ImportTest, SpreadsheetSavedCsvImports) {
    const auto [records, old_hp] = raised_hp();
    const std::string plain = dir_.file("plain.csv");
    write_file(csv("monsters"), format_csv(records, "\r\n", true));
    ASSERT_EQ(import({"-o", plain, image_, csv("monsters")}).status, 0);
    const Bytes expected = bytes_of(plain);
    ASSERT_NE(expected, original_);

    Records shuffled = records;
    std::reverse(shuffled.begin() + 1, shuffled.end());
    for (auto& record : shuffled) std::reverse(record.begin(), record.end());
    for (const auto& [line_end, mark] : {std::pair{"\n", false}, {"\r\n", false}, {"\n", true}}) {
        write_file(csv("monsters"), format_csv(shuffled, line_end, mark));
        const RunResult r = import({"-o", new_image_, image_, csv("monsters")});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(bytes_of(new_image_), expected);
    }
}

// The patches fit the ROM proper whether the opened image has a copier
// header or not (the tests' own readers apply them to it); --headered makes
// them for the file as given; the new image keeps the opened file's header.
TEST_P(ImportTest, PatchesFitTheRomProper) {
    const auto [records, old_hp] = raised_hp();
    const Bytes rom = rom_of(original_);
    const std::string bare = dir_.file("bare.sfc");
    write_file(bare, rom);
    const std::string bare_export = dir_.file("bare-export");
    export_to(bare, bare_export);
    for (const auto& [image, folder] : {std::pair{image_, exported_}, {bare, bare_export}}) {
        SCOPED_TRACE(image);
        write_file(csv("monsters", folder), format_csv(records, "\n", false));
        const Bytes before = bytes_of(image);
        RunResult r = import({"-o", new_image_, "-p", patch_, "-i", ips_, image, csv("monsters", folder)});
        ASSERT_EQ(r.status, 0) << r.err;
        const Bytes made = bytes_of(new_image_);
        ASSERT_EQ(made.size(), before.size());
        const auto header = static_cast<long>(before.size() - rom.size());
        EXPECT_TRUE(std::equal(before.begin(), before.begin() + header, made.begin()));
        ASSERT_NE(rom_of(made), rom);
        EXPECT_EQ(patched(patch_, rom), rom_of(made));
        std::string error;
        EXPECT_EQ(apply_ips(bytes_of(ips_), rom, &error), rom_of(made));
        EXPECT_EQ(error, "");

        r = import({"--headered", "-p", patch_, "-i", ips_, image, csv("monsters", folder)});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(patched(patch_, before), made);
        EXPECT_EQ(apply_ips(bytes_of(ips_), before, &error), made);
        EXPECT_EQ(error, "");
    }
    EXPECT_EQ(import({"--header", "-p", patch_, image_, csv("monsters")}).err,
              std::string(GetParam().importer) + ": Invalid option\n");
}

// An IPS patch for one copy given to the comparison with the other is
// refused, not applied; the comparison says which copy it applied a patch
// to, and shows a BPS patch's metadata.
TEST_P(ImportTest, ComparisonKnowsWhichCopyAPatchIsFor) {
    const auto [records, old_hp] = raised_hp();
    write_file(csv("monsters"), format_csv(records, "\n", false));
    const std::string bare = dir_.file("bare.sfc");
    write_file(bare, rom_of(original_));
    const std::string headered_ips = dir_.file("headered.ips");
    ASSERT_EQ(import({"-p", patch_, "-i", ips_, image_, csv("monsters")}).status, 0);
    ASSERT_EQ(import({"--headered", "-i", headered_ips, image_, csv("monsters")}).status, 0);
    const std::string rom_crc = "CRC32 " + common::crc32_hex(common::crc32_of(rom_of(original_).data(), rom_of(original_).size()));
    const std::string file_crc = "CRC32 " + common::crc32_hex(common::crc32_of(original_.data(), original_.size()));
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{image_, ips_}, "patch is for the image without its copier header: "},
        {{bare, headered_ips}, "patch is for the image with a copier header: "},
        {{"-r", image_, ips_}, "\n  patch applied to the ROM proper, " + rom_crc + "\n"},
        {{bare, ips_}, "\n  patch applied to the ROM proper, " + rom_crc + "\n"},
        {{image_, headered_ips}, "\n  patch applied to the file with its copier header, " + file_crc + "\n"},
        {{image_, patch_}, "\n  patch applied to the ROM proper, " + rom_crc + "\n"},
        {{bare, patch_}, "\n  patch applied to the ROM proper, " + rom_crc + "\n"},
    };
    for (const auto& [args, text] : cases) {
        SCOPED_TRACE(text);
        const RunResult r = run_tool(GetParam().compare, args);
        if (text.starts_with("patch is for")) {
            EXPECT_EQ(r.status, 2);
            EXPECT_EQ(r.out, "");
            EXPECT_NE(r.err.find(": " + text), std::string::npos) << r.err;
        } else {
            EXPECT_EQ(r.status, 1) << r.err;
            EXPECT_NE(r.out.find(text), std::string::npos) << r.out;
            EXPECT_NE(r.out.find("\n  hp: " + old_hp + utf8(u8" → ")), std::string::npos) << r.out;
        }
    }
    EXPECT_NE(run_tool(GetParam().compare, {bare, patch_}).out.find(
                  "\n  patch metadata:\n    made-by: " + std::string(GetParam().prefix) + "import\n    game: "),
              std::string::npos);
    EXPECT_NE(run_tool(GetParam().compare, {bare, patch_}).out.find("\n    changed: monsters 3 hp\n"), std::string::npos);
    const RunResult j = run_tool(GetParam().compare, {"-j", image_, patch_});
    EXPECT_NE(j.out.find("\"patch_metadata\":\"made-by: " + std::string(GetParam().prefix) + "import\\ngame: "),
              std::string::npos) << j.out;
    EXPECT_NE(j.out.find("\\nchanged: monsters 3 hp\\n\""), std::string::npos) << j.out;
    EXPECT_NE(j.out.find("\"patch_applied_to\":\"the ROM proper, " + rom_crc + "\""), std::string::npos) << j.out;
}

// What the importer prints: each changed record and key as the comparison
// shows it, the count, then each file with its size and CRC32. A dry run
// prints the same and writes nothing.
TEST_P(ImportTest, PrintsChangesAndFilesDryRunWritesNothing) {
    auto [records, old_hp] = raised_hp();
    write_file(csv("monsters"), format_csv(records, "\n", false));
    const std::string changes = "monsters 3 \"" + cell(records, "3", "name") + "\"\n  hp: " + old_hp +
                                utf8(u8" → ") + std::to_string(std::stoi(old_hp) + 100) + "\n1 field changed\n";
    const std::vector<std::string> before = list_dir(dir_.path());
    const RunResult dry = import({"-n", "-o", new_image_, "-p", patch_, image_, csv("monsters")});
    ASSERT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(list_dir(dir_.path()), before);
    const RunResult r = import({"-o", new_image_, "-p", patch_, image_, csv("monsters")});
    ASSERT_EQ(r.status, 0) << r.err;
    std::string files;
    for (const std::string& path : {new_image_, patch_}) {
        const Bytes b = bytes_of(path);
        files += path + ": " + std::to_string(b.size()) + " bytes, CRC32 " + common::crc32_hex(common::crc32_of(b.data(), b.size())) + "\n";
    }
    EXPECT_EQ(r.out, changes + files);
    EXPECT_EQ(dry.out, changes + files + "dry run: nothing written\n");
    // -n alone, no output named: every edit checked, nothing written.
    const RunResult alone = import({"-n", image_, csv("monsters")});
    EXPECT_EQ(alone.status, 0) << alone.err;
    EXPECT_EQ(alone.out, changes + "dry run: nothing written\n");
}

// The outputs are written all or nothing: when the patch cannot be written
// (a full device, a write-protected folder), the new image is not put in
// place either, and earlier files of those names stay as they were.
TEST_P(ImportTest, OutputsAllOrNothing) {
    const auto [records, old_hp] = raised_hp();
    write_file(csv("monsters"), format_csv(records, "\n", false));
    write_file(new_image_, std::string("earlier image"));
    const std::string ro = dir_.file("ro");
    ASSERT_EQ(make_dir(ro), 0);
    write_file(ro + "/out.bps", std::string("earlier patch"));
    std::vector<std::string> targets;
    if (have_dev_full()) targets.push_back("/dev/full");
    make_read_only(ro);
    if (FILE* f = fopen((ro + "/probe").c_str(), "w")) {
        fclose(f);  // root writes into write-protected folders
        std::filesystem::remove(ro + "/probe");
    } else {
        targets.push_back(ro + "/out.bps");
    }
    if (targets.empty()) GTEST_SKIP() << "no full device, and this user writes into write-protected folders";
    for (const std::string& target : targets) {
        SCOPED_TRACE(target);
        const RunResult r = import({"-o", new_image_, "-p", target, image_, csv("monsters")});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("Cannot create file - " + target + ": "), std::string::npos) << r.err;
        EXPECT_EQ(read_file(new_image_), "earlier image");
        EXPECT_EQ(read_file(ro + "/out.bps"), "earlier patch");
        for (const std::string& name : list_dir(dir_.path())) EXPECT_FALSE(name.ends_with(".tmp")) << name;
    }
}

// The same edit as spreadsheets save it in their encodings (UTF-16 with its
// mark, code page 932, UTF-8 with its mark or without), separators (tab,
// semicolon, comma), line ends (CR LF, LF, CR alone) and the names their
// copies take: the same new image every time.
TEST_P(ImportTest, EveryEncodingSeparatorAndCopyNameImports) {
    const auto [records, old_hp] = raised_hp();
    write_file(csv("monsters"), format_csv(records, "\r\n", true));
    const std::string plain = dir_.file("plain.smc");
    ASSERT_EQ(import({"-o", plain, image_, csv("monsters")}).status, 0);
    const Bytes expected = bytes_of(plain);
    ASSERT_NE(expected, original_);
    const std::string folder = dir_.file("forms"), prefix = GetParam().prefix;
    ASSERT_EQ(make_dir(folder), 0);
    write_file(folder + "/" + prefix + "-rom.csv", read_file(csv("rom")));
    const struct {
        const char* name;
        const char* separator;
        const char* line_end;
        const char* encoding;
        const char* mark;
    } forms[] = {
        {"-monsters.txt", "\t", "\r\n", "UTF-16LE", "\xFF\xFE"},
        {"-monsters.tsv", "\t", "\n", "UTF-16BE", "\xFE\xFF"},
        {"-monsters.csv", ",", "\r\n", "CP932", ""},
        {"-monsters (1).csv", ";", "\r", "", "\xEF\xBB\xBF"},
        {"-monsters-edited.CSV", ";", "\n", "CP932", ""},
        {"-monsters_2.TXT", "\t", "\r", "", ""},
    };
    for (const auto& f : forms) {
        SCOPED_TRACE(f.name);
        const std::string path = folder + "/" + prefix + f.name;
        write_file(path, f.mark + encoded(joined(records, f.separator, f.line_end), f.encoding));
        const RunResult r = import({"-o", new_image_, image_, path});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(bytes_of(new_image_), expected);
        std::filesystem::remove(path);
    }
    // A byte that no encoding has: one refusal for the file, not one a row.
    const std::string bad = folder + "/" + prefix + "-monsters.csv";
    write_file(bad, joined(records, ",", "\r\n") + "1,\x81\x20\r\n2,\x81\x20\r\n");
    const RunResult r = import({"-o", new_image_, image_, bad});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(bad + ": not a text in UTF-8 (byte 0x81 at offset "), std::string::npos) << r.err;
    EXPECT_EQ(split_lines(r.err).size(), 2u) << r.err;
}

// A table's file saved under another table's name is refused naming the
// table it is: by its header, or, where the header fits both (index,name),
// by its number of rows. A part of a table's columns with its keys stays an
// edit of that table.
TEST_P(ImportTest, AnotherTablesFileIsRefused) {
    const std::string folder = dir_.file("renamed"), prefix = GetParam().prefix;
    ASSERT_EQ(make_dir(folder), 0);
    write_file(folder + "/" + prefix + "-rom.csv", read_file(csv("rom")));
    const struct {
        const char* from;
        const char* to;
        std::string why;
    } cases[] = {
        {"formations", "monsters", " rows are those of " + prefix + "-formations.csv (" + prefix + "-monsters.csv has "},
        {"formations", "items", " rows are those of " + prefix + "-formations.csv (" + prefix + "-items.csv has "},
        {"monsters", "formations", ": the header is that of " + prefix + "-monsters.csv, not of " + prefix + "-formations.csv"},
        {"monster-actions", "learning-entries", ": the header is that of " + prefix + "-monster-actions.csv, not of "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.from + std::string(" as ") + c.to);
        const std::string path = folder + "/" + prefix + "-" + c.to + ".csv";
        write_file(path, read_file(csv(c.from)));
        const RunResult r = import({"-o", new_image_, image_, path});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(path + ":"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(c.why), std::string::npos) << r.err;
        std::filesystem::remove(path);
    }
    Records monsters = parse_csv_text(read_file(csv("monsters")));
    Records part;
    for (size_t i = 0; i < 11; ++i) part.push_back({monsters[i][0], monsters[i][1]});  // index, name: 10 rows
    const std::string path = folder + "/" + prefix + "-monsters.csv";
    write_file(path, format_csv(part, "\r\n", true));
    const RunResult r = import({"-o", new_image_, image_, path});
    EXPECT_EQ(r.status, 0) << r.err;
}

// JSON documents whose members have another type, another version or a key
// given twice: a refusal in words, never an abort.
TEST_P(ImportTest, JsonDocumentsOfAnotherShapeAreRefusedInWords) {
    const std::string game = GetParam().prefix == std::string("mt2") ? "A" : "B";
    const std::string head = R"({"format":"meridian-tools-export","game":")" + game + R"(","version":2,)";
    const std::pair<std::string, std::string> cases[] = {
        {R"({"format":5})", "not an export document: \"format\" is a whole number"},
        {R"({"format":"meridian-tools-export","game":5})", "not an export of game " + game + ": \"game\" is a whole number"},
        {R"({"format":"meridian-tools-export","game":")" + game + R"(","version":"two"})", "\"version\" is \"two\", not the number 2"},
        {R"({"format":"meridian-tools-export","game":")" + game + R"(","version":99})", "\"version\" is 99; this importer reads version 2"},
        {head + R"("rom":{"crc32":5}})", "\"rom\".\"crc32\" is a whole number, not a text"},
        {head + R"("rom":{"rom_crc32":true}})", "\"rom\".\"rom_crc32\" is a truth value, not a text"},
        {head + R"("rom":{"crc32":"1"},"rom":{}})", "the document gives the key \"rom\" twice"},
        {head + R"("tables":{"monsters":[{"index":1,"index":2}]}})", "monsters[0] gives the key \"index\" twice"},
        {"[\"format\"]", "not an export document: not an object"},
    };
    const std::string path = dir_.file(std::string(GetParam().prefix) + ".json");
    for (const auto& [doc, why] : cases) {
        SCOPED_TRACE(doc);
        write_file(path, doc);
        const RunResult r = import({"-o", new_image_, image_, path});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(GetParam().importer + std::string(": ") + path + ": " + why), std::string::npos) << r.err;
        EXPECT_TRUE(r.err.ends_with(": nothing written\n")) << r.err;
    }
}

// Edits exported from the copy with a copier header import into the copy
// without one and the other way round: the identity of an image is its ROM
// proper. The identification's hashes may carry "0x" and any case.
TEST_P(ImportTest, EditsImportIntoEitherCopyOfTheRom) {
    const std::string bare = dir_.file("bare.smc"), bare_export = dir_.file("bare-export");
    write_file(bare, rom_of(original_));
    export_to(bare, bare_export);
    const auto [records, old_hp] = raised_hp();
    write_file(csv("monsters"), format_csv(records, "\r\n", true));
    const std::string headered_new = dir_.file("headered-new.smc");
    ASSERT_EQ(import({"-o", headered_new, image_, csv("monsters")}).status, 0);
    const RunResult r = import({"-o", new_image_, bare, csv("monsters")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(bytes_of(new_image_), rom_of(bytes_of(headered_new)));
    const std::string json = bare_export + "/" + GetParam().prefix + ".json";
    EXPECT_EQ(import({"-o", new_image_, image_, json}).status, 0);
    EXPECT_EQ(bytes_of(new_image_), original_);

    Records rom = parse_csv_text(read_file(csv("rom")));
    for (auto& record : rom) {
        if (record[0] != "crc32" && record[0] != "rom_crc32") continue;
        std::string& value = record[1];
        if (value.rfind("0x", 0) != 0) value = "0x" + value;
        std::transform(value.begin(), value.end(), value.begin(), [](char c) { return static_cast<char>(tolower(c)); });
    }
    write_file(csv("rom"), format_csv(rom, "\n", false));
    const RunResult lower = import({"-o", new_image_, image_, csv("monsters")});
    ASSERT_EQ(lower.status, 0) << lower.err;
    EXPECT_EQ(bytes_of(new_image_), bytes_of(headered_new));
}

// Each refusal: status 1, the reason and "nothing written", no file made and
// no input changed.
TEST_P(ImportTest, RefusalsWriteNothing) {
    const std::string out = dir_.file("out");
    ASSERT_EQ(make_dir(out), 0);
    const std::string monsters = csv("monsters");
    const std::string json = exported_ + "/" + GetParam().prefix + ".json";
    const std::string linked = out + "/linked.bps";
    ASSERT_EQ(make_other_name(monsters, linked), 0);
    Bytes other = original_;
    other[kDemoCopierHeaderSize + 0x100000] ^= 0xFF;  // outside every table
    const std::string other_image = dir_.file("other.smc");
    write_file(other_image, other);
    Bytes large = original_;
    large.resize((17 << 20) + kDemoCopierHeaderSize);
    const std::string large_image = dir_.file("large.smc");
    write_file(large_image, large);
    Records bad = parse_csv_text(read_file(monsters));
    cell(bad, "2", "hp") = "many";
    const std::string bad_csv = dir_.file(std::string(GetParam().prefix) + "-monsters.csv");
    write_file(bad_csv, format_csv(bad, "\r\n", true));
    write_file(dir_.file(std::string(GetParam().prefix) + "-rom.csv"), read_file(csv("rom")));
    const std::string lone = out + "/" + GetParam().prefix + "-items.csv";
    write_file(lone, read_file(csv("items")));

    const std::string crc = "file CRC32 " + common::crc32_hex(common::crc32_of(original_.data(), original_.size())) +
                            ", ROM CRC32 " +
                            common::crc32_hex(common::crc32_of(original_.data() + kDemoCopierHeaderSize,
                                               original_.size() - kDemoCopierHeaderSize));
    const std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> cases = {
        {{image_, monsters}, {"nothing to write: give -o new-image, -p patch.bps or -i patch.ips"}},
        {{"-o", dir_.path() + "/./" + GetParam().image, image_, monsters},
         {dir_.path() + "/./" + GetParam().image + ": an output may not be written over an input (" + image_ + ")"}},
        {{"-o", out + "/new.smc", "-p", linked, image_, monsters},
         {linked + ": an output may not be written over an input (" + monsters + ")"}},
        {{"-o", out + "/y.smc", "-p", out + "/./y.smc", image_, monsters},
         {out + "/./y.smc: named for two outputs (" + out + "/y.smc)"}},
        {{"-o", out + "/none/y.smc", "-i", out + "//none/./y.smc", image_, monsters},
         {out + "//none/./y.smc: named for two outputs (" + out + "/none/y.smc)"}},
        {{"-p", csv("rom"), image_, monsters},
         {csv("rom") + ": an output may not be written over an input (" + csv("rom") + ")"}},
        {{"-o", out + "/new.smc", other_image, monsters, json},
         {json + ": made from another image: it names " + crc + "; " + other_image + " has file CRC32 ",
          monsters + ": made from another image: it names " + crc}},
        {{"-o", out + "/new.smc", image_, bad_csv},
         {bad_csv + ": row 4 (index 2): \"hp\" = \"many\": not a whole number"}},
        {{"-o", out + "/new.smc", image_, lone},
         {lone + ": no identification found: give " + GetParam().prefix + "-rom.csv"}},
        {{"-i", out + "/new.ips", large_image, monsters},
         {out + "/new.ips: no IPS patch can be made: " + large_image + " is 17825792 bytes without its copier header",
          monsters + ": made from another image"}},
    };
    for (const auto& [args, messages] : cases) {
        SCOPED_TRACE(messages[0]);
        const RunResult r = import(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        const std::string tool = GetParam().importer;
        for (const std::string& m : messages) EXPECT_NE(r.err.find(tool + ": " + m), std::string::npos) << r.err;
        EXPECT_TRUE(r.err.ends_with(tool + ": nothing written\n")) << r.err;
        EXPECT_EQ(split_lines(r.err).size(), messages.size() + 1) << r.err;
        EXPECT_EQ(list_dir(out), (std::vector<std::string>{"linked.bps", GetParam().prefix + std::string("-items.csv")}));
    }
    const std::string tool = GetParam().importer;
    EXPECT_EQ(import({"-p", image_, monsters}).err, tool + ": Too few arguments\n");  // -p takes the image
    EXPECT_EQ(import({image_, monsters, "-o"}).err, tool + ": Invalid option\n");
    EXPECT_EQ(list_dir(out), (std::vector<std::string>{"linked.bps", GetParam().prefix + std::string("-items.csv")}));
    EXPECT_EQ(bytes_of(image_), original_);
    EXPECT_EQ(bytes_of(linked), bytes_of(monsters));
}

// Past the refusal limit one line counts the others, the run's own (no
// output named) among them; cells written as spreadsheets write them
// ("1,234", "TRUE", "150.0") with the image's values change nothing.
TEST_P(ImportTest, RefusalsPastTheLimitAreCounted) {
    Records records = parse_csv_text(read_file(csv("monsters")));
    for (int r = 0; r < 70; ++r) cell(records, std::to_string(r), "hp") = "-5";
    const std::string edited = dir_.file(std::string(GetParam().prefix) + "-monsters.csv");
    write_file(edited, format_csv(records, "\r\n", true));
    write_file(dir_.file(std::string(GetParam().prefix) + "-rom.csv"), read_file(csv("rom")));
    const std::string tool = GetParam().importer;
    for (const auto& [args, more] : {std::pair{std::vector<std::string>{"-o", new_image_, image_, edited}, 20},
                                     {std::vector<std::string>{image_, edited}, 21}}) {
        const RunResult r = import(args);
        EXPECT_EQ(r.status, 1);
        const std::vector<std::string> lines = split_lines(r.err);
        ASSERT_EQ(lines.size(), kRefusalLines + 2) << r.err;
        EXPECT_EQ(lines[kRefusalLines], tool + ": ... and " + std::to_string(more) + " more refusals");
        EXPECT_EQ(lines.back(), tool + ": nothing written");
    }

    Records same = parse_csv_text(read_file(csv("monsters")));
    for (size_t r = 1; r < same.size(); ++r) {
        std::string& hp = cell(same, std::to_string(r - 1), "hp");
        hp = std::stoi(hp) >= 1000 ? hp.substr(0, hp.size() - 3) + "," + hp.substr(hp.size() - 3) : hp + ".0";
        for (std::string& field : same[r]) {
            if (field == "true" || field == "false") field = field == "true" ? "TRUE" : "False";
        }
    }
    write_file(edited, format_csv(same, "\r\n", true));
    const RunResult r = import({"-o", new_image_, image_, edited});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(split_lines(r.out).at(0), "no changes") << r.out;
    EXPECT_EQ(bytes_of(new_image_), original_);
}

// Runs killed with SIGKILL at random moments: the new image and the patch
// are each absent or complete, and any other file is a hidden temporary one.
TEST_P(ImportTest, KilledRunsLeaveNoCutFile) {
#ifdef _WIN32
    GTEST_SKIP() << "killing a run at a chosen moment needs SIGKILL; under Wine it would mostly hit Wine's start-up";
#else
    const auto [records, old_hp] = raised_hp();
    write_file(csv("monsters"), format_csv(records, "\r\n", true));
    const std::string out = dir_.file("out");
    ASSERT_EQ(make_dir(out), 0);
    const std::vector<std::string> args = {"-o", out + "/new.smc", "-p", out + "/new.bps", image_, csv("monsters")};
    timespec start, end;
    clock_gettime(CLOCK_MONOTONIC, &start);
    ASSERT_EQ(import(args).status, 0);
    clock_gettime(CLOCK_MONOTONIC, &end);
    const std::string image = read_file(out + "/new.smc");
    const std::string patch = read_file(out + "/new.bps");
    // Stopped by a file size limit in the middle of writing the image: the
    // earlier file of that name stays as it was.
    write_file(out + "/new.smc", original_);
    EXPECT_EQ(run_tool(GetParam().importer, args, "", nullptr, 1 << 20).status, 128 + SIGXFSZ);
    EXPECT_EQ(bytes_of(out + "/new.smc"), original_);
    const long run_us = (end.tv_sec - start.tv_sec) * 1000000L + (end.tv_nsec - start.tv_nsec) / 1000;
    std::mt19937 rng(23);
    int killed = 0;
    for (int i = 0; i < 16; ++i) {
        std::filesystem::remove(out + "/new.smc");
        std::filesystem::remove(out + "/new.bps");
        const long after = static_cast<long>(rng() % static_cast<unsigned long>(run_us + 1));
        killed += run_tool_killed_after(GetParam().importer, args, after) == 128 + SIGKILL;
        for (const std::string& name : list_dir(out)) {
            SCOPED_TRACE(name + " after a kill at " + std::to_string(after) + " us");
            if (name == "new.smc") {
                EXPECT_EQ(read_file(out + "/" + name), image);
            } else if (name == "new.bps") {
                EXPECT_EQ(read_file(out + "/" + name), patch);
            } else {
                EXPECT_TRUE(name.front() == '.' && name.ends_with(".tmp"));
            }
        }
    }
    EXPECT_GT(killed, 0);
#endif
}

INSTANTIATE_TEST_SUITE_P(BothGames, ImportTest, ::testing::Values(kGameA, kGameB),
                         [](const auto& info) { return info.index == 0 ? std::string("A") : std::string("B"); });

}  // namespace
