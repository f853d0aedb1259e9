#include "top_surface/decimate_top_surface.h"

#include <algorithm>

#include <tessark/geometry/distance.h>
#include <tessark/mesh/triangulated_surface_builder.h>

#include <halven/background/background_surface_builder.h>
#include <halven/background/background_surface_constraint_modifier.h>
#include <halven/background/background_surface_modifier.h>

#include <halven/decimation/optimize_background_surface_elements.h>

#include <pillar/background_surface_metric_decimator.h>

#include "top_surface/background_surface_quality_optimizer.h"
#include "top_surface/metric_based_decimator.h"
#include "top_surface/pillar_update.h"

namespace brevane::internal
{
    namespace
    {
        bool is_top_surface(
            const PillarModelContext& context, const uuid& surface )
        {
            return std::find( context.top_surfaces.begin(),
                       context.top_surfaces.end(), surface )
                   != context.top_surfaces.end();
        }

        // Whether each model line touches a top surface, looked up once.
        class LineTags
        {
        public:
            explicit LineTags( const PillarModelContext& context )
            {
                const auto& model = context.model;
                for( const auto& line : model.lines() )
                {
                    bool touches{ false };
                    for( const auto& surface : model.incidences( line.id() ) )
                    {
                        touches =
                            touches || is_top_surface( context, surface.id() );
                    }
                    touches_top_.emplace( line.id(), touches );
                }
            }

            [[nodiscard]] bool is_line( const uuid& id ) const
            {
                return touches_top_.contains( id );
            }

            // False for an id that is not a line.
            [[nodiscard]] bool touches_top( const uuid& id ) const
            {
                const auto found = touches_top_.find( id );
                return found != touches_top_.end() && found->second;
            }

        private:
            absl::flat_hash_map< uuid, bool > touches_top_;
        };

        // For each vertex, whether an edge at it carries a record of a model
        // line, and whether one carries a line away from the tops; one pass
        // over the edges instead of a look-up of every neighbour per vertex.
        struct VertexTraces
        {
            std::vector< bool > on_line;
            std::vector< bool > on_inner_line;
        };

        VertexTraces vertex_traces(
            const LineTags& lines, const ModifiablePlanView& plan_view )
        {
            const auto& surface = plan_view.surface;
            VertexTraces traces{ std::vector< bool >(
                                     surface.nb_vertices(), false ),
                std::vector< bool >( surface.nb_vertices(), false ) };
            for( index_t edge = 0; edge < surface.edges().nb_edges(); edge++ )
            {
                for( const auto& record :
                    plan_view.background.macro_edges( edge ) )
                {
                    if( !lines.is_line( record.mesh_id ) )
                    {
                        continue;
                    }
                    const auto inner = !lines.touches_top( record.mesh_id );
                    for( const auto vertex :
                        surface.edges().edge_vertices( edge ) )
                    {
                        traces.on_line[vertex] = true;
                        traces.on_inner_line[vertex] =
                            traces.on_inner_line[vertex] || inner;
                    }
                }
            }
            return traces;
        }

        // Only what must stay keeps its vertex records: on the border, all
        // but corners and lines away from the tops; inside, top-surface
        // vertices and corners.
        void prune_vertex_records( const PillarModelContext& context,
            const LineTags& lines, const ModifiablePlanView& plan_view,
            BackgroundSurfaceBuilder& builder )
        {
            const auto& model = context.model;
            const auto& surface = plan_view.surface;
            for( index_t vertex = 0; vertex < surface.nb_vertices(); vertex++ )
            {
                const auto on_border = surface.is_vertex_on_border( vertex );
                const auto records =
                    plan_view.background.macro_vertices( vertex );
                for( const auto& record : records )
                {
                    const auto& mesh = record.mesh_id;
                    const auto keep =
                        on_border
                            ? !( model.has_corner( mesh )
                                 || ( lines.is_line( mesh )
                                      && !lines.touches_top( mesh ) ) )
                            : model.has_corner( mesh )
                                  || ( model.has_surface( mesh )
                                       && is_top_surface( context, mesh ) );
                    if( !keep )
                    {
                        builder.remove_macro_vertex_info( record, vertex );
                    }
                }
            }
        }

        // Traces of open lines away from the tops only need to stay traces,
        // not to follow their line's edges: their records forget the edge.
        void generalise_edge_records( const PillarModelContext& context,
            const LineTags& lines, const ModifiablePlanView& plan_view,
            BackgroundSurfaceBuilder& builder )
        {
            const auto& model = context.model;
            const auto nb_edges = plan_view.surface.edges().nb_edges();
            for( index_t edge = 0; edge < nb_edges; edge++ )
            {
                const auto records = plan_view.background.macro_edges( edge );
                const std::array< index_t, 1 > edges{ edge };
                for( const auto& record : records )
                {
                    if( !lines.is_line( record.mesh_id )
                        || lines.touches_top( record.mesh_id ) )
                    {
                        continue;
                    }
                    if( model.is_closed( model.line( record.mesh_id ) ) )
                    {
                        continue;
                    }
                    builder.remove_macro_edge_info( record, edge );
                    builder.add_macro_edge_info(
                        { record.mesh_id, NO_ID }, edges );
                }
            }
        }

        // Around an inner trace of a line away from the tops, vertices
        // closer than 1.2 times the target length lose their records, so
        // that decimation may clear the small triangles along the trace.
        void release_trace_neighbours( const VertexTraces& traces,
            const ModifiablePlanView& plan_view, const Metric& metric,
            BackgroundSurfaceBuilder& builder )
        {
            const auto& surface = plan_view.surface;
            const auto& background = plan_view.background;
            for( index_t vertex = 0; vertex < surface.nb_vertices(); vertex++ )
            {
                if( surface.is_vertex_on_border( vertex )
                    || !traces.on_inner_line[vertex] )
                {
                    continue;
                }
                const auto& point = surface.point( vertex );
                const auto size =
                    metric.grid_metric.metric( point, Vector2D{} );
                for( const auto neighbour :
                    surface.vertices_around_vertex( vertex ) )
                {
                    if( point_point_distance(
                            point, surface.point( neighbour ) )
                        > 1.2 * size )
                    {
                        continue;
                    }
                    const auto vertex_records =
                        background.macro_vertices( neighbour );
                    for( const auto& vertex_record : vertex_records )
                    {
                        builder.remove_macro_vertex_info(
                            vertex_record, neighbour );
                    }
                    for( const auto& corner :
                        surface.polygons_around_vertex( neighbour ) )
                    {
                        const auto element_records =
                            background.macro_elements( corner.polygon_id );
                        for( const auto& element_record : element_records )
                        {
                            builder.remove_macro_element_info(
                                element_record, corner.polygon_id );
                        }
                    }
                }
            }
        }

        // An inner edge without trace joining two traces would give the
        // rebuilt surfaces a triangle spanning both: split it at its middle.
        void split_bridging_edges( const LineTags& lines,
            const ModifiablePlanView& plan_view,
            BackgroundSurfaceModifier& modifier )
        {
            // Splits add no trace: the flags of the vertices stay right.
            const auto traces = vertex_traces( lines, plan_view );
            const auto& surface = plan_view.surface;
            const auto& background = plan_view.background;
            const auto nb_edges = surface.edges().nb_edges();
            for( index_t edge = 0; edge < nb_edges; edge++ )
            {
                // The cheap tests first: few edges join two traces, and
                // whether an edge is still in use is a search of its fan.
                if( !background.macro_edges( edge ).empty() )
                {
                    continue;
                }
                const auto ends = surface.edges().edge_vertices( edge );
                if( ends[0] >= traces.on_line.size()
                    || ends[1] >= traces.on_line.size()
                    || !traces.on_line[ends[0]] || !traces.on_line[ends[1]] )
                {
                    continue;
                }
                if( !modifier.is_edge_active( edge ) )
                {
                    continue;
                }
                if( surface.is_vertex_on_border( ends[0] )
                    && surface.is_vertex_on_border( ends[1] ) )
                {
                    continue;
                }
                auto polygon_edge =
                    surface.polygon_edge_from_vertices( ends[0], ends[1] );
                if( !polygon_edge )
                {
                    polygon_edge =
                        surface.polygon_edge_from_vertices( ends[1], ends[0] );
                }
                const auto middle =
                    surface.edge_barycenter( polygon_edge.value() );
                if( modifier.is_split_edge_valid( *polygon_edge, middle ) )
                {
                    modifier.split_edge( *polygon_edge, middle );
                }
            }
        }
    } // namespace

    PillarMap decimate_top_surface( const PillarModelContext& context,
        const ModifiablePlanView& plan_view, const PillarMap& pillars,
        const Metric& metric )
    {
        auto surface_builder =
            TriangulatedSurfaceBuilder< 2 >::create( plan_view.surface );
        BackgroundSurfaceBuilder background_builder{ plan_view.background };
        BackgroundSurfaceModifier modifier{ plan_view.background,
            background_builder, *surface_builder };

        const LineTags lines{ context };
        prune_vertex_records( context, lines, plan_view, background_builder );
        generalise_edge_records(
            context, lines, plan_view, background_builder );
        PillarMap updated;
        {
            BackgroundSurfaceConstraintModifier constraint_modifier{
                { plan_view.background, modifier }, background_builder,
                ConstraintModifier::CommonConstraints{ 2 }
            };
            const MetricBasedDecimator decimation_operator{
                plan_view.background, metric.grid_metric
            };
            release_trace_neighbours( vertex_traces( lines, plan_view ),
                plan_view, metric, background_builder );
            decimate_background_surface_with_metric(
                constraint_modifier, decimation_operator, metric );
            BackgroundSurfaceQualityOptimizer optimizer;
            optimize_background_surface_elements(
                constraint_modifier, optimizer, 0 );
            updated =
                update_pillars_after_decimation( context, pillars, modifier );
        }

        const auto mappings = modifier.clean();
        std::vector< index_t > old_vertices;
        old_vertices.reserve( updated.size() );
        for( const auto& entry : updated )
        {
            old_vertices.push_back( entry.first );
        }
        std::sort( old_vertices.begin(), old_vertices.end() );
        PillarMap result;
        result.reserve( updated.size() );
        for( const auto old_vertex : old_vertices )
        {
            result.try_emplace(
                mappings.vertices.at( old_vertex ), updated.at( old_vertex ) );
        }

        // Splits only add vertices; the keys follow the compaction anyway.
        split_bridging_edges( lines, plan_view, modifier );
        const auto split_mappings = modifier.clean();
        PillarMap final_pillars;
        final_pillars.reserve( result.size() );
        for( auto& [vertex, pillar] : result )
        {
            final_pillars.emplace(
                split_mappings.vertices.at( vertex ), std::move( pillar ) );
        }
        return final_pillars;
    }
} // namespace brevane::internal
