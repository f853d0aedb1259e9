#include <halven/background/background_surface_constraint_modifier.h>

namespace brevane::internal
{
    BackgroundSurfaceConstraintModifier::BackgroundSurfaceConstraintModifier(
        std::pair< BackgroundSurface&, BackgroundSurfaceModifier& > background,
        BackgroundSurfaceBuilder& builder,
        const CommonConstraints& constraints )
        : ConstraintModifier( constraints ),
          background_( background.first ),
          modifier_( background.second ),
          builder_( builder ),
          previous_( background.second.constraints() )
    {
        modifier_.set_constraints( constraints );
    }

    BackgroundSurfaceConstraintModifier::~BackgroundSurfaceConstraintModifier()
    {
        modifier_.set_constraints( previous_ );
    }

    std::pair< BackgroundSurface&, BackgroundSurfaceModifier& >
        BackgroundSurfaceConstraintModifier::modifiable_background()
    {
        return { background_, modifier_ };
    }

    std::pair< const TriangulatedSurface2D&, BackgroundSurfaceModifier& >
        BackgroundSurfaceConstraintModifier::modifiable_surface()
    {
        return { background_.surface(), modifier_ };
    }
} // namespace brevane::internal
