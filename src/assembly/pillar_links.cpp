#include "assembly/pillar_links.h"

#include <algorithm>
#include <vector>

#include <tessark/basic/tessark_exception.h>

#include "assembly/unique_vertices.h"

namespace brevane::internal
{
    namespace
    {
        // The links as arrays by unique vertex (NO_ID: no link), so that a
        // link replacing an earlier one costs no hash look-up.
        class DenseLinks
        {
        public:
            explicit DenseLinks( index_t nb_unique_vertices )
                : below_( nb_unique_vertices, NO_ID ),
                  above_( nb_unique_vertices, NO_ID )
            {
            }

            // Links upper to lower, first unlinking whatever was below upper
            // and whatever was above lower.
            void link( index_t upper, index_t lower )
            {
                if( below_[upper] != NO_ID )
                {
                    above_[below_[upper]] = NO_ID;
                }
                if( above_[lower] != NO_ID )
                {
                    below_[above_[lower]] = NO_ID;
                }
                below_[upper] = lower;
                above_[lower] = upper;
            }

            [[nodiscard]] PillarLinks maps() const
            {
                PillarLinks links;
                fill( links.unique_vertex_below, below_ );
                fill( links.unique_vertex_above, above_ );
                return links;
            }

        private:
            static void fill( absl::flat_hash_map< index_t, index_t >& map,
                const std::vector< index_t >& links )
            {
                map.reserve( static_cast< std::size_t >(
                    links.size()
                    - std::count( links.begin(), links.end(), NO_ID ) ) );
                for( index_t vertex = 0; vertex < links.size(); vertex++ )
                {
                    if( links[vertex] != NO_ID )
                    {
                        map.emplace( vertex, links[vertex] );
                    }
                }
            }

            std::vector< index_t > below_;
            std::vector< index_t > above_;
        };
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
        DenseLinks links{ context.model.nb_unique_vertices() };
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
                const auto surface_vertex = pillar_surface_vertex(
                    on_pillar, top_vertex, intersection.surface );
                const auto node = context.model.unique_vertex( surface_vertex );
                TESSARK_EXCEPTION( node != NO_ID,
                    "[PillarStructuralModelBuilder] ", surface_vertex.string(),
                    " on the pillar of plan-view vertex ", top_vertex,
                    " is bound to no unique vertex" );
                return node;
            };
            auto upper = unique_vertex( intersections.front() );
            for( std::size_t below = 1; below < intersections.size(); below++ )
            {
                const auto lower = unique_vertex( intersections[below] );
                if( upper != lower )
                {
                    links.link( upper, lower );
                }
                upper = lower;
            }
        }
        return links.maps();
    }
} // namespace brevane::internal
