#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <absl/types/span.h>

#include <tessark/model/model_meshes_aabb_tree.h>
#include <tessark/model/structural_model.h>

#include <pillar/pillar_structural_model_builder_result.h>

// Checks of a rebuilt pillar model that do not depend on how the input was
// written: what it holds, read back as geometry.
namespace brevane::test
{
    // The highest point of the surface on the vertical line through the
    // point, none when the line misses it.
    [[nodiscard]] std::optional< double > height_of( const StructuralModel& model,
        const ModelMeshesAABBTree< 3 >& trees, const uuid& surface,
        const Point3D& point );

    // A rebuilt model told by its geometry alone: the surface names of each
    // slice collection in order, the sorted points of every surface by
    // name, and the pillar links as pairs of points. Two builds of one model
    // written two ways give equal summaries.
    struct RebuiltModelSummary
    {
        bool operator==( const RebuiltModelSummary& ) const = default;

        std::vector< std::set< std::string > > slices;
        std::map< std::string, std::vector< std::array< double, 3 > > > points;
        std::set< std::pair< std::array< double, 3 >, std::array< double, 3 > > >
            links;
    };

    [[nodiscard]] RebuiltModelSummary summarise_rebuilt_model(
        const StructuralModel& model,
        const PillarStructuralModelBuilderResult& result );

    // The first difference between two summaries, empty when they are equal
    // (points within 1e-9).
    [[nodiscard]] std::string summary_difference(
        const RebuiltModelSummary& expected, const RebuiltModelSummary& actual );

    // The polygons of a rebuilt model that do not face the way its surfaces
    // must: top surfaces and horizons up, bottom surfaces down, side walls
    // out of the model's box, every fault surface towards the side its
    // input surface faced (`input` is the model before the build). One line
    // per surface at fault, empty when all face the right way.
    [[nodiscard]] std::vector< std::string > wrongly_facing_surfaces(
        const StructuralModel& input, const StructuralModel& rebuilt,
        absl::Span< const uuid > top_surfaces,
        absl::Span< const uuid > bottom_surfaces );
} // namespace brevane::test
