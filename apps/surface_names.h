#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <absl/types/span.h>

#include <tessark/model/structural_model.h>

// The surfaces a user names on the command line.
namespace brevane::cli
{
    // The surfaces of the names: a name of a collection (model boundary,
    // horizon, fault or surface collection) stands for the surfaces of every
    // collection of that name, otherwise for every surface of that name. Ids
    // come in the order of the names, then of the model, each once. Throws a
    // UsageError naming the option and listing the names the model has when
    // a name matches nothing or only collections without a surface.
    [[nodiscard]] std::vector< uuid > surfaces_named(
        const StructuralModel& model, absl::Span< const std::string > names,
        std::string_view option );

    // The surfaces of the model boundaries named default_name when names is
    // empty (the sample models name their top and bottom boundaries "top"
    // and "bottom"), otherwise surfaces_named. Throws a UsageError asking
    // for the option when the model has no such boundary.
    [[nodiscard]] std::vector< uuid > surfaces_named_or_boundary(
        const StructuralModel& model, absl::Span< const std::string > names,
        std::string_view option, std::string_view default_name );

    // "collections: a, b; surfaces: c, d, e", in model order, each name
    // once, long lists cut after a few dozen names with a count of the rest.
    [[nodiscard]] std::string available_names( const StructuralModel& model );
} // namespace brevane::cli
