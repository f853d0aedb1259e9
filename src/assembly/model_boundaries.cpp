#include "assembly/model_boundaries.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include <absl/container/flat_hash_set.h>
#include <absl/container/inlined_vector.h>

#include <tessark/basic/tessark_exception.h>

#include "assembly/unique_vertices.h"
#include "pillars/surface_groups.h"

namespace brevane::internal
{
    namespace
    {
        template < typename Container, typename Value >
        bool contains( const Container& container, const Value& value )
        {
            return std::find( container.begin(), container.end(), value )
                   != container.end();
        }

        // The surface whose level a boundary line marks: the first surface
        // incident to the line that is a horizon, top, bottom or fault
        // surface, each surface tested in that order.
        std::optional< uuid > level_surface_of_line(
            const AssemblyContext& context, const uuid& line )
        {
            for( const auto& incident : context.model.incidences( line ) )
            {
                const auto& surface = incident.id();
                if( is_in_collection_of_type(
                        context.model, surface, "Horizon" )
                    || is_top_surface( context, surface )
                    || is_bottom_surface( context, surface )
                    || is_fault_surface( context.model, surface ) )
                {
                    return surface;
                }
            }
            return std::nullopt;
        }

        // The vertex of the boundary mesh standing for the node where the
        // pillar of the plan-view vertex meets the intersection's surface:
        // the one already made for its unique vertex, or a new one.
        index_t boundary_vertex( const AssemblyContext& context,
            const TopVertexSurfaceVertices& surface_vertices,
            index_t top_vertex, const PillarIntersection& intersection,
            BoundaryMesh& mesh )
        {
            const auto surface_vertex = pillar_surface_vertex(
                surface_vertices, top_vertex, intersection.surface );
            const auto unique_vertex =
                context.model.unique_vertex( surface_vertex );
            TESSARK_EXCEPTION( unique_vertex != NO_ID,
                "[build_model_boundaries] ", surface_vertex.string(),
                " on the pillar of plan-view vertex ", top_vertex,
                " is bound to no unique vertex" );
            const auto [entry, inserted] =
                mesh.vertex_map.try_emplace( unique_vertex, NO_ID );
            if( inserted )
            {
                entry->second =
                    mesh.builder->create_point( intersection.point );
            }
            return entry->second;
        }

        enum struct WalkDirection
        {
            forward,
            backward
        };

        // Rebuilds one lateral boundary along the border of the plan view,
        // from a border edge carrying one of its lines.
        class BoundaryRebuild
        {
        public:
            BoundaryRebuild( const AssemblyContext& context,
                const TopVertexSurfaceVertices& surface_vertices,
                const uuid& boundary )
                : context_( context ), surface_vertices_( surface_vertices ),
                  plan_view_( context.background_surface.surface() ),
                  mesh_( context.builder, boundary )
            {
                // A line has a level surface exactly when it is a horizon
                // or a fault line.
                for( const auto& line : context.model.boundaries( boundary ) )
                {
                    if( const auto surface =
                            level_surface_of_line( context, line.id() ) )
                    {
                        level_surfaces_.emplace( line.id(), *surface );
                    }
                }
            }

            std::string wall_name() const
            {
                return concatenate( "\"",
                    context_.model.surface( mesh_.boundary ).name(), "\" (",
                    mesh_.boundary.string(), ")" );
            }

            // Where a plan-view edge runs, for messages.
            std::string edge_position( index_t edge ) const
            {
                const auto& vertices = plan_view_.edges().edge_vertices( edge );
                const auto& from = plan_view_.point( vertices[0] );
                const auto& to = plan_view_.point( vertices[1] );
                return concatenate( "edge from (", from.value( 0 ), ", ",
                    from.value( 1 ), ") to (", to.value( 0 ), ", ",
                    to.value( 1 ), ")" );
            }

            void rebuild( const PolygonEdge& seed )
            {
                seed_edge_ = plan_view_.polygon_edge( seed );
                // Back at the seed, the forward walk has gone round the whole
                // border: walking backward would make every polygon again.
                if( !walk( seed, WalkDirection::forward ) )
                {
                    walk( plan_view_.previous_on_border( seed ),
                        WalkDirection::backward );
                }
                mesh_.builder->compute_polygon_adjacencies();
                bind_vertices();
            }

        private:
            // Makes the polygons of the border edges from start on, one after
            // the other in the direction, as long as they carry lines of the
            // boundary. Returns true when the walk came back to the seed.
            bool walk( PolygonEdge current, WalkDirection direction )
            {
                // Each border edge is met once before the seed comes back;
                // more steps mean that the border does not close.
                const auto max_steps = plan_view_.edges().nb_edges();
                for( index_t step = 0; step < max_steps; step++ )
                {
                    const auto surfaces = edge_level_surfaces(
                        plan_view_.polygon_edge( current ) );
                    if( !surfaces )
                    {
                        return false;
                    }
                    build_boundary_polygon( context_, surface_vertices_,
                        plan_view_.polygon_edge_vertices( current ), *surfaces,
                        mesh_ );
                    current = direction == WalkDirection::forward
                                  ? plan_view_.next_on_border( current )
                                  : plan_view_.previous_on_border( current );
                    if( plan_view_.polygon_edge( current ) == seed_edge_ )
                    {
                        return true;
                    }
                }
                throw TessarkException{ "[build_model_boundaries] The walk of "
                                        "side wall ",
                    wall_name(), " along the plan-view border from ",
                    edge_position( seed_edge_ ),
                    " does not come back to where it started. Check that the "
                    "side walls close around the model and meet the top "
                    "surfaces along lines." };
            }

            // The level surfaces of the last two distinct boundary lines the
            // edge carries, none when it carries no boundary line.
            std::optional< std::array< uuid, 2 > > edge_level_surfaces(
                index_t edge ) const
            {
                const auto& records =
                    context_.background_surface.macro_edges( edge );
                std::optional< uuid > last;
                for( auto record = records.rbegin(); record != records.rend();
                     ++record )
                {
                    const auto& line = record->mesh_id;
                    if( !level_surfaces_.contains( line ) )
                    {
                        continue;
                    }
                    if( !last )
                    {
                        last = line;
                    }
                    else if( line != *last )
                    {
                        const auto& first = level_surfaces_.at( *last );
                        return std::array< uuid, 2 >{ first,
                            level_surfaces_.at( line ) };
                    }
                }
                if( !last )
                {
                    return std::nullopt;
                }
                throw TessarkException{ "[build_model_boundaries] The "
                                        "plan-view border ",
                    edge_position( edge ),
                    " carries fewer than two lines of "
                    "side wall ",
                    wall_name(),
                    ". Check that the side wall meets the top, the bottom and "
                    "every horizon it crosses along lines." };
            }

            // Binds the vertices in mesh order.
            void bind_vertices()
            {
                std::vector< index_t > unique_vertices(
                    context_.model.surface( mesh_.boundary )
                        .mesh()
                        .nb_vertices(),
                    NO_ID );
                for( const auto& [unique_vertex, vertex] : mesh_.vertex_map )
                {
                    unique_vertices[vertex] = unique_vertex;
                }
                context_.builder.set_unique_vertices(
                    { component_types::surface(), mesh_.boundary },
                    unique_vertices );
            }

            const AssemblyContext& context_;
            const TopVertexSurfaceVertices& surface_vertices_;
            const TriangulatedSurface2D& plan_view_;
            BoundaryMesh mesh_;
            // The boundary's horizon and fault lines, each with the surface
            // whose level it marks.
            absl::flat_hash_map< uuid, uuid > level_surfaces_;
            index_t seed_edge_{ NO_ID };
        };

        // Rebuilds, from this border edge, the lateral boundaries incident
        // to the horizon lines it carries that are not rebuilt yet.
        void rebuild_boundaries_from_edge( const AssemblyContext& context,
            const TopVertexSurfaceVertices& surface_vertices,
            const PolygonEdge& border_edge,
            absl::flat_hash_set< uuid >& processed )
        {
            const auto& plan_view = context.background_surface.surface();
            for( const auto& record : context.background_surface.macro_edges(
                     plan_view.polygon_edge( border_edge ) ) )
            {
                const auto& line = context.model.line( record.mesh_id ).id();
                if( !is_horizon_line( context, line ) )
                {
                    continue;
                }
                for( const auto& surface : context.model.incidences( line ) )
                {
                    if( is_lateral_boundary( context, surface.id() )
                        && processed.insert( surface.id() ).second )
                    {
                        BoundaryRebuild{ context, surface_vertices,
                            surface.id() }
                            .rebuild( border_edge );
                    }
                }
            }
        }
    } // namespace

    bool is_lateral_boundary(
        const AssemblyContext& context, const uuid& surface )
    {
        return is_in_collection_of_type(
                   context.model, surface, "ModelBoundary" )
               && !is_top_surface( context, surface )
               && !is_bottom_surface( context, surface );
    }

    BoundaryMesh::BoundaryMesh(
        StructuralModelBuilder& model_builder, const uuid& id )
        : boundary( id ),
          builder(
              model_builder.surface_mesh_builder< PolygonalSurfaceBuilder3D >(
                  id ) )
    {
    }

    void build_model_boundaries( const AssemblyContext& context,
        const TopVertexSurfaceVertices& surface_vertices )
    {
        const auto& plan_view = context.background_surface.surface();
        absl::flat_hash_set< uuid > processed;
        for( index_t polygon = 0; polygon < plan_view.nb_polygons(); polygon++ )
        {
            if( !plan_view.is_polygon_on_border( polygon ) )
            {
                continue;
            }
            for( local_index_t local = 0; local < 3; local++ )
            {
                const PolygonEdge border_edge{ polygon, local };
                if( plan_view.is_edge_on_border( border_edge ) )
                {
                    rebuild_boundaries_from_edge(
                        context, surface_vertices, border_edge, processed );
                }
            }
        }
    }

    void build_boundary_polygon( const AssemblyContext& context,
        const TopVertexSurfaceVertices& surface_vertices,
        const std::array< index_t, 2 >& edge_vertices,
        const std::array< uuid, 2 >& surfaces, BoundaryMesh& mesh )
    {
        absl::InlinedVector< Point3D, 10 > points;
        absl::InlinedVector< index_t, 4 > vertices;
        for( const auto top_vertex : edge_vertices )
        {
            for( const auto& intersection :
                context.pillars.at( top_vertex ).intersections )
            {
                if( !contains( surfaces, intersection.surface )
                    || contains( points, intersection.point ) )
                {
                    continue;
                }
                points.push_back( intersection.point );
                // Two nodes within the framework's tolerance share a unique
                // vertex, hence a vertex, even when their points differ.
                const auto vertex = boundary_vertex(
                    context, surface_vertices, top_vertex, intersection, mesh );
                if( !contains( vertices, vertex ) )
                {
                    vertices.push_back( vertex );
                }
            }
        }
        // The plan view's border runs counter-clockwise, the model on its
        // left: going down p0 then up p1 faces the polygon to the right,
        // out of the model.
        if( vertices.size() == 4 )
        {
            mesh.builder->create_polygon( std::array< index_t, 4 >{
                vertices[0], vertices[1], vertices[3], vertices[2] } );
        }
        else if( vertices.size() == 3 )
        {
            const auto& boundary_mesh =
                context.model.surface( mesh.boundary ).mesh();
            const auto& first = boundary_mesh.point( vertices[0] );
            const auto& second = boundary_mesh.point( vertices[1] );
            const auto same_pillar = first.value( 0 ) == second.value( 0 )
                                     && first.value( 1 ) == second.value( 1 );
            mesh.builder->create_polygon(
                same_pillar ? std::array< index_t, 3 >{ vertices[0],
                    vertices[1], vertices[2] }
                            : std::array< index_t, 3 >{
                                vertices[0], vertices[2], vertices[1] } );
        }
    }
} // namespace brevane::internal
