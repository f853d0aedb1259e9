#include "chain_checks.h"

#include <algorithm>
#include <limits>
#include <map>
#include <set>

#include <absl/strings/str_cat.h>

namespace brevane::internal::test
{
    namespace
    {
        double distance_to_segment( const Point2D& point, const Segment2D& segment )
        {
            const auto& start = segment.vertices()[0];
            const auto direction = segment.direction();
            const auto length2 = direction.length2();
            double parameter{ 0 };
            if( length2 > 0 )
            {
                parameter = std::clamp(
                    direction.dot( Vector2D{ start, point } ) / length2, 0., 1. );
            }
            return Vector2D{ start + direction * parameter, point }.length();
        }
    } // namespace

    index_t vertex_at( const BackgroundSurface& background,
        const BackgroundSurfaceModifier& modifier,
        const Point2D& point )
    {
        const auto& surface = background.surface();
        index_t best{ NO_ID };
        auto best_distance = std::numeric_limits< double >::max();
        for( index_t vertex = 0; vertex < surface.nb_vertices(); vertex++ )
        {
            if( modifier.is_vertex_deleted( vertex ) || surface.is_vertex_isolated( vertex ) )
            {
                continue;
            }
            const auto distance = Vector2D{ surface.point( vertex ), point }.length();
            if( distance < best_distance )
            {
                best_distance = distance;
                best = vertex;
            }
        }
        return best_distance < GLOBAL_EPSILON ? best : NO_ID;
    }

    std::vector< std::string > chain_problems( const BackgroundSurface& background,
        const BackgroundSurfaceModifier& modifier,
        const MeshEdge& record,
        const Segment2D& segment,
        double tolerance )
    {
        std::vector< std::string > problems;
        const auto& surface = background.surface();
        std::map< index_t, std::vector< index_t > > neighbours;
        index_t nb_edges{ 0 };
        for( index_t edge = 0; edge < surface.edges().nb_edges(); edge++ )
        {
            const auto& records = background.macro_edges( edge );
            if( std::find( records.begin(), records.end(), record ) == records.end() )
            {
                continue;
            }
            if( !modifier.is_edge_active( edge ) )
            {
                problems.push_back( absl::StrCat( "inactive edge ", edge, " carries the record" ) );
                continue;
            }
            const auto& vertices = surface.edges().edge_vertices( edge );
            neighbours[vertices[0]].push_back( vertices[1] );
            neighbours[vertices[1]].push_back( vertices[0] );
            nb_edges++;
        }
        const auto start = vertex_at( background, modifier, segment.vertices()[0] );
        const auto end = vertex_at( background, modifier, segment.vertices()[1] );
        if( start == NO_ID || end == NO_ID )
        {
            problems.push_back( "an end of the segment is not a vertex" );
            return problems;
        }
        if( start == end )
        {
            if( nb_edges != 0 )
            {
                problems.push_back( "a segment ending where it starts has edges" );
            }
            return problems;
        }
        std::set< index_t > visited{ start };
        auto previous = NO_ID;
        auto current = start;
        while( current != end )
        {
            const auto& around = neighbours[current];
            const auto expected = current == start ? 1u : 2u;
            if( around.size() != expected )
            {
                problems.push_back( absl::StrCat( "chain vertex ", current, " has ",
                    around.size(), " chain edges" ) );
                return problems;
            }
            const auto next = around[0] != previous ? around[0] : around[1];
            if( !visited.insert( next ).second )
            {
                problems.push_back( absl::StrCat( "chain loops at vertex ", next ) );
                return problems;
            }
            if( distance_to_segment( surface.point( next ), segment ) > tolerance )
            {
                problems.push_back( absl::StrCat( "chain vertex ", next, " at ",
                    surface.point( next ).string(), " is off the segment" ) );
            }
            previous = current;
            current = next;
        }
        if( neighbours[end].size() != 1 )
        {
            problems.push_back( "the end vertex has several chain edges" );
        }
        if( visited.size() != nb_edges + 1 )
        {
            problems.push_back( absl::StrCat( "chain has ", nb_edges,
                " edges but the path from start to end has ", visited.size() - 1 ) );
        }
        return problems;
    }
} // namespace brevane::internal::test
