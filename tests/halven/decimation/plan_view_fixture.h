#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <tessark/basic/uuid.h>
#include <tessark/geometry/basic_objects.h>

#include <halven/background/background_surface_constraint_modifier.h>
#include <halven/background/macro_info.h>

#include "halven/background/background_fixture.h"

namespace brevane::internal::test
{
    // A trace inserted into a plan view: edge e of the curve is the chain of
    // the macro edge record (id, e).
    struct Trace
    {
        uuid id;
        std::vector< Segment2D > segments;
    };

    // A vertex that neither decimation nor optimisation may remove or move.
    struct FixedVertex
    {
        Point2D point;
        MacroVertices records;
    };

    // A plan view of random shape: a grid of unit squares whose inner
    // vertices are moved randomly by up to a quarter, with random polyline
    // traces inserted (each curve vertex gets a macro vertex record, each
    // curve edge a chain), and a constraint modifier with border-constraint
    // value 2 over its modifier.
    struct PlanView
    {
        PlanView( index_t nb_squares, index_t nb_traces, unsigned seed );

        [[nodiscard]] index_t nb_live_vertices() const;
        // The smallest minimal internal distance of the live triangles.
        [[nodiscard]] double worst_quality() const;
        // Everything that makes the plan view differ from what decimation
        // and optimisation must keep: a valid surface (background_problems)
        // of the same area, every trace a chain between the vertices at its
        // ends, every border vertex and every recorded vertex present at its
        // place with its records. Empty when all holds.
        [[nodiscard]] std::vector< std::string > problems() const;

        std::unique_ptr< BackgroundFixture > fixture;
        std::unique_ptr< BackgroundSurfaceConstraintModifier > constraints;
        std::vector< Trace > traces;
        std::vector< FixedVertex > fixed_vertices;
        double area{ 0 };
    };
} // namespace brevane::internal::test
