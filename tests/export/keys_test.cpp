// The vocabulary of both exporters against doc/export-keys.md: every key
// either game writes is documented, each report label of the glossary names
// one key (the key itself, or the key with role suffixes such as "_bonus"),
// and a key has the same kind of value wherever it appears. The JSON Schemas
// in doc/ are the ones the table descriptions give.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>

#include "export/rom_table.h"
#include "export/schema.h"
#include "games/a/game.h"
#include "games/b/game.h"

using namespace exporter;

namespace {

struct Doc {
    std::set<std::string> keys;                  // every `key` the document names
    std::map<std::string, std::string> glossary;  // label -> key
    std::vector<std::string> twice;               // labels the glossary lists more than once
};

std::string read_text(const std::string& path) {
    std::ostringstream read;
    read << std::ifstream(path, std::ios::binary).rdbuf();
    return read.str();
}

bool is_key(const std::string& s) {
    return !s.empty() && s.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789_") == std::string::npos;
}

// The keys are the code spans that hold a key; the glossary is the table of
// its section, one "| heading | `key` |" a line.
Doc read_doc() {
    Doc doc;
    const std::string text = read_text(MT_DOC_DIR "/export-keys.md");
    std::istringstream spans(text);
    std::string span;
    for (bool code = false; std::getline(spans, span, '`'); code = !code) {
        if (code && is_key(span)) doc.keys.insert(span);
    }
    const size_t start = text.find("\n## Glossary");
    std::istringstream lines(text.substr(start, text.find("\n## ", start + 1) - start));
    for (std::string line; std::getline(lines, line);) {
        const size_t bar = line.find(" | `");
        if (line.rfind("| ", 0) != 0 || bar == std::string::npos || !line.ends_with("` |")) continue;
        const std::string label = line.substr(2, bar - 2);
        const std::string key = line.substr(bar + 4, line.size() - bar - 7);
        if (!is_key(key)) continue;
        if (!doc.glossary.emplace(label, key).second) doc.twice.push_back(label);
    }
    return doc;
}

// Whether key is stem followed by role suffixes.
bool names_stem(std::string key, const std::string& stem) {
    static const char* const kRoles[] = {"_name", "_bonus", "_level", "_up", "_flag", "_1", "_2"};
    for (bool stripped = true; key != stem && stripped;) {
        stripped = false;
        for (const std::string role : kRoles) {
            if (key.size() > role.size() && key.ends_with(role)) {
                key.resize(key.size() - role.size());
                stripped = true;
                break;
            }
        }
    }
    return key == stem;
}

struct Seen {
    std::string where;
    Value::Kind kind;
};

void check_table(const Table& table, const std::string& game, const Doc& doc, std::map<std::string, Seen>& kinds) {
    const std::string where = game + " " + table.key;
    std::set<std::string> keys;
    for (const auto& [parent_key, key] : table.parent_keys) EXPECT_TRUE(doc.keys.count(key)) << where << ": " << key;
    for (const Column& c : table.columns) {
        EXPECT_TRUE(keys.insert(c.key).second) << where << ": " << c.key << " twice";
        EXPECT_TRUE(doc.keys.count(c.key)) << where << ": " << c.key << " is not documented";
        const auto [seen, first] = kinds.emplace(c.key, Seen{where, c.kind});
        EXPECT_TRUE(first || seen->second.kind == c.kind) << c.key << " in " << where << " and " << seen->second.where;
        if (c.label.empty()) continue;
        const auto stem = doc.glossary.find(c.label);
        if (stem == doc.glossary.end()) {
            ADD_FAILURE() << where << ": label " << c.label << " of " << c.key << " is not in the glossary";
        } else {
            EXPECT_TRUE(names_stem(c.key, stem->second)) << where << ": " << c.key << " under " << c.label
                                                         << ", which the glossary gives to " << stem->second;
        }
    }
    for (const Table& child : table.children) check_table(child, game, doc, kinds);
}

TEST(ExportKeys, BothGamesUseTheDocumentedVocabulary) {
    const Doc doc = read_doc();
    ASSERT_GT(doc.glossary.size(), 50u);
    EXPECT_TRUE(doc.twice.empty()) << doc.twice.front() << " is in the glossary twice";
    std::map<std::string, Seen> kinds;
    check_table(rom_table({}), "rom", doc, kinds);
    for (const ExporterInfo* game : {&mt2::kExporter, &mt3::kExporter}) {
        for (const Table& table : game->describe()) check_table(table, game->game, doc, kinds);
    }
}

// The schema each game's tables give is written beside the test; when a
// change of the tables is meant, copy it into doc/.
TEST(ExportKeys, SchemasInTheDocumentationAreUpToDate) {
    for (const ExporterInfo* game : {&mt2::kExporter, &mt3::kExporter}) {
        const std::string name = std::string(game->prefix) + "-export.schema.json";
        const std::string schema = json_schema(name.c_str(), game->game, rom_table({}), game->describe());
        const std::string written = MT_SCHEMA_OUT_DIR "/" + name;
        std::ofstream(written, std::ios::binary) << schema;
        EXPECT_TRUE(read_text(MT_DOC_DIR "/" + name) == schema) << "doc/" << name << " differs from " << written;
    }
}

// The glossary as the tables give it: each heading in the order the
// exporters first show it, with the longest stem (the first key under it,
// cut at underscores) that every key under it names with role suffixes.
std::string glossary(const std::vector<Table>& tables) {
    std::vector<std::pair<std::string, std::vector<std::string>>> headings;
    std::function<void(const Table&)> add = [&](const Table& table) {
        for (const Column& c : table.columns) {
            if (c.label.empty()) continue;
            auto at = std::find_if(headings.begin(), headings.end(), [&](const auto& h) { return h.first == c.label; });
            if (at == headings.end()) at = headings.insert(headings.end(), {c.label, {}});
            at->second.push_back(c.key);
        }
        for (const Table& child : table.children) add(child);
    };
    for (const Table& table : tables) add(table);
    std::string text = "| Heading | Key |\n|---|---|\n";
    for (const auto& [label, keys] : headings) {
        // A flag alone under its heading is the flag of the heading's stem.
        std::string stem = keys.front();
        if (stem.ends_with("_flag")) stem.resize(stem.size() - 5);
        while (stem.find('_') != std::string::npos &&
               !std::all_of(keys.begin(), keys.end(), [&](const std::string& k) { return names_stem(k, stem); })) {
            stem.resize(stem.rfind('_'));
        }
        text += "| " + label + " | `" + stem + "` |\n";
    }
    return text;
}

// The glossary of doc/export-keys.md is the one the descriptors give; it is
// written beside the test, to be copied into the document when a heading or
// key is added.
TEST(ExportKeys, GlossaryInTheDocumentationIsUpToDate) {
    std::vector<Table> tables;
    for (const ExporterInfo* game : {&mt2::kExporter, &mt3::kExporter}) {
        for (Table& table : game->describe()) tables.push_back(std::move(table));
    }
    const std::string generated = glossary(tables);
    std::ofstream(MT_SCHEMA_OUT_DIR "/export-keys-glossary.md", std::ios::binary) << generated;
    const std::string text = read_text(MT_DOC_DIR "/export-keys.md");
    EXPECT_NE(text.find("\n" + generated + "\n"), std::string::npos)
        << "the glossary of doc/export-keys.md differs from " MT_SCHEMA_OUT_DIR "/export-keys-glossary.md";
}

TEST(ExportKeys, RoleSuffixesFollowTheStem) {
    EXPECT_TRUE(names_stem("sword_level", "sword"));
    EXPECT_TRUE(names_stem("weapon_1_name", "weapon_1"));
    EXPECT_TRUE(names_stem("stamina_bonus", "stamina"));
    EXPECT_FALSE(names_stem("vitality_bonus", "stamina"));
    EXPECT_FALSE(names_stem("magic_bonus", "magic_power"));
    EXPECT_FALSE(names_stem("_level", ""));
}

}  // namespace
