#include <tessark/model/vertex_identifier.h>

#include <tessark/basic/tessark_exception.h>

#include "basic/erase_from.h"

namespace brevane
{
    index_t VertexIdentifier::unique_vertex(
        const ComponentMeshVertex& component_vertex ) const
    {
        const auto found =
            component_vertices_.find( component_vertex.component_id.id() );
        if( found == component_vertices_.end()
            || component_vertex.vertex >= found->second.size() )
        {
            return NO_ID;
        }
        return found->second[component_vertex.vertex];
    }

    absl::Span< const index_t > VertexIdentifier::component_unique_vertices(
        const uuid& component ) const
    {
        const auto found = component_vertices_.find( component );
        if( found == component_vertices_.end() )
        {
            return {};
        }
        return found->second;
    }

    const VertexIdentifier::ComponentMeshVertices&
        VertexIdentifier::component_mesh_vertices( index_t unique_vertex ) const
    {
        TESSARK_EXCEPTION( unique_vertex < unique_vertices_.size(),
            "[VertexIdentifier] Unique vertex ", unique_vertex,
            " does not exist (", unique_vertices_.size(), " unique vertices)" );
        return unique_vertices_[unique_vertex];
    }

    std::vector< index_t > VertexIdentifier::component_mesh_vertices(
        index_t unique_vertex, const uuid& component ) const
    {
        std::vector< index_t > result;
        for( const auto& component_vertex :
            component_mesh_vertices( unique_vertex ) )
        {
            if( component_vertex.component_id.id() == component )
            {
                result.push_back( component_vertex.vertex );
            }
        }
        return result;
    }

    bool VertexIdentifier::has_component_mesh_vertices(
        index_t unique_vertex, const ComponentType& type ) const
    {
        for( const auto& component_vertex :
            component_mesh_vertices( unique_vertex ) )
        {
            if( component_vertex.component_id.type() == type )
            {
                return true;
            }
        }
        return false;
    }

    index_t VertexIdentifierBuilder::create_unique_vertex()
    {
        return create_unique_vertices( 1 );
    }

    index_t VertexIdentifierBuilder::create_unique_vertices( index_t nb )
    {
        const auto first = identifier_.nb_unique_vertices();
        TESSARK_EXCEPTION( static_cast< std::uint64_t >( first ) + nb < NO_ID,
            "[VertexIdentifierBuilder] Too many unique vertices: ", first,
            " + ", nb );
        identifier_.unique_vertices_.resize( first + nb );
        return first;
    }

    void VertexIdentifierBuilder::set_unique_vertex(
        const ComponentMeshVertex& component_vertex, index_t unique_vertex )
    {
        TESSARK_EXCEPTION( unique_vertex < identifier_.nb_unique_vertices(),
            "[VertexIdentifierBuilder] Cannot bind ", component_vertex.string(),
            " to unique vertex ", unique_vertex, ": it does not exist" );
        TESSARK_EXCEPTION( component_vertex.vertex != NO_ID,
            "[VertexIdentifierBuilder] Cannot bind the absent vertex of ",
            component_vertex.component_id.string() );
        unset_unique_vertex( component_vertex );
        auto& vertices =
            identifier_
                .component_vertices_[component_vertex.component_id.id()];
        if( component_vertex.vertex >= vertices.size() )
        {
            vertices.resize( component_vertex.vertex + 1, NO_ID );
        }
        vertices[component_vertex.vertex] = unique_vertex;
        identifier_.unique_vertices_[unique_vertex].push_back(
            component_vertex );
    }

    void VertexIdentifierBuilder::set_unique_vertices(
        const ComponentID& component,
        absl::Span< const index_t > unique_vertices )
    {
        TESSARK_EXCEPTION( unique_vertices.size() < NO_ID,
            "[VertexIdentifierBuilder] Cannot bind ", unique_vertices.size(),
            " vertices of ", component.string(), ": too many" );
        const auto nb_unique_vertices = identifier_.nb_unique_vertices();
        for( index_t vertex = 0; vertex < unique_vertices.size(); vertex++ )
        {
            const auto unique_vertex = unique_vertices[vertex];
            TESSARK_EXCEPTION( unique_vertex == NO_ID
                                   || unique_vertex < nb_unique_vertices,
                "[VertexIdentifierBuilder] Cannot bind ",
                ComponentMeshVertex{ component, vertex }.string(),
                " to unique vertex ", unique_vertex, ": it does not exist" );
        }
        auto& vertices = identifier_.component_vertices_[component.id()];
        if( unique_vertices.size() > vertices.size() )
        {
            vertices.resize( unique_vertices.size(), NO_ID );
        }
        for( index_t vertex = 0; vertex < unique_vertices.size(); vertex++ )
        {
            const auto unique_vertex = unique_vertices[vertex];
            if( unique_vertex == NO_ID )
            {
                continue;
            }
            const ComponentMeshVertex component_vertex{ component, vertex };
            if( const auto previous = vertices[vertex]; previous != NO_ID )
            {
                erase_value(
                    identifier_.unique_vertices_[previous], component_vertex );
            }
            vertices[vertex] = unique_vertex;
            identifier_.unique_vertices_[unique_vertex].push_back(
                component_vertex );
        }
    }

    void VertexIdentifierBuilder::unset_unique_vertex(
        const ComponentMeshVertex& component_vertex )
    {
        const auto previous = identifier_.unique_vertex( component_vertex );
        if( previous == NO_ID )
        {
            return;
        }
        erase_value( identifier_.unique_vertices_[previous], component_vertex );
        identifier_.component_vertices_[component_vertex.component_id.id()]
                                       [component_vertex.vertex] = NO_ID;
    }

    void VertexIdentifierBuilder::remove_component( const uuid& component )
    {
        const auto found = identifier_.component_vertices_.find( component );
        if( found == identifier_.component_vertices_.end() )
        {
            return;
        }
        for( const auto unique_vertex : found->second )
        {
            if( unique_vertex == NO_ID )
            {
                continue;
            }
            erase_matching( identifier_.unique_vertices_[unique_vertex],
                [&component]( const ComponentMeshVertex& vertex ) {
                    return vertex.component_id.id() == component;
                } );
        }
        identifier_.component_vertices_.erase( found );
    }

    void VertexIdentifierBuilder::update_component_vertices(
        const ComponentID& component, absl::Span< const index_t > old2new )
    {
        const auto found =
            identifier_.component_vertices_.find( component.id() );
        if( found == identifier_.component_vertices_.end() )
        {
            return;
        }
        const auto old_vertices = found->second;
        remove_component( component.id() );
        for( index_t old_vertex = 0; old_vertex < old_vertices.size();
             old_vertex++ )
        {
            const auto unique_vertex = old_vertices[old_vertex];
            if( unique_vertex == NO_ID || old_vertex >= old2new.size()
                || old2new[old_vertex] == NO_ID )
            {
                continue;
            }
            set_unique_vertex(
                ComponentMeshVertex{ component, old2new[old_vertex] },
                unique_vertex );
        }
    }

    std::vector< index_t > VertexIdentifierBuilder::delete_isolated_vertices()
    {
        auto& unique_vertices = identifier_.unique_vertices_;
        std::vector< index_t > old2new( unique_vertices.size(), NO_ID );
        index_t nb_kept{ 0 };
        for( index_t unique_vertex = 0; unique_vertex < unique_vertices.size();
             unique_vertex++ )
        {
            if( unique_vertices[unique_vertex].empty() )
            {
                continue;
            }
            old2new[unique_vertex] = nb_kept;
            if( nb_kept != unique_vertex )
            {
                unique_vertices[nb_kept] =
                    std::move( unique_vertices[unique_vertex] );
            }
            nb_kept++;
        }
        unique_vertices.resize( nb_kept );
        for( auto& [component, vertices] : identifier_.component_vertices_ )
        {
            for( auto& unique_vertex : vertices )
            {
                if( unique_vertex != NO_ID )
                {
                    unique_vertex = old2new[unique_vertex];
                }
            }
        }
        return old2new;
    }
} // namespace brevane
