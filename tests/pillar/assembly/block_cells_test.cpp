#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <string>

#include <absl/container/flat_hash_map.h>

#include <tessark/geometry/vector.h>
#include <tessark/inspection/model_validation.h>
#include <tessark/mesh/polyhedron_volume.h>

#include <pillar/pillar_structural_model_builder.h>
#include <pillar/varnholt_pillar_library.h>

#include <samples/sample_model.h>
#include <samples/small_sample_models.h>

#include "assembly/block_cells.h"
#include "assembly/unique_vertices.h"
#include "pillar/assembly/strip_model.h"
#include "pillar/support/assembly_fixture.h"

namespace brevane
{
    namespace
    {
        // A polygon of a block's boundary as the unique vertices and points
        // of its corners.
        struct BoundaryPolygon
        {
            std::vector< index_t > unique_vertices;
            std::vector< Point3D > points;
            bool flipped{ false };
        };

        std::vector< BoundaryPolygon > boundary_polygons(
            const BRep& model, const Block< 3 >& block )
        {
            std::vector< BoundaryPolygon > polygons;
            for( const auto& boundary : model.boundaries( block.id() ) )
            {
                const auto& surface = model.surface( boundary.id() );
                const auto& mesh = surface.mesh();
                for( index_t polygon = 0; polygon < mesh.nb_polygons();
                     polygon++ )
                {
                    BoundaryPolygon result;
                    for( const auto vertex : mesh.polygon_vertices( polygon ) )
                    {
                        result.unique_vertices.push_back( model.unique_vertex(
                            { surface.component_id(), vertex } ) );
                        result.points.push_back( mesh.point( vertex ) );
                    }
                    polygons.push_back( std::move( result ) );
                }
            }
            return polygons;
        }

        // Six times the signed volume under the polygon seen from the
        // origin (a fan from its first corner).
        double signed_volume6( const BoundaryPolygon& polygon )
        {
            double volume6{ 0 };
            const Point3D origin;
            for( std::size_t v = 1; v + 1 < polygon.points.size(); v++ )
            {
                const Vector3D a{ origin, polygon.points[0] };
                const Vector3D b{ origin, polygon.points[v] };
                const Vector3D c{ origin, polygon.points[v + 1] };
                volume6 += a.dot( b.cross( c ) );
            }
            return polygon.flipped ? -volume6 : volume6;
        }

        // The volume enclosed by the block's boundary surfaces, by the
        // divergence theorem: the polygons are oriented consistently by a
        // walk across their shared edges (two polygons sharing an edge run
        // it in opposite directions), each closed shell counted positive.
        double enclosed_volume( const BRep& model, const Block< 3 >& block )
        {
            auto polygons = boundary_polygons( model, block );
            using Edge = std::pair< index_t, index_t >;
            absl::flat_hash_map< Edge, std::vector< std::size_t > > by_edge;
            const auto edges_of = [&]( std::size_t p )
            {
                std::vector< Edge > edges;
                const auto& vertices = polygons[p].unique_vertices;
                for( std::size_t v = 0; v < vertices.size(); v++ )
                {
                    edges.emplace_back(
                        vertices[v], vertices[( v + 1 ) % vertices.size()] );
                }
                return edges;
            };
            for( std::size_t p = 0; p < polygons.size(); p++ )
            {
                for( auto [from, to] : edges_of( p ) )
                {
                    by_edge[{ std::min( from, to ), std::max( from, to ) }]
                        .push_back( p );
                }
            }
            std::vector< bool > reached( polygons.size(), false );
            double total{ 0 };
            for( std::size_t seed = 0; seed < polygons.size(); seed++ )
            {
                if( reached[seed] )
                {
                    continue;
                }
                double shell6{ 0 };
                std::deque< std::size_t > queue{ seed };
                reached[seed] = true;
                while( !queue.empty() )
                {
                    const auto p = queue.front();
                    queue.pop_front();
                    shell6 += signed_volume6( polygons[p] );
                    for( auto [from, to] : edges_of( p ) )
                    {
                        if( polygons[p].flipped )
                        {
                            std::swap( from, to );
                        }
                        for( const auto other :
                            by_edge.at( { std::min( from, to ),
                                std::max( from, to ) } ) )
                        {
                            if( reached[other] )
                            {
                                continue;
                            }
                            reached[other] = true;
                            // The neighbour must run the edge to -> from.
                            const auto other_edges = edges_of( other );
                            polygons[other].flipped =
                                std::find( other_edges.begin(),
                                    other_edges.end(), Edge{ from, to } )
                                != other_edges.end();
                            queue.push_back( other );
                        }
                    }
                }
                total += std::abs( shell6 ) / 6.;
            }
            return total;
        }

        // Facets of the block's cells by their sorted unique vertices.
        absl::flat_hash_map< std::vector< index_t >,
            std::vector< PolyhedronFacet > >
        facets_by_nodes( const BRep& model, const Block< 3 >& block )
        {
            absl::flat_hash_map< std::vector< index_t >,
                std::vector< PolyhedronFacet > >
                facets;
            const auto& mesh = block.mesh();
            for( index_t cell = 0; cell < mesh.nb_polyhedra(); cell++ )
            {
                for( local_index_t facet = 0;
                     facet < mesh.nb_polyhedron_facets( cell ); facet++ )
                {
                    std::vector< index_t > key;
                    for( const auto vertex :
                        mesh.polyhedron_facet_vertices( { cell, facet } ) )
                    {
                        key.push_back( model.unique_vertex(
                            { block.component_id(), vertex } ) );
                    }
                    std::sort( key.begin(), key.end() );
                    facets[key].emplace_back( cell, facet );
                }
            }
            return facets;
        }

        SampleModelParameters cells_sample(
            index_t nb_horizons, index_t nb_faults )
        {
            auto parameters = small_sample_parameters( nb_horizons, nb_faults );
            parameters.resolution.target_top_triangles = 400;
            return parameters;
        }

        // The sample model of the size, rebuilt as a pillar model with or
        // without cells.
        SampleModel built_sample(
            const test::SampleSize& size, bool add_block_mesh )
        {
            auto sample = build_sample_model(
                cells_sample( size.nb_horizons, size.nb_faults ) );
            PillarStructuralModelBuilder builder{ sample.model,
                sample.top_surfaces, sample.bottom_surfaces };
            PillarStructuralModelOptions options;
            options.add_block_mesh = add_block_mesh;
            static_cast< void >( builder.build( options ) );
            return sample;
        }

        class BlockCells : public testing::TestWithParam< test::SampleSize >
        {
        protected:
            static void SetUpTestSuite()
            {
                VarnholtPillarLibrary::initialize();
            }
        };

        // The cells fill every block exactly: their volumes add up to the
        // volume its boundary surfaces enclose, each is positive, an inner
        // face is shared by two cells that know each other and a border face
        // belongs to one (the validator checks that the border faces are the
        // boundary polygons).
        TEST_P( BlockCells, fill_every_block_of_a_sample_model )
        {
            const auto sample = built_sample( GetParam(), true );
            const auto& model = sample.model;

            const auto report = validate_model( model );
            EXPECT_TRUE( report.is_valid() ) << report.string();
            ASSERT_GT( model.nb_blocks(), 0 );
            for( const auto& block : model.blocks() )
            {
                SCOPED_TRACE( block.name() );
                const auto& mesh = block.mesh();
                ASSERT_GT( mesh.nb_polyhedra(), 0 );
                double cells_volume{ 0 };
                for( index_t cell = 0; cell < mesh.nb_polyhedra(); cell++ )
                {
                    const auto volume = polyhedron_volume( mesh, cell );
                    EXPECT_GT( volume, 0 ) << "cell " << cell;
                    cells_volume += volume;
                }
                const auto expected = enclosed_volume( model, block );
                EXPECT_NEAR( cells_volume, expected, 1e-9 * expected );

                for( const auto& [nodes, facets] :
                    facets_by_nodes( model, block ) )
                {
                    ASSERT_LE( facets.size(), 2 ) << "a face of three cells";
                    const auto across = mesh.polyhedron_adjacent( facets[0] );
                    if( facets.size() == 2 )
                    {
                        EXPECT_EQ( across, facets[1].polyhedron_id );
                        EXPECT_EQ( mesh.polyhedron_adjacent( facets[1] ),
                            facets[0].polyhedron_id );
                    }
                    else
                    {
                        EXPECT_FALSE( across.has_value() );
                    }
                }
            }
        }

        TEST_P( BlockCells, are_not_made_when_the_options_say_so )
        {
            const auto sample = built_sample( GetParam(), false );
            for( const auto& block : sample.model.blocks() )
            {
                EXPECT_EQ( block.mesh().nb_polyhedra(), 0 ) << block.name();
                EXPECT_EQ( block.mesh().nb_vertices(), 0 ) << block.name();
            }
        }

        std::vector< test::SampleSize > sample_sizes()
        {
            std::vector< test::SampleSize > sizes;
            for( index_t nb_faults = 0; nb_faults <= 2; nb_faults++ )
            {
                for( index_t nb_horizons = 0; nb_horizons <= 5; nb_horizons++ )
                {
                    sizes.push_back( { nb_horizons, nb_faults } );
                }
            }
            return sizes;
        }

        INSTANTIATE_TEST_SUITE_P( SampleModels, BlockCells,
            testing::ValuesIn( sample_sizes() ),
            []( const testing::TestParamInfo< test::SampleSize >& info )
            {
                return "horizons_" + std::to_string( info.param.nb_horizons )
                       + "_faults_" + std::to_string( info.param.nb_faults );
            } );

        // Two unit squares with a top at 10, a horizon at 5 and a bottom at
        // 0, a block above and one below the horizon, and one slice per
        // surface; the horizon may be raised to the top (a pinch) or above
        // it (a crossing) at chosen pillars.
        struct PinchStrip
        {
            PinchStrip()
            {
                for( const auto& [name, surfaces] :
                    { std::pair{
                          "upper", std::vector{ strip.top, strip.horizon } },
                        std::pair{ "lower",
                            std::vector{ strip.horizon, strip.bottom } } } )
                {
                    const auto& block = strip.builder.add_block();
                    strip.builder.set_name( block, name );
                    for( const auto& surface : surfaces )
                    {
                        strip.builder.add_surface_block_boundary_relationship(
                            strip.model.surface( surface ),
                            strip.model.block( block ) );
                    }
                    blocks.push_back( block );
                }
                for( const auto& surface :
                    { strip.top, strip.horizon, strip.bottom } )
                {
                    const auto& slice = strip.builder.add_surface_collection();
                    strip.builder.add_surface_in_surface_collection(
                        strip.model.surface( surface ),
                        strip.model.surface_collection( slice ) );
                    slices.push_back( slice );
                }
                strip.set_surface_ids(
                    { strip.top, strip.horizon, strip.bottom } );
            }

            void set_horizon_heights(
                const absl::flat_hash_map< index_t, double >& raised )
            {
                for( index_t vertex = 0; vertex < strip.pillars.size();
                     vertex++ )
                {
                    const auto known = raised.find( vertex );
                    const auto height =
                        known == raised.end() ? 5. : known->second;
                    strip.set_pillar(
                        vertex, { { strip.top, 10. }, { strip.horizon, height },
                                    { strip.bottom, 0. } } );
                }
                strip.make_surface_vertices();
                internal::create_unique_vertices(
                    strip.context(), strip.surface_vertices );
            }

            void build_cells()
            {
                internal::build_block_cells(
                    strip.context(), strip.surface_vertices, slices );
            }

            const SolidMesh< 3 >& mesh( std::size_t block ) const
            {
                return strip.model.block( blocks[block] ).mesh();
            }

            test::StripModel strip{ 2 };
            std::vector< uuid > blocks;
            std::vector< uuid > slices;
        };

        struct PinchCase
        {
            const char* name;
            std::vector< index_t > pinched;
        };

        // Over each triangle, the upper cell is a prism, a pyramid, a
        // tetrahedron or nothing as none, one, two or three of its pillars
        // pinch; the lower cells stay prisms. The upper block holds the
        // volume between the top and the horizon.
        TEST( BlockCellsPinches, give_the_cell_kind_of_each_column )
        {
            const std::vector< PinchCase > cases{
                { "no_pinch", {} },
                { "one_pillar", { 0 } },
                { "two_pillars", { 0, 1 } },
                { "a_row_of_pillars", { 0, 1, 2 } },
                { "every_pillar", { 0, 1, 2, 3, 4, 5 } },
            };
            for( const auto& pinch : cases )
            {
                SCOPED_TRACE( pinch.name );
                PinchStrip strip;
                absl::flat_hash_map< index_t, double > raised;
                for( const auto vertex : pinch.pinched )
                {
                    raised[vertex] = 10.;
                }
                strip.set_horizon_heights( raised );
                strip.build_cells();

                const auto& plan_view = strip.strip.plan_view();
                std::array< index_t, 4 > expected_kinds{};
                double expected_volume{ 0 };
                for( index_t triangle = 0; triangle < plan_view.nb_polygons();
                     triangle++ )
                {
                    index_t nb_pinched{ 0 };
                    for( const auto vertex :
                        plan_view.polygon_vertices( triangle ) )
                    {
                        nb_pinched += raised.contains( vertex ) ? 1 : 0;
                    }
                    expected_kinds[nb_pinched]++;
                    // Area 1/2, heights 5 where open.
                    expected_volume += 0.5 * 5. * ( 3. - nb_pinched ) / 3.;
                }
                const auto& upper = strip.mesh( 0 );
                std::array< index_t, 4 > kinds{};
                double volume{ 0 };
                for( index_t cell = 0; cell < upper.nb_polyhedra(); cell++ )
                {
                    const auto kind = upper.polyhedron_type( cell );
                    kinds[kind == PolyhedronType::prism     ? 0
                          : kind == PolyhedronType::pyramid ? 1
                                                            : 2]++;
                    EXPECT_GT( polyhedron_volume( upper, cell ), 0 );
                    volume += polyhedron_volume( upper, cell );
                }
                EXPECT_EQ( kinds[0], expected_kinds[0] ) << "prisms";
                EXPECT_EQ( kinds[1], expected_kinds[1] ) << "pyramids";
                EXPECT_EQ( kinds[2], expected_kinds[2] ) << "tetrahedra";
                EXPECT_NEAR( volume, expected_volume, 1e-12 );

                const auto& lower = strip.mesh( 1 );
                EXPECT_EQ( lower.nb_polyhedra(), plan_view.nb_polygons() );
                for( index_t cell = 0; cell < lower.nb_polyhedra(); cell++ )
                {
                    EXPECT_EQ(
                        lower.polyhedron_type( cell ), PolyhedronType::prism );
                }
            }
        }

        // Cells share their nodes with the surfaces: each block vertex is
        // bound to the unique vertex of the surface node it stands on.
        TEST( BlockCellsPinches, bind_block_vertices_to_the_surface_nodes )
        {
            PinchStrip strip;
            strip.set_horizon_heights( { { 0, 10. } } );
            strip.build_cells();
            const auto& model = strip.strip.model;
            for( const auto& block_id : strip.blocks )
            {
                const auto& block = model.block( block_id );
                for( index_t vertex = 0; vertex < block.mesh().nb_vertices();
                     vertex++ )
                {
                    const auto unique =
                        model.unique_vertex( { block.component_id(), vertex } );
                    ASSERT_NE( unique, NO_ID );
                    bool on_a_surface{ false };
                    for( const auto& other :
                        model.component_mesh_vertices( unique ) )
                    {
                        on_a_surface |=
                            model.has_surface( other.component_id.id() );
                    }
                    EXPECT_TRUE( on_a_surface ) << "vertex " << vertex;
                }
            }
            // Six pillars, three nodes each, the pinched pillar's two upper
            // nodes one: the upper block stands on the top and horizon
            // nodes, 6 + 5 distinct.
            EXPECT_EQ( strip.mesh( 0 ).nb_vertices(), 11 );
            EXPECT_EQ( strip.mesh( 1 ).nb_vertices(), 12 );
        }

        TEST( BlockCellsPinches, refuse_a_surface_crossing_the_next_one )
        {
            PinchStrip strip;
            strip.set_horizon_heights( { { 4, 12. } } );
            EXPECT_THAT(
                [&strip]
                {
                    strip.build_cells();
                },
                testing::ThrowsMessage< TessarkException >( testing::AllOf(
                    testing::HasSubstr( "Cannot build the cells over "
                                        "plan-view triangle" ),
                    testing::HasSubstr( "block upper" ),
                    testing::HasSubstr( "would be inverted" ),
                    testing::HasSubstr( "plan-view vertex 4" ),
                    testing::HasSubstr( "of slice 0" ),
                    testing::HasSubstr( "of slice 1" ) ) ) );
        }
    } // namespace
} // namespace brevane
