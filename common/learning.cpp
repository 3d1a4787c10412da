#include "common/learning.h"

#include "common/report.h"

namespace common {

int parse_learning_window(const unsigned char* window, std::vector<LearnGroup>* groups) {
    int found = 0;
    for (LearningWalk walk(window); !walk.done(); walk.next()) {
        if (groups) {
            const int kept = walk.kept();
            LearnGroup& g = groups->emplace_back(LearnGroup{walk.key(), kept, {}});
            g.entries.reserve(static_cast<size_t>(kept));
            for (int i = 0; i < kept; ++i) g.entries.push_back({window[walk.entry(i)], window[walk.entry(i) + 1]});
        }
        ++found;
    }
    return found;
}

common::Result<TechLearning> load_learning_lists(const RomImage& image, long list1_offset, long list2_offset) {
    const common::Result<RomTable> list1 = RomTable::read(image, list1_offset, kLearningWindowSize, 1);
    if (!list1) return list1.error();
    const common::Result<RomTable> list2 = RomTable::read(image, list2_offset, kLearningWindowSize, 1);
    if (!list2) return list2.error();
    TechLearning learning;
    learning.group_count = parse_learning_window(list1->record(0), &learning.groups);
    learning.group_count += parse_learning_window(list2->record(0), &learning.groups);
    return learning;
}

void write_learning_report(ReportText& out, const TechLearning* learning, NameLookup tech_name) {
    BlockSeparator separator;
    for (int i = 0; i < learning->group_count; ++i) {
        const LearnGroup& g = learning->groups[i];
        separator.next(out);
        print_block_title(out, g.key, tech_name(g.key));
        out.str("No.      名前                   難度\n");
        for (int e = 0; e < g.count; ++e) {
            print_row_prefix(out, g.entries[e].tech, 2, tech_name(g.entries[e].tech), 20);
            out.str("  ").dec(g.entries[e].difficulty, 3).ch('\n');
        }
    }
}

}  // namespace common
