#pragma once

namespace brevane::internal
{
    // The base of modifiers that restrict what local operations may do to a
    // mesh beyond the validity of the result.
    class ConstraintModifier
    {
    public:
        // Constraints on the border, given by an integer whose bits add
        // restrictions:
        // - 0: nothing beyond the modifier's own rules (a background surface
        //   modifier never removes or moves a border vertex anyway);
        // - 1: border edges fixed: no border edge is split, so the border
        //   keeps exactly its vertices;
        // - 2: border vertices fixed: never removed, never moved (what the
        //   background surface modifier does alone, stated for callers that
        //   want to be explicit);
        // - 3: both.
        // Other values are refused with a TessarkException.
        struct CommonConstraints
        {
            CommonConstraints() = default;
            // Implicit, so that callers may pass the number.
            CommonConstraints( int border_constraint );

            [[nodiscard]] bool border_edges_fixed() const
            {
                return ( border_constraint & 1 ) != 0;
            }
            [[nodiscard]] bool border_vertices_fixed() const
            {
                return ( border_constraint & 2 ) != 0;
            }

            int border_constraint{ 2 };
        };

        explicit ConstraintModifier( const CommonConstraints& constraints )
            : constraints_( constraints )
        {
        }

        [[nodiscard]] const CommonConstraints& constraints() const
        {
            return constraints_;
        }

    private:
        CommonConstraints constraints_;
    };
} // namespace brevane::internal
