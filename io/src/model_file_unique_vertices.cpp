#include "model_file_unique_vertices.h"

#include <algorithm>

#include "model_file_error.h"

namespace brevane::internal
{
    namespace
    {
        // One bound vertex of one of the components being bound.
        struct Binding
        {
            index_t component{ NO_ID };
            index_t vertex{ NO_ID };
        };
    } // namespace

    void fill_unique_vertex_arrays( const BRep& model,
        const ComponentID& component, index_t nb_vertices, MeshArrays& arrays,
        const std::filesystem::path& file, std::string_view owner )
    {
        const auto bound = model.vertex_identifier().component_unique_vertices(
            component.id() );
        for( auto vertex = nb_vertices; vertex < bound.size(); vertex++ )
        {
            if( bound[vertex] != NO_ID )
            {
                throw save_error( file, owner, ": vertex ", vertex,
                    " is bound to unique vertex ", bound[vertex],
                    " but the mesh has ", nb_vertices, " vertices" );
            }
        }
        arrays.unique_vertices.assign( nb_vertices, NO_ID );
        arrays.unique_vertex_ranks.assign( nb_vertices, 0 );
        const auto nb_bound =
            std::min< std::size_t >( nb_vertices, bound.size() );
        for( index_t vertex = 0; vertex < nb_bound; vertex++ )
        {
            const auto unique_vertex = bound[vertex];
            if( unique_vertex == NO_ID )
            {
                continue;
            }
            const auto& listed = model.component_mesh_vertices( unique_vertex );
            const auto found = std::find( listed.begin(), listed.end(),
                ComponentMeshVertex{ component, vertex } );
            if( found == listed.end() )
            {
                throw save_error( file, owner, ": vertex ", vertex,
                    " is bound to unique vertex ", unique_vertex,
                    ", which does not list it" );
            }
            arrays.unique_vertices[vertex] = unique_vertex;
            arrays.unique_vertex_ranks[vertex] =
                static_cast< std::uint32_t >( found - listed.begin() );
        }
    }

    void bind_unique_vertices( BRepBuilder& builder, index_t nb_unique_vertices,
        const std::vector< ComponentVertices >& components,
        const std::filesystem::path& description )
    {
        // Checked before anything is allocated: a count read from a file
        // may be far more than the files hold.
        std::size_t nb_component_vertices{ 0 };
        for( const auto& component : components )
        {
            nb_component_vertices += component.unique_vertices.size();
        }
        if( nb_unique_vertices > nb_component_vertices )
        {
            throw load_error( description, "\"nb_unique_vertices\" is ",
                nb_unique_vertices, " but the mesh files hold ",
                nb_component_vertices, " vertices in all" );
        }

        // How many component vertices each unique vertex has, then where
        // its list starts in one array of all bindings.
        std::vector< index_t > nb_bound( nb_unique_vertices, 0 );
        for( const auto& component : components )
        {
            const auto& unique_vertices = component.unique_vertices;
            for( index_t vertex = 0; vertex < unique_vertices.size(); vertex++ )
            {
                const auto unique_vertex = unique_vertices[vertex];
                if( unique_vertex == NO_ID )
                {
                    continue;
                }
                if( unique_vertex >= nb_unique_vertices )
                {
                    throw load_error( component.file, "vertex ", vertex,
                        " is bound to unique vertex ", unique_vertex,
                        " but the model has ", nb_unique_vertices,
                        " unique vertices" );
                }
                nb_bound[unique_vertex]++;
            }
        }
        std::vector< std::size_t > first_binding( nb_unique_vertices + 1, 0 );
        for( index_t unique_vertex = 0; unique_vertex < nb_unique_vertices;
             unique_vertex++ )
        {
            first_binding[unique_vertex + 1] =
                first_binding[unique_vertex] + nb_bound[unique_vertex];
        }

        // Each binding goes to the place its rank gives; every place must
        // be taken once.
        std::vector< Binding > bindings( first_binding.back() );
        for( index_t index = 0; index < components.size(); index++ )
        {
            const auto& component = components[index];
            for( index_t vertex = 0; vertex < component.unique_vertices.size();
                 vertex++ )
            {
                const auto unique_vertex = component.unique_vertices[vertex];
                if( unique_vertex == NO_ID )
                {
                    continue;
                }
                const auto rank = component.ranks[vertex];
                if( rank >= nb_bound[unique_vertex] )
                {
                    throw load_error( component.file, "vertex ", vertex,
                        " has rank ", rank, " in unique vertex ", unique_vertex,
                        ", which binds ", nb_bound[unique_vertex],
                        " component vertices" );
                }
                auto& binding = bindings[first_binding[unique_vertex] + rank];
                if( binding.component != NO_ID )
                {
                    const auto& other = components[binding.component];
                    throw load_error( component.file, "vertex ", vertex,
                        " has rank ", rank, " in unique vertex ", unique_vertex,
                        ", as has vertex ", binding.vertex, " of ",
                        other.component.string(), " (",
                        other.file.filename().string(), ")" );
                }
                binding = { index, vertex };
            }
        }

        builder.create_unique_vertices( nb_unique_vertices );
        for( index_t unique_vertex = 0; unique_vertex < nb_unique_vertices;
             unique_vertex++ )
        {
            for( auto position = first_binding[unique_vertex];
                 position < first_binding[unique_vertex + 1]; position++ )
            {
                const auto& binding = bindings[position];
                builder.set_unique_vertex(
                    { components[binding.component].component, binding.vertex },
                    unique_vertex );
            }
        }
    }
} // namespace brevane::internal
