#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

#include <tessark/model/brep_builder.h>

#include "model_file_mesh_arrays.h"

// Unique vertices in model files: each component mesh file carries, per
// vertex, its unique vertex and its rank, the position of the component
// vertex in the list of its unique vertex. Ranks restore that order, in
// which the model answers component_mesh_vertices.
namespace brevane::internal
{
    // Fills arrays.unique_vertices and arrays.unique_vertex_ranks for the
    // component's mesh of nb_vertices vertices. Throws a TessarkException
    // naming the file and the owner when the model binds a vertex the mesh
    // does not have.
    void fill_unique_vertex_arrays( const BRep& model,
        const ComponentID& component, index_t nb_vertices, MeshArrays& arrays,
        const std::filesystem::path& file, std::string_view owner );

    // A component read from its file, with the unique vertex and the rank
    // of each of its vertices.
    struct ComponentVertices
    {
        ComponentID component;
        std::vector< std::uint32_t > unique_vertices;
        std::vector< std::uint32_t > ranks;
        std::filesystem::path file;
    };

    // Creates nb_unique_vertices unique vertices and binds the vertices of
    // the components, the component vertices of each unique vertex in the
    // order of their ranks. Throws a TessarkException naming the
    // description when there are more unique vertices than component
    // vertices, and naming the file and the vertex when a unique vertex
    // index is out of range, or when the ranks of a unique vertex are not 0,
    // 1, 2... each once.
    void bind_unique_vertices( BRepBuilder& builder, index_t nb_unique_vertices,
        const std::vector< ComponentVertices >& components,
        const std::filesystem::path& description );
} // namespace brevane::internal
