#include "common/cmdline.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

char* make_dst_prefix(char* dst, const char* arg, int size) {
    if (!dst) return nullptr;
    if (!arg || size <= 0) return dst;
    size_t len = strlen(arg);
    if (len + 2 >= static_cast<size_t>(size)) return dst;
    char* scratch = static_cast<char*>(malloc(static_cast<size_t>(size)));
    if (!scratch) return dst;
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
    printf(help.usage, program_name());
    for (int i = 0; i < help.option_count; ++i) fputs(help.options[i], stdout);
    fputs("\n", stdout);
}

namespace {

struct Flags {
    bool help = false;
    bool invalid = false;
};

void scan_options(const char* arg, Flags* flags) {
    for (const char* p = arg + 1; *p; ++p) {
        char c = *p;
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c == 'h') {
            flags->help = true;
        } else {
            flags->invalid = true;
        }
    }
}

void take_positional(const char* arg, DestinationKind kind, CommandLine* line) {
    if (line->src[0] == '\0') {
        copy_truncated(line->src, arg, kPathSize);
    } else if (line->dst[0] == '\0') {
        if (kind == DestinationKind::Prefix) {
            make_dst_prefix(line->dst, arg, kPathSize);
        } else {
            copy_truncated(line->dst, arg, kPathSize);
        }
    }
}

}  // namespace

void scan_command_line(int argc, char** argv, const HelpText& help, DestinationKind kind,
                       CommandLine* line) {
    errno = 0;
    set_program_name(argc > 0 ? argv[0] : nullptr);
    if (argc < 2) return;
    Flags flags;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!arg) continue;
        if (arg[0] == '-') {
            scan_options(arg, &flags);
        } else {
            take_positional(arg, kind, line);
        }
    }
    if (flags.help) {
        print_help(help);
        exit(0);
    }
    if (flags.invalid) fatal("Invalid option");
}
