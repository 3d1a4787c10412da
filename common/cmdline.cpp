#include "common/cmdline.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/files.h"


char* make_dst_prefix(char* dst, const char* arg, int size) {
    if (!dst) return nullptr;
    if (!arg || size <= 0) return dst;
    size_t len = strlen(arg);
    if (!prefix_fits(len, size)) return dst;
    char* scratch = static_cast<char*>(malloc(static_cast<size_t>(size)));
    if (!scratch) fatal("Fatal error in malloc()");
    memcpy(scratch, arg, len + 1);
    for (size_t i = 0; i < len; ++i) {
        if (static_cast<unsigned char>(scratch[i]) == 0x5C) scratch[i] = '/';
    }
    if (len > 0 && scratch[len - 1] != '/') {
        scratch[len] = '/';
        scratch[len + 1] = '\0';
    }
    strcpy(dst, scratch);
    free(scratch);
    return dst;
}

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

struct Flags {
    bool help = false;
    bool invalid = false;
};

void scan_options(const char* arg, const char* own_letters, Flags* flags, CommandLine* line) {
    for (const char* p = arg + 1; *p; ++p) {
        char c = *p;
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c == 'h') {
            flags->help = true;
        } else if (c >= 'a' && c <= 'z' && strchr(own_letters, c)) {
            line->letters |= 1u << (c - 'a');
        } else {
            flags->invalid = true;
        }
    }
}

// The first positional argument that its slot could not hold whole.
struct Refused {
    const char* arg = nullptr;
    bool destination = false;
};

void refuse(const char* arg, bool destination, Refused* refused) {
    if (!refused->arg) *refused = {arg, destination};
}

void take_positional(const char* arg, DestinationKind kind, CommandLine* line, Refused* refused) {
    const size_t len = strlen(arg);
    if (line->src[0] == '\0') {
        if (len >= static_cast<size_t>(kPathSize)) return refuse(arg, false, refused);
        copy_truncated(line->src, arg, kPathSize);
    } else if (line->dst[0] == '\0') {
        if (kind == DestinationKind::Prefix) {
            if (!prefix_fits(len, kPathSize)) return refuse(arg, true, refused);
            make_dst_prefix(line->dst, arg, kPathSize);
        } else {
            if (len >= static_cast<size_t>(kPathSize)) return refuse(arg, true, refused);
            copy_truncated(line->dst, arg, kPathSize);
        }
    }
}

// A path that does not fit its slot is never cut or passed over: the tool
// ends before any file is opened, naming the argument.
[[noreturn]] void refuse_overlong(const Refused& refused, DestinationKind kind) {
    errno = ENAMETOOLONG;
    if (kind == DestinationKind::File) fatal("Cannot decode - %s:", refused.arg);
    if (refused.destination && kind == DestinationKind::Prefix) fatal("Cannot create file - %s:", refused.arg);
    fatal("Invalid ROM-Image file - %s:", refused.arg);
}

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

// What every scan does last: the help (exit 0), or "Invalid option".
void end_scan(const Flags& flags, const HelpText& help) {
    if (flags.help) {
        print_help(help);
        exit(0);
    }
    if (flags.invalid) fatal("Invalid option");
}

}  // namespace

void scan_command_line(int argc, char** argv, const HelpText& help, DestinationKind kind,
                       CommandLine* line, const char* own_letters) {
    begin_scan(argc, argv);
    if (argc < 2) return;
    Flags flags;
    Refused refused;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!arg) continue;
        if (arg[0] == '-') {
            scan_options(arg, own_letters ? own_letters : "", &flags, line);
        } else {
            take_positional(arg, kind, line, &refused);
        }
    }
    end_scan(flags, help);
    if (refused.arg) refuse_overlong(refused, kind);
}

namespace {

// A long option ("--word"): recorded when it is one of the words, else invalid.
void scan_word(const char* arg, const char* const* words, Flags* flags, ArgumentList* line) {
    for (const char* const* w = words; w && *w; ++w) {
        if (strcmp(arg + 2, *w) == 0) {
            line->words.push_back(*w);
            return;
        }
    }
    flags->invalid = true;
}

}  // namespace

void scan_argument_list(int argc, char** argv, const HelpText& help, const char* own_letters,
                        const char* value_letters, ArgumentList* line, const char* const* long_words) {
    begin_scan(argc, argv);
    const std::string letters = std::string(own_letters) + value_letters;
    Flags flags;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!arg || !*arg) continue;
        if (arg[0] != '-') {
            line->positional.push_back(arg);
            continue;
        }
        if (arg[1] == '-') {
            scan_word(arg, long_words, &flags, line);
            continue;
        }
        CommandLine seen;
        scan_options(arg, letters.c_str(), &flags, &seen);
        line->letters |= seen.letters;
        for (const char* p = arg + 1; *p; ++p) {
            const char c = static_cast<char>(*p >= 'A' && *p <= 'Z' ? *p - 'A' + 'a' : *p);
            if (!strchr(value_letters, c) || c < 'a' || c > 'z') continue;
            if (i + 1 < argc && argv[i + 1]) {
                line->values[c - 'a'] = argv[++i];
            } else {
                flags.invalid = true;
            }
        }
    }
    end_scan(flags, help);
}
