#include <tessark/model/component_mesh_edges.h>

#include <absl/container/flat_hash_set.h>

namespace brevane
{
    namespace
    {
        // The component vertices of unique vertex `unique` that lie in the
        // component `id`.
        absl::InlinedVector< index_t, 2 > vertices_in(
            const BRep& model, index_t unique, const uuid& id )
        {
            absl::InlinedVector< index_t, 2 > result;
            for( const auto& vertex : model.component_mesh_vertices( unique ) )
            {
                if( vertex.component_id.id() == id )
                {
                    result.push_back( vertex.vertex );
                }
            }
            return result;
        }
    } // namespace

    std::array< index_t, 2 > edge_unique_vertices( const BRep& model,
        const Surface< 3 >& surface,
        const PolygonEdge& edge )
    {
        const auto vertices = surface.mesh().polygon_edge_vertices( edge );
        const auto id = surface.component_id();
        return { model.unique_vertex( { id, vertices[0] } ),
            model.unique_vertex( { id, vertices[1] } ) };
    }

    ComponentMeshEdges component_mesh_edges( const BRep& model,
        const Surface< 3 >& surface,
        const PolygonEdge& edge )
    {
        ComponentMeshEdges result;
        const auto uniques = edge_unique_vertices( model, surface, edge );
        if( uniques[0] == NO_ID || uniques[1] == NO_ID )
        {
            return result;
        }
        absl::flat_hash_set< uuid > visited;
        for( const auto& first : model.component_mesh_vertices( uniques[0] ) )
        {
            const auto& component = first.component_id;
            if( !visited.insert( component.id() ).second )
            {
                continue;
            }
            const auto starts = vertices_in( model, uniques[0], component.id() );
            const auto ends = vertices_in( model, uniques[1], component.id() );
            if( ends.empty() )
            {
                continue;
            }
            if( component.type() == component_types::surface() )
            {
                const auto& mesh = model.surface( component.id() ).mesh();
                std::vector< PolygonEdge > edges;
                for( const auto start : starts )
                {
                    for( const auto end : ends )
                    {
                        for( const auto& pair : { std::array{ start, end },
                                 std::array{ end, start } } )
                        {
                            if( const auto found =
                                    mesh.polygon_edge_from_vertices(
                                        pair[0], pair[1] ) )
                            {
                                edges.push_back( *found );
                            }
                        }
                    }
                }
                if( !edges.empty() )
                {
                    result.surface_edges.emplace_back(
                        component.id(), std::move( edges ) );
                }
            }
            else if( component.type() == component_types::line() )
            {
                const auto& mesh = model.line( component.id() ).mesh();
                std::vector< index_t > edges;
                for( const auto start : starts )
                {
                    for( const auto end : ends )
                    {
                        for( const auto line_edge :
                            mesh.edges_around_vertex( start ) )
                        {
                            const auto edge_vertices =
                                mesh.edge_vertices( line_edge.edge_id );
                            if( edge_vertices[0] == end
                                || edge_vertices[1] == end )
                            {
                                edges.push_back( line_edge.edge_id );
                            }
                        }
                    }
                }
                if( !edges.empty() )
                {
                    result.line_edges.emplace_back(
                        component.id(), std::move( edges ) );
                }
            }
        }
        return result;
    }
} // namespace brevane
