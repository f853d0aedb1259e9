#include "support/mesh_fixtures.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <set>
#include <utility>
#include <vector>

#include <absl/strings/str_cat.h>

#include <tessark/mesh/edged_curve_builder.h>
#include <tessark/mesh/polygonal_surface_builder.h>
#include <tessark/mesh/triangulated_surface_builder.h>

namespace brevane::test
{
    namespace
    {
        template < index_t D >
        std::unique_ptr< TriangulatedSurface< D > > fan(
            index_t nb_triangles, double angle_step, bool closed )
        {
            auto surface = TriangulatedSurface< D >::create();
            auto builder = TriangulatedSurfaceBuilder< D >::create( *surface );
            builder->create_point( planar_point< D >( 0, 0 ) );
            const auto nb_rim = closed ? nb_triangles : nb_triangles + 1;
            for( index_t rim = 0; rim < nb_rim; rim++ )
            {
                const auto angle = angle_step * rim;
                builder->create_point(
                    planar_point< D >( std::cos( angle ), std::sin( angle ) ) );
            }
            for( index_t triangle = 0; triangle < nb_triangles; triangle++ )
            {
                builder->create_triangle(
                    { 0, triangle + 1, ( triangle + 1 ) % nb_rim + 1 } );
            }
            builder->compute_polygon_adjacencies();
            return surface;
        }

        // Triangulates the unit squares of an nb_x * nb_y grid kept by the
        // predicate; only the vertices of kept squares are created, in grid
        // order.
        template < index_t D, typename Keep >
        std::unique_ptr< TriangulatedSurface< D > > square_triangles(
            index_t nb_x, index_t nb_y, const Keep& keep )
        {
            auto surface = TriangulatedSurface< D >::create();
            auto builder = TriangulatedSurfaceBuilder< D >::create( *surface );
            const auto grid_index = [nb_x]( index_t x, index_t y )
            {
                return y * ( nb_x + 1 ) + x;
            };
            std::vector< bool > used( ( nb_x + 1 ) * ( nb_y + 1 ), false );
            for( index_t y = 0; y < nb_y; y++ )
            {
                for( index_t x = 0; x < nb_x; x++ )
                {
                    if( keep( x, y ) )
                    {
                        used[grid_index( x, y )] = true;
                        used[grid_index( x + 1, y )] = true;
                        used[grid_index( x, y + 1 )] = true;
                        used[grid_index( x + 1, y + 1 )] = true;
                    }
                }
            }
            std::vector< index_t > vertex_of( used.size(), NO_ID );
            for( index_t y = 0; y <= nb_y; y++ )
            {
                for( index_t x = 0; x <= nb_x; x++ )
                {
                    if( used[grid_index( x, y )] )
                    {
                        vertex_of[grid_index( x, y )] =
                            builder->create_point( planar_point< D >( x, y ) );
                    }
                }
            }
            for( index_t y = 0; y < nb_y; y++ )
            {
                for( index_t x = 0; x < nb_x; x++ )
                {
                    if( !keep( x, y ) )
                    {
                        continue;
                    }
                    const auto v00 = vertex_of[grid_index( x, y )];
                    const auto v10 = vertex_of[grid_index( x + 1, y )];
                    const auto v11 = vertex_of[grid_index( x + 1, y + 1 )];
                    const auto v01 = vertex_of[grid_index( x, y + 1 )];
                    builder->create_triangle( { v00, v10, v11 } );
                    builder->create_triangle( { v00, v11, v01 } );
                }
            }
            builder->compute_polygon_adjacencies();
            return surface;
        }
    } // namespace

    template < index_t D >
    Point< D > planar_point( double x, double y )
    {
        Point< D > point;
        point.set_value( 0, x );
        point.set_value( 1, y );
        return point;
    }

    template < index_t D >
    std::unique_ptr< TriangulatedSurface< D > > closed_fan()
    {
        return fan< D >( 6, std::numbers::pi / 3, true );
    }

    template < index_t D >
    std::unique_ptr< TriangulatedSurface< D > > open_fan()
    {
        return fan< D >( 4, std::numbers::pi / 4, false );
    }

    template < index_t D >
    std::unique_ptr< TriangulatedSurface< D > > square_ring()
    {
        return square_triangles< D >( 3, 3,
            []( index_t x, index_t y )
            {
                return x != 1 || y != 1;
            } );
    }

    template < index_t D >
    std::unique_ptr< TriangulatedSurface< D > > l_shape()
    {
        return square_triangles< D >( 4, 4,
            []( index_t x, index_t y )
            {
                return x < 2 || y < 2;
            } );
    }

    template < index_t D >
    std::unique_ptr< TriangulatedSurface< D > > grid_surface(
        index_t nb_x, index_t nb_y )
    {
        return square_triangles< D >( nb_x, nb_y,
            []( index_t, index_t )
            {
                return true;
            } );
    }

    template < index_t D >
    std::unique_ptr< PolygonalSurface< D > > quad_grid(
        index_t nb_x, index_t nb_y )
    {
        auto surface = PolygonalSurface< D >::create();
        auto builder = PolygonalSurfaceBuilder< D >::create( *surface );
        for( index_t y = 0; y <= nb_y; y++ )
        {
            for( index_t x = 0; x <= nb_x; x++ )
            {
                builder->create_point( planar_point< D >( x, y ) );
            }
        }
        for( index_t y = 0; y < nb_y; y++ )
        {
            for( index_t x = 0; x < nb_x; x++ )
            {
                const auto v00 = y * ( nb_x + 1 ) + x;
                const auto v01 = v00 + nb_x + 1;
                builder->create_polygon(
                    std::vector< index_t >{ v00, v00 + 1, v01 + 1, v01 } );
            }
        }
        builder->compute_polygon_adjacencies();
        return surface;
    }

    template < index_t D >
    std::unique_ptr< EdgedCurve< D > > zigzag_polyline( index_t nb_edges )
    {
        auto curve = EdgedCurve< D >::create();
        auto builder = EdgedCurveBuilder< D >::create( *curve );
        for( index_t vertex = 0; vertex <= nb_edges; vertex++ )
        {
            builder->create_point( planar_point< D >( vertex, vertex % 2 ) );
        }
        for( index_t edge = 0; edge < nb_edges; edge++ )
        {
            builder->create_edge( edge, edge + 1 );
        }
        return curve;
    }

    template < index_t D >
    std::vector< std::string > surface_inconsistencies(
        const SurfaceMesh< D >& surface )
    {
        std::vector< std::string > problems;
        std::map< std::pair< index_t, index_t >, std::vector< PolygonEdge > >
            directed;
        std::vector< std::set< std::pair< index_t, int > > > corners(
            surface.nb_vertices() );
        std::vector< bool > starts_border( surface.nb_vertices(), false );
        std::vector< bool > edge_used( surface.edges().nb_edges(), false );
        for( index_t polygon = 0; polygon < surface.nb_polygons(); polygon++ )
        {
            for( local_index_t local = 0;
                 local < surface.nb_polygon_vertices( polygon ); local++ )
            {
                const PolygonEdge edge{ polygon, local };
                const auto vertices = surface.polygon_edge_vertices( edge );
                directed[{ vertices[0], vertices[1] }].push_back( edge );
                corners[vertices[0]].emplace( polygon, local );
                const auto unique = surface.polygon_edge( edge );
                if( unique >= surface.edges().nb_edges() )
                {
                    problems.push_back(
                        absl::StrCat( edge.string(), " has edge ", unique ) );
                    continue;
                }
                edge_used[unique] = true;
                auto ends = surface.edges().edge_vertices( unique );
                std::sort( ends.begin(), ends.end() );
                if( ends
                    != std::array< index_t, 2 >{
                        std::min( vertices[0], vertices[1] ),
                        std::max( vertices[0], vertices[1] ) } )
                {
                    problems.push_back( absl::StrCat( edge.string(),
                        " has edge ", unique, " of other vertices" ) );
                }
                if( surface.edges().edge_from_vertices( vertices ) != unique )
                {
                    problems.push_back( absl::StrCat( "edge of ", edge.string(),
                        " not found from its vertices" ) );
                }
            }
        }
        for( const auto& [vertices, edges] : directed )
        {
            const auto opposite =
                directed.find( { vertices.second, vertices.first } );
            std::optional< index_t > expected;
            if( edges.size() == 1 && opposite != directed.end()
                && opposite->second.size() == 1 )
            {
                expected = opposite->second.front().polygon_id;
            }
            for( const auto& edge : edges )
            {
                if( surface.polygon_adjacent( edge ) != expected )
                {
                    problems.push_back(
                        absl::StrCat( "adjacency of ", edge.string(), " is ",
                            surface.polygon_adjacent( edge ).value_or( NO_ID ),
                            ", expected ", expected.value_or( NO_ID ) ) );
                }
                if( !expected )
                {
                    starts_border[vertices.first] = true;
                }
            }
        }
        for( index_t edge = 0; edge < surface.edges().nb_edges(); edge++ )
        {
            if( !edge_used[edge] )
            {
                problems.push_back(
                    absl::StrCat( "edge ", edge, " is unused" ) );
            }
        }
        for( index_t vertex = 0; vertex < surface.nb_vertices(); vertex++ )
        {
            const auto link = surface.polygon_around_vertex( vertex );
            if( link.has_value() == corners[vertex].empty() )
            {
                problems.push_back( absl::StrCat(
                    "vertex ", vertex, " link and use disagree" ) );
                continue;
            }
            if( !link )
            {
                continue;
            }
            if( surface.polygon_vertex( *link ) != vertex )
            {
                problems.push_back( absl::StrCat(
                    "vertex ", vertex, " linked to ", link->string() ) );
            }
            if( surface.is_vertex_on_border( vertex ) != starts_border[vertex] )
            {
                problems.push_back( absl::StrCat(
                    "vertex ", vertex, " border flag is wrong" ) );
            }
            // The corners reached from the link through brute-force
            // adjacency across the edges at the vertex: all of them on a
            // manifold vertex, one fan where several fans meet.
            std::set< std::pair< index_t, int > > reached{ { link->polygon_id,
                link->vertex_id } };
            std::vector< PolygonVertex > stack{ *link };
            while( !stack.empty() )
            {
                const auto current = stack.back();
                stack.pop_back();
                const auto next = surface.next_polygon_vertex( current );
                const auto previous =
                    surface.previous_polygon_vertex( current );
                for( const auto other : { surface.polygon_vertex( next ),
                         surface.polygon_vertex( previous ) } )
                {
                    const auto forward = directed.find( { vertex, other } );
                    const auto backward = directed.find( { other, vertex } );
                    if( forward == directed.end() || backward == directed.end()
                        || forward->second.size() != 1
                        || backward->second.size() != 1 )
                    {
                        continue;
                    }
                    for( const auto& edge :
                        { forward->second.front(), backward->second.front() } )
                    {
                        if( edge.polygon_id == current.polygon_id )
                        {
                            continue;
                        }
                        for( const auto& [polygon, local] : corners[vertex] )
                        {
                            if( polygon == edge.polygon_id
                                && reached.emplace( polygon, local ).second )
                            {
                                stack.emplace_back( polygon,
                                    static_cast< local_index_t >( local ) );
                            }
                        }
                    }
                }
            }
            std::set< std::pair< index_t, int > > fan;
            for( const auto& corner : surface.polygons_around_vertex( vertex ) )
            {
                fan.emplace( corner.polygon_id, corner.vertex_id );
            }
            if( fan != reached )
            {
                problems.push_back(
                    absl::StrCat( "vertex ", vertex, " fan has ", fan.size(),
                        " corners, expected ", reached.size() ) );
            }
        }
        if( surface.polygon_attribute_manager().nb_elements()
                != surface.nb_polygons()
            || surface.edges().edge_attribute_manager().nb_elements()
                   != surface.edges().nb_edges() )
        {
            problems.push_back( "attribute managers have the wrong size" );
        }
        return problems;
    }

    template std::vector< std::string > surface_inconsistencies< 2 >(
        const SurfaceMesh< 2 >& );
    template std::vector< std::string > surface_inconsistencies< 3 >(
        const SurfaceMesh< 3 >& );
    template Point< 2 > planar_point< 2 >( double, double );
    template Point< 3 > planar_point< 3 >( double, double );
    template std::unique_ptr< TriangulatedSurface< 2 > > closed_fan< 2 >();
    template std::unique_ptr< TriangulatedSurface< 3 > > closed_fan< 3 >();
    template std::unique_ptr< TriangulatedSurface< 2 > > open_fan< 2 >();
    template std::unique_ptr< TriangulatedSurface< 3 > > open_fan< 3 >();
    template std::unique_ptr< TriangulatedSurface< 2 > > square_ring< 2 >();
    template std::unique_ptr< TriangulatedSurface< 3 > > square_ring< 3 >();
    template std::unique_ptr< TriangulatedSurface< 2 > > l_shape< 2 >();
    template std::unique_ptr< TriangulatedSurface< 3 > > l_shape< 3 >();
    template std::unique_ptr< TriangulatedSurface< 2 > > grid_surface< 2 >(
        index_t, index_t );
    template std::unique_ptr< TriangulatedSurface< 3 > > grid_surface< 3 >(
        index_t, index_t );
    template std::unique_ptr< PolygonalSurface< 2 > > quad_grid< 2 >(
        index_t, index_t );
    template std::unique_ptr< PolygonalSurface< 3 > > quad_grid< 3 >(
        index_t, index_t );
    template std::unique_ptr< EdgedCurve< 2 > > zigzag_polyline< 2 >( index_t );
    template std::unique_ptr< EdgedCurve< 3 > > zigzag_polyline< 3 >( index_t );
} // namespace brevane::test
