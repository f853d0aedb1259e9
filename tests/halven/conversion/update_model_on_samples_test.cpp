#include <gtest/gtest.h>

#include <algorithm>

#include <halven/conversion/model_builder_from_unique_vertices.h>
#include <samples/sample_model.h>
#include <samples/small_sample_models.h>
#include <tessark/inspection/model_validation.h>
#include <tessark/model/structural_model_builder.h>

#include "support/model_fixtures.h"

namespace brevane
{
    namespace
    {
        // A description of the lines and corners that does not depend on
        // their uuids: per line, its sorted unique vertices and its sorted
        // incident and embedding surfaces; per corner, its unique vertex and
        // number of lines.
        struct Topology
        {
            std::vector< std::pair< std::vector< index_t >,
                std::vector< uuid > > >
                lines;
            std::vector< std::pair< index_t, index_t > > corners;

            bool operator==( const Topology& ) const = default;
        };

        Topology topology_of( const StructuralModel& model )
        {
            Topology result;
            for( const auto& line : model.lines() )
            {
                std::vector< index_t > uniques;
                for( index_t vertex = 0; vertex < line.mesh().nb_vertices();
                     vertex++ )
                {
                    uniques.push_back(
                        model.unique_vertex( { line.component_id(), vertex } ) );
                }
                std::sort( uniques.begin(), uniques.end() );
                std::vector< uuid > surfaces;
                for( const auto& incidence : model.incidences( line.id() ) )
                {
                    surfaces.push_back( incidence.id() );
                }
                std::sort( surfaces.begin(), surfaces.end() );
                result.lines.emplace_back( uniques, surfaces );
            }
            for( const auto& corner : model.corners() )
            {
                result.corners.emplace_back(
                    model.unique_vertex( { corner.component_id(), 0 } ),
                    model.nb_incidences( corner.id() ) );
            }
            std::sort( result.lines.begin(), result.lines.end() );
            std::sort( result.corners.begin(), result.corners.end() );
            return result;
        }
    } // namespace

    TEST( ModelBuilderFromUniqueVertices, rebuilds_the_lines_and_corners_of_sample_models )
    {
        for( const index_t nb_faults : { 0u, 1u, 2u } )
        {
            auto sample =
                build_sample_model( small_sample_parameters( 2, nb_faults ) );
            auto& model = sample.model;
            const auto before = topology_of( model );

            const auto nb_lines = model.nb_lines();
            const auto nb_corners = model.nb_corners();
            test::remove_lines_and_corners( model );
            ModelBuilderFromUniqueVertices< StructuralModel >{ model, {} }
                .update_model();

            EXPECT_EQ( model.nb_lines(), nb_lines ) << nb_faults;
            EXPECT_EQ( model.nb_corners(), nb_corners ) << nb_faults;
            EXPECT_TRUE( topology_of( model ) == before ) << nb_faults;
            const auto report = validate_model( model );
            EXPECT_TRUE( report.is_valid() ) << report.string();
        }
    }
} // namespace brevane
