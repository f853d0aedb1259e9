#pragma once

#include <memory>
#include <ostream>
#include <vector>

#include <absl/container/flat_hash_set.h>

#include <tessark/model/structural_model_builder.h>

#include "assembly/assembly_context.h"
#include "pillar/support/pillar_stage_fixture.h"

namespace brevane::test
{
    // The numbers of horizons and faults of a sample model, as tests over
    // several sample models take them.
    struct SampleSize
    {
        friend void PrintTo( const SampleSize& size, std::ostream* out )
        {
            *out << size.nb_horizons << " horizons, " << size.nb_faults
                 << " faults";
        }

        index_t nb_horizons;
        index_t nb_faults;
    };

    // A sample model brought to the stages that rebuild it from the
    // pillars, as a build does it but without decimating the plan view: one
    // pillar per plan-view vertex, the border traced by the side-wall lines,
    // every triangle's "surface_ids" (the surfaces a vertical line through
    // its barycentre meets, side walls excepted), and the model's meshes
    // emptied.
    struct AssemblyFixture
    {
        explicit AssemblyFixture( SampleModel sample );

        [[nodiscard]] internal::AssemblyContext context();

        PillarStageFixture stage;
        std::vector< Pillar > pillars;
        std::shared_ptr< VariableAttribute< std::vector< uuid > > > surface_ids;
        std::unique_ptr< StructuralModelBuilder > builder;
        absl::flat_hash_set< uuid > facing_down;
    };
} // namespace brevane::test
