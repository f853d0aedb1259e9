#include "background_checks.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

#include <absl/strings/str_cat.h>

#include <tessark/geometry/predicates.h>

namespace brevane::internal::test
{
    namespace
    {
        bool polygon_live(
            const BackgroundSurfaceModifier* modifier, index_t polygon )
        {
            return modifier == nullptr || !modifier->is_polygon_deleted( polygon );
        }

        double area( const Triangle2D& triangle )
        {
            const auto& p = triangle.vertices();
            const Vector2D u{ p[0], p[1] };
            const Vector2D v{ p[0], p[2] };
            return 0.5 * ( u.value( 0 ) * v.value( 1 ) - u.value( 1 ) * v.value( 0 ) );
        }
    } // namespace

    double live_area( const BackgroundSurface& background,
        const BackgroundSurfaceModifier* modifier )
    {
        const auto& surface = background.surface();
        double total{ 0 };
        for( index_t polygon = 0; polygon < surface.nb_polygons(); polygon++ )
        {
            if( polygon_live( modifier, polygon ) )
            {
                total += area( surface.triangle( polygon ) );
            }
        }
        return total;
    }

    std::vector< std::string > background_problems(
        const BackgroundSurface& background,
        const BackgroundSurfaceModifier* modifier )
    {
        std::vector< std::string > problems;
        const auto& surface = background.surface();
        std::map< std::pair< index_t, index_t >, PolygonEdge > directed;
        std::vector< std::set< std::pair< index_t, local_index_t > > > corners(
            surface.nb_vertices() );
        std::set< index_t > used_edges;
        for( index_t polygon = 0; polygon < surface.nb_polygons(); polygon++ )
        {
            if( !polygon_live( modifier, polygon ) )
            {
                continue;
            }
            if( triangle_area_sign( surface.triangle( polygon ) )
                != SIDE::positive )
            {
                problems.push_back(
                    absl::StrCat( "triangle ", polygon, " is not positive" ) );
            }
            for( local_index_t local = 0; local < 3; local++ )
            {
                const PolygonEdge edge{ polygon, local };
                const auto vertices = surface.polygon_edge_vertices( edge );
                if( modifier != nullptr
                    && ( modifier->is_vertex_deleted( vertices[0] ) ) )
                {
                    problems.push_back( absl::StrCat( "triangle ", polygon,
                        " uses deleted vertex ", vertices[0] ) );
                }
                corners[vertices[0]].emplace( polygon, local );
                if( !directed.emplace( std::make_pair( vertices[0], vertices[1] ), edge )
                         .second )
                {
                    problems.push_back( absl::StrCat( "directed edge ",
                        vertices[0], " -> ", vertices[1], " used twice" ) );
                }
                const auto unique = surface.polygon_edge( edge );
                const auto found =
                    surface.edges().edge_from_vertices( { vertices[0], vertices[1] } );
                if( !found || *found != unique )
                {
                    problems.push_back( absl::StrCat( "polygon edge ",
                        edge.string(), " has a wrong unique edge" ) );
                }
                used_edges.insert( unique );
                if( modifier != nullptr && !modifier->is_edge_active( unique ) )
                {
                    problems.push_back( absl::StrCat(
                        "edge ", unique, " is used but not active" ) );
                }
            }
        }
        for( const auto& [key, edge] : directed )
        {
            const auto reverse =
                directed.find( std::make_pair( key.second, key.first ) );
            const auto adjacent = surface.polygon_adjacent( edge );
            if( reverse == directed.end() )
            {
                if( adjacent )
                {
                    problems.push_back( absl::StrCat( "border edge ",
                        edge.string(), " has adjacent ", *adjacent ) );
                }
                continue;
            }
            if( !adjacent || *adjacent != reverse->second.polygon_id )
            {
                problems.push_back( absl::StrCat( "edge ", edge.string(),
                    " is not adjacent to ", reverse->second.string() ) );
            }
        }
        for( index_t vertex = 0; vertex < surface.nb_vertices(); vertex++ )
        {
            const bool deleted =
                modifier != nullptr && modifier->is_vertex_deleted( vertex );
            if( deleted && !background.macro_vertices( vertex ).empty() )
            {
                problems.push_back( absl::StrCat(
                    "deleted vertex ", vertex, " has macro records" ) );
            }
            if( corners[vertex].empty() )
            {
                if( !surface.is_vertex_isolated( vertex ) )
                {
                    problems.push_back( absl::StrCat( "unused vertex ", vertex,
                        " is linked to a triangle" ) );
                }
                continue;
            }
            std::set< std::pair< index_t, local_index_t > > fan;
            try
            {
                for( const auto& corner : surface.polygons_around_vertex( vertex ) )
                {
                    fan.emplace( corner.polygon_id, corner.vertex_id );
                }
            }
            catch( const std::exception& error )
            {
                problems.push_back( absl::StrCat(
                    "fan of vertex ", vertex, " fails: ", error.what() ) );
                continue;
            }
            if( fan != corners[vertex] )
            {
                problems.push_back( absl::StrCat( "fan of vertex ", vertex,
                    " has ", fan.size(), " corners instead of ",
                    corners[vertex].size() ) );
            }
            bool on_border{ false };
            for( const auto& [polygon, local] : corners[vertex] )
            {
                const PolygonEdge outgoing{ polygon, local };
                const auto incoming = surface.previous_polygon_edge( outgoing );
                on_border = on_border || surface.is_edge_on_border( outgoing )
                            || surface.is_edge_on_border( incoming );
            }
            if( on_border != surface.is_vertex_on_border( vertex ) )
            {
                problems.push_back( absl::StrCat(
                    "vertex ", vertex, " border status is wrong" ) );
            }
        }
        for( index_t polygon = 0; polygon < surface.nb_polygons(); polygon++ )
        {
            if( !polygon_live( modifier, polygon )
                && !background.macro_elements( polygon ).empty() )
            {
                problems.push_back( absl::StrCat(
                    "deleted triangle ", polygon, " has macro records" ) );
            }
        }
        for( index_t edge = 0; edge < surface.edges().nb_edges(); edge++ )
        {
            if( !background.macro_edges( edge ).empty()
                && used_edges.count( edge ) == 0 )
            {
                problems.push_back( absl::StrCat(
                    "unused edge ", edge, " has macro records" ) );
            }
        }
        return problems;
    }
} // namespace brevane::internal::test
