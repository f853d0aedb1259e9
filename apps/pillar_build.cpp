#include "pillar_build.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <absl/container/flat_hash_map.h>
#include <tbb/parallel_invoke.h>

#include <pillar/pillar_structural_model_builder.h>
#include <tessark/basic/string_concatenation.h>
#include <tessark/inspection/model_validation.h>

#include <io/plan_view_svg.h>
#include <io/safe_files.h>

#include "top_surface/plan_view_statistics.h"

#include "build_report_text.h"
#include "inspection_report.h"
#include "model_files.h"
#include "output_files.h"
#include "report_format.h"
#include "usage_error.h"

namespace brevane::cli
{
    namespace
    {
        struct PlanViewPictures
        {
            std::filesystem::path before_decimation;
            std::filesystem::path after_decimation;
        };

        PlanViewPictures pictures_beside( const std::filesystem::path& model )
        {
            const auto folder = model.parent_path();
            const auto stem = model.stem().string();
            return { folder / ( stem + "_plan_view_before_decimation.svg" ),
                folder / ( stem + "_plan_view_after_decimation.svg" ) };
        }

        // What the build showed of its plan view at one stage: its
        // statistics and, when asked for, its picture with a dot on each
        // vertex holding a pillar.
        struct PlanViewRecord
        {
            internal::PlanViewStatistics statistics;
            std::string picture;
        };

        // What a build hands over for the summary.
        struct BuildOutcome
        {
            std::vector< uuid > slices;
            std::vector< std::vector< uuid > > surface_groups_order;
            PlanViewRecord before_decimation;
            PlanViewRecord after_decimation;
        };

        // Runs the inspection, then the build when it finds no issue, with
        // the progress lines; returns what a build hands over.
        std::optional< BuildOutcome > run_build( InputModel& input,
            const PillarBuildSettings& settings, std::ostream& out,
            BuildReport& report )
        {
            StageProgress progress{ out,
                "Making the plan view and inspecting the model" };
            PillarStructuralModelBuilder builder{ input.model,
                input.top_surfaces, input.bottom_surfaces };
            BuildOutcome outcome;
            builder.observe_plan_view(
                [&outcome, &settings]( PlanViewStage stage,
                    const internal::BackgroundSurface& background,
                    absl::Span< const index_t > pillars )
                {
                    auto& record = stage == PlanViewStage::before_decimation
                                       ? outcome.before_decimation
                                       : outcome.after_decimation;
                    record.statistics =
                        internal::plan_view_statistics( background );
                    if( settings.pictures )
                    {
                        record.picture = plan_view_svg( background, pillars );
                    }
                } );
            bool built{ false };
            try
            {
                report.inspection = builder.is_model_construction_possible();
                // Input no build can use is refused by the build itself,
                // before anything is written, in the library's words.
                if( nb_issues( report.inspection ) == 0
                    || !report.inspection.input_problems.empty() )
                {
                    PillarStructuralModelOptions options;
                    options.add_block_mesh = settings.add_block_mesh;
                    outcome.slices =
                        builder.build( options ).slice_collection_order;
                    outcome.surface_groups_order =
                        builder.surface_groups_order();
                    built = true;
                }
            }
            catch( const std::exception& failure )
            {
                report.failure = failure.what();
            }
            report.build_milliseconds = progress.finish();
            report.stages = progress.stages();
            if( built )
            {
                out << "  built in "
                    << format_duration( report.build_milliseconds ) << "\n";
                return outcome;
            }
            if( !report.failure )
            {
                out << "  the inspection found issues, nothing was built:\n";
                print_inspection( out, report.inspection );
            }
            return std::nullopt;
        }

        // What the summary needs of the input model, taken before the build
        // rebuilds it in place.
        struct InputRecord
        {
            SurfacePolygonCounts polygons;
            absl::flat_hash_map< uuid, std::string > surface_names;
            InputHorizons horizons;
        };

        InputRecord record_input( const StructuralModel& input )
        {
            InputRecord record{ count_surface_polygons( input ), {},
                keep_input_horizons( input ) };
            for( const auto& surface : input.surfaces() )
            {
                record.surface_names.emplace(
                    surface.id(), std::string{ surface.name() } );
            }
            return record;
        }

        void fill_counts( const StructuralModel& rebuilt,
            const BuildOutcome& outcome, BuildReport& report )
        {
            report.nb_slices = outcome.slices.size();
            report.nb_pillars =
                outcome.after_decimation.statistics.nb_vertices;
            report.plan_view_triangles_before =
                outcome.before_decimation.statistics.nb_triangles;
            report.plan_view_triangles_after =
                outcome.after_decimation.statistics.nb_triangles;
            report.rebuilt_model = count_model( rebuilt );
            report.rebuilt_polygons = report.rebuilt_model.polygons;
            if( report.with_cells )
            {
                report.block_cells = block_cells( rebuilt );
            }
        }

        void fill_collections( const InputRecord& input,
            const StructuralModel& rebuilt, const BuildOutcome& outcome,
            BuildReport& report )
        {
            for( const auto& id : outcome.slices )
            {
                const auto& collection = rebuilt.surface_collection( id );
                SliceCollection slice{ { "SurfaceCollection", id,
                    std::string{ collection.name() } }, {} };
                for( const auto& item : rebuilt.items( id ) )
                {
                    slice.surfaces.push_back( { "Surface", item.id(),
                        std::string{ rebuilt.surface( item.id() ).name() } } );
                }
                report.slices.push_back( std::move( slice ) );
            }
            for( const auto& group : outcome.surface_groups_order )
            {
                auto& named = report.surface_groups_order.emplace_back();
                for( const auto& id : group )
                {
                    named.push_back(
                        { "Surface", id, input.surface_names.at( id ) } );
                }
            }
        }

        void write_picture( const std::filesystem::path& path,
            const std::string& picture )
        {
            try
            {
                write_file_replacing( path, picture, "[plan view] " );
            }
            catch( const TessarkException& error )
            {
                throw UsageError{ "cannot write the picture ", path.string(),
                    ": ", error.what() };
            }
        }
    } // namespace

    void check_build_outputs( const PillarBuildSettings& settings )
    {
        check_model_file_path( settings.model_file );
        if( settings.pictures )
        {
            const auto pictures = pictures_beside( settings.model_file );
            check_writable( pictures.before_decimation );
            check_writable( pictures.after_decimation );
        }
    }

    BuildReport build_pillar_model( InputModel& input,
        const PillarBuildSettings& settings, std::ostream& out,
        Verbosity verbosity )
    {
        check_build_outputs( settings );
        BuildReport report;
        report.origin = input.origin;
        report.with_cells = settings.add_block_mesh;
        const auto recorded = [&input, &out]
        {
            StageProgress progress{ out, "Keeping the input's horizons" };
            auto record = record_input( input.model );
            progress.finish();
            return record;
        }();
        const auto outcome = run_build( input, settings, out, report );
        if( !outcome )
        {
            return report;
        }
        report.built = true;

        StageProgress progress{ out,
            "Validating the model and measuring its horizons" };
        report.input_polygons = recorded.polygons;
        fill_counts( input.model, *outcome, report );
        fill_collections( recorded, input.model, *outcome, report );
        // Both only read the model; the validation runs on one thread, so
        // the measurement takes the others meanwhile.
        tbb::parallel_invoke(
            [&report, &input]
            {
                report.validation = validate_model( input.model );
            },
            [&report, &input, &recorded]
            {
                report.horizon_distances =
                    horizon_distances( recorded.horizons, input.model );
            } );
        OutputFiles outputs;
        outputs.create_folder_of( settings.model_file );
        if( settings.pictures )
        {
            progress.start( "Writing the pictures" );
            const auto pictures = pictures_beside( settings.model_file );
            outputs.record( pictures.before_decimation );
            outputs.record( pictures.after_decimation );
            write_picture( pictures.before_decimation,
                outcome->before_decimation.picture );
            write_picture( pictures.after_decimation,
                outcome->after_decimation.picture );
            report.files = { { "plan view before", pictures.before_decimation },
                { "plan view after", pictures.after_decimation } };
        }
        progress.start( "Writing the model file" );
        write_model_file( input.model, settings.model_file, outputs );
        progress.finish();
        outputs.keep();
        report.files.insert(
            report.files.begin(), { "rebuilt model", settings.model_file } );
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
