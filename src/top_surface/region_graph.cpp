#include "top_surface/region_graph.h"

#include <algorithm>
#include <deque>

#include <absl/container/flat_hash_set.h>

#include <tessark/mesh/graph_builder.h>

namespace brevane::internal
{
    std::vector< index_t > RegionGraph::neighbours( index_t vertex ) const
    {
        std::vector< index_t > result;
        for( const auto& end : graph->edges_around_vertex( vertex ) )
        {
            result.push_back( graph->edge_vertex( end.opposite() ) );
        }
        return result;
    }

    namespace
    {
        // The mesh ids of an edge's macro edge records, sorted, each once.
        std::vector< uuid > line_set( const MacroEdgeRecords& records )
        {
            std::vector< uuid > lines;
            lines.reserve( records.size() );
            for( const auto& record : records )
            {
                lines.push_back( record.mesh_id );
            }
            std::sort( lines.begin(), lines.end() );
            lines.erase(
                std::unique( lines.begin(), lines.end() ), lines.end() );
            return lines;
        }

        // Walks the triangles region by region, creating the line-set
        // vertices as their edges are met.
        class RegionGraphBuilder
        {
        public:
            explicit RegionGraphBuilder( const BackgroundSurface& background )
                : background_( background ), surface_( background.surface() ),
                  visited_( surface_.nb_polygons(), false )
            {
            }

            RegionGraph build()
            {
                for( index_t triangle = 0; triangle < surface_.nb_polygons();
                     triangle++ )
                {
                    if( !visited_[triangle] )
                    {
                        walk_region( triangle );
                    }
                }
                result_.graph = std::move( graph_ );
                return std::move( result_ );
            }

        private:
            index_t create_vertex()
            {
                const auto vertex = builder_.create_vertex();
                result_.triangles.emplace_back();
                result_.lines.emplace_back();
                return vertex;
            }

            // Breadth first from the triangle, never crossing an edge that
            // has a line set.
            void walk_region( index_t first )
            {
                const auto region = create_vertex();
                linked_line_sets_.clear();
                std::vector< index_t > region_triangles;
                std::deque< index_t > queue{ first };
                visited_[first] = true;
                while( !queue.empty() )
                {
                    const auto triangle = queue.front();
                    queue.pop_front();
                    region_triangles.push_back( triangle );
                    for( local_index_t local = 0; local < 3; local++ )
                    {
                        const PolygonEdge polygon_edge{ triangle, local };
                        const auto& records = background_.macro_edges(
                            surface_.polygon_edge( polygon_edge ) );
                        if( !records.empty() )
                        {
                            link( region, line_set_vertex( records ) );
                            continue;
                        }
                        const auto adjacent =
                            surface_.polygon_adjacent( polygon_edge );
                        if( adjacent && !visited_[*adjacent] )
                        {
                            visited_[*adjacent] = true;
                            queue.push_back( *adjacent );
                        }
                    }
                }
                result_.triangles[region] = std::move( region_triangles );
            }

            index_t line_set_vertex( const MacroEdgeRecords& records )
            {
                auto lines = line_set( records );
                const auto known = line_set_table_.find( lines );
                if( known != line_set_table_.end() )
                {
                    return known->second;
                }
                const auto vertex = create_vertex();
                for( const auto& line : lines )
                {
                    result_.line_sets_of_line[line].push_back( vertex );
                }
                result_.lines[vertex] = lines;
                line_set_table_.emplace( std::move( lines ), vertex );
                return vertex;
            }

            // At most one graph edge between a region and a line set; the
            // region being walked is the only one still gaining edges.
            void link( index_t region, index_t line_set_vertex )
            {
                if( linked_line_sets_.insert( line_set_vertex ).second )
                {
                    builder_.create_edge( line_set_vertex, region );
                }
            }

            const BackgroundSurface& background_;
            const TriangulatedSurface2D& surface_;
            std::vector< bool > visited_;
            std::unique_ptr< Graph > graph_{ Graph::create() };
            GraphBuilder builder_{ *graph_ };
            RegionGraph result_;
            absl::flat_hash_map< std::vector< uuid >, index_t > line_set_table_;
            absl::flat_hash_set< index_t > linked_line_sets_;
        };
    } // namespace

    RegionGraph build_region_graph( const BackgroundSurface& background )
    {
        return RegionGraphBuilder{ background }.build();
    }
} // namespace brevane::internal
