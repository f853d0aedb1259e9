#include <halven/modifier/constraint_modifier.h>

#include <tessark/basic/tessark_exception.h>

namespace brevane::internal
{
    ConstraintModifier::CommonConstraints::CommonConstraints(
        int border_constraint_value )
        : border_constraint( border_constraint_value )
    {
        TESSARK_EXCEPTION( border_constraint >= 0 && border_constraint <= 3,
            "[ConstraintModifier::CommonConstraints] Border constraint ",
            border_constraint, " is not one of 0, 1, 2 or 3" );
    }
} // namespace brevane::internal
