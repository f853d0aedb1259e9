#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include <tessark/inspection/model_validation.h>

#include <halven/conversion/model_builder_from_unique_vertices.h>

#include <samples/small_sample_models.h>

#include "assembly/horizon_surfaces.h"
#include "assembly/model_boundaries.h"
#include "assembly/pillar_links.h"
#include "assembly/unique_vertices.h"
#include "pillar/support/assembly_fixture.h"

namespace brevane
{
    namespace
    {
        struct ModelSize
        {
            friend void PrintTo( const ModelSize& size, std::ostream* out )
            {
                *out << size.nb_horizons << " horizons, " << size.nb_faults
                     << " faults";
            }

            index_t nb_horizons;
            index_t nb_faults;
        };

        class AssemblyEndToEnd : public testing::TestWithParam< ModelSize >
        {
        };

        // The steps down the pillars between points that differ: one link
        // each, since no two pillars share a node.
        std::size_t nb_pillar_steps( absl::Span< const Pillar > pillars )
        {
            std::size_t nb_steps{ 0 };
            for( const auto& pillar : pillars )
            {
                for( std::size_t below = 1; below < pillar.intersections.size();
                     below++ )
                {
                    if( !pillar.intersections[below - 1].point.inexact_equal(
                            pillar.intersections[below].point ) )
                    {
                        nb_steps++;
                    }
                }
            }
            return nb_steps;
        }

        // From the emptied meshes of a sample model to its update from the
        // unique vertices, as the build does it after decimation.
        TEST_P( AssemblyEndToEnd, rebuilds_a_valid_model )
        {
            const auto [nb_horizons, nb_faults] = GetParam();
            test::AssemblyFixture fixture{ build_sample_model(
                small_sample_parameters( nb_horizons, nb_faults ) ) };
            auto& model = fixture.stage.sample.model;
            const auto nb_lines = model.nb_lines();
            const auto nb_corners = model.nb_corners();
            const auto context = fixture.context();
            internal::TopVertexSurfaceVertices surface_vertices;

            const auto collections =
                internal::build_horizon_surfaces( context, surface_vertices );
            internal::create_unique_vertices( context, surface_vertices );
            internal::build_model_boundaries( context, surface_vertices );
            internal::remove_lines_and_corners( model, *fixture.builder );
            const auto links =
                internal::link_pillar_vertices( context, surface_vertices );

            EXPECT_EQ(
                collections.size(), context.surface_groups_order.size() + 2 );
            EXPECT_EQ( model.nb_lines(), 0 );
            EXPECT_EQ( model.nb_corners(), 0 );
            for( index_t unique_vertex = 0;
                 unique_vertex < model.nb_unique_vertices(); unique_vertex++ )
            {
                EXPECT_FALSE(
                    model.component_mesh_vertices( unique_vertex ).empty() )
                    << "unique vertex " << unique_vertex;
            }
            for( const auto& surface : model.surfaces() )
            {
                if( internal::is_lateral_boundary( context, surface.id() ) )
                {
                    EXPECT_GT( surface.mesh().nb_polygons(), 0 )
                        << surface.name();
                }
            }
            EXPECT_EQ( links.unique_vertex_below.size(),
                nb_pillar_steps( context.pillars ) );
            EXPECT_EQ( links.unique_vertex_above.size(),
                links.unique_vertex_below.size() );
            for( const auto& [upper, lower] : links.unique_vertex_below )
            {
                EXPECT_EQ( links.unique_vertex_above.at( lower ), upper );
            }

            ModelBuilderFromUniqueVertices< BRep > model_update{ model,
                { false } };
            model_update.update_model();

            const auto report = validate_model( model );
            EXPECT_TRUE( report.is_valid() ) << report.string();
            // The sample model's topology comes back whole.
            EXPECT_EQ( model.nb_lines(), nb_lines );
            EXPECT_EQ( model.nb_corners(), nb_corners );
        }

        INSTANTIATE_TEST_SUITE_P( SampleModels, AssemblyEndToEnd,
            testing::Values( ModelSize{ 1, 0 }, ModelSize{ 2, 0 },
                ModelSize{ 3, 0 }, ModelSize{ 1, 1 }, ModelSize{ 2, 1 },
                ModelSize{ 3, 1 }, ModelSize{ 1, 2 }, ModelSize{ 2, 2 },
                ModelSize{ 3, 2 } ),
            []( const testing::TestParamInfo< ModelSize >& info )
            {
                return "horizons_" + std::to_string( info.param.nb_horizons )
                       + "_faults_" + std::to_string( info.param.nb_faults );
            } );
    } // namespace
} // namespace brevane
