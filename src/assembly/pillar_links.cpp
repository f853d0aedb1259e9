#include "assembly/pillar_links.h"

#include <vector>

#include "assembly/unique_vertices.h"

namespace brevane::internal
{
    namespace
    {
        // Links upper to lower, first unlinking whatever was below upper and
        // whatever was above lower.
        void link( PillarLinks& links, index_t upper, index_t lower )
        {
            if( const auto below = links.unique_vertex_below.find( upper );
                below != links.unique_vertex_below.end() )
            {
                links.unique_vertex_above.erase( below->second );
                links.unique_vertex_below.erase( below );
            }
            if( const auto above = links.unique_vertex_above.find( lower );
                above != links.unique_vertex_above.end() )
            {
                links.unique_vertex_below.erase( above->second );
                links.unique_vertex_above.erase( above );
            }
            links.unique_vertex_below.emplace( upper, lower );
            links.unique_vertex_above.emplace( lower, upper );
        }
    } // namespace

    void remove_lines_and_corners(
        StructuralModel& model, StructuralModelBuilder& builder )
    {
        std::vector< uuid > corners;
        for( const auto& corner : model.corners() )
        {
            corners.push_back( corner.id() );
        }
        for( const auto& corner : corners )
        {
            builder.remove_corner( model.corner( corner ) );
        }
        std::vector< uuid > lines;
        for( const auto& line : model.lines() )
        {
            lines.push_back( line.id() );
        }
        for( const auto& line : lines )
        {
            builder.remove_line( model.line( line ) );
        }
        builder.delete_isolated_vertices();
    }

    PillarLinks link_pillar_vertices( const AssemblyContext& context,
        const TopVertexSurfaceVertices& surface_vertices )
    {
        const auto nb_top_vertices =
            context.background_surface.surface().nb_vertices();
        // At most one link per pair of consecutive nodes.
        std::size_t nb_links{ 0 };
        for( index_t top_vertex = 0; top_vertex < nb_top_vertices;
             top_vertex++ )
        {
            const auto nb_nodes =
                context.pillars.at( top_vertex ).intersections.size();
            nb_links += nb_nodes > 0 ? nb_nodes - 1 : 0;
        }
        PillarLinks links;
        links.unique_vertex_below.reserve( nb_links );
        links.unique_vertex_above.reserve( nb_links );
        for( index_t top_vertex = 0; top_vertex < nb_top_vertices;
             top_vertex++ )
        {
            const auto& intersections =
                context.pillars.at( top_vertex ).intersections;
            if( intersections.size() < 2 )
            {
                continue;
            }
            const auto& on_pillar = surface_vertices.at( top_vertex );
            const auto unique_vertex =
                [&]( const PillarIntersection& intersection )
            {
                return context.model.unique_vertex( pillar_surface_vertex(
                    on_pillar, top_vertex, intersection.surface ) );
            };
            auto upper = unique_vertex( intersections.front() );
            for( std::size_t below = 1; below < intersections.size(); below++ )
            {
                const auto lower = unique_vertex( intersections[below] );
                if( upper != lower )
                {
                    link( links, upper, lower );
                }
                upper = lower;
            }
        }
        return links;
    }
} // namespace brevane::internal
