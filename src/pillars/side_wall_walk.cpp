#include "pillars/side_wall_walk.h"

#include <string>
#include <utility>

#include <absl/container/flat_hash_set.h>

#include <tessark/geometry/distance.h>
#include <tessark/geometry/intersection.h>

#include "pillars/side_wall_edges.h"
#include "pillars/surface_groups.h"

namespace brevane::internal
{
    namespace
    {
        // Where the cut passes at a step of a wall: at a unique vertex, or
        // at a point strictly inside the step's edge.
        struct WallCrossing
        {
            [[nodiscard]] bool is_at_vertex() const
            {
                return unique_vertex != NO_ID;
            }

            index_t unique_vertex{ NO_ID };
            Point3D point;
        };

        std::string wall_description( const BRep& model, const uuid& wall )
        {
            return concatenate( "side wall ", model.surface( wall ).name(),
                " (", wall.string(), ")" );
        }

        std::string step_description( const PathStep& step )
        {
            if( step.is_at_vertex() )
            {
                return concatenate( "vertex ", step.vertex );
            }
            return concatenate( "edge ", step.edge.string() );
        }

        // A crossing within 1e-6 of an end of its edge is taken as passing
        // through that end, so that the surfaces and lines meeting there are
        // all recorded, and the walk goes on from the vertex.
        WallCrossing locate_crossing( const SideWallContext& context,
            const uuid& wall, const PathStep& step, const Plane& plane )
        {
            if( step.is_at_vertex() )
            {
                return { surface_unique_vertex( context, wall, step.vertex ),
                    {} };
            }
            const auto& mesh = context.model.surface( wall ).mesh();
            const auto segment = mesh.segment( step.edge );
            const auto intersection =
                segment_plane_intersection( segment, plane );
            TESSARK_EXCEPTION( intersection.has_intersection(),
                "[define_border_pillar] The cut of ",
                wall_description( context.model, wall ), " at its edge ",
                step.edge.string(), " from ", segment.vertices()[0].string(),
                " to ", segment.vertices()[1].string(),
                " finds no single point where the cutting plane crosses it: "
                "the "
                "edge lies in the plane, or has no length. Check the side "
                "wall's triangles there." );
            const auto& point = *intersection.result;
            for( local_index_t end = 0; end < 2; end++ )
            {
                if( point_point_distance( point, segment.vertices()[end] )
                    <= GLOBAL_EPSILON )
                {
                    return { surface_unique_vertex( context, wall,
                                 mesh.polygon_edge_vertex( step.edge, end ) ),
                        point };
                }
            }
            return { NO_ID, point };
        }

        void record_crossing( const SideWallContext& context, const uuid& wall,
            const PathStep& step, const WallCrossing& crossing,
            KnownPoints& known_points, LineSet& lines )
        {
            if( crossing.is_at_vertex() )
            {
                record_vertex_components(
                    context, crossing.unique_vertex, known_points, lines );
            }
            else
            {
                record_edge_components( context, step.edge, crossing.point,
                    wall, known_points, lines );
            }
        }
    } // namespace

    void walk_side_wall( const SideWallContext& context, const Plane& plane,
        CutDirection direction, const uuid& wall, index_t vertex,
        KnownPoints& known_points, LineSet& lines )
    {
        const auto layers = layer_surfaces_at(
            context, surface_unique_vertex( context, wall, vertex ) );
        TESSARK_EXCEPTION( !layers.empty(), "[define_border_pillar] Vertex ",
            vertex, " of ", wall_description( context.model, wall ),
            " where the cut starts, at ",
            context.model.surface( wall ).mesh().point( vertex ).string(),
            ", is on no top, bottom, horizon or fault surface. Check that the "
            "surfaces meeting the side wall there are tagged." );
        const PlaneSurfacePathFinder finder{ context.model.surface( wall ),
            plane, direction };
        const auto path =
            finder.find_path( PathStep{ {}, POSITION::outside, vertex } );
        if( !path )
        {
            return;
        }
        auto current = wall;
        auto step = path->back();
        // The walk is deterministic from (wall, step): meeting one again
        // means the cut runs round a loop of walls.
        absl::flat_hash_set< std::pair< uuid, PathStep > > passed;
        while( !reaches_top_or_bottom( context, current, step ) )
        {
            TESSARK_EXCEPTION( passed.emplace( current, step ).second,
                "[define_border_pillar] The cut from ",
                wall_description( context.model, wall ), " comes back to ",
                wall_description( context.model, current ), " at ",
                step_description( step ), ": it closes on itself" );
            const auto crossing =
                locate_crossing( context, current, step, plane );
            record_crossing(
                context, current, step, crossing, known_points, lines );
            const auto left = current;
            const auto next =
                crossing.is_at_vertex()
                    ? next_wall_from_vertex( context, crossing.unique_vertex,
                        current, plane, direction )
                    : next_wall_from_edge(
                        context, step.edge, current, plane, direction );
            TESSARK_EXCEPTION( next.has_value(),
                "[define_border_pillar] The cut of ",
                wall_description( context.model, left ),
                " finds no model boundary to go on with at ",
                step_description( step ) );
            step = *next;
        }
        record_crossing( context, current, step,
            locate_crossing( context, current, step, plane ), known_points,
            lines );
    }

    std::optional< PathStep > next_wall_from_edge(
        const SideWallContext& context, const PolygonEdge& edge, uuid& wall,
        const Plane& plane, CutDirection direction )
    {
        const auto next = other_model_boundary_edge( context, wall, edge );
        if( !next )
        {
            return std::nullopt;
        }
        const PlaneSurfacePathFinder finder{
            context.model.surface( next->surface ), plane, direction
        };
        // The cut enters the next wall through its copy of the edge.
        const auto path =
            finder.find_path( PathStep{ next->edge, POSITION::inside, NO_ID } );
        TESSARK_EXCEPTION( path.has_value(),
            "[define_border_pillar] The cut of ",
            wall_description( context.model, wall ), " leaving it at edge ",
            edge.string(), " finds no way into ",
            wall_description( context.model, next->surface ), " from its edge ",
            next->edge.string() );
        wall = next->surface;
        return path->back();
    }

    std::optional< PathStep > next_wall_from_vertex(
        const SideWallContext& context, index_t unique_vertex, uuid& wall,
        const Plane& plane, CutDirection direction )
    {
        const auto& model = context.model;
        for( const auto& vertex :
            model.component_mesh_vertices( unique_vertex ) )
        {
            const auto& candidate = vertex.component_id.id();
            if( vertex.component_id.type().get() != "Surface"
                || candidate == wall || !is_side_wall( context, candidate ) )
            {
                continue;
            }
            const PlaneSurfacePathFinder finder{ model.surface( candidate ),
                plane, direction };
            if( const auto path = finder.find_path(
                    PathStep{ {}, POSITION::outside, vertex.vertex } ) )
            {
                wall = candidate;
                return path->back();
            }
        }
        return std::nullopt;
    }
} // namespace brevane::internal
