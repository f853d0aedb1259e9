#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include <tessark/geometry/bounding_box.h>
#include <tessark/geometry/point.h>
#include <tessark/mesh/vertex_set.h>

namespace brevane
{
    template < index_t D >
    class PointSetBuilder;

    // Vertices located at points of the plane (D = 2) or of space (D = 3).
    template < index_t D >
    class PointSet : public VertexSet
    {
    public:
        ~PointSet() override;

        PointSet( PointSet&& other ) noexcept;
        PointSet& operator=( PointSet&& other ) noexcept;

        [[nodiscard]] static std::unique_ptr< PointSet > create();
        // A copy with the transferable vertex attributes.
        [[nodiscard]] std::unique_ptr< PointSet > clone() const;

        // "TessarkPointSet2D" or "TessarkPointSet3D".
        [[nodiscard]] std::string_view impl_name() const override;

        [[nodiscard]] const Point< D >& point( index_t vertex ) const;
        // The box of all vertices.
        [[nodiscard]] BoundingBox< D > bounding_box() const;

    protected:
        PointSet();
        PointSet( const PointSet& other );

        void resize_vertex_data( index_t nb_vertices ) override;
        void delete_vertex_data( const std::vector< bool >& to_delete,
            absl::Span< const index_t > old2new ) override;
        void permute_vertex_data(
            absl::Span< const index_t > old2new ) override;

    private:
        friend class PointSetBuilder< D >;

        std::vector< Point< D > > points_;
    };

    using PointSet2D = PointSet< 2 >;
    using PointSet3D = PointSet< 3 >;
} // namespace brevane
