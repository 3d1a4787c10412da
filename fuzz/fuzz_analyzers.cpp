// Fuzz target: an arbitrary ROM image through the title search, every loader
// and every report writer of both games, with the reports written to a
// scratch directory.
//
// The first byte picks the game (bit 0), a 512-byte copier header (bit 3) and
// the mode (bits 1-2):
//   0, 1  the rest of the input fills the table regions of a full-size image
//         with a valid header, so every loader and writer runs to the end;
//   2     the rest of the input is the whole image file;
//   3     a full-size image cut short at a length taken from the input, which
//         ends in a fatal read inside some table.
// A fatal diagnostic ends the process in the tools; here a fatal hook throws
// instead, so the paths after a fatal read are explored like any other.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "analyzer_a/driver.h"
#include "analyzer_b/driver.h"
#include "common/diag.h"
#include "common/namecache.h"
#include "common/rom.h"
#include "tests/support/game_regions.h"

namespace {

struct Game {
    const GameRegions& rom;
    int (*run)(const char* prefix);
};

const Game kGames[2] = {{kGameARegions, mt2::run}, {kGameBRegions, mt3::run}};

// The scratch directory of this process for the image and the reports,
// removed with them when the target exits.
class ScratchDir {
public:
    ScratchDir() {
        const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        path_ = std::string(base) + "/mt-fuzz-" + std::to_string(getpid());
        mkdir(path_.c_str(), 0700);
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

const std::string& scratch() {
    static const ScratchDir dir;
    return dir.path();
}

std::vector<uint8_t> full_image(const GameRegions& g, bool copier, const uint8_t* payload, size_t n) {
    const size_t lead = copier ? 512 : 0;
    std::vector<uint8_t> image(lead + static_cast<size_t>(g.rom_size), 0);
    size_t cursor = 0;
    for (const TableRegion& r : g.tables) {
        for (long i = 0; i < r.size && n > 0; ++i) image[lead + static_cast<size_t>(r.offset + i)] = payload[cursor++ % n];
    }
    const long header = (g.map_mode & 0x0F) ? 0xFFC0 : 0x7FC0;
    memcpy(&image[lead + static_cast<size_t>(header)], g.title, 21);
    image[lead + static_cast<size_t>(header) + 21] = g.map_mode;
    return image;
}

void write_image(const std::string& path, const uint8_t* data, size_t n) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) abort();
    if (n && fwrite(data, 1, n, f) != n) abort();
    fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    set_fatal_hook(throw_fatal_exit);
    set_program_name("fuzz");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const Game& game = kGames[data[0] & 1];
    const int mode = (data[0] >> 1) & 3;
    const bool copier = (data[0] & 8) != 0;
    const uint8_t* payload = data + 1;
    const size_t n = size - 1;
    const std::string image_path = scratch() + "/image.smc";

    if (mode == 2) {
        write_image(image_path, payload, n);
    } else {
        std::vector<uint8_t> image = full_image(game.rom, copier, payload, n);
        size_t length = image.size();
        if (mode == 3 && n >= 4) {
            uint32_t cut;
            memcpy(&cut, payload, 4);
            length = cut % image.size();
        }
        write_image(image_path, image.data(), length);
    }

    const std::string prefix = scratch() + "/";
    try {
        if (rom_open(image_path.c_str(), game.rom.title)) game.run(prefix.c_str());
    } catch (const FatalExit&) {
    }
    rom_close();
    NameCache::reset_all();
    return 0;
}
