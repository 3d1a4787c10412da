// Report jobs made from a typed writer and its block.
#pragma once

#include "common/driver.h"

// The job that writes file_name with writer(path, block).
template <typename Block>
ReportJob report_job(const char* file_name, int (*writer)(const char*, const Block*), const Block* block) {
    return {file_name, [writer, block](const char* path) { return writer(path, block); }};
}
