#include "pillar_build.h"

#include <string>
#include <string_view>

#include <pillar/pillar_structural_model_builder.h>
#include <tessark/basic/string_concatenation.h>
#include <tessark/inspection/model_validation.h>

#include "build_report_text.h"
#include "inspection_report.h"
#include "model_files.h"
#include "output_files.h"
#include "plan_view_replay.h"
#include "report_format.h"

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

        NamedItem surface_item( const StructuralModel& model, const uuid& id )
        {
            return { "Surface", id,
                std::string{ model.surface( id ).name() } };
        }

        // Runs the inspection, then the build when it finds no issue, with
        // the progress lines; returns the slice collections of a build.
        std::optional< std::vector< uuid > > run_build( InputModel& input,
            bool add_block_mesh, std::ostream& out, BuildReport& report )
        {
            out << "Building the pillar model of " << input.origin << "\n";
            StageProgress progress{ out,
                "Making the plan view and inspecting the model" };
            PillarStructuralModelBuilder builder{ input.model,
                input.top_surfaces, input.bottom_surfaces };
            std::optional< std::vector< uuid > > slices;
            try
            {
                report.inspection = builder.is_model_construction_possible();
                // Input no build can use is refused by the build itself,
                // before anything is written, in the library's words.
                if( nb_issues( report.inspection ) == 0
                    || !report.inspection.input_problems.empty() )
                {
                    PillarStructuralModelOptions options;
                    options.add_block_mesh = add_block_mesh;
                    slices = builder.build( options ).slice_collection_order;
                }
            }
            catch( const std::exception& failure )
            {
                report.failure = failure.what();
            }
            report.build_milliseconds = progress.finish();
            report.stages = progress.stages();
            if( slices )
            {
                out << "  built in " << format_duration( report.build_milliseconds )
                    << "\n";
            }
            else if( !report.failure )
            {
                out << "  the inspection found issues, nothing was built:\n";
                print_inspection( out, report.inspection );
            }
            return slices;
        }

        void fill_summary( const StructuralModel& original,
            const StructuralModel& rebuilt, absl::Span< const uuid > slices,
            const PlanViewDecimation& plan_view, BuildReport& report )
        {
            report.nb_slices = slices.size();
            report.nb_pillars = plan_view.after.nb_vertices;
            report.plan_view_triangles_before = plan_view.before.nb_triangles;
            report.plan_view_triangles_after = plan_view.after.nb_triangles;
            report.input_polygons = count_surface_polygons( original );
            report.rebuilt_model = count_model( rebuilt );
            report.rebuilt_polygons = report.rebuilt_model.polygons;
            if( report.with_cells )
            {
                report.block_cells = block_cells( rebuilt );
            }
            report.validation = validate_model( rebuilt );
            report.horizon_distances = horizon_distances( original, rebuilt );
            for( const auto& id : slices )
            {
                const auto& collection = rebuilt.surface_collection( id );
                SliceCollection slice{ { "SurfaceCollection", id,
                    std::string{ collection.name() } }, {} };
                for( const auto& item : rebuilt.items( id ) )
                {
                    slice.surfaces.push_back(
                        surface_item( rebuilt, item.id() ) );
                }
                report.slices.push_back( std::move( slice ) );
            }
            for( const auto& group : plan_view.surface_groups_order )
            {
                auto& named = report.surface_groups_order.emplace_back();
                for( const auto& id : group )
                {
                    named.push_back( surface_item( original, id ) );
                }
            }
        }
    } // namespace

    void check_build_outputs( const PillarBuildSettings& settings )
    {
        check_model_file_path( settings.model_file );
        const auto pictures = pictures_beside( settings.model_file );
        check_writable( pictures.before_decimation );
        check_writable( pictures.after_decimation );
    }

    BuildReport build_pillar_model( InputModel& input,
        const PillarBuildSettings& settings, std::ostream& out,
        Verbosity verbosity )
    {
        check_build_outputs( settings );
        BuildReport report;
        report.origin = input.origin;
        report.with_cells = settings.add_block_mesh;
        const auto original = input.model.clone();
        const auto slices =
            run_build( input, settings.add_block_mesh, out, report );
        if( !slices )
        {
            return report;
        }
        report.built = true;

        OutputFiles outputs;
        outputs.create_folder_of( settings.model_file );
        const auto pictures = pictures_beside( settings.model_file );
        outputs.record( pictures.before_decimation );
        outputs.record( pictures.after_decimation );
        const auto plan_view = replay_plan_view_decimation(
            { original, input.top_surfaces, input.bottom_surfaces }, pictures );
        fill_summary( original, input.model, *slices, plan_view, report );
        write_model_file( input.model, settings.model_file, outputs );
        outputs.keep();
        report.files = { { "rebuilt model", settings.model_file },
            { "plan view before", pictures.before_decimation },
            { "plan view after", pictures.after_decimation } };
        print_build_summary( out, report, verbosity );
        return report;
    }

    bool is_success( const BuildReport& report )
    {
        return report.built && report.validation.is_valid();
    }

    void check_build_report( const BuildReport& report )
    {
        if( report.failure )
        {
            throw TessarkException{ "the build failed: ", *report.failure };
        }
        if( !report.built )
        {
            throw TessarkException{ "the model has ",
                counted( nb_issues( report.inspection ), "issue" ),
                ", nothing was built" };
        }
        if( !report.validation.is_valid() )
        {
            throw TessarkException{ "the rebuilt model is not valid" };
        }
    }
} // namespace brevane::cli
