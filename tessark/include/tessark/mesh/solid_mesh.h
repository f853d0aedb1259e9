#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include <absl/container/inlined_vector.h>

#include <tessark/geometry/bounding_box.h>
#include <tessark/geometry/point.h>
#include <tessark/mesh/mesh_element.h>
#include <tessark/mesh/polyhedron_type.h>
#include <tessark/mesh/vertex_set.h>

namespace brevane
{
    using PolyhedronVertices = absl::InlinedVector< index_t, 8 >;
    using PolyhedronFacetVertices = absl::InlinedVector< index_t, 4 >;

    // A volume mesh of polyhedra in space (the local numbering of each kind
    // is described with PolyhedronType). Derived classes choose the storage
    // of the polyhedra; the points and the polyhedron attributes are kept
    // here.
    template < index_t D >
    class SolidMesh : public VertexSet
    {
        static_assert( D == 3, "Solid meshes are three-dimensional" );

    public:
        ~SolidMesh() override;

        SolidMesh( SolidMesh&& other ) noexcept;
        SolidMesh& operator=( SolidMesh&& other ) noexcept;

        [[nodiscard]] virtual index_t nb_polyhedra() const = 0;
        [[nodiscard]] virtual PolyhedronType polyhedron_type(
            index_t polyhedron ) const = 0;
        [[nodiscard]] virtual PolyhedronVertices polyhedron_vertices(
            index_t polyhedron ) const = 0;
        // The polyhedron across the facet, none on the boundary.
        [[nodiscard]] virtual std::optional< index_t > polyhedron_adjacent(
            const PolyhedronFacet& facet ) const = 0;

        [[nodiscard]] local_index_t nb_polyhedron_vertices(
            index_t polyhedron ) const;
        [[nodiscard]] local_index_t nb_polyhedron_facets(
            index_t polyhedron ) const;
        [[nodiscard]] PolyhedronFacetVertices polyhedron_facet_vertices(
            const PolyhedronFacet& facet ) const;

        [[nodiscard]] const Point< D >& point( index_t vertex ) const;
        // The box of all vertices.
        [[nodiscard]] BoundingBox< D > bounding_box() const;

        [[nodiscard]] AttributeManager& polyhedron_attribute_manager() const
        {
            return *polyhedron_attributes_;
        }

    protected:
        SolidMesh();
        // Copies the transferable attributes.
        SolidMesh( const SolidMesh& other );

        void check_polyhedron(
            index_t polyhedron, std::string_view caller ) const;
        void set_point( index_t vertex, const Point< D >& point );

        void resize_vertex_data( index_t nb_vertices ) override;
        void delete_vertex_data( const std::vector< bool >& to_delete,
            absl::Span< const index_t > old2new ) override;
        void permute_vertex_data(
            absl::Span< const index_t > old2new ) override;
        // Polyhedron storage replaces its vertex indices by their images.
        virtual void remap_polyhedron_vertices(
            absl::Span< const index_t > old2new ) = 0;

    private:
        std::vector< Point< D > > points_;
        std::unique_ptr< AttributeManager > polyhedron_attributes_;
    };
} // namespace brevane
