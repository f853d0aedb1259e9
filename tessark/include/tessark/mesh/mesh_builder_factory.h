#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include <tessark/basic/tessark_exception.h>
#include <tessark/mesh/vertex_set.h>
#include <tessark/mesh/vertex_set_builder.h>

namespace brevane
{
    // Process-wide registry from a mesh implementation key (impl_name()) to
    // the constructor of its builder. The framework's own implementations are
    // registered on first use; other implementations register theirs with
    // register_creator. All functions are safe to call from several threads.
    class MeshBuilderFactory
    {
    public:
        // Builds the builder of a mesh, or returns null when the mesh is not
        // of the class the creator expects.
        using Creator =
            std::function< std::unique_ptr< VertexSetBuilder >( VertexSet& ) >;

        // Registers or replaces the creator of a key.
        static void register_creator( std::string_view key, Creator creator );
        [[nodiscard]] static bool has_creator( std::string_view key );
        // The builder of the mesh; throws
        // "Cannot create mesh builder with key: <key>" when no creator is
        // registered for mesh.impl_name() or when it rejects the mesh.
        [[nodiscard]] static std::unique_ptr< VertexSetBuilder > create(
            VertexSet& mesh );

        // A creator for meshes of class Mesh built by Builder( Mesh& ).
        template < typename Mesh, typename Builder >
        [[nodiscard]] static Creator creator()
        {
            return []( VertexSet& mesh ) -> std::unique_ptr< VertexSetBuilder >
            {
                auto* typed = dynamic_cast< Mesh* >( &mesh );
                if( typed == nullptr )
                {
                    return nullptr;
                }
                return std::make_unique< Builder >( *typed );
            };
        }
    };

    // The registered builder of the mesh as a Builder; throws
    // "Cannot create mesh builder with key: <key>" when there is none or when
    // it is of another kind (a triangle builder asked for a mesh registered
    // with a polygon builder).
    template < typename Builder >
    [[nodiscard]] std::unique_ptr< Builder > create_mesh_builder(
        VertexSet& mesh )
    {
        auto builder = MeshBuilderFactory::create( mesh );
        auto* typed = dynamic_cast< Builder* >( builder.get() );
        TESSARK_EXCEPTION( typed != nullptr,
            "Cannot create mesh builder with key: ", mesh.impl_name() );
        builder.release();
        return std::unique_ptr< Builder >{ typed };
    }
} // namespace brevane
