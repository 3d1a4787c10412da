// The blocks that one analyzer run loads, owned until the run ends.
#pragma once

#include <vector>

#include "common/learning.h"

// Keeps the loaders' blocks in loading order and releases them in that order
// when it goes out of scope: at the end of a run (after the image is closed)
// or when a fatal hook leaves the run early by throwing. The learning data's
// group lists are released through free_tech_learning first.
class RunBlocks {
public:
    RunBlocks() = default;
    RunBlocks(const RunBlocks&) = delete;
    RunBlocks& operator=(const RunBlocks&) = delete;
    ~RunBlocks();

    // Takes a block (released with free()) and returns it.
    template <typename T>
    T* keep(T* block) {
        blocks_.push_back(block);
        return block;
    }
    TechLearning* keep(TechLearning* learning);

private:
    std::vector<void*> blocks_;
    std::vector<TechLearning*> learning_;
};
