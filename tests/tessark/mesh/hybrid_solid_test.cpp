#include <algorithm>
#include <array>
#include <map>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tessark/mesh/hybrid_solid_builder.h>

namespace brevane
{
    namespace
    {
        // A unit hexahedron (0) with a pyramid (1) on its top, a prism (2)
        // against its x = 1 side and a tetrahedron (3) on the prism's top.
        std::unique_ptr< HybridSolid3D > mixed_solid()
        {
            auto solid = HybridSolid3D::create();
            auto builder = HybridSolidBuilder3D::create( *solid );
            const std::vector< Point3D > points{ Point3D{ { 0, 0, 0 } },
                Point3D{ { 1, 0, 0 } }, Point3D{ { 1, 1, 0 } },
                Point3D{ { 0, 1, 0 } }, Point3D{ { 0, 0, 1 } },
                Point3D{ { 1, 0, 1 } }, Point3D{ { 1, 1, 1 } },
                Point3D{ { 0, 1, 1 } }, Point3D{ { 0.5, 0.5, 1.5 } },
                Point3D{ { 2, 0, 0 } }, Point3D{ { 2, 0, 1 } },
                Point3D{ { 1.3, 0.3, 2 } } };
            for( const auto& point : points )
            {
                builder->create_point( point );
            }
            builder->create_hexahedron( { 0, 1, 2, 3, 4, 5, 6, 7 } );
            builder->create_pyramid( { 4, 5, 6, 7, 8 } );
            builder->create_prism( { 1, 9, 2, 5, 10, 6 } );
            builder->create_tetrahedron( { 5, 10, 6, 11 } );
            builder->compute_polyhedron_adjacencies();
            return solid;
        }

        Point3D centroid(
            const HybridSolid3D& solid, absl::Span< const index_t > vertices )
        {
            Point3D sum;
            for( const auto vertex : vertices )
            {
                sum += solid.point( vertex );
            }
            return sum / static_cast< double >( vertices.size() );
        }
        // A stack of prism layers over a grid of n x n squares cut in two
        // triangles, created in one call; every third prism of the middle
        // layer is left out, so that the search meets holes.
        std::unique_ptr< HybridSolid3D > prism_stack(
            index_t n, index_t nb_layers )
        {
            auto solid = HybridSolid3D::create();
            auto builder = HybridSolidBuilder3D::create( *solid );
            const auto row = n + 1;
            const auto level = row * row;
            std::vector< Point3D > points;
            for( index_t z = 0; z <= nb_layers; z++ )
            {
                for( index_t y = 0; y <= n; y++ )
                {
                    for( index_t x = 0; x <= n; x++ )
                    {
                        points.push_back( Point3D{ { static_cast< double >( x ),
                            static_cast< double >( y ),
                            static_cast< double >( z ) } } );
                    }
                }
            }
            builder->create_points( points );
            std::vector< PolyhedronType > types;
            std::vector< index_t > vertices;
            index_t count{ 0 };
            for( index_t z = 0; z < nb_layers; z++ )
            {
                for( index_t y = 0; y < n; y++ )
                {
                    for( index_t x = 0; x < n; x++ )
                    {
                        const auto corner = z * level + y * row + x;
                        for( const auto& triangle :
                            { std::array< index_t, 3 >{
                                  corner, corner + 1, corner + row + 1 },
                                std::array< index_t, 3 >{
                                    corner, corner + row + 1, corner + row } } )
                        {
                            if( z == nb_layers / 2 && count++ % 3 == 0 )
                            {
                                continue;
                            }
                            types.push_back( PolyhedronType::prism );
                            for( const auto shift : { index_t{ 0 }, level } )
                            {
                                for( const auto vertex : triangle )
                                {
                                    vertices.push_back( vertex + shift );
                                }
                            }
                        }
                    }
                }
            }
            EXPECT_EQ( builder->create_polyhedra( types, vertices ), 0 );
            builder->compute_polyhedron_adjacencies();
            return solid;
        }

        // The adjacencies from a table of every facet: two polyhedra are
        // adjacent across a facet that exactly they hold.
        std::map< std::pair< index_t, local_index_t >, index_t >
        facet_table_adjacencies( const HybridSolid3D& solid )
        {
            std::map< std::vector< index_t >, std::vector< PolyhedronFacet > >
                facets;
            for( index_t polyhedron = 0; polyhedron < solid.nb_polyhedra();
                 polyhedron++ )
            {
                for( local_index_t facet = 0;
                     facet < solid.nb_polyhedron_facets( polyhedron ); facet++ )
                {
                    const auto vertices = solid.polyhedron_facet_vertices(
                        { polyhedron, facet } );
                    std::vector< index_t > key(
                        vertices.begin(), vertices.end() );
                    std::sort( key.begin(), key.end() );
                    facets[key].push_back( { polyhedron, facet } );
                }
            }
            std::map< std::pair< index_t, local_index_t >, index_t > result;
            for( const auto& [key, holders] : facets )
            {
                if( holders.size() != 2 )
                {
                    continue;
                }
                for( local_index_t side = 0; side < 2; side++ )
                {
                    result.emplace( std::pair{ holders[side].polyhedron_id,
                                        holders[side].facet_id },
                        holders[1 - side].polyhedron_id );
                }
            }
            return result;
        }
    } // namespace

    TEST( HybridSolid, facets_turn_counter_clockwise_seen_from_outside )
    {
        const auto solid = mixed_solid();
        for( index_t polyhedron = 0; polyhedron < solid->nb_polyhedra();
             polyhedron++ )
        {
            const auto vertices = solid->polyhedron_vertices( polyhedron );
            EXPECT_EQ(
                vertices.size(), solid->nb_polyhedron_vertices( polyhedron ) );
            const auto center = centroid( *solid, vertices );
            for( local_index_t facet = 0;
                 facet < solid->nb_polyhedron_facets( polyhedron ); facet++ )
            {
                const auto facet_vertices =
                    solid->polyhedron_facet_vertices( { polyhedron, facet } );
                // Newell's normal of the facet polygon.
                Vector3D normal;
                for( std::size_t i = 0; i < facet_vertices.size(); i++ )
                {
                    const auto& current = solid->point( facet_vertices[i] );
                    const auto& next = solid->point(
                        facet_vertices[( i + 1 ) % facet_vertices.size()] );
                    normal = normal
                             + Vector3D{ Vector3D{ current.values() }.cross(
                                 Vector3D{ next.values() } ) };
                }
                const Vector3D outward{ center,
                    centroid( *solid, facet_vertices ) };
                EXPECT_GT( normal.dot( outward ), 0 )
                    << polyhedron_type_name(
                           solid->polyhedron_type( polyhedron ) )
                    << " facet " << static_cast< int >( facet );
            }
        }
    }

    TEST( HybridSolid, polyhedra_sharing_a_facet_are_adjacent )
    {
        const auto solid = mixed_solid();
        EXPECT_EQ( solid->polyhedron_type( 2 ), PolyhedronType::prism );
        const std::vector< std::pair< PolyhedronFacet, index_t > > shared{
            { { 0, 1 }, 1 }, { { 1, 0 }, 0 }, { { 0, 3 }, 2 }, { { 2, 4 }, 0 },
            { { 2, 1 }, 3 }, { { 3, 3 }, 2 }
        };
        index_t nb_adjacent{ 0 };
        for( index_t polyhedron = 0; polyhedron < solid->nb_polyhedra();
             polyhedron++ )
        {
            for( local_index_t facet = 0;
                 facet < solid->nb_polyhedron_facets( polyhedron ); facet++ )
            {
                const PolyhedronFacet current{ polyhedron, facet };
                std::optional< index_t > expected;
                for( const auto& [shared_facet, adjacent] : shared )
                {
                    if( shared_facet == current )
                    {
                        expected = adjacent;
                    }
                }
                EXPECT_EQ( solid->polyhedron_adjacent( current ), expected )
                    << current.string();
                nb_adjacent += expected ? 1 : 0;
            }
        }
        EXPECT_EQ( nb_adjacent, shared.size() );
        EXPECT_THROW(
            static_cast< void >( solid->polyhedron_adjacent( { 3, 4 } ) ),
            TessarkException );
    }

    TEST( HybridSolid, deleting_polyhedra_opens_their_facets )
    {
        auto solid = mixed_solid();
        auto tags = solid->polyhedron_attribute_manager()
                        .find_or_create_attribute< VariableAttribute, int >(
                            "tag", -1 );
        for( index_t polyhedron = 0; polyhedron < 4; polyhedron++ )
        {
            tags->set_value( polyhedron, static_cast< int >( polyhedron ) );
        }
        auto builder = HybridSolidBuilder3D::create( *solid );
        EXPECT_THAT( builder->delete_polyhedra( { false, false, true, false } ),
            testing::ElementsAre( 0, 1, NO_ID, 2 ) );
        EXPECT_EQ( solid->polyhedron_type( 2 ), PolyhedronType::tetrahedron );
        EXPECT_EQ( tags->value( 2 ), 3 );
        EXPECT_FALSE( solid->polyhedron_adjacent( { 0, 3 } ) );
        EXPECT_FALSE( solid->polyhedron_adjacent( { 2, 3 } ) );
        EXPECT_EQ( solid->polyhedron_adjacent( { 1, 0 } ), 0 );

        EXPECT_THAT( builder->delete_isolated_vertices(),
            testing::ElementsAre(
                0, 1, 2, 3, 4, 5, 6, 7, 8, NO_ID, 10 - 1, 11 - 1 ) );
        EXPECT_THAT( solid->polyhedron_vertices( 2 ),
            testing::ElementsAre( 5, 9, 6, 10 ) );
        EXPECT_EQ( solid->point( 10 ), ( Point3D{ { 1.3, 0.3, 2 } } ) );
        EXPECT_THROW(
            builder->delete_vertices( std::vector< bool >( 11, true ) ),
            TessarkException );
    }

    TEST( HybridSolid, checks_cells_and_non_manifold_facets )
    {
        auto solid = HybridSolid3D::create();
        auto builder = HybridSolidBuilder3D::create( *solid );
        builder->create_vertices( 6 );
        EXPECT_THROW(
            builder->create_tetrahedron( { 0, 1, 1, 2 } ), TessarkException );
        EXPECT_THROW(
            builder->create_tetrahedron( { 0, 1, 2, 6 } ), TessarkException );
        builder->create_tetrahedron( { 0, 1, 2, 3 } );
        builder->create_tetrahedron( { 0, 2, 1, 4 } );
        builder->create_tetrahedron( { 0, 2, 1, 5 } );
        builder->compute_polyhedron_adjacencies();
        for( index_t polyhedron = 0; polyhedron < 3; polyhedron++ )
        {
            for( local_index_t facet = 0; facet < 4; facet++ )
            {
                EXPECT_FALSE(
                    solid->polyhedron_adjacent( { polyhedron, facet } ) );
            }
        }
        EXPECT_EQ( solid->polyhedron_attribute_manager().nb_elements(), 3 );
    }

    TEST( HybridSolid, adjacencies_match_a_table_of_every_facet )
    {
        const auto solid = prism_stack( 6, 4 );
        const auto expected = facet_table_adjacencies( *solid );
        index_t nb_adjacent{ 0 };
        for( index_t polyhedron = 0; polyhedron < solid->nb_polyhedra();
             polyhedron++ )
        {
            for( local_index_t facet = 0;
                 facet < solid->nb_polyhedron_facets( polyhedron ); facet++ )
            {
                const auto known = expected.find( { polyhedron, facet } );
                EXPECT_EQ( solid->polyhedron_adjacent( { polyhedron, facet } ),
                    known == expected.end()
                        ? std::nullopt
                        : std::optional< index_t >{ known->second } )
                    << polyhedron << " " << static_cast< int >( facet );
                nb_adjacent += known == expected.end() ? 0 : 1;
            }
        }
        EXPECT_GT( nb_adjacent, solid->nb_polyhedra() );
    }

    // Polyhedra created in one call are those created one by one.
    TEST( HybridSolid, creates_polyhedra_in_bulk )
    {
        const auto one_by_one = mixed_solid();
        auto solid = HybridSolid3D::create();
        auto builder = HybridSolidBuilder3D::create( *solid );
        std::vector< Point3D > points;
        for( index_t vertex = 0; vertex < one_by_one->nb_vertices(); vertex++ )
        {
            points.push_back( one_by_one->point( vertex ) );
        }
        EXPECT_EQ( builder->create_points( points ), 0 );
        builder->create_tetrahedron( { 5, 10, 6, 11 } );
        const std::vector< PolyhedronType > types{ PolyhedronType::hexahedron,
            PolyhedronType::pyramid, PolyhedronType::prism };
        const std::vector< index_t > vertices{ 0, 1, 2, 3, 4, 5, 6, 7, 4, 5, 6,
            7, 8, 1, 9, 2, 5, 10, 6 };
        EXPECT_EQ( builder->create_polyhedra( types, vertices ), 1 );
        builder->compute_polyhedron_adjacencies();
        ASSERT_EQ( solid->nb_polyhedra(), 4 );
        EXPECT_EQ( solid->polyhedron_attribute_manager().nb_elements(), 4 );
        // Polyhedron p of the bulk solid is polyhedron (p + 3) % 4 there.
        for( index_t polyhedron = 0; polyhedron < 4; polyhedron++ )
        {
            const auto other = ( polyhedron + 3 ) % 4;
            EXPECT_EQ( solid->polyhedron_vertices( polyhedron ),
                one_by_one->polyhedron_vertices( other ) );
            for( local_index_t facet = 0;
                 facet < solid->nb_polyhedron_facets( polyhedron ); facet++ )
            {
                const auto adjacent =
                    one_by_one->polyhedron_adjacent( { other, facet } );
                EXPECT_EQ( solid->polyhedron_adjacent( { polyhedron, facet } ),
                    adjacent ? std::optional< index_t >{ ( *adjacent + 1 ) % 4 }
                             : std::nullopt );
            }
        }
    }

    // A bulk creation that fails names the polyhedron and creates nothing.
    TEST( HybridSolid, bulk_creation_checks_every_polyhedron_first )
    {
        auto solid = HybridSolid3D::create();
        auto builder = HybridSolidBuilder3D::create( *solid );
        builder->create_vertices( 6 );
        builder->create_tetrahedron( { 0, 1, 2, 3 } );
        const std::vector< PolyhedronType > two{ PolyhedronType::tetrahedron,
            PolyhedronType::pyramid };
        const std::vector< std::pair< std::vector< index_t >, const char* > >
            cases{
                { { 0, 1, 2, 4, 0, 1, 2, 3, 6 },
                    "Vertex 6 does not exist (6 vertices) for polyhedron 2" },
                { { 0, 1, 2, 4, 0, 1, 2, 1, 5 },
                    "Vertex 1 given twice in a pyramid for polyhedron 2" },
                { { 0, 1, 2, 4, 0, 1, 2, 3 }, "Polyhedron 2 (a pyramid) lacks "
                                              "vertices" },
                { { 0, 1, 2, 4, 0, 1, 2, 3, 5, 4 },
                    "10 vertices given where the 2 polyhedra have 9" },
            };
        for( const auto& [vertices, message] : cases )
        {
            EXPECT_THAT(
                [&]
                {
                    builder->create_polyhedra( two, vertices );
                },
                testing::ThrowsMessage< TessarkException >(
                    testing::HasSubstr( message ) ) );
            EXPECT_EQ( solid->nb_polyhedra(), 1 );
            EXPECT_EQ( solid->polyhedron_attribute_manager().nb_elements(), 1 );
        }
        EXPECT_EQ( builder->create_polyhedra( {}, {} ), 1 );
        EXPECT_EQ( solid->nb_polyhedra(), 1 );
    }
} // namespace brevane
