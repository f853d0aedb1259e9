#include "pillars/plane_surface_path_finder.h"

#include <algorithm>

#include <tessark/basic/tessark_exception.h>

namespace brevane::internal
{
    namespace
    {
        // The height where the segment meets the plane, from the signed
        // distances of its ends (exact at an end on the plane).
        double crossing_height( const Segment3D& segment, const Plane& plane,
            POSITION position )
        {
            const auto& [first, second] = segment.vertices();
            if( position == POSITION::vertex0 )
            {
                return first.value( 2 );
            }
            if( position == POSITION::vertex1 )
            {
                return second.value( 2 );
            }
            const auto distance = [&plane]( const Point3D& point )
            {
                return plane.normal().dot( Vector3D{ plane.origin(), point } );
            };
            const auto from_first = distance( first );
            const auto from_second = distance( second );
            const auto span = from_first - from_second;
            if( span == 0 )
            {
                return std::min( first.value( 2 ), second.value( 2 ) );
            }
            const auto ratio = from_first / span;
            return first.value( 2 )
                   + ratio * ( second.value( 2 ) - first.value( 2 ) );
        }
    } // namespace

    PlaneSurfacePathFinder::PlaneSurfacePathFinder( const Surface< 3 >& wall,
        const Plane& plane, CutDirection direction )
        : SurfacePathFinder< 3 >( wall.mesh() ), wall_( wall ), plane_( plane ),
          direction_( direction )
    {
    }

    std::optional< SurfacePath > PlaneSurfacePathFinder::find_path(
        const PathStep& start ) const
    {
        // A cut that does not close on itself crosses each edge of the mesh
        // at most once, so a path takes at most one step per edge after its
        // start; one more means the cut has come back onto itself.
        const auto max_steps = surface().edges().nb_edges();
        SurfacePath path{ start };
        while( const auto next = next_step( path ) )
        {
            TESSARK_EXCEPTION( path.size() <= max_steps,
                "[PlaneSurfacePathFinder] The cut of side wall ", wall_.name(),
                " (", wall_.id().string(), ") takes more steps than its ",
                max_steps, " edges: it closes on itself" );
            path.push_back( *next );
        }
        if( path.size() < 2 )
        {
            return std::nullopt;
        }
        return path;
    }

    std::optional< PathStep > PlaneSurfacePathFinder::next_step(
        const SurfacePath& path ) const
    {
        const auto& last = path.back();
        if( last.is_at_vertex() )
        {
            return step_from_vertex( last.vertex );
        }
        // A start on an edge is already in the polygon the cut enters.
        if( path.size() == 1 )
        {
            return step_through_polygon( last.edge );
        }
        const auto across = surface().polygon_adjacent_edge( last.edge );
        if( !across )
        {
            return std::nullopt;
        }
        return step_through_polygon( *across );
    }

    std::optional< PathStep > PlaneSurfacePathFinder::step_from_vertex(
        index_t vertex ) const
    {
        // The cut through a vertex has two branches, one up and one down the
        // wall. Around a vertex the facing edges cross each branch where it
        // leaves the vertex's polygons: the extreme crossing in the
        // direction is on the branch that goes that way.
        const auto& mesh = surface();
        const auto sign = direction_ == CutDirection::down ? 1. : -1.;
        // Heights times the sign: lower is further in the direction.
        std::optional< PathStep > furthest;
        double furthest_height = sign * mesh.point( vertex ).value( 2 );
        for( const auto& corner : mesh.polygons_around_vertex( vertex ) )
        {
            const PolygonEdge facing{ mesh.next_polygon_vertex( corner ) };
            const auto step = crossing( facing );
            if( !step )
            {
                continue;
            }
            const auto height = sign
                                * crossing_height( mesh.segment( facing ),
                                    plane_, step->position );
            if( height < furthest_height )
            {
                furthest = step;
                furthest_height = height;
            }
        }
        return furthest;
    }

    std::optional< PathStep > PlaneSurfacePathFinder::step_through_polygon(
        const PolygonEdge& edge ) const
    {
        // The other edges of the polygon, going backwards from the one
        // entered (for a triangle: the previous edge, then the next one).
        const auto& mesh = surface();
        for( auto other = mesh.previous_polygon_edge( edge ); other != edge;
             other = mesh.previous_polygon_edge( other ) )
        {
            if( auto step = crossing( other ) )
            {
                return step;
            }
        }
        return std::nullopt;
    }

    std::optional< PathStep > PlaneSurfacePathFinder::crossing(
        const PolygonEdge& edge ) const
    {
        const auto& mesh = surface();
        const auto position = segment_plane_intersection_detection(
            mesh.segment( edge ), plane_ );
        if( position == POSITION::outside )
        {
            return std::nullopt;
        }
        PathStep step{ edge, position, NO_ID };
        if( position == POSITION::vertex0 )
        {
            step.vertex = mesh.polygon_edge_vertex( edge, 0 );
        }
        else if( position == POSITION::vertex1 )
        {
            step.vertex = mesh.polygon_edge_vertex( edge, 1 );
        }
        return step;
    }
} // namespace brevane::internal
