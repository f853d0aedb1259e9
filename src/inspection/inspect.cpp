#include "builder/pillar_structural_model_builder_impl.h"

#include <pillar/input_inspections.h>
#include "inspection/input_checks.h"
#include "inspection/model_fingerprint.h"
#include "inspection/run_checks_concurrently.h"

namespace brevane
{
    void PillarStructuralModelBuilder::Impl::inspect( bool input_just_checked )
    {
        // Engaged before any check runs, so that a failed check still leaves
        // a cached result: the records of the finished checks and the
        // defaults of the failed ones.
        inspection.reset();
        auto& result = inspection.emplace();
        result.model_fingerprint = internal::model_fingerprint( model );
        if( !input_just_checked )
        {
            result.input_problems = internal::input_problems(
                model, top_surfaces, bottom_surfaces );
        }
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

    MultiZInspectionResult PillarStructuralModelBuilder::Impl::inspect_multi_z()
        const
    {
        return internal::inspect_multi_z(
            { model, top_surfaces, bottom_surfaces } );
    }

    LinesInspectionResult PillarStructuralModelBuilder::Impl::inspect_lines()
        const
    {
        return internal::inspect_lines( model );
    }

    SurfacesCollectionInspectionResult
    PillarStructuralModelBuilder::Impl::inspect_surfaces_collection() const
    {
        return internal::inspect_surfaces_collection( model );
    }

    PointsTooFarFromTopographyBoundaryInspectionResult
    PillarStructuralModelBuilder::Impl::inspect_points_too_far() const
    {
        return internal::inspect_points_too_far(
            { model, top_surfaces, bottom_surfaces }, *top_surface );
    }
} // namespace brevane
