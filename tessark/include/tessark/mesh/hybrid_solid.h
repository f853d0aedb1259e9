#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include <absl/types/span.h>

#include <tessark/mesh/solid_mesh.h>

namespace brevane
{
    template < index_t D >
    class HybridSolidBuilder;

    // A solid of tetrahedra, pyramids, prisms and hexahedra, stored with
    // offsets into contiguous vertex and facet-adjacency arrays.
    template < index_t D >
    class HybridSolid : public SolidMesh< D >
    {
    public:
        ~HybridSolid() override;

        HybridSolid( HybridSolid&& other ) noexcept;
        HybridSolid& operator=( HybridSolid&& other ) noexcept;

        [[nodiscard]] static std::unique_ptr< HybridSolid > create();
        // A copy with the transferable vertex and polyhedron attributes.
        [[nodiscard]] std::unique_ptr< HybridSolid > clone() const;

        // "TessarkHybridSolid3D".
        [[nodiscard]] std::string_view impl_name() const override;

        [[nodiscard]] index_t nb_polyhedra() const override
        {
            return static_cast< index_t >( types_.size() );
        }
        [[nodiscard]] PolyhedronType polyhedron_type(
            index_t polyhedron ) const override;
        [[nodiscard]] PolyhedronVertices polyhedron_vertices(
            index_t polyhedron ) const override;
        [[nodiscard]] std::optional< index_t > polyhedron_adjacent(
            const PolyhedronFacet& facet ) const override;

    protected:
        HybridSolid();
        HybridSolid( const HybridSolid& other );

        void check_vertex_deletion(
            const std::vector< bool >& to_delete ) const override;
        void remap_polyhedron_vertices(
            absl::Span< const index_t > old2new ) override;

    private:
        friend class HybridSolidBuilder< D >;

        index_t create_polyhedron(
            PolyhedronType type, absl::Span< const index_t > vertices );
        index_t create_polyhedra( absl::Span< const PolyhedronType > types,
            absl::Span< const index_t > vertices );
        void check_polyhedron_vertices( PolyhedronType type,
            absl::Span< const index_t > vertices, std::string_view caller,
            index_t polyhedron ) const;
        void compute_polyhedron_adjacencies();
        std::vector< index_t > delete_polyhedra(
            const std::vector< bool >& to_delete );

        std::vector< PolyhedronType > types_;
        std::vector< index_t > vertices_;
        // nb_polyhedra() + 1 entries each.
        std::vector< index_t > vertex_offsets_{ 0 };
        std::vector< index_t > adjacents_;
        std::vector< index_t > facet_offsets_{ 0 };
    };

    using HybridSolid3D = HybridSolid< 3 >;
} // namespace brevane
