#include "common/cmdline.h"

#include <cerrno>
#include <cstring>
#include <string>

namespace common {

char* make_dst_prefix(char* dst, const char* arg, int size) {
    if (!dst) return nullptr;
    if (!arg || size <= 0) return dst;
    const size_t len = strlen(arg);
    if (!prefix_fits(len, size)) return dst;
    std::string prefix(arg, len);  // a copy: arg may be dst itself
    for (char& c : prefix) {
        if (static_cast<unsigned char>(c) == 0x5C) c = '/';
    }
    if (len > 0 && prefix.back() != '/') prefix += '/';
    memcpy(dst, prefix.c_str(), prefix.size() + 1);
    return dst;
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
common::Error overlong(const Refused& refused, DestinationKind kind) {
    const std::string arg = refused.arg;
    if (kind == DestinationKind::File) return common::system_error("Cannot decode - " + arg + ":", ENAMETOOLONG);
    if (refused.destination && kind == DestinationKind::Prefix) {
        return common::system_error("Cannot create file - " + arg + ":", ENAMETOOLONG);
    }
    return common::system_error("Invalid ROM-Image file - " + arg + ":", ENAMETOOLONG);
}

}  // namespace

common::Result<CommandLine> parse_command_line(int argc, char** argv, DestinationKind kind,
                                               const char* own_letters) {
    CommandLine scanned;
    CommandLine* line = &scanned;
    if (argc < 2) return scanned;
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
    scanned.help = flags.help;
    if (flags.help) return scanned;
    if (flags.invalid) return common::Error("Invalid option");
    if (refused.arg) return overlong(refused, kind);
    return scanned;
}

namespace {

// Whether a long option ("--word") is one of the words.
const char* word_of(const char* arg, const char* const* words) {
    for (const char* const* w = words; w && *w; ++w) {
        if (strcmp(arg + 2, *w) == 0) return *w;
    }
    return nullptr;
}

// A long option: recorded when it is one of the words, its value taken
// when it is one of the value words, else invalid. Returns the arguments
// it took after itself.
int scan_word(int i, int argc, char** argv, const char* const* const words[2], Flags* flags, ArgumentList* line) {
    if (const char* word = word_of(argv[i], words[0])) {
        line->words.push_back(word);
        return 0;
    }
    const char* word = word_of(argv[i], words[1]);
    if (word && i + 1 < argc && argv[i + 1]) {
        line->long_values[word] = argv[i + 1];
        return 1;
    }
    flags->invalid = true;
    return 0;
}

}  // namespace

common::Result<ArgumentList> parse_argument_list(int argc, char** argv, const char* own_letters,
                                                 const char* value_letters, const char* const* long_words,
                                                 const char* const* long_value_words) {
    const char* const* const words[2] = {long_words, long_value_words};
    ArgumentList scanned;
    ArgumentList* line = &scanned;
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
            i += scan_word(i, argc, argv, words, &flags, line);
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
    scanned.help = flags.help;
    if (flags.help) return scanned;
    if (flags.invalid) return common::Error("Invalid option");
    return scanned;
}

}  // namespace common
