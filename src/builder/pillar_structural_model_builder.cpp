#include <pillar/pillar_structural_model_builder.h>

#include "builder/pillar_structural_model_builder_impl.h"

namespace brevane
{
    PillarStructuralModelBuilder::PillarStructuralModelBuilder(
        StructuralModel& model,
        absl::Span< const uuid > top_surfaces,
        absl::Span< const uuid > bottom_surfaces ) noexcept
        : impl_( std::make_unique< Impl >(
            model, top_surfaces, bottom_surfaces ) )
    {
    }

    PillarStructuralModelBuilder::PillarStructuralModelBuilder(
        PillarStructuralModelBuilder&& ) noexcept = default;

    PillarStructuralModelBuilder::~PillarStructuralModelBuilder() = default;

    namespace
    {
        template < typename Impl >
        Impl& checked( const std::unique_ptr< Impl >& impl )
        {
            TESSARK_EXCEPTION( impl != nullptr,
                "[PillarStructuralModelBuilder] This builder was moved from "
                "and holds no model any more" );
            return *impl;
        }
    } // namespace

    const PillarStructuralModelInspectionResult&
        PillarStructuralModelBuilder::is_model_construction_possible()
    {
        return checked( impl_ ).is_model_construction_possible();
    }

    PillarStructuralModelBuilderResult PillarStructuralModelBuilder::build(
        const PillarStructuralModelOptions& options )
    {
        return checked( impl_ ).build( options );
    }

    void PillarStructuralModelBuilder::observe_plan_view(
        PlanViewObserver observer )
    {
        checked( impl_ ).plan_view_observer = std::move( observer );
    }

    const std::vector< std::vector< uuid > >&
        PillarStructuralModelBuilder::surface_groups_order() const
    {
        return checked( impl_ ).groups_order();
    }
} // namespace brevane
