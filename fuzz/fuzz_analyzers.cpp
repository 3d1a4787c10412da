// Fuzz target: an arbitrary ROM image through the title search, every loader
// and a report writer of either game, all in memory: the image is searched
// and read where it lies, the reports are formatted into buffers and never
// saved.
//
// The first byte picks the game (bit 0), a 512-byte copier header (bit 3) and
// the mode (bits 1-2):
//   0, 1  the rest of the input fills the table regions of a full-size image
//         with a valid header, so every loader and writer runs to the end;
//   2     the rest of the input is the whole image file;
//   3     a full-size image cut short at a length taken from the input, which
//         ends in the error of a read inside some table.
// Bits 4-7 and the second byte pick the report that is formatted, so that
// one input costs one report, not all of them.
// The core returns an error value where a tool prints its diagnostic and
// ends, so the paths after a failed read are explored like any other.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <vector>

#include "common/rom.h"
#include "games/a/driver.h"
#include "games/b/driver.h"
#include "tests/support/game_regions.h"

namespace {

// Loads a run over the image and formats one report of the table.
template <typename Run, size_t N>
void format_report(const common::RomImage& image, const common::ReportEntry<Run> (&reports)[N], size_t pick) {
    const common::Result<Run> run = Run::load(image);
    if (!run) {
        if (run.error().lines.empty()) __builtin_trap();  // an error says what went wrong
        return;
    }
    common::ReportText text;
    reports[pick % N].write(text, *run);
}

struct Game {
    const GameRegions& rom;
    long span;
    void (*format)(const common::RomImage& image, size_t pick);
};

const Game kGames[2] = {
    {kGameARegions, mt2::kTableSpan,
     [](const common::RomImage& image, size_t pick) { format_report(image, mt2::kReports, pick); }},
    {kGameBRegions, mt3::kTableSpan,
     [](const common::RomImage& image, size_t pick) { format_report(image, mt3::kReports, pick); }},
};

// A full-size image of the game, kept between inputs: only its table regions
// and header change.
std::vector<uint8_t>& full_image(const GameRegions& g, bool copier, const uint8_t* payload, size_t n) {
    static std::vector<uint8_t> images[2][2];
    std::vector<uint8_t>& image = images[g.map_mode & 1][copier];
    const size_t lead = copier ? 512 : 0;
    if (image.empty()) image.assign(lead + static_cast<size_t>(g.rom_size), 0);
    size_t cursor = 0;  // the payload is repeated over the regions, one after the other
    for (const TableRegion& r : g.tables) {
        uint8_t* dst = &image[lead + static_cast<size_t>(r.offset)];
        if (n == 0) {
            memset(dst, 0, static_cast<size_t>(r.size));
            continue;
        }
        for (size_t done = 0; done < static_cast<size_t>(r.size);) {
            const size_t piece = std::min(static_cast<size_t>(r.size) - done, n - cursor);
            memcpy(dst + done, payload + cursor, piece);
            done += piece;
            cursor = (cursor + piece) % n;
        }
    }
    const long header = (g.map_mode & 0x0F) ? 0xFFC0 : 0x7FC0;
    memcpy(&image[lead + static_cast<size_t>(header)], g.title, 21);
    image[lead + static_cast<size_t>(header) + 21] = g.map_mode;
    return image;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const Game& game = kGames[data[0] & 1];
    const int mode = (data[0] >> 1) & 3;
    const bool copier = (data[0] & 8) != 0;
    const size_t pick = static_cast<size_t>(data[0] >> 4) * 256 + data[1];
    const uint8_t* payload = data + 2;
    const size_t n = size - 2;

    const uint8_t* file = payload;
    size_t length = n;
    if (mode != 2) {
        const std::vector<uint8_t>& image = full_image(game.rom, copier, payload, n);
        file = image.data();
        length = image.size();
        if (mode == 3 && n >= 4) {
            uint32_t cut;
            memcpy(&cut, payload, 4);
            length = cut % image.size();
        }
    }
    common::RomImage image;
    if (image.open_memory(file, length, game.rom.title, game.span)) game.format(image, pick);
    return 0;
}
