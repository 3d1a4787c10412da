// The common command-line scan, run end to end through a probe tool, and the
// destination prefix.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <string>

#include "common/cmdline.h"
#include "tests/support/test_util.h"

namespace {

const std::string kProbe = SCAN_PROBE;
const std::string kHelp =
    "scan_probe\n"
    "probe: [option] src-pathname [dst-pathname]\n"
    "\t-h\tdisplay this help and exit\n"
    "\n";

RunResult probe(const std::vector<std::string>& args) { return run_tool(kProbe, args, "", "probe"); }

std::string prefix(const char* arg, int size = 1024) {
    char dst[1024] = "unchanged";
    common::make_dst_prefix(dst, arg, size);
    return dst;
}

}  // namespace

TEST(CommandLine, NoArgumentsIsTooFew) {
    const RunResult r = probe({});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "src=[]\ndst=[]\n");
    EXPECT_EQ(r.err, "probe: Too few arguments\n");
}

TEST(CommandLine, HelpWinsOverEverythingElse) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"-h"}, {"-H"}, {"-x", "-h"}, {"-hx"}, {"rom.smc", "out", "-h"}, {"-hh"}}) {
        const RunResult r = probe(args);
        EXPECT_EQ(r.status, 0) << args[0];
        EXPECT_EQ(r.out, kHelp) << args[0];
        EXPECT_EQ(r.err, "") << args[0];
    }
}

TEST(CommandLine, InvalidOptionLetters) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"-x", "rom.smc"}, {"rom.smc", "-s"}, {"-m"}}) {
        const RunResult r = probe(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "probe: Invalid option\n");
    }
}

TEST(CommandLine, PositionalArguments) {
    EXPECT_EQ(probe({"rom.smc", "-"}).out, "src=[rom.smc]\ndst=[]\n");
    EXPECT_EQ(probe({"rom.smc", "out", "third"}).out, "src=[rom.smc]\ndst=[out/]\n");
    EXPECT_EQ(probe({"", "rom.smc", "out"}).out, "src=[rom.smc]\ndst=[out/]\n");
    EXPECT_EQ(probe({"rom.smc", "", "out"}).out, "src=[rom.smc]\ndst=[out/]\n");
    const std::string longest_src(1023, 's'), longest_dst(1021, 'd');
    EXPECT_EQ(probe({longest_src, longest_dst}).out, "src=[" + longest_src + "]\ndst=[" + longest_dst + "/]\n");
}

// A path that its slot cannot hold whole is refused before anything else
// happens; help and invalid letters still come first.
TEST(CommandLine, OverlongPathsAreRefused) {
    const std::string src(1024, 's'), dst(1022, 'd');
    const std::string too_long = std::string(": ") + strerror(ENAMETOOLONG) + "\n";
    RunResult r = probe({src, "out"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "probe: Invalid ROM-Image file - " + src + too_long);
    r = probe({"rom.smc", dst, "out"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "probe: Cannot create file - " + dst + too_long);
    EXPECT_EQ(probe({"rom.smc", "out", src}).out, "src=[rom.smc]\ndst=[out/]\n");  // a third path is ignored
    EXPECT_EQ(probe({src, "-x"}).err, "probe: Invalid option\n");
    r = probe({src, dst, "-h"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, kHelp);
}

TEST(CommandLine, LongProgramNameIsTruncated) {
    const std::string name(1500, 'p');
    const RunResult r = run_tool(kProbe, {}, "", name.c_str());
    EXPECT_EQ(r.err, name.substr(0, 1023) + ": Too few arguments\n");
    const RunResult help = run_tool(kProbe, {"-h"}, "", name.c_str());
    EXPECT_NE(help.out.find(name.substr(0, 1023) + ": [option]"), std::string::npos);
    EXPECT_EQ(help.out.find(name.substr(0, 1024)), std::string::npos);
}

TEST(CommandLine, ColonMessagesGetTheSystemText) {
    // The probe ends with a colon-terminated message; errno is still 0.
    const RunResult r = probe({"a", "b", "c", "d", "e"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, std::string("probe: Cannot create file - a: ") + strerror(0) + "\n");
    // Standard output came out before the diagnostic (it was flushed first).
    EXPECT_EQ(r.out, "src=[a]\ndst=[b/]\n");
}

TEST(CommandLine, NullFormatWritesNothingButStillFails) {
    const RunResult r = probe({"a"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "");
}

TEST(DestinationPrefix, Forms) {
    EXPECT_EQ(prefix("out"), "out/");
    EXPECT_EQ(prefix("out\\"), "out/");
    EXPECT_EQ(prefix("a\\b\\"), "a/b/");
    EXPECT_EQ(prefix("C:\\dump\\a"), "C:/dump/a/");
    EXPECT_EQ(prefix("/"), "/");
    EXPECT_EQ(prefix(""), "");
}

TEST(DestinationPrefix, DoubleByteSecondByte0x5CIsChangedToo) {
    // "表" is 0x95 0x5C in Shift-JIS: its second byte becomes '/'.
    EXPECT_EQ(prefix("表"), "\x95/");
}

TEST(DestinationPrefix, RefusesArgumentsThatDoNotFit) {
    EXPECT_EQ(prefix(std::string(1021, 'd').c_str()), std::string(1021, 'd') + "/");
    EXPECT_EQ(prefix(std::string(1022, 'd').c_str()), "unchanged");
    EXPECT_EQ(prefix("out", 0), "unchanged");
    EXPECT_EQ(prefix(nullptr), "unchanged");
    EXPECT_EQ(prefix("ab", 4), "unchanged");
    EXPECT_EQ(prefix("a", 4), "a/");
    EXPECT_EQ(common::make_dst_prefix(nullptr, "out", 10), nullptr);
}

namespace {

// What the scan finds in one process, for the tool named "probe": "help",
// "error: <lines>" or "src=[...] dst=[...] letters=<bits>".
std::string scanned(std::vector<std::string> args, common::DestinationKind kind, const char* letters = "") {
    args.insert(args.begin(), "probe");
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    const common::Result<common::CommandLine> line = common::parse_command_line(static_cast<int>(argv.size()), argv.data(), kind, letters);
    if (!line) {
        std::string text = "error:";
        for (const std::string& l : line.error().lines) text += " " + l;
        return text + " status " + std::to_string(line.error().status);
    }
    if (line->help) return "help";
    return std::string("src=[") + line->src + "] dst=[" + line->dst + "] letters=" + std::to_string(line->letters);
}

}  // namespace

// The scan ends nothing: help, the error in the tool's words or the arguments
// come back to the caller.
TEST(CommandLineScan, ReturnsWhatItFound) {
    const std::string src(1024, 's'), dst(1022, 'd'), too_long = std::string(": ") + strerror(ENAMETOOLONG);
    const struct {
        std::vector<std::string> args;
        common::DestinationKind kind;
        const char* letters;
        std::string found;
    } cases[] = {
        {{}, common::DestinationKind::Prefix, "", "src=[] dst=[] letters=0"},
        {{"rom.smc", "out\\x"}, common::DestinationKind::Prefix, "", "src=[rom.smc] dst=[out/x/] letters=0"},
        {{"rom.smc", "out\\x"}, common::DestinationKind::File, "", "src=[rom.smc] dst=[out\\x] letters=0"},
        {{"-J", "a", "-r"}, common::DestinationKind::Input, "jr", "src=[a] dst=[] letters=131584"},
        {{"-x", src, "-h"}, common::DestinationKind::Prefix, "", "help"},
        {{"-x", src}, common::DestinationKind::Prefix, "", "error: Invalid option status 1"},
        {{src}, common::DestinationKind::Prefix, "", "error: Invalid ROM-Image file - " + src + too_long + " status 1"},
        {{"a", dst}, common::DestinationKind::Prefix, "", "error: Cannot create file - " + dst + too_long + " status 1"},
        {{"a", src}, common::DestinationKind::File, "", "error: Cannot decode - " + src + too_long + " status 1"},
        {{"a", src}, common::DestinationKind::Input, "", "error: Invalid ROM-Image file - " + src + too_long + " status 1"},
    };
    for (const auto& c : cases) EXPECT_EQ(scanned(c.args, c.kind, c.letters), c.found) << c.found;
}

TEST(CommandLineScan, ArgumentListReturnsWhatItFound) {
    const char* const words[] = {"headered", nullptr};
    const char* const value_words[] = {"prefer", nullptr};
    auto scan = [&words, &value_words](std::vector<std::string> args) {
        args.insert(args.begin(), "probe");
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        return common::parse_argument_list(static_cast<int>(argv.size()), argv.data(), "n", "op", words, value_words);
    };
    common::Result<common::ArgumentList> line = scan({"-op", "a", "b", "x.smc", "--headered", "--prefer", "-2"});
    ASSERT_TRUE(line.ok());
    EXPECT_FALSE(line->help);
    EXPECT_EQ(line->values['o' - 'a'], "a");
    EXPECT_EQ(line->values['p' - 'a'], "b");
    EXPECT_EQ(line->positional, std::vector<std::string>{"x.smc"});
    EXPECT_EQ(line->words, std::vector<std::string>{"headered"});
    EXPECT_EQ(line->long_values, (std::map<std::string, std::string>{{"prefer", "-2"}}));
    for (const auto& args : std::vector<std::vector<std::string>>{{"-o"}, {"--other"}, {"-q", "x"}, {"--prefer"}}) {
        line = scan(args);
        ASSERT_FALSE(line.ok()) << args[0];
        EXPECT_EQ(line.error().lines, std::vector<std::string>{"Invalid option"}) << args[0];
    }
    line = scan({"-o", "--other", "-h"});
    ASSERT_TRUE(line.ok());
    EXPECT_TRUE(line->help);
}
