#include "commands/default_job.h"

#include <absl/types/span.h>

#include <tessark/basic/version.h>
#include <tessark/inspection/model_validation.h>

#include <samples/sample_ids.h>
#include <samples/sample_model.h>

#include "default_sample.h"
#include "inspection_report.h"
#include "model_defects.h"
#include "model_input.h"
#include "model_repair.h"
#include "model_summary.h"
#include "pillar_build.h"
#include "report_format.h"

namespace brevane::cli
{
    namespace
    {
        // The default sample, its top and bottom taken from its boundaries
        // "top" and "bottom" as for a model file.
        InputModel default_input(
            std::string origin, absl::Span< const ModelDefect > defects )
        {
            const auto parameters = default_sample_parameters();
            auto sample = build_sample_model( parameters );
            for( const auto defect : defects )
            {
                add_defect( sample, defect, sample_id_key( parameters ) );
            }
            InputModel input{ std::move( sample.model ), {}, {},
                std::move( origin ) };
            find_top_and_bottom( input, {} );
            return input;
        }
    } // namespace

    void run_default_job( const std::filesystem::path& output_folder,
        Verbosity verbosity )
    {
        const PillarBuildSettings build_settings{ false,
            output_folder / "pillar_model.vtm" };
        check_build_outputs( build_settings );
        auto& out = text_stream( { verbosity, false } );
        out << "brevane " << tessark_version() << "\n\n";

        auto input = default_input( "the default sample", {} );
        out << "Default sample: "
            << describe_sample( default_sample_parameters() ) << "\n";
        out << "  " << describe_model( input.model ) << "\n";
        print_row( out, "  ", "validation",
            validation_verdict( validate_model( input.model ) ) );

        out << "\nInspection of " << input.origin << "\n";
        const auto inspection = inspect_and_print(
            out, input.model, input.top_surfaces, input.bottom_surfaces );
        if( nb_issues( inspection ) != 0 )
        {
            throw TessarkException{ "the default sample has issues" };
        }

        out << "\nBuilding the pillar model of " << input.origin << "\n";
        check_build_report(
            build_pillar_model( input, build_settings, out, verbosity ) );

        out << "\nThe default sample with one defect of each kind: a folded "
               "top surface, a line stopping inside the model, a side vertex "
               "off the topography border, a surface in no collection\n";
        auto defective =
            default_input( "the sample with defects", ALL_MODEL_DEFECTS );
        const auto issues_left =
            nb_issues( repair_and_report( defective, out ).after );
        out << "\nThe repair moves side vertices onto the topography border; "
            << counted( issues_left, "issue" )
            << ( issues_left == 1 ? " is" : " are" )
            << " left for the modeller to fix in the input.\n";
    }
} // namespace brevane::cli
