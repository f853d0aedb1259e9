#pragma once

#include <array>
#include <memory>
#include <vector>

#include <tessark/mesh/hybrid_solid.h>
#include <tessark/mesh/vertex_set_builder.h>

namespace brevane
{
    // The writer of a HybridSolid. Polyhedra are numbered from 0 in creation
    // order; creation throws naming the index when a vertex does not exist
    // or appears twice. New polyhedra have no adjacent polyhedra until
    // compute_polyhedron_adjacencies.
    template < index_t D >
    class HybridSolidBuilder : public VertexSetBuilder
    {
    public:
        // The builder registered for the solid's impl_name(); throws
        // "Cannot create mesh builder with key: <key>" when there is none.
        [[nodiscard]] static std::unique_ptr< HybridSolidBuilder > create(
            HybridSolid< D >& mesh );

        explicit HybridSolidBuilder( HybridSolid< D >& mesh );

        // Returns the index of the new vertex.
        index_t create_point( const Point< D >& point );
        // Creates one vertex per point, in order; returns the index of the
        // first. The points must not be this solid's own.
        index_t create_points( absl::Span< const Point< D > > points );
        void set_point( index_t vertex, const Point< D >& point );

        index_t create_tetrahedron( const std::array< index_t, 4 >& vertices );
        index_t create_pyramid( const std::array< index_t, 5 >& vertices );
        index_t create_prism( const std::array< index_t, 6 >& vertices );
        index_t create_hexahedron( const std::array< index_t, 8 >& vertices );
        // Creates polyhedra of the given types in order, their vertices
        // concatenated in the same order (as many per polyhedron as its type
        // has); returns the index of the first. Throws naming the polyhedron
        // when the vertices do not match the types, a vertex does not exist
        // or appears twice in one polyhedron; nothing is created then.
        index_t create_polyhedra( absl::Span< const PolyhedronType > types,
            absl::Span< const index_t > vertices );

        // Two polyhedra sharing a facet (same vertex set) become adjacent
        // across it; a facet shared by more than two gets no adjacency.
        void compute_polyhedron_adjacencies();
        // Removes the flagged polyhedra; returns the old-to-new mapping.
        // Adjacencies to deleted polyhedra become boundaries.
        std::vector< index_t > delete_polyhedra(
            const std::vector< bool >& to_delete );
        // Removes the vertices no polyhedron uses; returns the old-to-new
        // vertex mapping.
        std::vector< index_t > delete_isolated_vertices();

    private:
        HybridSolid< D >& solid_;
    };

    using HybridSolidBuilder3D = HybridSolidBuilder< 3 >;
} // namespace brevane
