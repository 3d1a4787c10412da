// Runs the analyzers' command-line scan and prints the slots it filled.
#include <cstdio>

#include "common/cmdline.h"

namespace {
const char* const kOptions[] = {"\t-h\tdisplay this help and exit\n"};
const HelpText kHelp = {"scan_probe", "%s: [option] src-pathname [dst-pathname]\n", kOptions, 1};
}  // namespace

int main(int argc, char** argv) {
    CommandLine line;
    scan_command_line(argc, argv, kHelp, DestinationKind::Prefix, &line);
    printf("src=[%s]\ndst=[%s]\n", line.src, line.dst);
    if (line.src[0] == '\0') fatal("Too few arguments");
    fatal(argc > 5 ? "Cannot create file - %s:" : nullptr, line.src);
}
