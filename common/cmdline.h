// The command-line scan shared by all four tools.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "common/diag.h"
#include "common/error.h"

namespace common {

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
    bool help = false;  // -h: the tool shows its help and ends with status 0, nothing else counts
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

// Scans every argument of a tool (argv[0] is its name). Help asked wins over
// everything else (the line comes back with help set); then an unknown option
// letter is the error "Invalid option". A positional argument that its slot
// cannot hold whole (a source or a decoder's destination over 1023
// characters, an analyzer destination that does not fit the prefix) is then
// an error with ENAMETOOLONG's text: "Invalid ROM-Image file - <arg>:"
// (analyzer source), "Cannot create file - <arg>:" (analyzer destination),
// "Cannot decode - <arg>:" (decoders) or "Invalid ROM-Image file - <arg>:"
// (either input of a comparison). Required slots are the caller's to check.
common::Result<CommandLine> parse_command_line(int argc, char** argv, DestinationKind kind,
                                               const char* own_letters = "");

// The tools' side of parse_command_line: ignores SIGPIPE, clears errno,
// stores the program name and scans; then shows the help (exit 0) or ends
// with the scan's error.
void scan_command_line(int argc, char** argv, const HelpText& help, DestinationKind kind,
                       CommandLine* line, const char* own_letters = "");

// A command line of option letters, options that take the next argument as
// their value, and any number of positional arguments (the importers).
struct ArgumentList {
    std::vector<std::string> positional;  // in order, empty ones left out
    std::string values[26];               // by letter: the value of each value option given (the last one)
    unsigned letters = 0;                 // bit (c - 'a') for each option letter seen, value options too
    std::vector<std::string> words;       // the long options seen ("headered" for --headered)
    // The long options that take the next argument as their value, by word
    // ("prefer" for --prefer 2): the value of each one given (the last one).
    std::map<std::string, std::string> long_values;
    bool help = false;                    // -h, as in CommandLine
};

// The scan of parse_command_line for such a line: a value letter takes the
// next argument, whatever it holds (in "-op a b", -o takes a and -p b); one
// left without an argument is the error "Invalid option", as an unknown
// letter is. An argument of two dashes is a long option, one of long_words (a
// null-terminated list, which may be null), one of long_value_words (which
// takes the next argument, as a value letter does) or invalid. Help wins over
// everything else.
common::Result<ArgumentList> parse_argument_list(int argc, char** argv, const char* own_letters,
                                                 const char* value_letters, const char* const* long_words = nullptr,
                                                 const char* const* long_value_words = nullptr);

// The tools' side of parse_argument_list, as scan_command_line is of
// parse_command_line.
void scan_argument_list(int argc, char** argv, const HelpText& help, const char* own_letters,
                        const char* value_letters, ArgumentList* line, const char* const* long_words = nullptr,
                        const char* const* long_value_words = nullptr);

// Prints the help text on standard output.
void print_help(const HelpText& help);

}  // namespace common
