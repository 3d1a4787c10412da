// mt2decoder and mt3decoder, run end to end.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "common/chartables.h"
#include "decoder/decode.h"
#include "games/a/chartables.h"
#include "games/b/chartables.h"
#include "tests/support/test_util.h"

using namespace decoder;

namespace {

const std::string kMt2 = MT2DECODER;
const std::string kMt3 = MT3DECODER;

class DecoderTest : public ::testing::Test {
protected:
    // Decodes the bytes with the tool and returns the output file's content.
    std::string decode(const std::string& tool, const std::string& input) {
        write_file(src_, input);
        const RunResult r = run_tool(tool, {src_, dst_});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");
        return read_text_file(dst_);
    }

    TempDir dir_;
    std::string src_ = dir_.file("in.bin");
    std::string dst_ = dir_.file("out.txt");
};

}  // namespace

TEST_F(DecoderTest, LinesAndCodes) {
    EXPECT_EQ(decode(kMt2, std::string("\x51\x00\x52", 3)), "あ\nい");
    EXPECT_EQ(decode(kMt3, std::string("\x51\x00\x52", 3)), "あ\nい");
    EXPECT_EQ(decode(kMt2, std::string("\x20\x00", 2)), " ");
    EXPECT_EQ(decode(kMt2, std::string("\x23\xFF", 2)), "狼");
    EXPECT_EQ(decode(kMt3, std::string("\x23\xFF", 2)), "汗");
    EXPECT_EQ(decode(kMt2, "\xE5\x1A\x50\x50"), "ー〓  ");
    EXPECT_EQ(decode(kMt3, "\xE5"), "一");
    EXPECT_EQ(decode(kMt2, std::string("\x00\x00", 2)), "\n\n");
}

TEST_F(DecoderTest, TrailingLeadByteIsDropped) {
    EXPECT_EQ(decode(kMt2, "\x51\x21"), "あ");
    EXPECT_EQ(decode(kMt2, ""), "");
}

TEST_F(DecoderTest, EveryCodeAcrossChunkBoundaries) {
    // A long input whose two-byte codes straddle the reader's chunks.
    std::string input;
    std::string expected;
    for (int round = 0; round < 300; ++round) {
        for (int code = 0; code < 1024; ++code) {
            if (round % 2) input += '\x51';  // shift the alignment every other round
            if (round % 2) expected += mt3::kCharTables.single[0x51];
            input += static_cast<char>(0x20 + code / 256);
            input += static_cast<char>(code % 256);
            expected += mt3::kCharTables.dbl[code];
        }
    }
    EXPECT_EQ(decode(kMt3, input), expected);
}

TEST_F(DecoderTest, CommandLine) {
    write_file(src_, std::string("\x51"));
    RunResult r = run_tool(kMt2, {src_});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, kMt2 + ": Too few arguments\n");
    EXPECT_FALSE(file_exists(dst_));

    r = run_tool(kMt2, {"-s", src_, dst_});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, kMt2 + ": Invalid option\n");
    r = run_tool(kMt3, {src_, dst_, "-m"});
    EXPECT_EQ(r.err, kMt3 + ": Invalid option\n");
    EXPECT_FALSE(file_exists(dst_));

    r = run_tool(kMt2, {src_, dst_, dir_.file("third")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(read_text_file(dst_), "あ");
    EXPECT_FALSE(file_exists(dir_.file("third")));
}

// A path that does not fit its slot is refused whole, never cut to the
// 1023 characters that name another file.
TEST_F(DecoderTest, OverlongPathsAreRefused) {
    write_file(src_, std::string("\x51"));
    const std::string cut = deep_path(dir_.file("deep"), 1023);
    const std::string too_long = std::string(": ") + strerror(ENAMETOOLONG) + "\n";
    RunResult r = run_tool(kMt2, {src_, cut + "x"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, kMt2 + ": Cannot decode - " + cut + "x" + too_long);
    EXPECT_FALSE(file_exists(cut));
    write_file(cut, std::string("\x52"));
    r = run_tool(kMt3, {cut + "x", dst_});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, kMt3 + ": Cannot decode - " + cut + "x" + too_long);
    EXPECT_FALSE(file_exists(dst_));
}

TEST_F(DecoderTest, Help) {
    const RunResult r = run_tool(kMt3, {"-sh", src_}, "", "mt3decoder");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              "mt3decoder - game text to Shift-JIS decoder\n"
              "mt3decoder: [option] src-filename dst-filename\n"
              "\t-s\tdecode in single-byte mode\n"
              "\t-m\tdecode in multi-byte mode\n"
              "\t-h\tdisplay this help and exit\n"
              "\n");
}

TEST_F(DecoderTest, MissingSourceCreatesNothing) {
    const RunResult r = run_tool(kMt2, {dir_.file("missing"), dst_});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, kMt2 + ": Cannot decode\n");
    EXPECT_FALSE(file_exists(dst_));
}

TEST_F(DecoderTest, UncreatableDestination) {
    write_file(src_, std::string("\x51"));
    const RunResult r = run_tool(kMt2, {src_, dir_.file("no/such/out.txt")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, kMt2 + ": Cannot decode\n");
}

TEST_F(DecoderTest, DirectoryAsSource) {
    const RunResult r = run_tool(kMt2, {dir_.path(), dst_});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, kMt2 + ": Cannot decode\n");
}

TEST_F(DecoderTest, FullDiskIsAFailure) {
    if (!have_dev_full()) GTEST_SKIP() << "no /dev/full";
    write_file(src_, std::string(100000, '\x51'));
    RunResult r = run_tool(kMt2, {src_, "/dev/full"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, kMt2 + ": Cannot decode\n");
    write_file(src_, std::string("\x51"));
    r = run_tool(kMt2, {src_, "/dev/full"});
    EXPECT_EQ(r.status, 1);
}

TEST_F(DecoderTest, RefusesToOverwriteItsSource) {
    const std::string input = "\x51\x52\x53";
    write_file(src_, input);
    ASSERT_EQ(make_hard_link(src_, dir_.file("hard")), 0);
    std::vector<std::string> names{src_, dir_.file("hard"), dir_.path() + "/./in.bin"};
#ifdef _WIN32
    names.push_back(dir_.path() + "\\IN.BIN");  // the same name to a file system that ignores case
    if (make_symlink(src_, dir_.file("soft")) == 0) names.push_back(dir_.file("soft"));
#else
    MAKE_SYMLINK(src_, dir_.file("soft"));
    names.push_back(dir_.file("soft"));
#endif
    for (const std::string& dst : names) {
        const RunResult r = run_tool(kMt2, {src_, dst});
        EXPECT_EQ(r.status, 1) << dst;
        EXPECT_EQ(r.err, kMt2 + ": Cannot decode\n");
        EXPECT_EQ(read_file(src_), input);
    }
}

TEST(DecodeBlock, LeavesATrailingLeadByteUnconsumed) {
    const unsigned char in[] = {0x51, 0x00, 0x22};
    char out[16];
    size_t used = 0;
    const size_t n = decode_block(in, sizeof in, out, &used, pack_tables(mt2::kCharTables));
    EXPECT_EQ(used, 2u);
    EXPECT_EQ(std::string(out, n), "あ\n");
}

namespace {

// The game text decoded one code after another, straight from the tables.
std::string decode_plainly(const std::string& text, const common::CharTables& tables, size_t* consumed) {
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        if (common::is_lead_byte(b)) {
            if (i + 1 == text.size()) break;
            out += tables.dbl[(b - common::kFirstLeadByte) * 256 + static_cast<unsigned char>(text[i + 1])];
            i += 2;
        } else {
            out += b == 0 ? "\n" : tables.single[b];
            ++i;
        }
    }
    *consumed = i;
    return out;
}

}  // namespace

// Random texts of every short length, decoded by the block loop as code by
// code, within the room of 4 bytes per input byte: texts heavy with lead bytes
// (runs of them pair up from the left), and texts of mostly single-byte codes,
// whose stretches of sixteen bytes without a lead byte the loop takes at once.
TEST(DecodeBlock, DecodesRandomTextsAsCodeByCode) {
    const std::string kBytes[] = {{'\x20', '\x21', '\x22', '\x23', '\x00', '\x51', '\xE5', '\x1A', '\xFF', '\x1F', '\x24'},
                                  {'\x00', '\x51', '\xE5', '\x1A', '\xFF', '\x1F', '\x24', '\x60', '\x70', '\x80', '\x90',
                                   '\xA0', '\xB0', '\xC0', '\xD0', '\x22'}};
    unsigned seed = 12345;
    for (const common::CharTables* tables : {&mt2::kCharTables, &mt3::kCharTables}) {
        const PackedTables packed = pack_tables(*tables);
        for (size_t length = 1; length <= 40; ++length) {
            for (int round = 0; round < 100; ++round) {
                const std::string& bytes = kBytes[round % 2];
                std::string text;
                for (size_t i = 0; i < length; ++i) {
                    seed = seed * 1103515245u + 12345u;
                    text += bytes[(seed >> 16) % bytes.size()];
                }
                std::string out(4 * length + 16, '\x7F');
                size_t used = 0, expected_used = 0;
                const size_t n = decode_block(reinterpret_cast<const unsigned char*>(text.data()), length, out.data(),
                                              &used, packed);
                EXPECT_EQ(out.substr(0, n), decode_plainly(text, *tables, &expected_used)) << length << " " << round;
                EXPECT_EQ(used, expected_used);
                EXPECT_EQ(out.substr(4 * length), std::string(16, '\x7F'));
            }
        }
    }
}
