#include "assembly/horizon_surfaces.h"

#include <algorithm>
#include <optional>

#include <absl/container/flat_hash_set.h>

#include <tessark/mesh/triangulated_surface_builder.h>

#include "assembly/plan_view_triangles_by_surface.h"
#include "assembly/slice_collection_completion.h"
#include "assembly/slice_collection_items.h"
#include "pillars/surface_groups.h"

namespace brevane::internal
{
    namespace
    {
        const Point3D& level_point(
            const Pillar& pillar, absl::Span< const uuid > level )
        {
            for( const auto& intersection : pillar.intersections )
            {
                if( std::find(
                        level.begin(), level.end(), intersection.surface )
                    != level.end() )
                {
                    return intersection.point;
                }
            }
            throw TessarkException{ "Surface point not found in pillar" };
        }

        // The stage's state: the plan-view triangles of every surface,
        // bucketed once, and the record of the surface vertices on each
        // pillar.
        class HorizonSurfacesBuilder
        {
        public:
            HorizonSurfacesBuilder( const AssemblyContext& context,
                TopVertexSurfaceVertices& top_vertex_surface_vertices )
                : context_( context ),
                  triangles_( triangles_by_surface( context ) ),
                  top_vertex_surface_vertices_( top_vertex_surface_vertices )
            {
            }

            std::vector< uuid > build()
            {
                std::vector< uuid > collections;
                collections.push_back(
                    build_list_level( context_.top_surfaces ) );
                for( const auto& group : context_.surface_groups_order )
                {
                    const SliceLevel level{
                        context_.builder.add_surface_collection(), group
                    };
                    collections.push_back( level.collection );
                    build_group( level );
                }
                collections.push_back(
                    build_list_level( context_.bottom_surfaces ) );
                return collections;
            }

        private:
            // The level of the top or the bottom list: its surfaces are
            // rebuilt as they are listed, with no completion.
            uuid build_list_level( absl::Span< const uuid > surfaces )
            {
                const SliceLevel level{
                    context_.builder.add_surface_collection(), surfaces
                };
                for( const auto& surface : surfaces )
                {
                    rebuild( surface, level );
                }
                return level.collection;
            }

            // A surface listed in two levels (a top surface that is also a
            // horizon item, say) is rebuilt once, from the first; the later
            // level only takes it into its collection. Its pillar points are
            // the same in both levels (the slice check saw to it).
            void rebuild( const uuid& surface, const SliceLevel& level )
            {
                if( !rebuilt_.insert( surface ).second )
                {
                    add_to_slice_collection(
                        context_, { surface }, level.collection );
                    return;
                }
                build_surface_from_pillars( context_, surface,
                    triangles_of_surface( triangles_, surface ), level,
                    top_vertex_surface_vertices_ );
            }

            // A fault group is rebuilt as the whole fault, items outside the
            // group included; their points still come from the group's
            // surfaces. A horizon group completes its collection after each
            // surface, so each completion sees the surfaces rebuilt before
            // it.
            void build_group( const SliceLevel& level )
            {
                const auto& model = context_.model;
                // An empty group (a fault without items) rebuilds nothing.
                const auto fault =
                    level.surfaces.empty()
                        ? std::nullopt
                        : fault_of_surface( model, level.surfaces.front() );
                if( fault )
                {
                    for( const auto& item :
                        model.fault_items( model.fault( *fault ) ) )
                    {
                        rebuild( item.id(), level );
                    }
                    complete_fault_collection(
                        context_, *fault, level.collection );
                    return;
                }
                for( const auto& surface : level.surfaces )
                {
                    rebuild( surface, level );
                    complete_horizon_collection(
                        context_, surface, level.collection );
                }
            }

            const AssemblyContext& context_;
            const TrianglesBySurface triangles_;
            TopVertexSurfaceVertices& top_vertex_surface_vertices_;
            absl::flat_hash_set< uuid > rebuilt_;
        };
    } // namespace

    std::vector< uuid > build_horizon_surfaces( const AssemblyContext& context,
        TopVertexSurfaceVertices& top_vertex_surface_vertices )
    {
        return HorizonSurfacesBuilder{ context, top_vertex_surface_vertices }
            .build();
    }

    void build_surface_from_pillars( const AssemblyContext& context,
        const uuid& surface, absl::Span< const index_t > triangles,
        const SliceLevel& level,
        TopVertexSurfaceVertices& top_vertex_surface_vertices )
    {
        auto mesh_builder =
            context.builder
                .surface_mesh_builder< TriangulatedSurfaceBuilder3D >(
                    surface );
        const auto& plan_view = context.background_surface.surface();
        // Plan-view vertex to its vertex in this mesh: each pillar point is
        // created once per surface, however many triangles share it.
        absl::flat_hash_map< index_t, index_t > surface_vertices;
        const auto surface_vertex = [&]( index_t top_vertex )
        {
            const auto known = surface_vertices.find( top_vertex );
            if( known != surface_vertices.end() )
            {
                return known->second;
            }
            const auto vertex = mesh_builder->create_point( level_point(
                context.pillars.at( top_vertex ), level.surfaces ) );
            surface_vertices.emplace( top_vertex, vertex );
            link_top_vertex(
                top_vertex_surface_vertices, top_vertex, surface, vertex );
            return vertex;
        };
        // Plan-view triangles run counter-clockwise: kept, they face up.
        const auto facing_down = context.surfaces_facing_down.contains( surface );
        for( const auto triangle : triangles )
        {
            const auto top_vertices = plan_view.polygon_vertices( triangle );
            std::array< index_t, 3 > vertices{ surface_vertex( top_vertices[0] ),
                surface_vertex( top_vertices[1] ),
                surface_vertex( top_vertices[2] ) };
            if( facing_down )
            {
                std::swap( vertices[1], vertices[2] );
            }
            mesh_builder->create_triangle( vertices );
        }
        mesh_builder->compute_polygon_adjacencies();
        add_to_slice_collection( context, { surface }, level.collection );
    }

    void link_top_vertex( TopVertexSurfaceVertices& top_vertex_surface_vertices,
        index_t top_vertex, const uuid& surface, index_t surface_vertex )
    {
        auto& vertices = top_vertex_surface_vertices[top_vertex];
        const std::pair< uuid, index_t > link{ surface, surface_vertex };
        if( std::find( vertices.begin(), vertices.end(), link )
            == vertices.end() )
        {
            vertices.push_back( link );
        }
    }
} // namespace brevane::internal
