#include <halven/decimation/triangulated_surface_internal_distance_improvement_simulator.h>

#include <algorithm>

namespace brevane
{
    template < index_t D >
    TriangulatedSurfaceInternalDistanceImprovementSimulator<
        D >::~TriangulatedSurfaceInternalDistanceImprovementSimulator() =
        default;

    template < index_t D >
    void TriangulatedSurfaceInternalDistanceImprovementSimulator<
        D >::start_simulation()
    {
        distances_.clear();
        side_worst_ = NONE;
        after_change_ = false;
        metric_before_ = NONE;
    }

    template < index_t D >
    void TriangulatedSurfaceInternalDistanceImprovementSimulator<
        D >::start_after_change()
    {
        metric_before_ = this->metric();
        distances_.clear();
        side_worst_ = NONE;
        after_change_ = true;
    }

    template < index_t D >
    bool TriangulatedSurfaceInternalDistanceImprovementSimulator<
        D >::evaluate_triangle( const TriangulatedSurface< D >& surface,
        index_t triangle )
    {
        set_internal_distances( { minimal_triangle_internal_distance(
            surface.triangle( triangle ) ) } );
        return true;
    }

    template < index_t D >
    index_t TriangulatedSurfaceInternalDistanceImprovementSimulator< D >::
        set_internal_distances( absl::Span< const InternalDistance > distances )
    {
        distances_.assign( distances.begin(), distances.end() );
        for( const auto& distance : distances_ )
        {
            side_worst_ = std::min( side_worst_, distance.value );
        }
        return static_cast< index_t >( distances_.size() );
    }

    template < index_t D >
    double TriangulatedSurfaceInternalDistanceImprovementSimulator< D >::worst()
        const
    {
        return side_worst_;
    }

    template < index_t D >
    bool TriangulatedSurfaceInternalDistanceImprovementSimulator<
        D >::is_better_after_simulation() const
    {
        return after_change_ && this->metric() > metric_before_;
    }

    template class TriangulatedSurfaceInternalDistanceImprovementSimulator< 2 >;
} // namespace brevane
