// The JSON Schema (draft 2020-12) of an exporter's JSON document, made from
// the same table descriptions that the JSON writer follows: every table, every
// key with its type, the labels a list may hold, every key required and no
// other allowed.
#pragma once

#include <string>
#include <vector>

#include "export/table.h"

namespace exporter {

// The schema as text (two-space indents, a line feed at the end). name is the
// schema's file name ("mt2-export.schema.json"), game "A" or "B".
std::string json_schema(const char* name, const char* game, const Table& rom, const std::vector<Table>& tables);

}  // namespace exporter
