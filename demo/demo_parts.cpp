#include "demo/demo_parts.h"

#include <algorithm>
#include <set>

#include "demo/demo.h"
#include "demo/game_text.h"

namespace demo {

uint32_t DemoRng::next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
}

int DemoRng::range(int lo, int hi) { return lo + static_cast<int>(next() % static_cast<uint32_t>(hi - lo + 1)); }

bool DemoRng::chance(int percent) { return range(0, 99) < percent; }

int DemoRng::around(int value, int percent) {
    const int spread = value * percent / 100;
    return std::max(0, value + range(-spread, spread));
}

namespace {

std::vector<std::string> cross(const Words& outer, const Words& inner, const char* joiner, bool inner_first) {
    std::vector<std::string> out;
    for (const char* a : outer)
        for (const char* b : inner) out.push_back(inner_first ? std::string(b) + joiner + a : std::string(a) + joiner + b);
    return out;
}

}  // namespace

std::vector<std::string> cross_words(const Words& outer, const Words& inner, const char* joiner) {
    return cross(outer, inner, joiner, false);
}

std::vector<std::string> cross_words_reversed(const Words& outer, const Words& inner, const char* joiner) {
    return cross(outer, inner, joiner, true);
}

Words first_words(const Words& words, size_t count) {
    return Words(words.begin(), words.begin() + static_cast<long>(std::min(count, words.size())));
}

std::vector<std::string> person_names(size_t count, uint32_t seed) {
    DemoRng rng(seed);
    std::vector<std::string> names;
    std::set<std::string> seen;
    const int last = static_cast<int>(kSyllables.size()) - 1;
    while (names.size() < count) {
        std::string name;
        int previous = -1;
        for (int n = rng.range(2, 4); n > 0; --n) {
            int s = rng.range(0, last);
            if (s == previous) s = (s + 1) % (last + 1);
            name += kSyllables[static_cast<size_t>(s)];
            previous = s;
        }
        if (seen.insert(name).second) names.push_back(name);
    }
    return names;
}

void put_names(DemoImage& image, const common::TableLayout& table, const std::vector<std::string>& names,
               const common::CharTables& tables) {
    for (int i = 0; i < table.count; ++i) {
        const size_t n = static_cast<size_t>(i);
        const std::string name = n < names.size() ? names[n] : std::string();
        image.put(table.record(i), name_field(name, static_cast<size_t>(table.record_size), tables));
    }
}

MonsterInfo monster_info(int number) {
    const int family = number / kGradesPerFamily;
    if (family >= static_cast<int>(kMonsterFamilies.size())) {
        const int boss = number - static_cast<int>(kMonsterFamilies.size()) * kGradesPerFamily;
        const BossMonster& b = kBosses[static_cast<size_t>(boss)];
        return {b.kind, 40 + boss, true, b.flies, b.female, -1};
    }
    const MonsterFamily& f = kMonsterFamilies[static_cast<size_t>(family)];
    const int grade = number % kGradesPerFamily;
    return {f.kind, f.level + 5 * grade, false, f.flies, f.kind == Kind::Demon && grade % 2 == 1, family};
}

std::vector<std::string> monster_names() {
    std::vector<std::string> names;
    for (const MonsterFamily& f : kMonsterFamilies)
        for (const char* grade : kGradeWords) names.push_back(std::string(grade) + f.stem);
    for (const BossMonster& b : kBosses) names.push_back(b.name);
    return names;
}

void put_monster_table(DemoImage& image, DemoRng& rng, const MonsterTable& table, const common::CharTables& tables) {
    put_names(image, table.names, monster_names(), tables);
    for (int n = 0; n < kDemoMonsterCount; ++n) {
        DemoBytes record(static_cast<size_t>(table.records.record_size));
        table.fill(image, record, n, monster_info(n), rng);
        image.put(table.records.record(n), record);
    }
}

std::array<int, 4> monster_abilities(int number, int form_count) {
    const MonsterInfo m = monster_info(number);
    const int seed = m.boss ? number : m.family;
    const int elements = static_cast<int>(kElements.size());
    const int e1 = seed % elements;
    const int e2 = (seed * 7 + 3) % elements;
    const int grade = number % kGradesPerFamily;
    return {e1 * form_count + (grade % form_count), e1 * form_count + ((seed + 1) % form_count),
            e2 * form_count + ((seed + grade / 2) % form_count), e2 * form_count + ((seed + 5) % form_count)};
}

int monster_pattern(int number, int which) {
    const MonsterInfo m = monster_info(number);
    if (m.boss) return 152 + 2 * (number - kDemoMonsterCount + 16) + which;
    const int step = (number % kGradesPerFamily) / 2;
    return m.family * 4 + (step + which) % 4;
}

namespace {

DemoBytes action_pattern(DemoRng& rng, int fierceness, int basic, const std::array<int, 4>& abilities) {
    DemoBytes pattern;
    for (int slot = 0; slot < 8; ++slot) {
        const bool ability = rng.range(0, 4) < fierceness + 1;
        pattern.push_back(static_cast<uint8_t>(ability ? abilities[static_cast<size_t>(rng.range(0, 3))] : basic));
    }
    return pattern;
}

}  // namespace

// The even grades of a family write its four patterns, each boss its two.
std::vector<PatternPlan> monster_action_patterns(DemoRng& rng, int form_count, int ability_base,
                                                 const std::array<int, kKindCount>& basic_attack) {
    std::vector<PatternPlan> patterns;
    for (int n = 0; n < kDemoMonsterCount; ++n) {
        const MonsterInfo m = monster_info(n);
        if (!m.boss && n % 2) continue;
        const int basic = basic_attack[static_cast<size_t>(m.kind)];
        std::array<int, 4> abilities = monster_abilities(n, form_count);
        for (int& a : abilities) a += ability_base;
        const int fierceness = m.boss ? 3 : (n % kGradesPerFamily) / 2;
        patterns.push_back({monster_pattern(n, 0), action_pattern(rng, fierceness, basic, abilities)});
        if (m.boss) patterns.push_back({monster_pattern(n, 1), action_pattern(rng, 3, basic, abilities)});
    }
    return patterns;
}

DemoBytes learning_list_bytes(const std::vector<LearnGroupPlan>& groups) {
    DemoBytes out;
    for (const LearnGroupPlan& g : groups) {
        out.push_back(static_cast<uint8_t>(g.key));
        out.push_back(static_cast<uint8_t>(g.entries.size()));
        for (const auto& [tech, difficulty] : g.entries) {
            out.push_back(static_cast<uint8_t>(tech));
            out.push_back(static_cast<uint8_t>(difficulty));
        }
    }
    out.push_back(0xFF);
    return out;
}

std::vector<LearnGroupPlan> put_learning_lists(DemoImage& image, long list1_offset, const std::vector<LearnGroupPlan>& list1,
                                               long list2_offset, const std::vector<LearnGroupPlan>& list2) {
    image.put(list1_offset, learning_list_bytes(list1));
    image.put(list2_offset, learning_list_bytes(list2));
    std::vector<LearnGroupPlan> all = list1;
    all.insert(all.end(), list2.begin(), list2.end());
    return all;
}

std::vector<LearnGroupPlan> weapon_learning_groups(DemoRng& rng, int first, int kinds, int per_kind,
                                                   int groups_per_kind) {
    std::vector<LearnGroupPlan> groups;
    for (int kind = 0; kind < kinds; ++kind) {
        const int base = first + kind * per_kind;
        for (int g = 0; g < groups_per_kind; ++g) {
            const int key = base + g * 2;
            LearnGroupPlan group{key, {}};
            for (int t = key + 1 + rng.range(0, 1); t < base + per_kind && group.entries.size() < 4; t += rng.range(1, 3))
                group.entries.emplace_back(t, std::min(255, (t - key) * 6 + rng.range(0, 9)));
            groups.push_back(group);
        }
    }
    return groups;
}

Formation make_formation(DemoRng& rng, int total) {
    // Front and rear defence, ranged, close and magic attack of each member.
    constexpr std::array<std::array<int, 5>, common::kFormationMembers> kRoles = {{
        {1, 0, 0, 1, 0}, {1, 0, 0, 1, 0}, {0, 1, 1, 0, 0}, {0, 1, 0, 0, 1}, {0, 1, 1, 0, 1},
    }};
    int weights[common::kFormationMembers], sum = 0;
    for (int& w : weights) sum += w = rng.range(2, 7);
    Formation f{};
    int left = total;
    for (size_t i = 0; i < f.size(); ++i) {
        const int share = i + 1 == f.size() ? left : total * weights[i] / sum;
        const int speed = rng.range(0, 3);
        const bool slower = speed && rng.chance(50);
        const std::array<int, 5>& role = kRoles[i];
        f[i] = {share, slower ? -speed : speed, role[0], role[1], role[2], role[3], role[4]};
        left -= share;
    }
    return f;
}

void put_formation_table(DemoImage& image, DemoRng& rng, const FormationTable& table, const common::CharTables& tables) {
    const std::vector<std::string> names(kFormationWords.begin(), kFormationWords.begin() + table.records.count);
    put_names(image, table.names, names, tables);
    long at = table.records.offset;
    for (int n = 0; n < table.records.count; ++n) {
        DemoBytes r = table.encode(make_formation(rng, table.total));
        r.push_back(static_cast<uint8_t>(rng.range(0, 255)));
        image.put(at, r);
        at += static_cast<long>(r.size());
    }
}

DemoGame build_demo_game(const DemoGamePlan& plan) {
    DemoGame game{DemoImage(plan.rom_size), {}, monster_names(), plan.script, {}};
    DemoRng rng(plan.seed);
    for (TableStep step : plan.steps) step(game, rng);
    put_formation_table(game.image, rng, plan.formations, plan.tables);
    game.image.finish_header(plan.title, plan.map_mode);
    game.script_text = encode_game_text(game.script, plan.tables);
    return game;
}

}  // namespace demo
