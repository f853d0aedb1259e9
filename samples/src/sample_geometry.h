#pragma once

#include <array>
#include <vector>

#include <tessark/geometry/point.h>

#include <samples/sample_model_parameters.h>

namespace brevane
{
    // The deformation that turns the flat, straight-lined section of a
    // sample model, extruded along y, into its final shape: a point (x, y, z)
    // of the undeformed box moves vertically to
    //   z + top_offset( x, y ) w( z ) + bottom_offset( x, y ) ( 1 - w( z ) ),
    // w growing linearly from 0 at bottom_z to 1 at top_z. The mean top
    // height goes onto the topography, the reference bottom onto the bottom,
    // and every column keeps its order in z as long as the topography stays
    // above the bottom, so no two surfaces cross. x and y never change: the
    // sides stay vertical.
    class SampleGeometry
    {
    public:
        // The parameters must have been checked.
        explicit SampleGeometry( const SampleModelParameters& parameters );

        // Height of the topography above top_z.
        [[nodiscard]] double top_offset( double x, double y ) const;
        // Height of the bottom above bottom_z.
        [[nodiscard]] double bottom_offset( double x, double y ) const;
        // The final position of a point of the undeformed box.
        [[nodiscard]] Point3D position( double x, double y, double z ) const;

    private:
        struct Hill
        {
            double x;
            double y;
            double inverse_square_width;
            double height;
        };

        [[nodiscard]] double hills_offset( double x, double y ) const;
        [[nodiscard]] double grid_offset( double x, double y ) const;

        SampleBox box_;
        TopographyParameters topography_;
        double bottom_amplitude_;
        std::vector< Hill > hills_;
        std::array< double, 2 > wave_phases_{};
    };
} // namespace brevane
