#include "common/learning.h"

#include <cstdlib>
#include <memory>

#include "common/block.h"
#include "common/report.h"

int parse_learning_window(const unsigned char* window, LearnGroup* groups) {
    int found = 0;
    int c = 0;
    while (c + 1 < kLearningWindowSize && window[c] != 0xFF) {
        const int n = window[c + 1];
        const int available = (kLearningWindowSize - (c + 2)) / 2;
        const int kept = n < available ? n : available;
        if (groups) {
            LearnGroup& g = groups[found];
            g.key = window[c];
            g.count = kept;
            g.entries = kept ? alloc_block<LearnEntry>(static_cast<size_t>(kept)) : nullptr;
            for (int i = 0; i < kept; ++i) {
                g.entries[i].tech = window[c + 2 + 2 * i];
                g.entries[i].difficulty = window[c + 3 + 2 * i];
            }
        }
        ++found;
        c += 2 + 2 * n;
    }
    return found;
}

namespace {

// Owns learning data under construction: should an allocation end in a fatal
// hook that throws, the entry lists made so far, the group list and the
// header are released.
struct LearningDeleter {
    void operator()(TechLearning* learning) const {
        free_tech_learning(learning);
        free(learning);
    }
};

}  // namespace

TechLearning* load_learning_lists(const RomImage& image, long list1_offset, long list2_offset) {
    const RomTable list1(image, list1_offset, kLearningWindowSize, 1);
    const RomTable list2(image, list2_offset, kLearningWindowSize, 1);
    const int n1 = parse_learning_window(list1.record(0), nullptr);
    const int n2 = parse_learning_window(list2.record(0), nullptr);
    std::unique_ptr<TechLearning, LearningDeleter> learning(alloc_block<TechLearning>(1));
    learning->groups = alloc_block<LearnGroup>(static_cast<size_t>(n1 + n2));  // zero-filled: no entries yet
    learning->group_count = n1 + n2;
    parse_learning_window(list1.record(0), learning->groups);
    parse_learning_window(list2.record(0), learning->groups + n1);
    return learning.release();
}

void free_tech_learning(TechLearning* learning) {
    if (!learning) return;
    for (int i = 0; learning->groups && i < learning->group_count; ++i) free(learning->groups[i].entries);
    free(learning->groups);
    learning->groups = nullptr;
    learning->group_count = 0;
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
