#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include <tessark/model/structural_model.h>

#include <pillar/varnholt_pillar_export.h>

#include "pillars/pillar.h"

// The groups of surfaces that behave as one layer, and the collection tags
// that decide them.
namespace brevane::internal
{
    // True when one of the collections holding the component has this type
    // name ("ModelBoundary", "Horizon", "Fault"...).
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT bool is_in_collection_of_type(
        const BRep& model, const uuid& component, std::string_view type );

    [[nodiscard]] VARNHOLT_PILLAR_EXPORT bool is_fault_surface(
        const BRep& model, const uuid& surface );

    // The first fault collection holding the surface.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT std::optional< uuid > fault_of_surface(
        const BRep& model, const uuid& surface );

    // The number of horizons with at least one item.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT index_t nb_non_empty_horizons(
        const StructuralModel& model );

    // One group per (horizon, block): for each block in model order, each of
    // its boundary surfaces that is neither a model boundary nor a fault
    // starts a group with the items of its first horizon that bound the same
    // block, in item order; then one group per fault with all its items.
    // Throws a TessarkException naming the surface when a block boundary is
    // in no horizon, fault or model-boundary collection.
    [[nodiscard]] VARNHOLT_PILLAR_EXPORT std::vector< SurfaceGroup >
        compute_surface_groups( const StructuralModel& model );
} // namespace brevane::internal
