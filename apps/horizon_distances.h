#pragma once

#include <memory>
#include <string>
#include <vector>

#include <tessark/mesh/surface_mesh.h>
#include <tessark/model/structural_model.h>

namespace brevane::cli
{
    // How far a rebuilt horizon lies from the input one.
    struct HorizonDistance
    {
        std::string horizon;
        // The largest vertical distance from a vertex of a rebuilt surface
        // of the horizon to the input surface of the same id, in model
        // units; 0 when no vertex stands over the input surface.
        double largest{ 0 };
    };

    // What the distances need of the input model, kept before a build
    // rebuilds it in place: the input's box and a copy of the mesh of every
    // horizon surface, rather than a copy of the whole model.
    struct InputHorizons
    {
        struct Surface
        {
            uuid id;
            std::unique_ptr< SurfaceMesh< 3 > > mesh;
        };
        struct Horizon
        {
            std::string name;
            std::vector< Surface > surfaces;
        };

        BoundingBox3D box;
        // In model order, each one's surfaces in item order.
        std::vector< Horizon > horizons;
    };

    // Throws a TessarkException naming a horizon surface whose mesh is
    // neither triangulated nor polygonal.
    [[nodiscard]] InputHorizons keep_input_horizons(
        const StructuralModel& input );

    // One entry per horizon of the input model, in model order. The rebuilt
    // model keeps the ids of the input surfaces it rebuilds; a surface it no
    // longer has is skipped. The vertices are measured in parallel.
    [[nodiscard]] std::vector< HorizonDistance > horizon_distances(
        const InputHorizons& input, const StructuralModel& rebuilt );
} // namespace brevane::cli
