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

TechLearning* load_learning_lists(long list1_offset, long list2_offset) {
    RomTable list1(list1_offset, kLearningWindowSize, 1);
    RomTable list2(list2_offset, kLearningWindowSize, 1);
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

int write_learning_report(const char* path, const TechLearning* learning, NameLookup tech_name) {
    return write_report(path, learning != nullptr, [&](FILE* fp) {
        BlockSeparator separator;
        for (int i = 0; i < learning->group_count; ++i) {
            const LearnGroup& g = learning->groups[i];
            separator.next(fp);
            print_block_title(fp, g.key, tech_name(g.key));
            fputs("No.      名前                   難度\n", fp);
            for (int e = 0; e < g.count; ++e) {
                print_row_prefix(fp, g.entries[e].tech, 2, tech_name(g.entries[e].tech), 20);
                fprintf(fp, "  %3d\n", g.entries[e].difficulty);
            }
        }
    });
}
