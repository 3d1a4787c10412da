#include "common/run_blocks.h"

#include <cstdlib>

RunBlocks::~RunBlocks() {
    for (TechLearning* learning : learning_) free_tech_learning(learning);
    for (void* block : blocks_) free(block);
}

TechLearning* RunBlocks::keep(TechLearning* learning) {
    learning_.push_back(learning);
    blocks_.push_back(learning);
    return learning;
}
