#pragma once

#include <memory>

#include <tessark/mesh/point_set.h>
#include <tessark/mesh/vertex_set_builder.h>

namespace brevane
{
    // The writer of a PointSet. New vertices created without a point are at
    // the origin.
    template < index_t D >
    class PointSetBuilder : public VertexSetBuilder
    {
    public:
        // The builder registered for the point set's impl_name(); throws
        // "Cannot create mesh builder with key: <key>" when there is none.
        [[nodiscard]] static std::unique_ptr< PointSetBuilder > create(
            PointSet< D >& mesh );

        explicit PointSetBuilder( PointSet< D >& mesh );

        // Returns the index of the new vertex.
        index_t create_point( const Point< D >& point );
        void set_point( index_t vertex, const Point< D >& point );

    private:
        PointSet< D >& point_set_;
    };

    using PointSetBuilder2D = PointSetBuilder< 2 >;
    using PointSetBuilder3D = PointSetBuilder< 3 >;
} // namespace brevane
