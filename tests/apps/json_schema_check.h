#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace brevane::test
{
    // What the document breaks of the schema, one line each with the path of
    // the value ("/inspection/checks/0/kind: ..."); empty when it conforms.
    // Understands the keywords the tool's schema uses: $ref to "#/$defs/...",
    // oneOf, type, enum, properties, required, additionalProperties (false),
    // items, minItems, maxItems and minimum; other keywords are notes.
    [[nodiscard]] std::vector< std::string > schema_violations(
        const nlohmann::json& document, const nlohmann::json& schema );
} // namespace brevane::test
