// The tools' side of the command-line scan: the process's settings, the help
// on standard output and the scan's error, which end the tool.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/cmdline.h"
#include "common/files.h"

namespace common {

void print_help(const HelpText& help) {
    printf("%s\n", help.banner);
    // The usage line names the program as it was called, in any script.
    const int n = snprintf(nullptr, 0, help.usage, program_name());
    std::string usage(n > 0 ? static_cast<size_t>(n) + 1 : 1, '\0');
    if (n > 0) snprintf(usage.data(), usage.size(), help.usage, program_name());
    write_text(stdout, usage.c_str());
    for (int i = 0; i < help.option_count; ++i) fputs(help.options[i], stdout);
    fputs("\n", stdout);
}

namespace {

// What every scan does first: SIGPIPE ignored, errno cleared, the program
// name stored.
void begin_scan(int argc, char** argv) {
#ifdef SIGPIPE
    // A report or decoded text may be a pipe whose reader quits early: a
    // write to it then fails (EPIPE) like any other write, costing only that
    // file, instead of ending the tool silently.
    signal(SIGPIPE, SIG_IGN);
#endif
    errno = 0;
    set_program_name(argc > 0 ? argv[0] : nullptr);
}

// What every scan does last: the help (exit 0), or the scan's error.
template <typename Line>
void end_scan(const common::Result<Line>& scanned, const HelpText& help, Line* line) {
    if (!scanned) fatal(scanned.error());
    if (scanned->help) {
        print_help(help);
        exit(0);
    }
    *line = *scanned;
}

}  // namespace

void scan_command_line(int argc, char** argv, const HelpText& help, DestinationKind kind, CommandLine* line,
                       const char* own_letters) {
    begin_scan(argc, argv);
    end_scan(parse_command_line(argc, argv, kind, own_letters), help, line);
}

void scan_argument_list(int argc, char** argv, const HelpText& help, const char* own_letters,
                        const char* value_letters, ArgumentList* line, const char* const* long_words,
                        const char* const* long_value_words) {
    begin_scan(argc, argv);
    end_scan(parse_argument_list(argc, argv, own_letters, value_letters, long_words, long_value_words), help, line);
}

}  // namespace common
