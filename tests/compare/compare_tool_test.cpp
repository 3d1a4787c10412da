// mt2compare and mt3compare end to end on the demo images: changed records,
// bytes outside the tables, the same changes as IPS, UPS and BPS patches made
// by a small writer of this file, patches refused, and the exit statuses.
#include <gtest/gtest.h>

#include <functional>
#include <nlohmann/json.hpp>

#include "common/image_id.h"
#include "common/rom.h"
#include "demo/demo.h"
#include "games/a/demo.h"
#include "games/a/layout.h"
#include "games/b/demo.h"
#include "games/b/layout.h"
#include "tests/support/game_regions.h"
#include "tests/support/test_util.h"
#include "tools/demo_files.h"

using namespace demo;

namespace {

using Json = nlohmann::json;

// Patch writers: each makes a patch that turns from into to.
void put_number(Bytes& out, uint64_t n) {  // UPS/BPS numbers
    for (;;) {
        const uint8_t x = n & 0x7F;
        n >>= 7;
        if (n == 0) {
            out.push_back(x | 0x80);
            return;
        }
        out.push_back(x);
        --n;
    }
}

void put_crc_footer(Bytes& out, const Bytes& from, const Bytes& to) {
    for (uint32_t crc : {common::crc32_of(from.data(), from.size()), common::crc32_of(to.data(), to.size())}) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(crc >> (8 * i)));
    }
    const uint32_t own = common::crc32_of(out.data(), out.size());
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(own >> (8 * i)));
}

// The runs of differing bytes of two images of the same size.
std::vector<std::pair<size_t, size_t>> runs(const Bytes& from, const Bytes& to) {
    std::vector<std::pair<size_t, size_t>> r;
    for (size_t i = 0; i < to.size(); ++i) {
        if (i < from.size() && from[i] == to[i]) continue;
        if (!r.empty() && r.back().first + r.back().second == i) {
            ++r.back().second;
        } else {
            r.push_back({i, 1});
        }
    }
    return r;
}

// IPS: one record per run, a run of one repeated byte as a run-length record.
Bytes ips(const Bytes& from, const Bytes& to) {
    Bytes out = {'P', 'A', 'T', 'C', 'H'};
    for (auto [at, n] : runs(from, to)) {
        out.insert(out.end(), {uint8_t(at >> 16), uint8_t(at >> 8), uint8_t(at)});
        if (n > 1 && std::all_of(to.begin() + long(at), to.begin() + long(at + n), [&](uint8_t b) { return b == to[at]; })) {
            out.insert(out.end(), {0, 0, uint8_t(n >> 8), uint8_t(n), to[at]});
        } else {
            out.insert(out.end(), {uint8_t(n >> 8), uint8_t(n)});
            out.insert(out.end(), to.begin() + long(at), to.begin() + long(at + n));
        }
    }
    out.insert(out.end(), {'E', 'O', 'F'});
    return out;
}

Bytes ups(const Bytes& from, const Bytes& to) {
    Bytes out = {'U', 'P', 'S', '1'};
    put_number(out, from.size());
    put_number(out, to.size());
    size_t pos = 0;
    for (auto [at, n] : runs(from, to)) {
        put_number(out, at - pos);
        for (size_t i = at; i < at + n; ++i) out.push_back(to[i] ^ (i < from.size() ? from[i] : 0));
        out.push_back(0);
        pos = at + n + 1;
    }
    put_crc_footer(out, from, to);
    return out;
}

// BPS: the source's bytes where they are unchanged, the patch's where not; a
// run of one repeated byte as one patch byte and a copy of the target.
Bytes bps_with(const Bytes& from, const Bytes& to, const std::string& metadata) {
    Bytes out = {'B', 'P', 'S', '1'};
    put_number(out, from.size());
    put_number(out, to.size());
    put_number(out, metadata.size());
    out.insert(out.end(), metadata.begin(), metadata.end());
    size_t pos = 0;
    int64_t target_from = 0;
    for (auto [at, n] : runs(from, to)) {
        if (at > pos) put_number(out, (at - pos - 1) << 2 | 0);
        put_number(out, 0 << 2 | 1);
        out.push_back(to[at]);
        if (n > 1) {
            put_number(out, (n - 2) << 2 | 3);
            const int64_t d = int64_t(at) - target_from;  // copy from the byte just written
            put_number(out, uint64_t(d < 0 ? -d : d) << 1 | (d < 0));
            target_from = int64_t(at) + int64_t(n) - 1;
            if (!std::all_of(to.begin() + long(at), to.begin() + long(at + n), [&](uint8_t b) { return b == to[at]; })) {
                return {};  // the tests' changes are runs of one byte
            }
        }
        pos = at + n;
    }
    if (pos < to.size()) put_number(out, (to.size() - pos - 1) << 2 | 0);
    put_crc_footer(out, from, to);
    return out;
}

Bytes bps(const Bytes& from, const Bytes& to) { return bps_with(from, to, ""); }

Bytes read_bytes(const std::string& path) {
    const std::string s = read_file(path);
    return Bytes(s.begin(), s.end());
}

// Rom offsets of the demo tables the cases change (both demo images carry a
// 512-byte copier header).
constexpr size_t kHeader = kDemoCopierHeaderSize;
constexpr size_t kMonsterRecordsA = mt2::layout::kMonsterRecords.offset;
constexpr size_t kMonsterNamesA = mt2::layout::kMonsterNames.offset;
constexpr size_t kLearningList1A = mt2::layout::kLearningList1.offset;
constexpr size_t kMainGroupsB = mt3::layout::kMainEncounters.offset;
constexpr size_t kOutsideTables = 0x100000;

class CompareTest : public ::testing::Test {
protected:
    void SetUp() override {
        write_demo_files(dir_.path());
        old_ = dir_.file(kGameAFiles.image);
        original_ = read_bytes(old_);
    }

    RunResult run(const std::vector<std::string>& args, const std::string& tool = MT2COMPARE) {
        return run_tool(tool, args);
    }
    std::string write(const std::string& name, const Bytes& bytes) {
        write_file(dir_.file(name), bytes);
        return dir_.file(name);
    }
    Json json_of(const std::string& a, const std::string& b, int status = 1) {
        const RunResult r = run({"-j", a, b});
        EXPECT_EQ(r.status, status) << r.err;
        return Json::parse(r.out);
    }
    Json json_of(const std::string& option, const std::string& a, const std::string& b) {
        const RunResult r = run({"-j", option, a, b});
        EXPECT_EQ(r.status, 1) << r.err;
        return Json::parse(r.out);
    }

    TempDir dir_;
    std::string old_;
    Bytes original_;
};

TEST_F(CompareTest, IdenticalImagesShowOnlyTheIdentificationAndTheSummary) {
    const RunResult r = run({old_, old_});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = split_lines(r.out);
    ASSERT_EQ(lines.size(), 12u) << r.out;
    EXPECT_EQ(lines[0], "old: " + old_);
    EXPECT_EQ(lines[3], "  title \"MERIDIAN TALES2\", LoROM, internal checksum valid");
    EXPECT_EQ(lines[11], "12 tables compared, 0 records changed, 0 fields changed, 0 bytes changed outside the tables");
    EXPECT_EQ(r.err, "");
}

// Each side's identification names the hashes as the exports' words do
// (file CRC32 of the file as given, ROM CRC32 and ROM SHA-1 of the ROM
// proper) and shows the checksums in hexadecimal beside their values: an
// image with and without its copier header, and one whose stored checksum
// is wrong.
TEST_F(CompareTest, IdentificationNamesTheHashesAndChecksums) {
    const Bytes bare(original_.begin() + kHeader, original_.end());
    Bytes wrong = original_;
    wrong[kHeader + 0x8000] ^= 0x01;  // outside the tables: the computed checksum moves by one
    const int moved = wrong[kHeader + 0x8000] > original_[kHeader + 0x8000] ? 1 : -1;
    const auto hex4 = [](unsigned v) {
        char s[8];
        snprintf(s, sizeof s, "%04X", v);
        return std::to_string(v) + " (0x" + s + ")";
    };
    const auto le16 = [](const Bytes& b, size_t at) { return unsigned(b[at]) | unsigned(b[at + 1]) << 8; };
    const unsigned computed = le16(original_, kHeader + 0x7FC0 + 0x1E);  // the demo image's checksum is right
    struct Case {
        std::string path;
        const Bytes* bytes;
        size_t header;
        std::string validity;
        unsigned computed;
    };
    const std::vector<Case> cases = {
        {old_, &original_, kHeader, "valid", computed},
        {write("bare.smc", bare), &bare, 0, "valid", computed},
        {write("wrong.smc", wrong), &wrong, kHeader, "invalid", (computed + moved) & 0xFFFFu},
    };
    for (const Case& c : cases) {
        const RunResult r = run({old_, c.path});
        ASSERT_LE(r.status, 1) << r.err;
        const std::vector<std::string> lines = split_lines(r.out);
        ASSERT_GE(lines.size(), 10u) << r.out;
        const Bytes& b = *c.bytes;
        const std::string hashes = "  file CRC32 " + common::crc32_hex(common::crc32_of(b.data(), b.size())) + ", ROM CRC32 " +
                                   common::crc32_hex(common::crc32_of(b.data() + c.header, b.size() - c.header)) + ", ROM SHA-1 ";
        EXPECT_EQ(lines[7].substr(0, hashes.size()), hashes) << c.path;
        EXPECT_EQ(lines[7].size(), hashes.size() + 40) << lines[7];
        EXPECT_EQ(lines[8], "  title \"MERIDIAN TALES2\", LoROM, internal checksum " + c.validity) << c.path;
        const size_t at = c.header + 0x7FC0;
        EXPECT_EQ(lines[9], "  stored checksum " + hex4(le16(b, at + 0x1E)) + ", stored complement " +
                                hex4(le16(b, at + 0x1C)) + ", computed checksum " + hex4(c.computed))
            << c.path;
    }
}

// The JSON document's keys, in their order, and under old and new the
// exports' rom block with the file.
TEST_F(CompareTest, JsonDocumentShape) {
    const RunResult r = run({"-j", old_, old_});
    EXPECT_EQ(r.status, 0) << r.err;
    const nlohmann::ordered_json j = nlohmann::ordered_json::parse(r.out);
    std::vector<std::string> keys;
    for (const auto& [key, value] : j.items()) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"format", "version", "game", "old", "new", "changes", "unmapped"}));
    EXPECT_EQ(j["format"], "meridian-tools-compare");
    EXPECT_EQ(j["version"], 1);
    EXPECT_EQ(j["game"], "A");
    const uint32_t rom_crc = common::crc32_of(original_.data() + kHeader, original_.size() - kHeader);
    const common::ImageIdentity id = common::identify_image(original_.data(), original_.size(), -1);
    for (const char* side : {"old", "new"}) {
        EXPECT_EQ(j[side]["rom_crc32"], common::crc32_hex(rom_crc)) << side;
        // every hash of the exports' rom block, none left out
        EXPECT_EQ(j[side]["md5"], id.file.md5) << side;
        EXPECT_EQ(j[side]["rom_md5"], id.rom.md5) << side;
        EXPECT_EQ(j[side]["sha1"], id.file.sha1) << side;
        EXPECT_EQ(j[side]["mapping"], "LoROM") << side;
        EXPECT_EQ(j[side]["file"], old_) << side;
    }
    EXPECT_EQ(j["changes"], nlohmann::ordered_json::array());
    EXPECT_EQ(j["unmapped"], nlohmann::ordered_json::array());
}

TEST_F(CompareTest, CopierHeaderOnOneSideOnlyChangesNothing) {
    const std::string bare = write("bare.smc", Bytes(original_.begin() + kHeader, original_.end()));
    const RunResult r = run({old_, bare});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("  2097152 bytes, no copier header\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(" 0 records changed, 0 fields changed, 0 bytes changed outside"), std::string::npos);
}

// Every byte of the ROM proper outside the table regions and the cartridge
// header changed: no record changes, so the loaders read nothing outside the
// regions, and every changed byte is in the ranges outside the tables.
TEST_F(CompareTest, EveryByteOutsideTheTableRegionsChangesNoRecord) {
    struct Game {
        const char* image;
        const GameRegions& regions;
        long header;
        const char* tool;
    };
    const Game games[] = {{kGameAFiles.image, kGameARegions, common::kLoRomHeaderOffset, MT2COMPARE},
                          {kGameBFiles.image, kGameBRegions, common::kHiRomHeaderOffset, MT3COMPARE}};
    for (const Game& g : games) {
        SCOPED_TRACE(g.image);
        const std::string old = dir_.file(g.image);
        Bytes changed = read_bytes(old);
        ASSERT_EQ(changed.size(), kHeader + size_t(g.regions.rom_size));
        std::vector<bool> kept(size_t(g.regions.rom_size), false);
        for (const TableRegion& t : g.regions.tables) std::fill_n(kept.begin() + t.offset, t.size, true);
        std::fill_n(kept.begin() + g.header, 64, true);
        size_t outside = 0;
        for (size_t i = 0; i < kept.size(); ++i) {
            if (kept[i]) continue;
            changed[kHeader + i] ^= 0xA5;
            ++outside;
        }
        const RunResult r = run({"-j", old, write("outside.smc", changed)}, g.tool);
        EXPECT_EQ(r.status, 0) << r.err;
        const Json j = Json::parse(r.out);
        EXPECT_EQ(j["changes"], Json::array());
        size_t total = 0;
        for (const Json& range : j["unmapped"]) total += range["length"].get<size_t>();
        EXPECT_EQ(total, outside);
    }
}

// One change of each kind, as text and in the JSON document, from the
// changed image and from each patch format.
struct Edit {
    const char* what;
    std::function<void(Bytes&)> apply;
    std::vector<std::string> text;  // lines the text output must hold
    Json change;                    // the first element of "changes" (null: none)
    Json unmapped;
};

const Edit kEdits[] = {
    {"hp",
     [](Bytes& b) { b[kHeader + kMonsterRecordsA + 1] = 150; },
     {utf8(u8"monsters 0 \"オオカミ\""), utf8(u8"  hp: 112 → 150")},
     {{"table", "monsters"}, {"index", 0}, {"name", utf8(u8"オオカミ")}, {"key", "hp"}, {"old", 112}, {"new", 150}},
     Json::array()},
    {"name",
     [](Bytes& b) { b[kHeader + kMonsterNamesA + 1] ^= 1; },
     {utf8(u8"monsters 0 \"オオカミ\" → \"オカカミ\": only its name changed")},
     {{"table", "monsters"}, {"index", 0}, {"name", utf8(u8"オカカミ")}, {"key", "name"}, {"old", utf8(u8"オオカミ")}, {"new", utf8(u8"オカカミ")}},
     Json::array()},
    {"learning entry",
     [](Bytes& b) { b[kHeader + kLearningList1A + 3] += 1; },
     {"learning_lists 0 \"", ", entries 0 \""},
     {{"table", "learning_lists.entries"}, {"parent", 0}, {"index", 0}, {"key", "difficulty"}},
     Json::array()},
    {"outside",
     [](Bytes& b) { std::fill_n(b.begin() + kHeader + kOutsideTables, 32, 0xEA); },
     {"changed outside the tables (offset in the ROM proper, length):", "  0x100000 32",
      "12 tables compared, 0 records changed, 0 fields changed, 32 bytes changed outside the tables"},
     nullptr,
     Json::array({Json{{"offset", kOutsideTables}, {"length", 32}}})},
};

bool contains(const Json& object, const Json& part) {
    for (const auto& [key, value] : part.items()) {
        if (!object.contains(key) || object[key] != value) return false;
    }
    return true;
}

TEST_F(CompareTest, ChangesFromTheImageAndFromEachPatchFormat) {
    using Writer = Bytes (*)(const Bytes&, const Bytes&);
    const std::pair<const char*, Writer> kPatches[] = {{"ips", ips}, {"ups", ups}, {"bps", bps}};
    for (const Edit& e : kEdits) {
        SCOPED_TRACE(e.what);
        Bytes changed = original_;
        e.apply(changed);
        const std::string image = write("new.smc", changed);
        const int status = e.change.is_null() ? 0 : 1;
        const RunResult text = run({old_, image});
        EXPECT_EQ(text.status, status) << text.err;
        for (const std::string& line : e.text) EXPECT_NE(text.out.find(line), std::string::npos) << line << "\n" << text.out;
        const Json direct = json_of(old_, image, status);
        if (!e.change.is_null()) {
            ASSERT_FALSE(direct["changes"].empty());
            EXPECT_TRUE(contains(direct["changes"][0], e.change)) << direct["changes"][0];
        } else {
            EXPECT_TRUE(direct["changes"].empty());
        }
        EXPECT_EQ(direct["unmapped"], e.unmapped);
        for (const auto& [format, writer] : kPatches) {
            SCOPED_TRACE(format);
            const std::string patch = write(std::string("new.") + format, writer(original_, changed));
            const Json patched = json_of(old_, patch, status);
            EXPECT_EQ(patched["changes"], direct["changes"]);
            EXPECT_EQ(patched["unmapped"], direct["unmapped"]);
            EXPECT_EQ(patched["new"]["crc32"], direct["new"]["crc32"]);
        }
    }
}

TEST_F(CompareTest, EncounterRowOfGameB) {
    const std::string old = dir_.file(kGameBFiles.image);
    Bytes changed = read_bytes(old);
    changed[kHeader + kMainGroupsB] += 1;  // group 0, row 0: its monster
    const RunResult r = run({"-j", old, write("new.smc", changed)}, MT3COMPARE);
    ASSERT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(Json::parse(r.out)["game"], "B");
    const Json changes = Json::parse(r.out)["changes"];
    ASSERT_EQ(changes.size(), 1u) << changes;
    EXPECT_TRUE(contains(changes[0], {{"table", "main_encounters.rows"}, {"parent", 0}, {"index", 0}, {"key", "monster"}}))
        << changes[0];
    EXPECT_EQ(changes[0]["new"], changes[0]["old"].get<int>() + 1);
    EXPECT_TRUE(changes[0]["old_name"].is_string() && changes[0]["new_name"].is_string()) << changes[0];
    using Writer = Bytes (*)(const Bytes&, const Bytes&);
    for (Writer writer : {ips, ups, bps}) {
        const RunResult p = run({"-j", old, write("new.patch", writer(read_bytes(old), changed))}, MT3COMPARE);
        ASSERT_EQ(p.status, 1) << p.err;
        EXPECT_EQ(Json::parse(p.out)["changes"], changes);
    }
}

TEST_F(CompareTest, IpsForTheImageWithoutItsCopierHeader) {
    Bytes changed = original_;
    changed[kHeader + kMonsterRecordsA + 1] = 150;
    const Bytes bare_old(original_.begin() + kHeader, original_.end());
    const Bytes bare_new(changed.begin() + kHeader, changed.end());
    const std::string patch = write("bare.ips", ips(bare_old, bare_new));
    const RunResult r = run({"-r", old_, patch});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.out.find("new: IPS patch " + patch + ", applied to the image without its copier header\n"),
              std::string::npos) << r.out;
    EXPECT_NE(r.out.find(utf8(u8"  hp: 112 → 150\n")), std::string::npos);
    const std::string rom_crc = common::crc32_hex(common::crc32_of(bare_old.data(), bare_old.size()));
    EXPECT_NE(r.out.find("\n  patch applied to the ROM proper, CRC32 " + rom_crc + "\n\nmonsters"), std::string::npos)
        << r.out;
    EXPECT_EQ(json_of(old_, write("headered.ips", ips(original_, changed)))["new"]["patch_applied_to"],
              "the file with its copier header, CRC32 " + common::crc32_hex(common::crc32_of(original_.data(), original_.size())));
    EXPECT_EQ(json_of("-r", old_, patch)["new"]["patch_applied_to"], "the ROM proper, CRC32 " + rom_crc);
}

// UPS and BPS name their source by its CRC32: a patch made for the image
// without its copier header is applied to that, without -r.
TEST_F(CompareTest, UpsAndBpsForTheImageWithoutItsCopierHeader) {
    Bytes changed = original_;
    changed[kHeader + kMonsterRecordsA + 1] = 150;
    const Bytes bare_old(original_.begin() + kHeader, original_.end());
    const Bytes bare_new(changed.begin() + kHeader, changed.end());
    const std::pair<const char*, Bytes> kPatches[] = {{"UPS", ups(bare_old, bare_new)}, {"BPS", bps(bare_old, bare_new)}};
    for (const auto& [format, bytes] : kPatches) {
        const std::string patch = write("bare.patch", bytes);
        const RunResult r = run({old_, patch});
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_NE(r.out.find(std::string("new: ") + format + " patch " + patch +
                             ", applied to the image without its copier header\n  2097152 bytes, no copier header\n"),
                  std::string::npos) << r.out;
        EXPECT_NE(r.out.find(utf8(u8"  hp: 112 → 150\n")), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("\n  patch applied to the ROM proper, CRC32 " +
                             common::crc32_hex(common::crc32_of(bare_old.data(), bare_old.size())) + "\n"), std::string::npos) << r.out;
    }
    // A NUL in the metadata is shown, not the end of the output.
    const RunResult r = run({old_, write("zero-in-metadata.bps", bps_with(bare_old, bare_new, std::string("made-by: a\0b\nnext\n", 18)))});
    EXPECT_NE(r.out.find("  patch metadata:\n    made-by: a\\0b\n    next\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(" 1 fields changed"), std::string::npos) << r.out;
}

// The size after an IPS patch's EOF cuts the patched image: bytes that only
// the old image has count as changed outside the tables.
TEST_F(CompareTest, IpsTruncationSize) {
    Bytes padded = original_;
    padded.insert(padded.end(), 1024, 0xFF);
    const std::string old = write("padded.smc", padded);
    Bytes changed = original_;
    changed[kHeader + kMonsterRecordsA + 1] = 150;
    Bytes patch = ips(Bytes(padded.begin(), padded.begin() + long(original_.size())), changed);
    const size_t size = original_.size();
    patch.insert(patch.end(), {uint8_t(size >> 16), uint8_t(size >> 8), uint8_t(size)});
    const Json j = json_of(old, write("cut.ips", patch));
    EXPECT_EQ(j["new"]["file_size"], original_.size());
    EXPECT_EQ(j["new"]["crc32"], common::crc32_hex(common::crc32_of(changed.data(), changed.size())));
    ASSERT_EQ(j["changes"].size(), 1u) << j["changes"];
    EXPECT_EQ(j["changes"][0]["key"], "hp");
    EXPECT_EQ(j["unmapped"], Json::array({Json{{"offset", original_.size() - kHeader}, {"length", 1024}}}));
}

// A UPS or BPS body with a valid footer: the records themselves are checked.
Bytes with_footer(Bytes body, const Bytes& from, const Bytes& to) {
    put_crc_footer(body, from, to);
    return body;
}

Bytes numbers(const char* magic, std::initializer_list<uint64_t> values) {
    Bytes out(magic, magic + 4);
    for (uint64_t v : values) put_number(out, v);
    return out;
}

// Trouble: status 2 and one diagnostic, nothing on standard output.
TEST_F(CompareTest, RefusedPatchesAndImages) {
    Bytes changed = original_;
    changed[kHeader + kMonsterRecordsA + 1] = 150;
    Bytes other = original_;
    other[kHeader + 5] ^= 0xFF;
    const Bytes good_bps = bps(original_, changed);
    Bytes damaged = good_bps;
    damaged[8] ^= 1;
    Bytes wrong_target = ups(original_, changed);
    wrong_target[wrong_target.size() - 5] ^= 1;  // the target CRC32, then the patch's own made right again
    wrong_target.erase(wrong_target.end() - 4, wrong_target.end());
    const uint32_t own = common::crc32_of(wrong_target.data(), wrong_target.size());
    for (int i = 0; i < 4; ++i) wrong_target.push_back(static_cast<uint8_t>(own >> (8 * i)));
    const Bytes ips_patch = ips(original_, changed);
    const uint32_t other_crc = common::crc32_of(other.data() + kHeader, other.size() - kHeader);
    const uint64_t n = original_.size();
    Bytes cut_number = numbers("UPS1", {n, n});
    cut_number.push_back(0x05);  // a number whose last byte is missing
    const size_t table_end = kHeader + static_cast<size_t>(common::tables_end(mt2::layout::kTables));
    const std::string short_image = write("short.smc", Bytes(original_.begin(), original_.begin() + long(table_end) - 1));
    const Bytes bare(original_.begin() + kHeader, original_.end());
    Bytes bare_changed = bare;
    bare_changed[0x10] ^= 0xFF;  // where the headered file has its copier header
    Bytes last_changed = original_;
    last_changed.back() ^= 0xFF;  // past the end of the image without its copier header
    const Bytes zero_run = {'P', 'A', 'T', 'C', 'H', 0xFF, 0xFF, 0xF0, 0, 0, 0, 0, 0x00, 'E', 'O', 'F'};

    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{write("other.smc", other), write("wrong-base.bps", good_bps)},
         "patch is for another image: it expects CRC32 " + common::crc32_hex(common::crc32_of(original_.data(), original_.size())) +
             ", this image has " + common::crc32_hex(other_crc)},
        {{old_, write("damaged.bps", damaged)}, "patch is damaged: its CRC32 should be "},
        {{old_, write("cut.bps", Bytes(good_bps.begin(), good_bps.end() - 5))}, "patch is damaged: its CRC32 should be "},
        {{old_, write("cut.ips", Bytes(ips_patch.begin(), ips_patch.end() - 4))}, "patch is damaged: it ends "},
        {{old_, write("target.ups", wrong_target)}, "patch is damaged: the patched image has CRC32 "},
        {{old_, write("size.bps", with_footer(numbers("BPS1", {n - 1, n, 0, (n - 1) << 2}), original_, changed))},
         "patch is damaged: it is for an image of " + std::to_string(n - 1) + " bytes, this one has " + std::to_string(n)},
        {{old_, write("past.bps", with_footer(numbers("BPS1", {n, n, 0, n << 2}), original_, changed))},
         "patch is damaged: a record writes past the end of the patched image"},
        {{old_, write("outside.bps", with_footer(numbers("BPS1", {n, n, 0, 2, n << 1}), original_, changed))},
         "patch is damaged: a copy reads outside the image"},
        {{old_, write("number.ups", with_footer(cut_number, original_, changed))},
         "patch is damaged: it ends in the middle of a record"},
        {{old_, write("zero-run.ips", zero_run)}, "patch is damaged: a run-length record at 0xFFFFF0 has length 0"},
        {{"-r", old_, write("zero-run.ips", zero_run)}, "patch is damaged: a run-length record at 0xFFFFF0 has length 0"},
        {{old_, write("bare.ips", ips(bare, bare_changed))},
         "bare.ips: patch is for the image without its copier header: a record writes inside the copier header, at "
         "0x000010 (-r applies it to the image without its copier header)"},
        {{write("bare.smc", bare), write("headered.ips", ips(original_, last_changed))},
         "headered.ips: patch is for the image with a copier header: its records end 512 bytes past the end of the image"},
        {{old_, short_image},
         short_image + ": the image ends before its tables: it has " + std::to_string(table_end - 1) +
             " bytes, its tables end at byte " + std::to_string(table_end)},
        {{old_, dir_.file(kGameBFiles.image)}, "is not an image of MERIDIAN TALES2: its cartridge header is not found"},
        {{old_, dir_.file("missing.smc")}, "Invalid ROM-Image file - " + dir_.file("missing.smc") + ": "},
        {{old_}, "Too few arguments"},
        {{"-x", old_, old_}, "Invalid option"},
    };
    for (const auto& [args, message] : cases) {
        SCOPED_TRACE(message);
        const RunResult r = run(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_EQ(split_lines(r.err).size(), 1u) << r.err;
    }
    EXPECT_EQ(read_bytes(old_), original_);  // nothing is written to an input
}

TEST_F(CompareTest, HelpAndOverlongPatchTargetAndSizes) {
    const RunResult help = run({"-h"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("\t-r\tapply an IPS patch to the image without its copier header\n"), std::string::npos);
    Bytes huge = {'B', 'P', 'S', '1'};
    put_number(huge, original_.size());
    put_number(huge, (size_t{64} << 20) + 1);
    put_number(huge, 0);
    put_crc_footer(huge, original_, original_);
    const RunResult r = run({old_, write("huge.bps", huge)});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("patch would make an image of 67108865 bytes, more than 64 MiB"), std::string::npos) << r.err;
}

}  // namespace
