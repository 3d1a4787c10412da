// The comparisons' shell: the command line, the two files read whole, the
// core's output printed and the exit status.
#include <cstdio>

#include "common/diag.h"
#include "common/files.h"
#include "common/wholefile.h"
#include "compare/compare.h"

namespace compare {

const char* const kCompareOptions[3] = {
    "\t-j\twrite one JSON document instead of text\n",
    "\t-r\tapply an IPS patch to the image without its copier header\n",
    "\t-h\tdisplay this help and exit\n",
};

namespace {

constexpr unsigned kJson = 1u << ('j' - 'a');
constexpr unsigned kIpsWithoutHeader = 1u << ('r' - 'a');

using compare::Side;

// The whole file, as the tool's input; ends the run when it cannot be read.
compare::Input read_input(const char* path) {
    compare::Input input{path, {}};
    if (!common::read_whole_file(path, kMaxPatchTarget, &input.bytes)) common::fatal("Invalid ROM-Image file - %s:", path);
    return input;
}

// The lines of an error, then its status.
int report(const common::Error& error) {
    fflush(stdout);
    for (const std::string& line : error.lines) common::warn("%s", line.c_str());
    return error.status;
}

int run(int argc, char** argv, const CompareInfo& info) {
    common::CommandLine line;
    common::scan_command_line(argc, argv, info.help, common::DestinationKind::Input, &line, "jr");
    if (line.src[0] == '\0' || line.dst[0] == '\0') common::fatal("Too few arguments");
    // The new input is read only once the old image is found good, so that
    // the old image's trouble is the one told.
    const common::Result<Side> old = compare::decode_old(info, read_input(line.src));
    if (!old) return report(old.error());
    const compare::Options options{(line.letters & kJson) != 0, (line.letters & kIpsWithoutHeader) != 0};
    const common::Result<compare::Outcome> outcome = compare::compare_with(info, *old, read_input(line.dst), options);
    if (!outcome) return report(outcome.error());
    common::write_utf8(stdout, outcome->text.c_str());
    if (fflush(stdout) != 0 || ferror(stdout)) common::fatal("Cannot write to standard output:");
    return outcome->status;
}

}  // namespace

// Trouble ends the run with status 2, not the other tools' 1: the mains give
// tool_main kCompareTrouble, the status of every fatal diagnostic, memory
// that ran out included.
int compare_main(int argc, char** argv, const CompareInfo& info) { return run(argc, argv, info); }

}  // namespace compare
