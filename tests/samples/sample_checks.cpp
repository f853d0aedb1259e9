#include "sample_checks.h"

#include <gtest/gtest.h>

#include <cmath>

#include <tessark/geometry/predicates.h>
#include <tessark/inspection/model_validation.h>

#include "model_structure_checks.h"

namespace brevane::test
{
    namespace
    {
        std::vector< uuid > ids( const std::vector< ComponentID >& components )
        {
            std::vector< uuid > result;
            for( const auto& component : components )
            {
                result.push_back( component.id() );
            }
            return result;
        }

        // The signed plan-view area of a mesh and the integral of z over it.
        struct PlanIntegral
        {
            double area{ 0 };
            double z_integral{ 0 };
        };

        PlanIntegral plan_integral( const SurfaceMesh< 3 >& mesh )
        {
            PlanIntegral integral;
            for( index_t polygon = 0; polygon < mesh.nb_polygons(); polygon++ )
            {
                const auto vertices = mesh.polygon_vertices( polygon );
                const auto& a = mesh.point( vertices[0] );
                const auto& b = mesh.point( vertices[1] );
                const auto& c = mesh.point( vertices[2] );
                const auto area = 0.5
                                  * ( ( b.value( 0 ) - a.value( 0 ) )
                                          * ( c.value( 1 ) - a.value( 1 ) )
                                      - ( b.value( 1 ) - a.value( 1 ) )
                                            * ( c.value( 0 ) - a.value( 0 ) ) );
                integral.area += area;
                integral.z_integral +=
                    area * ( a.value( 2 ) + b.value( 2 ) + c.value( 2 ) ) / 3;
            }
            return integral;
        }

        // The way every triangle of the mesh turns seen from above, zero
        // when they do not all turn the same way.
        SIDE plan_orientation( const SurfaceMesh< 3 >& mesh )
        {
            std::array< index_t, 3 > counts{};
            for( index_t polygon = 0; polygon < mesh.nb_polygons(); polygon++ )
            {
                const auto vertices = mesh.polygon_vertices( polygon );
                const auto side = orientation_2d(
                    mesh.point( vertices[0] ).project_point( 2 ),
                    mesh.point( vertices[1] ).project_point( 2 ),
                    mesh.point( vertices[2] ).project_point( 2 ) );
                counts[static_cast< std::size_t >( side )]++;
            }
            if( counts[static_cast< std::size_t >( SIDE::positive )]
                == mesh.nb_polygons() )
            {
                return SIDE::positive;
            }
            if( counts[static_cast< std::size_t >( SIDE::negative )]
                == mesh.nb_polygons() )
            {
                return SIDE::negative;
            }
            return SIDE::zero;
        }

        void expect_collection( const StructuralModel& model,
            const SampleCollection& collection, std::string_view name,
            std::size_t nb_items )
        {
            EXPECT_EQ( ids( model.items( collection.id ) ), collection.items )
                << name;
            EXPECT_EQ( collection.items.size(), nb_items ) << name;
        }

        // The blocks must fill the volume between the top and the bottom
        // without overlapping: the sum of their volumes is that volume.
        void check_volumes( const SampleModel& sample )
        {
            const auto volumes = block_volumes( sample.model );
            EXPECT_TRUE( volumes.problems.empty() ) << volumes.problems.front();
            double total{ 0 };
            for( const auto volume : volumes.volumes )
            {
                EXPECT_GT( volume, 0 );
                total += volume;
            }
            // The bottom faces down: its signed plan area is negative.
            double expected{ 0 };
            for( const auto& surfaces :
                { sample.top_surfaces, sample.bottom_surfaces } )
            {
                for( const auto& id : surfaces )
                {
                    expected +=
                        plan_integral( sample.model.surface( id ).mesh() )
                            .z_integral;
                }
            }
            EXPECT_NEAR( total, expected, 1e-9 * std::abs( expected ) );
        }
    } // namespace

    ExpectedCounts expected_counts(
        index_t nb_horizons, index_t nb_faults, index_t nb_shared_per_fault )
    {
        const auto h = nb_horizons;
        const auto f = nb_faults;
        const auto nodes =
            2 * ( f + 2 ) + 2 * h * ( f + 1 ) - nb_shared_per_fault * f;
        const auto edges = 2 * ( f + 1 ) + h * ( f + 1 )
                           + f * ( 2 * h + 1 - nb_shared_per_fault )
                           + 2 * ( h + 1 );
        const auto faces = ( f + 1 ) * ( h + 1 );
        return { 2 * nodes, nodes + 2 * edges, edges + 2 * faces, faces };
    }

    HeightGrid wavy_grid( const SampleBox& box, index_t nb_x, index_t nb_y )
    {
        HeightGrid grid{ nb_x, nb_y, {} };
        for( index_t j = 0; j < nb_y; j++ )
        {
            for( index_t i = 0; i < nb_x; i++ )
            {
                grid.heights.push_back(
                    box.top_z
                    + 30 * std::sin( 1.3 * i ) * std::cos( 0.9 * j ) );
            }
        }
        return grid;
    }

    index_t nb_triangles(
        const StructuralModel& model, const std::vector< uuid >& surfaces )
    {
        index_t result{ 0 };
        for( const auto& id : surfaces )
        {
            result += model.surface( id ).mesh().nb_polygons();
        }
        return result;
    }

    void check_sample_collections( const SampleModel& sample,
        index_t nb_horizons, index_t nb_faults, index_t nb_pieces_per_fault )
    {
        const auto& model = sample.model;
        const auto nb_blocks = nb_faults + 1;
        ASSERT_EQ( model.nb_horizons(), nb_horizons );
        ASSERT_EQ( model.nb_faults(), nb_faults );
        ASSERT_EQ( model.nb_fault_blocks(), nb_blocks );
        ASSERT_EQ( model.model_boundaries().size(), 6u );
        ASSERT_EQ( sample.horizons.size(), nb_horizons );
        ASSERT_EQ( sample.faults.size(), nb_faults );
        ASSERT_EQ( sample.fault_blocks.size(), nb_blocks );
        EXPECT_EQ( model.model_boundary( sample.top_boundary ).name(), "top" );
        EXPECT_EQ(
            model.model_boundary( sample.bottom_boundary ).name(), "bottom" );
        EXPECT_EQ(
            ids( model.items( sample.top_boundary ) ), sample.top_surfaces );
        EXPECT_EQ( ids( model.items( sample.bottom_boundary ) ),
            sample.bottom_surfaces );
        EXPECT_EQ( sample.top_surfaces.size(), nb_blocks );
        EXPECT_EQ( sample.bottom_surfaces.size(), nb_blocks );
        EXPECT_EQ( model.surface( sample.top_surfaces.back() ).name(),
            "top_block_" + std::to_string( nb_faults ) );
        expect_collection(
            model, sample.side_x_min, "side_x_min", nb_horizons + 1 );
        expect_collection(
            model, sample.side_x_max, "side_x_max", nb_horizons + 1 );
        expect_collection( model, sample.side_y_min, "side_y_min",
            nb_blocks * ( nb_horizons + 1 ) );
        expect_collection( model, sample.side_y_max, "side_y_max",
            nb_blocks * ( nb_horizons + 1 ) );
        EXPECT_EQ(
            model.model_boundary( sample.side_y_max.id ).name(), "side_y_max" );
        EXPECT_EQ( model.surface( sample.side_y_min.items.back() ).name(),
            "side_y_min_block_" + std::to_string( nb_faults ) + "_layer_"
                + std::to_string( nb_horizons ) );
        for( index_t horizon = 0; horizon < nb_horizons; horizon++ )
        {
            const auto& collection = sample.horizons[horizon];
            expect_collection( model, collection, "horizon", nb_blocks );
            const auto name = "horizon_" + std::to_string( horizon + 1 );
            EXPECT_EQ( model.horizon( collection.id ).name(), name );
            EXPECT_EQ( model.surface( collection.items[0] ).name(),
                name + "_block_0" );
        }
        for( index_t fault = 0; fault < nb_faults; fault++ )
        {
            const auto& collection = sample.faults[fault];
            expect_collection(
                model, collection, "fault", nb_pieces_per_fault );
            EXPECT_EQ( model.fault( collection.id ).name(),
                "fault_" + std::to_string( fault + 1 ) );
        }
        for( index_t block = 0; block < nb_blocks; block++ )
        {
            const auto& collection = sample.fault_blocks[block];
            expect_collection(
                model, collection, "fault block", nb_horizons + 1 );
            EXPECT_EQ( model.fault_block( collection.id ).name(),
                "fault_block_" + std::to_string( block ) );
            EXPECT_EQ( model.block( collection.items.back() ).name(),
                "block_" + std::to_string( block ) + "_layer_"
                    + std::to_string( nb_horizons ) );
        }
        for( const auto& surface : model.surfaces() )
        {
            EXPECT_EQ(
                model.relationships().nb_collections( surface.id() ), 1u )
                << surface.name() << " is not in exactly one collection";
        }
    }

    void check_sample_model( const SampleModel& sample,
        const SampleModelParameters& parameters, index_t nb_shared_per_fault )
    {
        const auto& model = sample.model;
        const auto nb_horizons =
            static_cast< index_t >( sample.horizons.size() );
        const auto nb_faults =
            static_cast< index_t >( parameters.faults.size() );
        const auto counts =
            expected_counts( nb_horizons, nb_faults, nb_shared_per_fault );
        EXPECT_EQ( model.nb_corners(), counts.corners );
        EXPECT_EQ( model.nb_lines(), counts.lines );
        EXPECT_EQ( model.nb_surfaces(), counts.surfaces );
        EXPECT_EQ( model.nb_blocks(), counts.blocks );
        check_sample_collections( sample, nb_horizons, nb_faults,
            2 * nb_horizons + 1 - nb_shared_per_fault );

        const auto report = validate_model( model );
        EXPECT_TRUE( report.is_valid() ) << report.string();
        const auto problems = structure_problems( model );
        EXPECT_TRUE( problems.empty() )
            << problems.size() << " problems, first: " << problems.front();

        double top_area{ 0 };
        for( const auto& id : sample.top_surfaces )
        {
            const auto& mesh = model.surface( id ).mesh();
            EXPECT_EQ( plan_orientation( mesh ), SIDE::positive );
            top_area += plan_integral( mesh ).area;
        }
        for( const auto& id : sample.bottom_surfaces )
        {
            EXPECT_EQ( plan_orientation( model.surface( id ).mesh() ),
                SIDE::negative );
        }
        const auto box_area = parameters.box.length_x * parameters.box.length_y;
        EXPECT_NEAR( top_area, box_area, 1e-9 * box_area );
        check_volumes( sample );
    }
} // namespace brevane::test
