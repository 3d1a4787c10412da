#include "wasm/calls.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <optional>
#include <limits>
#include <span>

#include <nlohmann/json.hpp>

#include "common/rom.h"
#include "compare/compare.h"
#include "export/exporter.h"
#include "import/importer.h"
#include "merge/merge.h"
#include "tools/games.h"
#include "tools/session_games.h"

namespace wasm {

namespace {

// A game's parts that the calls use.
struct GameParts {
    const exporter::ExporterInfo& exporter;
    std::span<const common::TableLayout> tables;
    const importer::ImportLayout& (*import_layout)();
};

#define MT_WASM_GAME(game) {game::kGame, {game::exporter(), game::layout::kTables, game::import_layout}},
const common::GameEntry<GameParts> kGames[] = {MT_GAMES(MT_WASM_GAME)};

const common::HelpText kNoHelp = {"", "", nullptr, 0};

// How an image fits a game: 2 when the game's title stands in a cartridge
// header and the image holds the game's tables, 1 when the title is found
// but the tables are not there (an image too short, or the title held
// somewhere else), 0 when it is not found.
int fit(const Blob& image, const exporter::ExporterInfo& exporter) {
    common::RomImage rom;
    const auto* data = reinterpret_cast<const unsigned char*>(image.bytes.data());
    if (!rom.open_memory(data, image.bytes.size(), exporter.title, exporter.table_span) || !rom.header().title_found ||
        rom.image_base() < 0) {
        return 0;
    }
    return exporter::without_tables(image.name, rom, image.bytes.size(), exporter) ? 1 : 2;
}

// The game named, or the one the image fits best (the first of the
// registry when two fit alike).
common::Result<const common::GameEntry<GameParts>*> game_of(const std::string& letter, const Blob& image) {
    std::string titles;
    const common::GameEntry<GameParts>* best = nullptr;
    int best_fit = 0;
    for (const common::GameEntry<GameParts>& entry : kGames) {
        if (!letter.empty() && letter == entry.game.letter) return &entry;
        titles += (titles.empty() ? "" : " or ") + entry.game.plain_title();
        const int how = letter.empty() ? fit(image, entry.part.exporter) : 0;
        if (how > best_fit) best = &entry, best_fit = how;
    }
    if (!letter.empty()) return common::Error("unknown game \"" + letter + "\": give \"A\" or \"B\"", 2);
    if (best) return best;
    return common::Error(image.name + " is not an image of " + titles + ": its cartridge header is not found");
}

compare::Input input_of(Blob& blob) {
    return {std::move(blob.name), compare::ByteVector(blob.bytes.begin(), blob.bytes.end())};
}

std::string text_at(const nlohmann::json& options, const char* name) {
    const auto found = options.find(name);
    return found != options.end() && found->is_string() ? found->get<std::string>() : std::string();
}

bool flag(const nlohmann::json& options, const char* name) {
    const auto found = options.find(name);
    return found != options.end() && found->is_boolean() && found->get<bool>();
}

common::Result<Results> compare_call(const GameParts& game, const nlohmann::json& options, std::vector<Blob>& inputs) {
    const compare::CompareInfo info = {kNoHelp, game.exporter, game.tables};
    const compare::Options chosen{flag(options, "json"), flag(options, "ipsWithoutHeader")};
    common::Result<compare::Outcome> outcome =
        compare::compare_inputs(info, input_of(inputs[0]), input_of(inputs[1]), chosen);
    if (!outcome) return outcome.error();
    return Results{{{"text", std::move(outcome->text)}}, outcome->status};
}

// The outputs' names, after the image's ("x.smc": "x-edited.smc", "x.bps",
// "x.ips"), as refusals name them.
std::vector<importer::Output> outputs_named(const std::string& image) {
    const size_t slash = image.find_last_of("/\\");
    const size_t dot = image.find_last_of('.');
    const bool has_dot = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    const std::string stem = has_dot ? image.substr(0, dot) : image;
    const std::string extension = has_dot ? image.substr(dot) : ".smc";
    return {{'o', stem + "-edited" + extension}, {'p', stem + ".bps"}, {'i', stem + ".ips"}};
}

std::string text_of(const compare::ByteVector& bytes) { return std::string(bytes.begin(), bytes.end()); }

// As mtNimport -o -p -i (with --headered when asked) makes its outputs.
common::Result<Results> import_call(const GameParts& game, const nlohmann::json& options, std::vector<Blob>& inputs) {
    importer::ImportRequest request;
    request.image_name = inputs[0].name;
    request.image = compare::ByteVector(inputs[0].bytes.begin(), inputs[0].bytes.end());
    for (size_t i = 1; i < inputs.size(); ++i) {
        if (inputs[i].bytes.size() > compare::kMaxPatchTarget) {
            request.files.push_back({inputs[i].name, {}, EFBIG});
            continue;
        }
        request.files.push_back({inputs[i].name, compare::ByteVector(inputs[i].bytes.begin(), inputs[i].bytes.end()), 0});
    }
    inputs.clear();
    request.headered = flag(options, "headered");
    // Only the outputs asked for ("outputs": letters o, p, i; all three when
    // not given), as the tool makes only those named.
    const std::string wanted = options.contains("outputs") ? text_at(options, "outputs") : "opi";
    for (const importer::Output& out : outputs_named(request.image_name)) {
        if (wanted.find(out.letter) != std::string::npos) request.outputs.push_back(out);
    }
    const importer::ImportInfo info = {kNoHelp, game.exporter, game.import_layout()};
    common::Result<importer::Imported> made = importer::import_edits(std::move(request), info);
    if (!made) return made.error();
    return Results{{{"image", text_of(made->image)},
                    {"bps", text_of(made->bps)},
                    {"ips", text_of(made->ips)},
                    {"changes", std::move(made->changes)}},
                   0};
}

std::span<const unsigned char> bytes_of(const Blob& blob) {
    return {reinterpret_cast<const unsigned char*>(blob.bytes.data()), blob.bytes.size()};
}

common::Result<Results> identify_call(const GameParts& game, const nlohmann::json&, std::vector<Blob>& inputs) {
    common::Result<std::string> rom = exporter::rom_json(bytes_of(inputs[0]), game.exporter);
    if (!rom) return rom.error();
    return Results{{{"rom", std::move(*rom)}}, 0};
}

// As mtNexport IMAGE DIR writes its files, but for the viewer page.
common::Result<Results> export_call(const GameParts& game, const nlohmann::json&, std::vector<Blob>& inputs) {
    constexpr unsigned kFormats = exporter::kJson | exporter::kCsv | exporter::kSql;
    common::Result<std::vector<exporter::File>> files =
        exporter::export_files(bytes_of(inputs[0]), inputs[0].name, game.exporter, kFormats);
    if (!files) return files.error();
    Results results;
    for (exporter::File& file : *files) results.outputs.push_back({std::move(file.name), std::move(file.bytes)});
    return results;
}

const session::GameParts& session_parts(const GameParts& game) {
    for (const auto& parts : tools::session_games()) {
        if (&parts.part.exporter == &game.exporter) return parts.part;
    }
    return tools::session_games().front().part;
}

// As mtNmerge -o -p -i makes its report and outputs; the --resolve file, if
// any, is the last input, named in options' "resolve".
common::Result<Results> merge_call(const GameParts& game, const nlohmann::json& options, std::vector<Blob>& inputs) {
    merge::Options chosen;
    chosen.json = flag(options, "json");
    chosen.headered = flag(options, "headered");
    const auto prefer = options.find("prefer");
    if (prefer != options.end() && !prefer->is_null()) {
        chosen.prefer = prefer->is_number_integer() && prefer->get<long long>() >= 1 &&
                                prefer->get<long long>() <= static_cast<long long>(inputs.size())
                            ? static_cast<int>(prefer->get<long long>())
                            : -1;
    }
    if (!text_at(options, "resolve").empty() && inputs.size() > 2) {
        chosen.resolve_name = inputs.back().name;
        chosen.resolve.assign(inputs.back().bytes.begin(), inputs.back().bytes.end());
        inputs.pop_back();
    }
    if (chosen.prefer < 0) {
        return common::Error("--prefer " + prefer->dump() + ": give the number of a changed input (1 = the first)", 2);
    }
    std::vector<compare::Input> changed;
    for (size_t i = 1; i < inputs.size(); ++i) changed.push_back(input_of(inputs[i]));
    compare::Input base = input_of(inputs[0]);
    inputs.clear();
    const merge::MergeInfo info{kNoHelp, session_parts(game)};
    common::Result<merge::Merged> merged = merge::merge_inputs(info, std::move(base), std::move(changed), chosen);
    if (!merged) return merged.error();
    std::string refusals;
    for (const std::string& r : merged->refusals) refusals += r + "\n";
    return Results{{{"text", std::move(merged->text)},
                    {"image", text_of(merged->image)},
                    {"bps", text_of(merged->bps)},
                    {"ips", text_of(merged->ips)},
                    {"refusals", std::move(refusals)}},
                   merged->status};
}

// The tools read an image or a patch of at most kMaxPatchTarget bytes whole;
// a larger one is refused in their words (with their status), and an
// edited file of the importer as one that cannot be read.
std::optional<common::Error> too_large(const std::vector<Blob>& inputs, size_t images, int status) {
    for (size_t i = 0; i < inputs.size() && i < images; ++i) {
        if (inputs[i].bytes.size() > compare::kMaxPatchTarget) {
            return common::Error("Invalid ROM-Image file - " + inputs[i].name + ": " + std::strerror(EFBIG), status);
        }
    }
    return std::nullopt;
}

// How many inputs each call takes at least.
// How many of its first inputs are read whole, and the status of trouble.
struct Call {
    const char* name;
    size_t inputs;
    common::Result<Results> (*run)(const GameParts&, const nlohmann::json&, std::vector<Blob>&);
    size_t whole;
    int trouble;
};

const Call kCalls[] = {
    {"identify", 1, identify_call, 0, 1},
    {"export", 1, export_call, 0, 1},
    {"compare", 2, compare_call, 2, 2},
    {"import", 2, import_call, 1, 1},
    {"merge", 2, merge_call, SIZE_MAX, 2},
};

common::Result<Results> json_result(common::Result<std::string> json) {
    if (!json) return json.error();
    return Results{{{"json", std::move(*json)}}, 0};
}

}  // namespace

common::Result<std::unique_ptr<session::Session>> open_session(const std::string& game, std::vector<Blob>& inputs) {
    if (inputs.empty()) return common::Error("Too few arguments", 2);
    if (std::optional<common::Error> large = too_large(inputs, 1, 1)) return *large;
    common::Result<const common::GameEntry<GameParts>*> entry = game_of(game, inputs[0]);
    if (!entry) return entry.error();
    for (const auto& parts : tools::session_games()) {
        if (&parts.game != &(*entry)->game) continue;
        Blob image = std::move(inputs[0]);
        inputs.clear();
        return session::Session::open(std::move(image.name),
                                      compare::ByteVector(image.bytes.begin(), image.bytes.end()), parts.part);
    }
    return common::Error("unknown game \"" + game + "\"", 2);
}

Results opened(const session::Session& s) {
    return Results{{{"game", s.game().exporter.game}}, 0};
}

// The cells of options.cells ([table, index, key, value] each, texts) set
// as one step: the refusals as a JSON array, empty when all stand.
std::string set_all(session::Session& s, const nlohmann::json& chosen) {
    std::vector<session::Session::Cell> cells;
    const auto found = chosen.find("cells");
    if (found != chosen.end() && found->is_array()) {
        for (const nlohmann::json& c : *found) {
            const auto part = [&c](size_t i) {
                return c.is_array() && i < c.size() && c[i].is_string() ? c[i].get<std::string>() : std::string();
            };
            cells.push_back({part(0), part(1), part(2), part(3)});
        }
    }
    std::string out = "[";
    for (const session::Refusal& r : s.set_all(cells)) out += (out.size() > 1 ? "," : "") + session::refusal_json(r);
    return out + "]";
}

common::Result<Results> session_call(session::Session& s, const std::string& options) {
    const nlohmann::json chosen = nlohmann::json::parse(options.empty() ? "{}" : options, nullptr, false);
    if (!chosen.is_object()) return common::Error("options must be an object", 2);
    const std::string call = text_at(chosen, "call");
    if (call == "rom") return json_result(s.rom_json());
    if (call == "schema") return json_result(session::schema_json(s.schema(), s.game().exporter.prefix));
    if (call == "records") return json_result(s.records_json(text_at(chosen, "table")));
    if (call == "record") {
        const auto index = chosen.find("index");
        const bool whole = index != chosen.end() && index->is_number_integer() && index->get<long long>() >= 0 &&
                           index->get<long long>() <= std::numeric_limits<int>::max();
        return json_result(s.record_json(text_at(chosen, "table"), whole ? static_cast<int>(index->get<long long>()) : -1));
    }
    if (call == "changes") return json_result(s.changes_json());
    if (call == "set") {
        const std::optional<session::Refusal> refused =
            s.set(text_at(chosen, "table"), text_at(chosen, "index"), text_at(chosen, "key"), text_at(chosen, "value"));
        return json_result(refused ? session::refusal_json(*refused) : "null");
    }
    if (call == "setAll") return json_result(set_all(s, chosen));
    if (call == "files") {
        session::Files files = s.files({true, true, true, flag(chosen, "headered")});
        std::string refusals;
        for (const std::string& r : files.refusals) refusals += r + "\n";
        return Results{{{"image", text_of(files.image)},
                        {"bps", text_of(files.bps)},
                        {"ips", text_of(files.ips)},
                        {"refusals", std::move(refusals)}},
                       0};
    }
    return common::Error("unknown call \"" + call + "\"", 2);
}

common::Result<Results> run_call(const std::string& call, const std::string& game, const std::string& options,
                                 std::vector<Blob>& inputs) {
    const nlohmann::json chosen = nlohmann::json::parse(options.empty() ? "{}" : options, nullptr, false);
    if (!chosen.is_object()) return common::Error("options must be an object", 2);
    for (const Call& c : kCalls) {
        if (call != c.name) continue;
        if (inputs.size() < c.inputs) return common::Error("Too few arguments", 2);
        if (std::optional<common::Error> large = too_large(inputs, c.whole, c.trouble)) return *large;
        common::Result<const common::GameEntry<GameParts>*> entry = game_of(game, inputs[0]);
        if (!entry) return entry.error();
        return c.run((*entry)->part, chosen, inputs);
    }
    return common::Error("unknown call \"" + call + "\"", 2);
}

}  // namespace wasm
