#include "builder/pillar_structural_model_builder_impl.h"

#include "inspection/run_checks_concurrently.h"

namespace brevane
{
    void PillarStructuralModelBuilder::Impl::inspect()
    {
        // Engaged before any check runs, so that a failed check still leaves
        // a cached result: the records of the finished checks and the
        // defaults of the failed ones.
        inspection.reset();
        auto& result = inspection.emplace();
        internal::run_checks_concurrently( {
            [this, &result]
            {
                result.multi_z = inspect_multi_z();
            },
            [this, &result]
            {
                result.lines = inspect_lines();
            },
            [this, &result]
            {
                result.points_too_far = inspect_points_too_far();
            },
            [this, &result]
            {
                result.surfaces_collection = inspect_surfaces_collection();
            },
        } );
    }
} // namespace brevane
