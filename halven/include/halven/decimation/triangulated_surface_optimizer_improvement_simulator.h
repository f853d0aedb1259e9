#pragma once

#include <tessark/mesh/triangulated_surface.h>

namespace brevane
{
    // Judges a local change of a triangulated surface (a flip, a vertex
    // move) by the triangles it replaces and the triangles it creates. An
    // optimiser asks, for each change it considers:
    // 1. start_simulation(), then evaluate_triangle for each triangle the
    //    change replaces, as the surface holds them;
    // 2. start_after_change(), then evaluate_triangle for each triangle the
    //    change would create (the optimiser may hand them on another
    //    surface, holding just these triangles, so as to change the surface
    //    only for a change it keeps);
    // 3. is_better_after_simulation() to keep the change or not.
    // An evaluation answering false refuses the change.
    template < index_t D >
    class TriangulatedSurfaceOptimizerImprovementSimulator
    {
    public:
        TriangulatedSurfaceOptimizerImprovementSimulator() = default;
        virtual ~TriangulatedSurfaceOptimizerImprovementSimulator();

        TriangulatedSurfaceOptimizerImprovementSimulator(
            const TriangulatedSurfaceOptimizerImprovementSimulator& ) = delete;
        TriangulatedSurfaceOptimizerImprovementSimulator& operator=(
            const TriangulatedSurfaceOptimizerImprovementSimulator& ) = delete;

        // The evaluations that follow describe the surface before a change.
        virtual void start_simulation() = 0;
        // The evaluations that follow describe the surface after the change.
        virtual void start_after_change() = 0;
        // Evaluates the triangle and records its quality on the current side
        // of the simulation; false when it cannot be judged.
        [[nodiscard]] virtual bool evaluate_triangle(
            const TriangulatedSurface< D >& surface, index_t triangle ) = 0;
        // The worst quality recorded on the current side.
        [[nodiscard]] virtual double worst() const = 0;
        // True when the side after the change is better than the side
        // before it.
        [[nodiscard]] virtual bool is_better_after_simulation() const = 0;
        // The figure of the current side that is compared across the
        // change; its worst quality unless a simulator weighs its
        // evaluations otherwise.
        [[nodiscard]] virtual double metric() const;
    };
} // namespace brevane
