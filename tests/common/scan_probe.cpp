// Runs the analyzers' command-line scan and prints the slots it filled.
#include <cstdio>

#include "common/cmdline.h"

namespace {
const char* const kOptions[] = {"\t-h\tdisplay this help and exit\n"};
const common::HelpText kHelp = {"scan_probe", "%s: [option] src-pathname [dst-pathname]\n", kOptions, 1};
}  // namespace

int main(int argc, char** argv) {
    common::CommandLine line;
    common::scan_command_line(argc, argv, kHelp, common::DestinationKind::Prefix, &line);
    printf("src=[%s]\ndst=[%s]\n", line.src, line.dst);
    if (line.src[0] == '\0') common::fatal("Too few arguments");
    common::fatal(argc > 5 ? "Cannot create file - %s:" : nullptr, line.src);
}
