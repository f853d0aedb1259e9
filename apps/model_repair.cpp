#include "model_repair.h"

#include <pillar/repair_pillar_model_input.h>

#include "inspection_report.h"

namespace brevane::cli
{
    std::uint32_t repair_and_report( InputModel& input, std::ostream& out )
    {
        out << "Inspection of " << input.origin << "\n";
        const auto before = inspect_and_print(
            out, input.model, input.top_surfaces, input.bottom_surfaces );

        const auto nb_moved = before.points_too_far.nb_issues();
        out << "\nRepair\n";
        if( nb_moved == 0 )
        {
            out << "  nothing the repair mends: no side vertex off the "
                   "topography border\n";
        }
        else
        {
            repair_pillar_model_input( input.model, before );
            out << "  moved " << nb_moved
                << ( nb_moved == 1 ? " side vertex" : " side vertices" )
                << " onto the topography border\n";
        }

        out << "\nInspection after the repair\n";
        return nb_issues( inspect_and_print(
            out, input.model, input.top_surfaces, input.bottom_surfaces ) );
    }
} // namespace brevane::cli
