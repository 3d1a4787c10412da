// The command-line scan shared by all four tools.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/diag.h"

// What a tool prints for -h: a banner, a usage line (formatted with the
// program name) and its option lines, then an empty line.
struct HelpText {
    const char* banner;
    const char* usage;  // contains one "%s" for the program name
    const char* const* options;
    int option_count;
};

enum class DestinationKind {
    Prefix,  // analyzers: the argument names a directory, see make_dst_prefix
    File,    // decoders: the argument is stored unchanged
    Input,   // comparisons: a second input, stored unchanged
};

struct CommandLine {
    char src[kPathSize] = {};
    char dst[kPathSize] = {};
    unsigned letters = 0;  // bit (c - 'a') for each option letter c of the tool's own seen
};

// Turns a destination argument into a report path prefix: backslashes become
// '/', and a '/' is appended unless the text is empty or already ends in one.
// An argument that does not fit (see prefix_fits) leaves dst unchanged.
char* make_dst_prefix(char* dst, const char* arg, int size);

// Whether a destination argument of length characters, with the '/' that may
// be appended and the terminating NUL, fits a prefix buffer of size bytes.
constexpr bool prefix_fits(size_t length, int size) { return size > 0 && length + 2 < static_cast<size_t>(size); }

// Ignores SIGPIPE, clears errno, stores the program name, scans every
// argument, then shows the help (exit 0) or ends with "Invalid option".
// A positional argument that its slot cannot hold whole (a source or a
// decoder's destination over 1023 characters, an analyzer destination that
// does not fit the prefix) then ends the tool, with ENAMETOOLONG's text:
// "Invalid ROM-Image file - %s:" (analyzer source), "Cannot create file -
// %s:" (analyzer destination), "Cannot decode - %s:" (decoders) or "Invalid
// ROM-Image file - %s:" (either input of a comparison). Required
// slots are the caller's to check.
void scan_command_line(int argc, char** argv, const HelpText& help, DestinationKind kind,
                       CommandLine* line, const char* own_letters = "");

// A command line of option letters, options that take the next argument as
// their value, and any number of positional arguments (the importers).
struct ArgumentList {
    std::vector<std::string> positional;  // in order, empty ones left out
    std::string values[26];               // by letter: the value of each value option given (the last one)
    unsigned letters = 0;                 // bit (c - 'a') for each option letter seen, value options too
    std::vector<std::string> words;       // the long options seen ("headered" for --headered)
};

// The scan of scan_command_line for such a line: a value letter takes the
// next argument, whatever it holds (in "-op a b", -o takes a and -p b); one
// left without an argument ends with "Invalid option", as an unknown letter
// does. An argument of two dashes is a long option, one of long_words (a
// null-terminated list, which may be null) or invalid. Help wins over
// everything else.
void scan_argument_list(int argc, char** argv, const HelpText& help, const char* own_letters,
                        const char* value_letters, ArgumentList* line, const char* const* long_words = nullptr);

// Prints the help text on standard output.
void print_help(const HelpText& help);
