#include "pillar_build.h"

#include <string>
#include <string_view>

#include <pillar/pillar_structural_model_builder.h>
#include <pillar/pillar_structural_model_exception.h>
#include <tessark/basic/string_concatenation.h>
#include <tessark/inspection/model_validation.h>

#include "horizon_distances.h"
#include "inspection_report.h"
#include "model_files.h"
#include "model_summary.h"
#include "plan_view_replay.h"
#include "report_format.h"
#include "stage_progress.h"

namespace brevane::cli
{
    namespace
    {
        PlanViewPictures pictures_beside( const std::filesystem::path& model )
        {
            const auto folder = model.parent_path();
            const auto stem = model.stem().string();
            return { folder / ( stem + "_plan_view_before_decimation.svg" ),
                folder / ( stem + "_plan_view_after_decimation.svg" ) };
        }

        // Runs the build with its progress lines; a refusal prints the
        // inspection that made it and becomes the command's failure.
        PillarStructuralModelBuilderResult run_build(
            InputModel& input, bool add_block_mesh, std::ostream& out )
        {
            out << "Building the pillar model of " << input.origin << "\n";
            StageProgress progress{ out,
                "Making the plan view and inspecting the model" };
            PillarStructuralModelOptions options;
            options.add_block_mesh = add_block_mesh;
            PillarStructuralModelBuilder builder{ input.model,
                input.top_surfaces, input.bottom_surfaces };
            try
            {
                auto result = builder.build( options );
                const auto elapsed = progress.finish();
                out << "  built in " << format_duration( elapsed ) << "\n";
                return result;
            }
            catch( const PillarStructuralModelException& refusal )
            {
                out << "  the inspection found issues, nothing was built:\n";
                print_inspection( out, refusal.inspection_result );
                const auto issues = nb_issues( refusal.inspection_result );
                throw TessarkException{ "the model has ",
                    counted( issues, "issue" ), ", nothing was built" };
            }
            catch( const std::exception& failure )
            {
                throw TessarkException{ "the build failed: ", failure.what() };
            }
        }
    } // namespace

    void build_pillar_model( InputModel& input,
        const PillarBuildSettings& settings, std::ostream& out )
    {
        check_model_file_path( settings.model_file );
        create_folder_of( settings.model_file );
        const auto original = input.model.clone();
        const auto result = run_build( input, settings.add_block_mesh, out );

        const auto pictures = pictures_beside( settings.model_file );
        const auto plan_view = replay_plan_view_decimation(
            { original, input.top_surfaces, input.bottom_surfaces }, pictures );

        out << "\nSummary\n";
        const std::string_view indent{ "  " };
        print_row( out, indent, "slices",
            std::to_string( result.slice_collection_order.size() ) );
        print_row( out, indent, "pillars",
            std::to_string( plan_view.after.nb_vertices ) );
        print_row( out, indent, "plan-view triangles",
            concatenate( plan_view.before.nb_triangles, " before decimation, ",
                plan_view.after.nb_triangles, " after" ) );
        print_row( out, indent, "rebuilt triangles",
            concatenate( count_surface_polygons( input.model ).triangles,
                " (input ", count_surface_polygons( original ).triangles,
                ")" ) );
        if( settings.add_block_mesh )
        {
            print_row( out, indent, "block cells",
                std::to_string( nb_block_cells( input.model ) ) );
            for( const auto& cells : block_cells( input.model ) )
            {
                print_row( out, "    ", cells.block,
                    concatenate(
                        describe_cells( cells ), ", volume ", cells.volume ) );
            }
        }
        print_row(
            out, indent, "rebuilt model", describe_model( input.model ) );
        const auto validation = validate_model( input.model );
        print_row(
            out, indent, "validation", validation_verdict( validation ) );
        print_first_problems( out, validation, "    " );
        out << indent
            << "largest vertical distance from each input horizon to its "
               "rebuilt surface:\n";
        for( const auto& distance : horizon_distances( original, input.model ) )
        {
            print_row( out, "    ", distance.horizon,
                concatenate( distance.largest ) );
        }

        write_model_file( input.model, settings.model_file );
        out << "\nFiles\n";
        print_row( out, indent, "rebuilt model", settings.model_file.string() );
        print_row( out, indent, "plan view before",
            pictures.before_decimation.string() );
        print_row( out, indent, "plan view after",
            pictures.after_decimation.string() );
        if( !validation.is_valid() )
        {
            throw TessarkException{ "the rebuilt model is not valid" };
        }
    }
} // namespace brevane::cli
