#pragma once

#include <tessark/model/brep_builder.h>

namespace brevane
{
    // Geometric changes of a model that keep its unique vertices consistent.
    class BRepGeometricModifier
    {
    public:
        BRepGeometricModifier( const BRep& model, BRepBuilder& builder );

        // Moves every component vertex bound to the unique vertex (in every
        // corner, line, surface and block) to the point. Throws a
        // TessarkException naming the index when it is not a unique vertex.
        void move_point( index_t unique_vertex, const Point3D& point );

    private:
        const BRep& model_;
        BRepBuilder& builder_;
    };
} // namespace brevane
