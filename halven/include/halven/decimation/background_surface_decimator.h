#pragma once

#include <halven/background/background_surface_constraint_modifier.h>
#include <halven/decimation/triangulated_surface_decimator.h>

namespace brevane::internal
{
    // The decimator of background surfaces: collapses go through the
    // modifier of the constraint modifier, under its constraints, so that
    // the background-surface rules hold throughout: a vertex with macro
    // vertex records or on the border is never removed, chains of edges with
    // macro edge records stay chains between the same end vertices, and the
    // records follow every collapse.
    class BackgroundSurfaceDecimator : public TriangulatedSurfaceDecimator< 2 >
    {
    public:
        // The constraint modifier and the operator must outlive the
        // decimator.
        BackgroundSurfaceDecimator(
            BackgroundSurfaceConstraintModifier& modifier,
            const TriangulatedSurfaceDecimatorOperator< 2 >&
                decimation_operator );
        ~BackgroundSurfaceDecimator() override;

        // True when vertices[0] may disappear: it is not on the border and
        // has no macro vertex record. Whether the collapse is valid is
        // checked when it is done.
        [[nodiscard]] bool allowed_collapse_edge(
            const OrientedEdge& edge ) const override;

    protected:
        [[nodiscard]] BackgroundSurfaceConstraintModifier& constraint_modifier()
            const;

    private:
        BackgroundSurfaceConstraintModifier& constraint_modifier_;
    };
} // namespace brevane::internal
