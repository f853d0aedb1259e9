#include <pillar/pillar_structural_model_exception.h>

#include <absl/strings/str_cat.h>

namespace brevane
{
    namespace
    {
        // The checks that found issues, as "<count> issues with
        // <description>", in the order of the records.
        std::string failed_checks(
            const PillarStructuralModelInspectionResult& result )
        {
            std::string checks;
            const auto add = [&checks]( std::uint32_t nb_issues,
                                 const std::string& description )
            {
                if( nb_issues == 0 )
                {
                    return;
                }
                absl::StrAppend( &checks, checks.empty() ? " Failed checks: "
                                                         : "; ",
                    nb_issues, " issues with ", description );
            };
            add( result.multi_z.nb_issues(), result.multi_z.description );
            add( result.lines.nb_issues(), result.lines.description );
            add( result.points_too_far.nb_issues(),
                result.points_too_far.description );
            add( result.surfaces_collection.nb_issues(),
                result.surfaces_collection.description );
            return checks;
        }
    } // namespace

    PillarStructuralModelException::PillarStructuralModelException(
        PillarStructuralModelInspectionResult result )
        : TessarkDataException{ "Pillar model construction is not possible.",
              failed_checks( result ) },
          inspection_result( std::move( result ) )
    {
    }

    PillarStructuralModelException::~PillarStructuralModelException() = default;
} // namespace brevane
