#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include <tessark/geometry/basic_objects.h>
#include <tessark/geometry/bounding_box.h>
#include <tessark/geometry/point.h>
#include <tessark/mesh/graph.h>

namespace brevane
{
    template < index_t D >
    class EdgedCurveBuilder;

    // A graph whose vertices are points of the plane (D = 2) or of space
    // (D = 3): polylines, networks of curves.
    template < index_t D >
    class EdgedCurve : public Graph
    {
    public:
        ~EdgedCurve() override;

        EdgedCurve( EdgedCurve&& other ) noexcept;
        EdgedCurve& operator=( EdgedCurve&& other ) noexcept;

        [[nodiscard]] static std::unique_ptr< EdgedCurve > create();
        // A copy with the transferable vertex and edge attributes.
        [[nodiscard]] std::unique_ptr< EdgedCurve > clone() const;

        // "TessarkEdgedCurve2D" or "TessarkEdgedCurve3D".
        [[nodiscard]] std::string_view impl_name() const override;

        [[nodiscard]] const Point< D >& point( index_t vertex ) const;
        // Throws when an end of the edge is not set.
        [[nodiscard]] Segment< D > segment( index_t edge ) const;
        [[nodiscard]] double edge_length( index_t edge ) const;
        [[nodiscard]] Point< D > edge_barycenter( index_t edge ) const;
        // The box of all vertices.
        [[nodiscard]] BoundingBox< D > bounding_box() const;

    protected:
        EdgedCurve();
        EdgedCurve( const EdgedCurve& other );

        void resize_vertex_data( index_t nb_vertices ) override;
        void delete_vertex_data( const std::vector< bool >& to_delete,
            absl::Span< const index_t > old2new ) override;
        void permute_vertex_data(
            absl::Span< const index_t > old2new ) override;

    private:
        friend class EdgedCurveBuilder< D >;

        std::vector< Point< D > > points_;
    };

    using EdgedCurve2D = EdgedCurve< 2 >;
    using EdgedCurve3D = EdgedCurve< 3 >;
} // namespace brevane
