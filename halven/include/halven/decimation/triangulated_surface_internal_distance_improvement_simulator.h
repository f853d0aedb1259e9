#pragma once

#include <limits>

#include <absl/container/inlined_vector.h>
#include <absl/types/span.h>

#include <halven/decimation/internal_distance.h>
#include <halven/decimation/triangulated_surface_optimizer_improvement_simulator.h>

namespace brevane
{
    // Judges changes by the internal distances of triangles: a triangle's
    // quality is the smallest of the internal distances its evaluation
    // stores, and a change is better when the worst quality after it is
    // strictly larger than before it. A kept change therefore never lowers
    // the worst quality of the surface.
    template < index_t D >
    class TriangulatedSurfaceInternalDistanceImprovementSimulator
        : public TriangulatedSurfaceOptimizerImprovementSimulator< D >
    {
    public:
        using InternalDistances = absl::InlinedVector< InternalDistance, 10 >;

        TriangulatedSurfaceInternalDistanceImprovementSimulator() = default;
        ~TriangulatedSurfaceInternalDistanceImprovementSimulator() override;

        void start_simulation() override;
        void start_after_change() override;
        // Stores the triangle's minimal internal distance; always true.
        [[nodiscard]] bool evaluate_triangle(
            const TriangulatedSurface< D >& surface,
            index_t triangle ) override;
        // Stores the internal distances of the triangle being evaluated
        // (replacing those of the previous one) and records the smallest on
        // the current side; returns how many are stored.
        index_t set_internal_distances(
            absl::Span< const InternalDistance > distances );
        // The internal distances of the last triangle evaluated.
        [[nodiscard]] const InternalDistances& internal_distances() const
        {
            return distances_;
        }
        // The smallest internal distance recorded on the current side;
        // +infinity when none was.
        [[nodiscard]] double worst() const override;
        // True after start_after_change when metric() is strictly larger
        // than it was before the change.
        [[nodiscard]] bool is_better_after_simulation() const override;

    private:
        static constexpr double NONE{
            std::numeric_limits< double >::infinity()
        };

        InternalDistances distances_;
        double side_worst_{ NONE };
        bool after_change_{ false };
        double metric_before_{ NONE };
    };

    using TriangulatedSurfaceInternalDistanceImprovementSimulator2D =
        TriangulatedSurfaceInternalDistanceImprovementSimulator< 2 >;
} // namespace brevane
