#include "builder/pillar_structural_model_builder_impl.h"

#include <absl/strings/str_join.h>

#include <pillar/pillar_structural_model_exception.h>
#include <pillar/top_surface_plan_view.h>

#include "inspection/input_checks.h"

namespace brevane
{
    PillarStructuralModelBuilder::Impl::Impl( StructuralModel& model_in,
        absl::Span< const uuid > top_surfaces_in,
        absl::Span< const uuid > bottom_surfaces_in )
        : model( model_in ), model_builder( model_in ),
          top_surfaces( top_surfaces_in ),
          bottom_surfaces( bottom_surfaces_in ),
          top_surface( TriangulatedSurface< 2 >::create() ),
          background_surface( *top_surface ),
          z_coordinate_attribute(
              internal::find_or_create_z_coordinate( *top_surface ) ),
          surface_ids_attribute(
              internal::find_or_create_surface_ids( *top_surface ) )
    {
        // The public constructor does not throw: a failed projection is
        // kept and reported by the first public call.
        try
        {
            project_top_surfaces();
        }
        catch( const std::exception& error )
        {
            construction_failure = error.what();
        }
        catch( ... )
        {
            // The public constructor is noexcept: nothing may escape it.
            construction_failure =
                "the plan view of the top surfaces failed with an error that "
                "is no std::exception";
        }
    }

    void PillarStructuralModelBuilder::Impl::check_construction() const
    {
        if( construction_failure )
        {
            throw TessarkException{ "[PillarStructuralModelBuilder] The "
                                    "builder could not be constructed: ",
                *construction_failure };
        }
    }

    void PillarStructuralModelBuilder::Impl::check_input() const
    {
        const auto problems =
            internal::input_problems( model, top_surfaces, bottom_surfaces );
        if( !problems.empty() )
        {
            throw TessarkException{ "[PillarStructuralModelBuilder] The model "
                                    "cannot be built as it is: ",
                absl::StrJoin( problems, " " ) };
        }
    }

    const PillarStructuralModelInspectionResult&
    PillarStructuralModelBuilder::Impl::is_model_construction_possible()
    {
        check_construction();
        inspect();
        return inspection.value();
    }

    PillarStructuralModelBuilderResult
    PillarStructuralModelBuilder::Impl::build(
        const PillarStructuralModelOptions& options )
    {
        check_input();
        check_construction();
        TESSARK_EXCEPTION( !used,
            "[PillarStructuralModelBuilder] This builder has built its model "
            "once already (or tried to): its plan view went into that build. "
            "Make a new builder on the model to build it again." );
        if( !inspection )
        {
            // The input was checked above: its problems are not searched
            // for twice.
            inspect( true );
            const auto& result = inspection.value();
            if( result.multi_z.nb_issues() != 0 || result.lines.nb_issues() != 0
                || result.points_too_far.nb_issues() != 0
                || result.surfaces_collection.nb_issues() != 0 )
            {
                throw PillarStructuralModelException{ result };
            }
        }
        used = true;
        auto metric = create_top_surface_metric( *top_surface );
        insert_model_components();
        return run_driver( metric, options );
    }
} // namespace brevane
