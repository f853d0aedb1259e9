#pragma once

#include <utility>

#include <halven/background/background_surface.h>
#include <halven/background/background_surface_builder.h>
#include <halven/background/background_surface_modifier.h>
#include <halven/modifier/constraint_modifier.h>

namespace brevane::internal
{
    // Applies constraints to a background surface modifier for its own
    // lifetime: while it exists, every validity test and operation of the
    // modifier (through this object or directly) honours the constraints on
    // top of its own rules; the modifier's previous constraints come back
    // when it is destroyed.
    class BackgroundSurfaceConstraintModifier : public ConstraintModifier
    {
    public:
        BackgroundSurfaceConstraintModifier(
            std::pair< BackgroundSurface&, BackgroundSurfaceModifier& > background,
            BackgroundSurfaceBuilder& builder,
            const CommonConstraints& constraints );
        ~BackgroundSurfaceConstraintModifier();

        BackgroundSurfaceConstraintModifier(
            const BackgroundSurfaceConstraintModifier& ) = delete;
        BackgroundSurfaceConstraintModifier& operator=(
            const BackgroundSurfaceConstraintModifier& ) = delete;

        // The background surface and the modifier to change it with.
        [[nodiscard]] std::pair< BackgroundSurface&, BackgroundSurfaceModifier& >
            modifiable_background();
        // The triangulation and the modifier to change it with.
        [[nodiscard]] std::pair< const TriangulatedSurface2D&,
            BackgroundSurfaceModifier& >
            modifiable_surface();
        [[nodiscard]] BackgroundSurfaceBuilder& background_builder()
        {
            return builder_;
        }

    private:
        BackgroundSurface& background_;
        BackgroundSurfaceModifier& modifier_;
        BackgroundSurfaceBuilder& builder_;
        CommonConstraints previous_;
    };
} // namespace brevane::internal
