#include <algorithm>

#include <tessark/geometry/distance.h>
#include <tessark/search/ray_tracing.h>

#include "pillars/border_pillar.h"
#include "pillars/pillar_context.h"

namespace brevane::internal
{
    namespace
    {
        bool contains( absl::Span< const uuid > ids, const uuid& id )
        {
            return std::find( ids.begin(), ids.end(), id ) != ids.end();
        }

        // Every surface touching a corner through a line at it, and every
        // surface embedding it, gets the corner's point.
        void record_corner_points(
            const PillarContext& context, KnownPoints& known_points )
        {
            const auto& model = context.model.model;
            const auto& background = context.model.background_surface;
            for( const auto& macro_vertex :
                background.macro_vertices( context.pillar.vertex ) )
            {
                if( !model.has_corner( macro_vertex.mesh_id ) )
                {
                    continue;
                }
                const auto& corner = model.corner( macro_vertex.mesh_id );
                const auto& point = corner.mesh().point( macro_vertex.vertex );
                for( const auto& line : model.incidences( corner.id() ) )
                {
                    for( const auto& surface : model.incidences( line.id() ) )
                    {
                        known_points.try_emplace( surface.id(), point );
                    }
                }
                for( const auto& surface : model.embedding_surfaces( corner.id() ) )
                {
                    known_points.try_emplace( surface.id(), point );
                }
            }
        }

        // Lines passing within 1e-6 of the pillar give their incident
        // surfaces the height of the nearest point of the passing edge. A
        // trace that forgot its line's edge in decimation looks it up.
        void record_line_points(
            const PillarContext& context, KnownPoints& known_points )
        {
            const auto& model = context.model.model;
            const auto& background = context.model.background_surface;
            const auto& top = context.pillar.top;
            const InfiniteLine3D pillar_line{ Vector3D{ { 0, 0, -1 } }, top };
            for( const auto& macro_edge :
                background.incident_macro_edges( context.pillar.vertex ) )
            {
                if( !model.has_line( macro_edge.mesh_id ) )
                {
                    continue;
                }
                auto edge = macro_edge.edge;
                if( edge == NO_ID && context.model.line_trees != nullptr )
                {
                    edge = line_edge_along_pillar( model,
                        *context.model.line_trees, macro_edge.mesh_id,
                        context.segment )
                               .value_or( NO_ID );
                }
                if( edge == NO_ID )
                {
                    continue;
                }
                const auto& line = model.line( macro_edge.mesh_id );
                const auto [distance, on_edge, on_pillar] = segment_line_distance(
                    line.mesh().segment( edge ), pillar_line );
                if( distance > 1e-6 )
                {
                    continue;
                }
                const Point3D point{ { top.value( 0 ), top.value( 1 ),
                    on_edge.value( 2 ) } };
                for( const auto& surface : model.incidences( line.id() ) )
                {
                    known_points.try_emplace( surface.id(), point );
                }
            }
        }

        // The highest hit at the pillar's x and y; none without hits.
        std::optional< Point3D > highest_point(
            const PillarContext& context, const RayTracing3D& tracer )
        {
            std::optional< double > highest;
            for( const auto& hit : tracer.all_intersections() )
            {
                if( !highest || hit.point.value( 2 ) > *highest )
                {
                    highest = hit.point.value( 2 );
                }
            }
            if( !highest )
            {
                return std::nullopt;
            }
            const auto& top = context.pillar.top;
            return Point3D{ { top.value( 0 ), top.value( 1 ), *highest } };
        }

        // The highest height at which the pillar meets each wanted surface,
        // by mesh index of the trees, from one walk of the tree over all the
        // surfaces: the same hits as a walk of each surface's own tree.
        class PillarTraces
        {
        public:
            PillarTraces(
                const PillarContext& context, const std::vector< bool >& wanted )
                : context_( context ),
                  tracers_( context.model.trees.mesh_trees.size() )
            {
                auto trace = [this, &wanted]( index_t mesh, index_t polygon )
                {
                    if( !wanted[mesh] )
                    {
                        return;
                    }
                    auto& tracer = tracers_[mesh];
                    if( !tracer )
                    {
                        const auto& model = context_.model;
                        tracer.emplace(
                            model.model.surface( model.trees.mesh_ids[mesh] )
                                .mesh(),
                            context_.segment.vertices()[0], context_.segment );
                    }
                    ( *tracer )( polygon );
                };
                context.model.trees.compute_segment_mesh_element_intersections(
                    context.segment, trace );
            }

            [[nodiscard]] std::optional< Point3D > point( index_t mesh ) const
            {
                const auto& tracer = tracers_[mesh];
                if( !tracer )
                {
                    return std::nullopt;
                }
                return highest_point( context_, *tracer );
            }

        private:
            const PillarContext& context_;
            std::vector< std::optional< RayTracing3D > > tracers_;
        };

    } // namespace

    std::optional< Point3D > trace_surface_along_pillar(
        const PillarContext& context, const uuid& surface )
    {
        const auto& trees = context.model.trees;
        const auto& tree = trees.mesh_trees[trees.uuid_to_mesh_index.at( surface )];
        if( tree.nb_bboxes() == 0 )
        {
            return std::nullopt;
        }
        const auto& segment = context.segment;
        RayTracing3D tracer{ context.model.model.surface( surface ).mesh(),
            segment.vertices()[0], segment };
        tree.compute_segment_element_bbox_intersections( segment, tracer );
        return highest_point( context, tracer );
    }

    void complete_pillar_intersections(
        const PillarContext& context, const KnownPoints& known_points )
    {
        // Only the listed surfaces without a known point are traced: the
        // side walls a border pillar runs along never are.
        const auto& trees = context.model.trees;
        std::vector< bool > wanted( trees.mesh_trees.size(), false );
        bool any_wanted{ false };
        for_each_listed_surface( context.model,
            [&]( const uuid& surface )
            {
                if( !known_points.contains( surface ) )
                {
                    wanted[trees.uuid_to_mesh_index.at( surface )] = true;
                    any_wanted = true;
                }
            } );
        std::optional< PillarTraces > traces;
        if( any_wanted )
        {
            traces.emplace( context, wanted );
        }
        for_each_listed_surface( context.model,
            [&]( const uuid& surface )
            {
                if( const auto known = known_points.find( surface );
                    known != known_points.end() )
                {
                    context.pillar.intersections.push_back(
                        { surface, known->second } );
                }
                else if( const auto traced = traces->point(
                             trees.uuid_to_mesh_index.at( surface ) ) )
                {
                    context.pillar.intersections.push_back(
                        { surface, *traced } );
                }
            } );
    }

    Pillar define_pillar( const PillarModelContext& context,
        index_t vertex,
        double top_z,
        double bottom_z )
    {
        const auto& plan_view = context.background_surface.surface();
        const auto& point = plan_view.point( vertex );
        const auto x = point.value( 0 );
        const auto y = point.value( 1 );
        Pillar pillar{ vertex, Point3D{ { x, y, top_z } }, {}, {} };
        const PillarContext pillar_context{ context, pillar,
            { pillar.top, Point3D{ { x, y, bottom_z } } } };
        if( plan_view.is_vertex_on_border( vertex ) )
        {
            define_border_pillar( pillar_context );
            return pillar;
        }
        KnownPoints known_points;
        record_corner_points( pillar_context, known_points );
        record_line_points( pillar_context, known_points );
        complete_pillar_intersections( pillar_context, known_points );
        return pillar;
    }

    bool needs_pillar_before_decimation(
        const PillarModelContext& context, index_t vertex )
    {
        const auto& model = context.model;
        for( const auto& macro_edge :
            context.background_surface.incident_macro_edges( vertex ) )
        {
            if( !model.has_line( macro_edge.mesh_id ) )
            {
                continue;
            }
            for( const auto& incidence : model.incidences( macro_edge.mesh_id ) )
            {
                if( contains( context.top_surfaces, incidence.id() ) )
                {
                    return true;
                }
            }
        }
        return context.background_surface.surface().is_vertex_on_border(
            vertex );
    }
} // namespace brevane::internal
