#include "inspection_report.h"

#include <pillar/pillar_structural_model_builder.h>

#include "inspection/input_checks.h"
#include "report_format.h"

namespace brevane::cli
{
    std::uint32_t nb_issues(
        const PillarStructuralModelInspectionResult& result )
    {
        return result.multi_z.nb_issues() + result.lines.nb_issues()
               + result.points_too_far.nb_issues()
               + result.surfaces_collection.nb_issues();
    }

    void print_inspection(
        std::ostream& out, const PillarStructuralModelInspectionResult& result )
    {
        out << indent_lines( result.string(), "  " );
        const auto issues = nb_issues( result );
        if( issues == 0 )
        {
            out << "  verdict: no issues, the pillar model can be built\n";
        }
        else
        {
            out << "  verdict: " << counted( issues, "issue" )
                << ", the pillar model cannot be built until "
                << ( issues == 1 ? "it is" : "they are" ) << " fixed\n";
        }
    }

    std::vector< std::string > print_input_problems( std::ostream& out,
        const StructuralModel& model, absl::Span< const uuid > top_surfaces,
        absl::Span< const uuid > bottom_surfaces )
    {
        auto problems =
            internal::input_problems( model, top_surfaces, bottom_surfaces );
        if( !problems.empty() )
        {
            out << "  before any build: " << counted( problems.size(), "problem" )
                << ", the pillar model cannot be built\n";
            for( const auto& problem : problems )
            {
                out << "    - " << problem << "\n";
            }
        }
        return problems;
    }

    PillarStructuralModelInspectionResult inspect_and_print( std::ostream& out,
        StructuralModel& model, absl::Span< const uuid > top_surfaces,
        absl::Span< const uuid > bottom_surfaces )
    {
        PillarStructuralModelBuilder builder{ model, top_surfaces,
            bottom_surfaces };
        auto result = builder.is_model_construction_possible();
        print_inspection( out, result );
        return result;
    }
} // namespace brevane::cli
