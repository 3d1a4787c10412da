#include "common/game.h"

namespace common {

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool same_letters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace

std::string_view program_base_name(const char* argv0) {
    std::string_view name = argv0 ? argv0 : "";
    const size_t slash = name.find_last_of("/\\");
    if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
    constexpr std::string_view kSuffix = ".exe";
    if (name.size() > kSuffix.size() && same_letters(name.substr(name.size() - kSuffix.size()), kSuffix)) {
        name.remove_suffix(kSuffix.size());
    }
    return name;
}

bool names_tool(std::string_view program, const Game& game, std::string_view family) {
    const std::string_view prefix = game.name;
    return program.size() == prefix.size() + family.size() && same_letters(program.substr(0, prefix.size()), prefix) &&
           same_letters(program.substr(prefix.size()), family);
}

}  // namespace common
