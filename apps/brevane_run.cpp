#include <chrono>
#include <iostream>
#include <string>

#include <absl/container/flat_hash_set.h>

#include <tessark/basic/version.h>
#include <tessark/inspection/model_validation.h>
#include <tessark/mesh/triangulated_surface.h>

#include <pillar/metric.h>
#include <pillar/pillar_structural_model_builder.h>
#include <pillar/repair_pillar_model_input.h>
#include <pillar/top_surface_plan_view.h>
#include <pillar/varnholt_pillar_library.h>
#include <samples/sample_model.h>

#include "model_defects.h"

// The main job: builds the default sample model (two faults), shows what the
// inspection says of it and of the same model with one defect of each kind,
// repairs the repairable defect, and shows the plan view of the top surfaces
// before and after the insertion of corners and lines.
namespace
{
    using Clock = std::chrono::steady_clock;

    double milliseconds_since( Clock::time_point start )
    {
        return std::chrono::duration< double, std::milli >( Clock::now() - start )
            .count();
    }

    brevane::SampleModel default_sample()
    {
        brevane::SampleModelParameters parameters;
        parameters.nb_horizons = 3;
        parameters.faults = brevane::spread_faults( parameters.box, 2 );
        return brevane::build_sample_model( parameters );
    }

    void print_model( const brevane::SampleModel& sample )
    {
        std::size_t nb_triangles{ 0 };
        for( const auto& surface : sample.model.surfaces() )
        {
            nb_triangles += surface.mesh().nb_polygons();
        }
        std::cout << "  " << sample.model.nb_surfaces() << " surfaces ("
                  << nb_triangles << " triangles), " << sample.model.nb_lines()
                  << " lines, " << sample.model.nb_corners() << " corners, "
                  << sample.model.nb_blocks() << " blocks, "
                  << sample.model.nb_horizons() << " horizons, "
                  << sample.model.nb_faults() << " faults\n";
        const auto report = brevane::validate_model( sample.model );
        std::cout << "  model validation: "
                  << ( report.is_valid() ? "valid\n" : report.string() );
    }

    void print_inspection( brevane::SampleModel& sample )
    {
        brevane::PillarStructuralModelBuilder builder{ sample.model,
            sample.top_surfaces, sample.bottom_surfaces };
        const auto start = Clock::now();
        const auto& result = builder.is_model_construction_possible();
        const auto elapsed = milliseconds_since( start );
        std::cout << result.string() << "  (inspection: " << elapsed << " ms)\n";
    }

    void print_plan_view( const std::string& when,
        const brevane::TriangulatedSurface< 2 >& surface,
        const brevane::internal::BackgroundSurface& background,
        double elapsed )
    {
        std::size_t nb_constrained{ 0 };
        for( brevane::index_t edge = 0; edge < surface.edges().nb_edges(); edge++ )
        {
            if( !background.macro_edges( edge ).empty() )
            {
                nb_constrained++;
            }
        }
        std::cout << "  " << when << ": " << surface.nb_vertices()
                  << " vertices, " << surface.nb_polygons() << " triangles, "
                  << nb_constrained << " constrained edges (" << elapsed
                  << " ms)\n";
    }

    void show_plan_view( const brevane::SampleModel& sample )
    {
        const brevane::internal::TopSurfaceContext context{ sample.model,
            sample.top_surfaces, sample.bottom_surfaces };
        auto surface = brevane::TriangulatedSurface< 2 >::create();
        brevane::internal::BackgroundSurface background{ *surface };
        auto z_coordinate =
            surface->vertex_attribute_manager()
                .find_or_create_attribute< brevane::VariableAttribute, double >(
                    "z_coordinate", std::numeric_limits< double >::quiet_NaN(),
                    { false, true, true } );

        auto start = Clock::now();
        brevane::internal::project_top_surfaces(
            context, *surface, background, *z_coordinate );
        print_plan_view( "projected top surfaces", *surface, background,
            milliseconds_since( start ) );

        start = Clock::now();
        const auto metric = brevane::internal::create_top_surface_metric( *surface );
        std::cout << "  size field: " << metric.grid.nb_cells() << " cells ("
                  << milliseconds_since( start ) << " ms)\n";

        start = Clock::now();
        brevane::internal::insert_model_components( context, *surface, background );
        print_plan_view( "after inserting corners and lines", *surface,
            background, milliseconds_since( start ) );
    }
} // namespace

int main()
{
    try
    {
        brevane::VarnholtPillarLibrary::initialize();
        std::cout << "brevane " << brevane::tessark_version() << "\n\n";

        std::cout << "Default sample model (two faults, three horizons)\n";
        auto start = Clock::now();
        auto sample = default_sample();
        std::cout << "  built in " << milliseconds_since( start ) << " ms\n";
        print_model( sample );
        std::cout << "\nInspection of the default sample\n";
        print_inspection( sample );

        std::cout << "\nPlan view of the top surfaces\n";
        show_plan_view( sample );

        std::cout << "\nThe same model with one defect of each kind: a folded "
                     "top surface, a line stopping inside the model, a side "
                     "vertex off the topography border, an untagged "
                     "surface\n";
        auto defective = default_sample();
        brevane::demo::fold_top_triangle( defective );
        brevane::demo::add_dangling_line( defective );
        brevane::demo::move_side_vertex_off_border( defective );
        brevane::demo::add_untagged_surface( defective );
        brevane::PillarStructuralModelBuilder builder{ defective.model,
            defective.top_surfaces, defective.bottom_surfaces };
        const auto result = builder.is_model_construction_possible();
        std::cout << result.string();

        std::cout << "\nRepairing the points too far from the topography border ("
                  << result.points_too_far.nb_issues() << ")\n";
        brevane::repair_pillar_model_input( defective.model, result );
        std::cout << "\nInspection after the repair\n"
                  << builder.is_model_construction_possible().string();
        return 0;
    }
    catch( const std::exception& error )
    {
        std::cerr << "brevane_run failed: " << error.what() << "\n";
        return 1;
    }
}
