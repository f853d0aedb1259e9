#include "assembly/horizon_surfaces.h"

#include <algorithm>
#include <deque>
#include <memory>
#include <optional>
#include <utility>

#include <absl/container/flat_hash_set.h>

#include <tbb/task_group.h>

#include <tessark/mesh/triangulated_surface_builder.h>

#include "assembly/plan_view_triangles_by_surface.h"
#include "assembly/slice_collection_completion.h"
#include "assembly/slice_collection_items.h"
#include "pillars/surface_groups.h"

namespace brevane::internal
{
    namespace
    {
        // Where the pillar meets the surfaces of the level being rebuilt as
        // `surface`, which a plan-view triangle of that surface touches.
        const Point3D& level_point( const AssemblyContext& context,
            const Pillar& pillar, absl::Span< const uuid > level,
            const uuid& surface )
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
            throw TessarkException{ "[PillarStructuralModelBuilder] The "
                                    "pillar at (",
                pillar.top.value( 0 ), ", ", pillar.top.value( 1 ),
                ") meets no surface of the level of surface \"",
                context.model.surface( surface ).name(), "\" (",
                surface.string(),
                "), though a plan-view triangle of that surface touches it. "
                "Check that the surface reaches the pillar there and is "
                "joined to its neighbours along shared lines." };
        }

        void add_link( SurfaceVerticesOnPillar& vertices, const uuid& surface,
            index_t surface_vertex )
        {
            // The vertex first: comparing it is cheaper than the uuid.
            if( std::none_of( vertices.begin(), vertices.end(),
                    [&]( const std::pair< uuid, index_t >& link )
                    {
                        return link.second == surface_vertex
                               && link.first == surface;
                    } ) )
            {
                vertices.emplace_back( surface, surface_vertex );
            }
        }

        // link_top_vertex, with room made on first use for one vertex per
        // surface the pillar meets.
        void record_top_vertex( const AssemblyContext& context,
            TopVertexSurfaceVertices& top_vertex_surface_vertices,
            index_t top_vertex, const uuid& surface, index_t surface_vertex )
        {
            auto& vertices = top_vertex_surface_vertices[top_vertex];
            if( vertices.empty() )
            {
                vertices.reserve(
                    context.pillars[top_vertex].intersections.size() );
            }
            add_link( vertices, surface, surface_vertex );
        }

        // What the mesh of one rebuilt surface is made from: its points and
        // its triangles, on vertices numbered from first_vertex.
        struct SurfaceMeshJob
        {
            std::unique_ptr< TriangulatedSurfaceBuilder3D > builder;
            index_t first_vertex;
            std::vector< Point3D > points;
            std::vector< index_t > corners;

            // Touches only this surface's mesh.
            void run()
            {
                builder->create_vertices(
                    static_cast< index_t >( points.size() ) );
                for( index_t vertex = 0; vertex < points.size(); vertex++ )
                {
                    builder->set_point( first_vertex + vertex, points[vertex] );
                }
                builder->create_polygons( corners, 3 );
                builder->compute_polygon_adjacencies();
                // Done: the inputs go at once, not with the stage.
                points = {};
                corners = {};
                builder.reset();
            }
        };

        // Prepares the surface's mesh as build_surface_from_pillars says and
        // records its vertices on the pillars; the mesh is made by running
        // the job. surface_vertex_of_top holds NO_ID for every plan-view
        // vertex, and does again on return: it maps the plan-view vertices
        // to this mesh's vertices while the job is prepared.
        SurfaceMeshJob prepare_surface( const AssemblyContext& context,
            const uuid& surface, absl::Span< const index_t > triangles,
            const SliceLevel& level,
            TopVertexSurfaceVertices& top_vertex_surface_vertices,
            std::vector< index_t >& surface_vertex_of_top )
        {
            SurfaceMeshJob job{
                context.builder
                    .surface_mesh_builder< TriangulatedSurfaceBuilder3D >(
                        surface ),
                context.model.surface( surface ).mesh().nb_vertices(), {}, {}
            };
            const auto& plan_view = context.background_surface.surface();
            // One mesh vertex per plan-view vertex, numbered in order of
            // first use by the triangles, however many triangles share it.
            std::vector< index_t > top_vertices;
            auto& corners = job.corners;
            corners.resize( 3 * triangles.size() );
            for( std::size_t triangle = 0; triangle < triangles.size();
                 triangle++ )
            {
                for( local_index_t local = 0; local < 3; local++ )
                {
                    const auto top_vertex = plan_view.polygon_vertex(
                        { triangles[triangle], local } );
                    auto& vertex = surface_vertex_of_top[top_vertex];
                    if( vertex == NO_ID )
                    {
                        vertex =
                            job.first_vertex
                            + static_cast< index_t >( top_vertices.size() );
                        top_vertices.push_back( top_vertex );
                    }
                    corners[3 * triangle + local] = vertex;
                }
            }
            for( const auto top_vertex : top_vertices )
            {
                surface_vertex_of_top[top_vertex] = NO_ID;
            }
            job.points.reserve( top_vertices.size() );
            for( const auto top_vertex : top_vertices )
            {
                job.points.push_back(
                    level_point( context, context.pillars.at( top_vertex ),
                        level.surfaces, surface ) );
            }
            for( index_t vertex = 0; vertex < top_vertices.size(); vertex++ )
            {
                record_top_vertex( context, top_vertex_surface_vertices,
                    top_vertices[vertex], surface, job.first_vertex + vertex );
            }
            // Plan-view triangles run counter-clockwise: kept, they face up.
            if( context.surfaces_facing_down.contains( surface ) )
            {
                for( std::size_t triangle = 0; triangle < triangles.size();
                     triangle++ )
                {
                    std::swap(
                        corners[3 * triangle + 1], corners[3 * triangle + 2] );
                }
            }
            return job;
        }

        // The tasks making the meshes. Left by an exception, it waits for
        // them (their errors dropped for the one in flight) before the jobs
        // they use go.
        class MeshTasks
        {
        public:
            MeshTasks() = default;
            MeshTasks( const MeshTasks& ) = delete;
            MeshTasks& operator=( const MeshTasks& ) = delete;
            ~MeshTasks()
            {
                try
                {
                    tasks_.wait();
                }
                catch( ... )
                {
                    // The exception that is unwinding the stage is the one
                    // reported.
                }
            }

            template < typename Task >
            void run( Task&& task )
            {
                tasks_.run( std::forward< Task >( task ) );
            }

            void wait()
            {
                tasks_.wait();
            }

        private:
            tbb::task_group tasks_;
        };

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
                  top_vertex_surface_vertices_( top_vertex_surface_vertices ),
                  surface_vertex_of_top_(
                      context.background_surface.surface().nb_vertices(),
                      NO_ID )
            {
                top_vertex_surface_vertices_.reserve(
                    surface_vertex_of_top_.size() );
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
                mesh_tasks_.wait();
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
                // The collections and the record of the pillars' vertices
                // are written here, one surface after the other; the meshes,
                // which nothing here reads, are made meanwhile.
                jobs_.push_back( prepare_surface( context_, surface,
                    triangles_of_surface( triangles_, surface ), level,
                    top_vertex_surface_vertices_, surface_vertex_of_top_ ) );
                add_to_slice_collection(
                    context_, { surface }, level.collection );
                auto& job = jobs_.back();
                mesh_tasks_.run(
                    [&job]
                    {
                        job.run();
                    } );
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
            std::vector< index_t > surface_vertex_of_top_;
            absl::flat_hash_set< uuid > rebuilt_;
            // Declared before the tasks, so that they outlive them.
            std::deque< SurfaceMeshJob > jobs_;
            MeshTasks mesh_tasks_;
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
        std::vector< index_t > surface_vertex_of_top(
            context.background_surface.surface().nb_vertices(), NO_ID );
        prepare_surface( context, surface, triangles, level,
            top_vertex_surface_vertices, surface_vertex_of_top )
            .run();
        add_to_slice_collection( context, { surface }, level.collection );
    }

    void link_top_vertex( TopVertexSurfaceVertices& top_vertex_surface_vertices,
        index_t top_vertex, const uuid& surface, index_t surface_vertex )
    {
        add_link(
            top_vertex_surface_vertices[top_vertex], surface, surface_vertex );
    }
} // namespace brevane::internal
