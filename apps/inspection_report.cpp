#include "inspection_report.h"

#include <tessark/geometry/predicates.h>

#include <pillar/input_inspections.h>
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

    namespace
    {
        // Where each folded top surface folds: its name and a triangle that
        // turns the other way from its first one seen from above.
        void print_folds( std::ostream& out, const StructuralModel& model,
            absl::Span< const uuid > top_surfaces,
            absl::Span< const uuid > bottom_surfaces,
            const MultiZInspectionResult& multi_z )
        {
            if( multi_z.nb_issues() == 0 )
            {
                return;
            }
            const auto triangles = internal::top_surface_triangles(
                { model, top_surfaces, bottom_surfaces } );
            const auto sign = []( const std::array< Point2D, 3 >& points )
            {
                return triangle_area_sign(
                    Triangle2D{ points[0], points[1], points[2] } );
            };
            for( const auto& id : multi_z.issues )
            {
                const auto found = triangles.find( id );
                if( found == triangles.end() || found->second.empty() )
                {
                    continue;
                }
                const auto& plan = found->second;
                const auto reference = sign( plan.front() );
                for( std::size_t triangle = 1; triangle < plan.size();
                     triangle++ )
                {
                    if( sign( plan[triangle] ) == reference )
                    {
                        continue;
                    }
                    const auto& points = plan[triangle];
                    out << "  folded top surface \""
                        << model.surface( id ).name() << "\" (" << id.string()
                        << "): triangle " << triangle << " at ("
                        << ( points[0].value( 0 ) + points[1].value( 0 )
                               + points[2].value( 0 ) )
                               / 3
                        << ", "
                        << ( points[0].value( 1 ) + points[1].value( 1 )
                               + points[2].value( 1 ) )
                               / 3
                        << ") turns the other way from its triangle 0 seen "
                           "from above\n";
                    break;
                }
            }
        }
    } // namespace

    PillarStructuralModelInspectionResult inspect_and_print( std::ostream& out,
        StructuralModel& model, absl::Span< const uuid > top_surfaces,
        absl::Span< const uuid > bottom_surfaces )
    {
        PillarStructuralModelBuilder builder{ model, top_surfaces,
            bottom_surfaces };
        auto result = builder.is_model_construction_possible();
        print_inspection( out, result );
        print_folds( out, model, top_surfaces, bottom_surfaces, result.multi_z );
        return result;
    }
} // namespace brevane::cli
