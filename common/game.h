// What every tool family knows of a game: the name its tools and files begin
// with, its letter and the title its cartridge header carries. Each game's
// folder describes its game with one of these and the parts of each family
// (see tools/games.h).
#pragma once

#include <string>
#include <string_view>

namespace common {

struct Game {
    const char* name;    // "mt2": the tools' names ("mt2analyzer") and the export files' ("mt2.json")
    const char* letter;  // "A": the game as the JSON document and the patches' metadata name it
    const char* title;   // the cartridge header title, padded with blanks as it is stored

    // The title without the blanks that pad it ("MERIDIAN TALES2"), and its
    // length.
    std::string plain_title() const { return std::string(title, plain_title_size()); }
    size_t plain_title_size() const {
        const std::string_view padded = title;
        const size_t last = padded.find_last_not_of(' ');
        return last == std::string_view::npos ? 0 : last + 1;
    }
};

// The name a program was started by, without its folder and without a
// ".exe" suffix in any case ("C:\\bin\\MT3IMPORT.EXE" is "MT3IMPORT").
std::string_view program_base_name(const char* argv0);

// Whether the program name is the game's tool of the family ("mt3" and
// "import" for "mt3import"), letters in any case.
bool names_tool(std::string_view program, const Game& game, std::string_view family);

}  // namespace common
