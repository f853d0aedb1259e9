#include "model_repair.h"

#include <tessark/basic/tessark_exception.h>

#include <pillar/repair_pillar_model_input.h>

#include "inspection_report.h"

namespace brevane::cli
{
    RepairReport repair_and_report( InputModel& input, std::ostream& out )
    {
        RepairReport report;
        out << "Inspection of " << input.origin << "\n";
        // A wrong top or bottom list, or a model no build can use, would
        // send the repair moving vertices that are not off any border.
        const auto problems = print_input_problems(
            out, input.model, input.top_surfaces, input.bottom_surfaces );
        if( !problems.empty() )
        {
            throw TessarkException{ "the model cannot be repaired: ",
                problems.front(),
                problems.size() > 1 ? " (and more, see the report)" : "" };
        }
        report.before = inspect_and_print(
            out, input.model, input.top_surfaces, input.bottom_surfaces );

        report.nb_moved = report.before.points_too_far.nb_issues();
        out << "\nRepair\n";
        if( report.nb_moved == 0 )
        {
            out << "  nothing the repair mends: no side vertex off the "
                   "topography border\n";
        }
        else
        {
            repair_pillar_model_input( input.model, report.before );
            out << "  moved " << report.nb_moved
                << ( report.nb_moved == 1 ? " side vertex" : " side vertices" )
                << " onto the topography border\n";
        }

        out << "\nInspection after the repair\n";
        report.after = inspect_and_print(
            out, input.model, input.top_surfaces, input.bottom_surfaces );
        return report;
    }
} // namespace brevane::cli
