#include <tessark/mesh/mesh_builder_factory.h>

#include <mutex>
#include <string>

#include <absl/container/flat_hash_map.h>

#include <tessark/mesh/edged_curve_builder.h>
#include <tessark/mesh/graph_builder.h>
#include <tessark/mesh/hybrid_solid_builder.h>
#include <tessark/mesh/point_set_builder.h>
#include <tessark/mesh/polygonal_surface_builder.h>
#include <tessark/mesh/triangulated_surface_builder.h>
#include <tessark/mesh/vertex_set_builder.h>

namespace brevane
{
    namespace
    {
        class BuilderRegistry
        {
        public:
            BuilderRegistry()
            {
                add< VertexSet, VertexSetBuilder >( "TessarkVertexSet" );
                add< PointSet< 2 >, PointSetBuilder< 2 > >(
                    "TessarkPointSet2D" );
                add< PointSet< 3 >, PointSetBuilder< 3 > >(
                    "TessarkPointSet3D" );
                add< Graph, GraphBuilder >( "TessarkGraph" );
                add< EdgedCurve< 2 >, EdgedCurveBuilder< 2 > >(
                    "TessarkEdgedCurve2D" );
                add< EdgedCurve< 3 >, EdgedCurveBuilder< 3 > >(
                    "TessarkEdgedCurve3D" );
                add< TriangulatedSurface< 2 >,
                    TriangulatedSurfaceBuilder< 2 > >(
                    "TessarkTriangulatedSurface2D" );
                add< TriangulatedSurface< 3 >,
                    TriangulatedSurfaceBuilder< 3 > >(
                    "TessarkTriangulatedSurface3D" );
                add< PolygonalSurface< 2 >, PolygonalSurfaceBuilder< 2 > >(
                    "TessarkPolygonalSurface2D" );
                add< PolygonalSurface< 3 >, PolygonalSurfaceBuilder< 3 > >(
                    "TessarkPolygonalSurface3D" );
                add< HybridSolid< 3 >, HybridSolidBuilder< 3 > >(
                    "TessarkHybridSolid3D" );
            }

            void set(
                std::string_view key, MeshBuilderFactory::Creator creator )
            {
                std::lock_guard< std::mutex > guard{ mutex_ };
                creators_.insert_or_assign(
                    std::string{ key }, std::move( creator ) );
            }

            [[nodiscard]] MeshBuilderFactory::Creator find(
                std::string_view key ) const
            {
                std::lock_guard< std::mutex > guard{ mutex_ };
                const auto found = creators_.find( std::string{ key } );
                return found == creators_.end() ? MeshBuilderFactory::Creator{}
                                                : found->second;
            }

        private:
            template < typename Mesh, typename Builder >
            void add( std::string_view key )
            {
                creators_.emplace( std::string{ key },
                    MeshBuilderFactory::creator< Mesh, Builder >() );
            }

            mutable std::mutex mutex_;
            absl::flat_hash_map< std::string, MeshBuilderFactory::Creator >
                creators_;
        };

        // Built on first use (thread-safe static initialisation) with the
        // framework's own implementations.
        BuilderRegistry& registry()
        {
            static BuilderRegistry instance;
            return instance;
        }
    } // namespace

    void MeshBuilderFactory::register_creator(
        std::string_view key, Creator creator )
    {
        TESSARK_EXCEPTION( creator != nullptr,
            "[MeshBuilderFactory::register_creator] Empty creator for key ",
            key );
        registry().set( key, std::move( creator ) );
    }

    bool MeshBuilderFactory::has_creator( std::string_view key )
    {
        return registry().find( key ) != nullptr;
    }

    std::unique_ptr< VertexSetBuilder > MeshBuilderFactory::create(
        VertexSet& mesh )
    {
        const auto key = mesh.impl_name();
        const auto creator = registry().find( key );
        std::unique_ptr< VertexSetBuilder > builder;
        if( creator )
        {
            builder = creator( mesh );
        }
        TESSARK_EXCEPTION(
            builder != nullptr, "Cannot create mesh builder with key: ", key );
        return builder;
    }
} // namespace brevane
