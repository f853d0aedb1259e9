#pragma once

#include <memory>

#include <tessark/mesh/edged_curve.h>
#include <tessark/mesh/graph_builder.h>

namespace brevane
{
    // The writer of an EdgedCurve: graph operations plus vertex positions.
    // New vertices created without a point are at the origin.
    template < index_t D >
    class EdgedCurveBuilder : public GraphBuilder
    {
    public:
        [[nodiscard]] static std::unique_ptr< EdgedCurveBuilder > create(
            EdgedCurve< D >& mesh );

        explicit EdgedCurveBuilder( EdgedCurve< D >& mesh );

        // Returns the index of the new vertex.
        index_t create_point( const Point< D >& point );
        void set_point( index_t vertex, const Point< D >& point );

    private:
        EdgedCurve< D >& curve_;
    };

    using EdgedCurveBuilder2D = EdgedCurveBuilder< 2 >;
    using EdgedCurveBuilder3D = EdgedCurveBuilder< 3 >;
} // namespace brevane
