#include <pillar/input_inspections.h>

#include <cmath>

#include <absl/container/flat_hash_set.h>

#include <tessark/geometry/projection.h>
#include <tessark/mesh/edged_curve_builder.h>
#include <tessark/search/distance_to_edge.h>
#include <tessark/search/mesh_aabb.h>

namespace brevane
{
    namespace
    {
        // Plan-view distance beyond which a side-boundary vertex is off the
        // topography border (model units).
        constexpr double BORDER_TOLERANCE = 1e-6;

        bool is_finite( const Point3D& point )
        {
            return std::isfinite( point.value( 0 ) )
                   && std::isfinite( point.value( 1 ) )
                   && std::isfinite( point.value( 2 ) );
        }

        // The topography border with a tree over its edges, measuring how
        // far side-boundary vertices stand from it in plan view.
        class TopographyBorderDistance
        {
        public:
            explicit TopographyBorderDistance(
                std::unique_ptr< EdgedCurve< 2 > > border )
                : border_( std::move( border ) ),
                  tree_( create_aabb_tree( *border_ ) ), distance_( *border_ )
            {
            }

            // The issue of a vertex farther than the tolerance from the
            // border: where it should be (its projection on the nearest
            // border edge, with its own z) and how far it is. An empty
            // border has nothing to be far from.
            [[nodiscard]] std::optional< PointTooFarIssue > issue(
                const Point3D& position, index_t unique_vertex ) const
            {
                const auto plan_position = position.project_point( 2 );
                const auto [nearest, distance] =
                    tree_.closest_element_box( plan_position, distance_ );
                if( nearest == NO_ID || distance <= BORDER_TOLERANCE )
                {
                    return std::nullopt;
                }
                const auto target = point_segment_projection(
                    plan_position, border_->segment( nearest ) );
                return PointTooFarIssue{ Point3D{ { target.value( 0 ),
                                             target.value( 1 ),
                                             position.value( 2 ) } },
                    distance, unique_vertex };
            }

        private:
            std::unique_ptr< EdgedCurve< 2 > > border_;
            AABBTree< 2 > tree_;
            DistanceToEdge< 2 > distance_;
        };

        // The unique vertex of a border vertex of a side surface. An unbound
        // vertex could be told apart from no other unbound one, nor moved by
        // the repair; a non-finite one cannot be measured.
        index_t checked_unique_vertex(
            const BRep& model, const Surface< 3 >& surface, index_t vertex )
        {
            const auto unique =
                model.unique_vertex( { surface.component_id(), vertex } );
            TESSARK_EXCEPTION( unique != NO_ID,
                "[PillarStructuralModelBuilder] Vertex ", vertex,
                " of side boundary surface \"", surface.name(), "\" (",
                surface.id().string(), ") is bound to no unique vertex" );
            const auto& position = surface.mesh().point( vertex );
            TESSARK_EXCEPTION( is_finite( position ),
                "[PillarStructuralModelBuilder] Vertex ", vertex,
                " of side boundary surface \"", surface.name(), "\" (",
                surface.id().string(), ") has a non-finite position ",
                position.string() );
            return unique;
        }
    } // namespace

    std::unique_ptr< EdgedCurve< 2 > > internal::build_topography_border(
        const TriangulatedSurface< 2 >& top_surface )
    {
        auto border = EdgedCurve< 2 >::create();
        EdgedCurveBuilder< 2 > builder{ *border };
        absl::flat_hash_map< index_t, index_t > curve_vertex_of;
        const auto curve_vertex = [&]( index_t vertex )
        {
            const auto [found, inserted] =
                curve_vertex_of.try_emplace( vertex, NO_ID );
            if( inserted )
            {
                found->second =
                    builder.create_point( top_surface.point( vertex ) );
            }
            return found->second;
        };
        for( index_t polygon = 0; polygon < top_surface.nb_polygons();
             polygon++ )
        {
            for( local_index_t edge = 0;
                 edge < top_surface.nb_polygon_vertices( polygon ); edge++ )
            {
                const PolygonEdge polygon_edge{ polygon, edge };
                if( !top_surface.is_edge_on_border( polygon_edge ) )
                {
                    continue;
                }
                const auto ends =
                    top_surface.polygon_edge_vertices( polygon_edge );
                const auto start = curve_vertex( ends[0] );
                const auto end = curve_vertex( ends[1] );
                builder.create_edge( start, end );
            }
        }
        return border;
    }

    PointsTooFarFromTopographyBoundaryInspectionResult
    internal::inspect_points_too_far( const TopSurfaceContext& context,
        const TriangulatedSurface< 2 >& top_surface )
    {
        // Every border vertex of every side boundary surface must stand, in
        // plan view, on the border of the top surface. Each unique vertex is
        // measured once, at its first encounter across all side surfaces
        // (surfaces in model order, polygons and their edges in order);
        // inner vertices of the side surfaces are free.
        PointsTooFarFromTopographyBoundaryInspectionResult result;
        const TopographyBorderDistance border{ build_topography_border(
            top_surface ) };
        absl::flat_hash_set< index_t > visited;
        const auto examine = [&]( const Surface< 3 >& surface, index_t vertex )
        {
            const auto unique =
                checked_unique_vertex( context.model, surface, vertex );
            if( !visited.insert( unique ).second )
            {
                return;
            }
            const auto& position = surface.mesh().point( vertex );
            auto issue = border.issue( position, unique );
            if( !issue )
            {
                return;
            }
            result.messages.push_back( concatenate( "Unique vertex with index ",
                unique, " at position ", position.string(),
                " is not close to topography border with a distance of ",
                issue->distance ) );
            result.issues.push_back( *issue );
        };
        for( const auto& surface : context.model.surfaces() )
        {
            if( !is_model_boundary_surface( context, surface )
                || is_top_or_bottom_surface( context, surface ) )
            {
                continue;
            }
            const auto& mesh = surface.mesh();
            for( index_t polygon = 0; polygon < mesh.nb_polygons(); polygon++ )
            {
                for( local_index_t edge = 0;
                     edge < mesh.nb_polygon_vertices( polygon ); edge++ )
                {
                    const PolygonEdge polygon_edge{ polygon, edge };
                    if( !mesh.is_edge_on_border( polygon_edge ) )
                    {
                        continue;
                    }
                    for( const auto vertex :
                        mesh.polygon_edge_vertices( polygon_edge ) )
                    {
                        examine( surface, vertex );
                    }
                }
            }
        }
        return result;
    }
} // namespace brevane
