#include "export/schema.h"

#include <nlohmann/json.hpp>

namespace exporter {

using Json = nlohmann::ordered_json;

namespace {

Json value_schema(const Column& c) {
    Json s = Json::object();
    if (!c.label.empty()) s["title"] = c.label;
    switch (c.kind) {
        case Value::kNumber:
            s["type"] = "integer";
            break;
        case Value::kFlag:
            s["type"] = "boolean";
            break;
        case Value::kText:
            s["type"] = "string";
            if (!c.allowed.empty()) s["enum"] = c.allowed;
            break;
        case Value::kLabels:
            s["type"] = "array";
            s["items"] = {{"enum", c.allowed}};
            s["uniqueItems"] = true;
            break;
        case Value::kNull:
            break;
    }
    if (!c.nullable) return s;
    s["type"] = Json::array({s["type"], "null"});
    if (s.contains("enum")) s["enum"].push_back(nullptr);
    return s;
}

Json closed_object(Json properties) {
    Json required = Json::array();
    for (const auto& [key, _] : properties.items()) required.push_back(key);
    return {{"type", "object"}, {"required", required}, {"additionalProperties", false}, {"properties", properties}};
}

Json array_of(Json items) { return {{"type", "array"}, {"items", std::move(items)}}; }

Json record_schema(const Table& table) {
    Json properties = Json::object();
    for (const Column& c : table.columns) properties[c.key] = value_schema(c);
    for (const Table& child : table.children) properties[child.key] = array_of(record_schema(child));
    return closed_object(std::move(properties));
}

}  // namespace

std::string json_schema(const char* name, const char* game, const Table& rom, const std::vector<Table>& tables) {
    Json listed = Json::object();
    for (const Table& t : tables) listed[t.key] = array_of(record_schema(t));
    Json properties = {{"format", {{"const", "meridian-tools-export"}}},
                       {"version", {{"const", kExportVersion}}},
                       {"game", {{"const", game}}},
                       {"rom", record_schema(rom)},
                       {"tables", closed_object(std::move(listed))}};
    Json schema = {{"$schema", "https://json-schema.org/draft/2020-12/schema"},
                   {"$id", std::string("https://meridian-tools.invalid/") + name},
                   {"title", std::string("meridian-tools export of a game-") + game + " ROM image, version " +
                                 std::to_string(kExportVersion)}};
    schema.update(closed_object(std::move(properties)));
    return schema.dump(2) + "\n";
}

}  // namespace exporter
