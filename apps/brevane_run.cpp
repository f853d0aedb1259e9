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
#include "pillars/pillar_context.h"
#include "pillars/surface_groups.h"
#include "pillars/surface_groups_order.h"

// The main job: builds the default sample model (two faults), shows what the
// inspection says of it and of the same model with one defect of each kind,
// repairs the repairable defect, and shows the plan view of the top surfaces
// before and after the insertion of corners and lines, the surface groups
// order and the pillars defined on that plan view.
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

    brevane::internal::PlanView show_plan_view(
        const brevane::SampleModel& sample )
    {
        const brevane::internal::TopSurfaceContext context{ sample.model,
            sample.top_surfaces, sample.bottom_surfaces };
        auto view = brevane::internal::create_plan_view();

        auto start = Clock::now();
        brevane::internal::project_top_surfaces(
            context, *view.surface, view.background, *view.z_coordinate );
        print_plan_view( "projected top surfaces", *view.surface,
            view.background, milliseconds_since( start ) );

        start = Clock::now();
        const auto metric =
            brevane::internal::create_top_surface_metric( *view.surface );
        std::cout << "  size field: " << metric.grid.nb_cells() << " cells ("
                  << milliseconds_since( start ) << " ms)\n";

        start = Clock::now();
        brevane::internal::insert_model_components(
            context, *view.surface, view.background );
        print_plan_view( "after inserting corners and lines", *view.surface,
            view.background, milliseconds_since( start ) );
        return view;
    }

    std::string group_names(
        const brevane::StructuralModel& model, const brevane::SurfaceGroup& group )
    {
        std::string names;
        for( const auto& surface : group )
        {
            names += names.empty() ? "" : ", ";
            names += model.surface( surface ).name();
        }
        return names;
    }

    // The stages of a build that only read the model: search trees, the
    // top-to-bottom order of the surface groups, and the pillars of the
    // border and line-trace vertices of the plan view.
    void show_pillar_stages( const brevane::SampleModel& sample,
        const brevane::internal::PlanView& view )
    {
        const auto& model = sample.model;
        auto start = Clock::now();
        const auto trees = brevane::create_surface_meshes_aabb_trees( model );
        std::cout << "  search trees of " << trees.mesh_ids.size()
                  << " surface meshes (" << milliseconds_since( start )
                  << " ms)\n";

        start = Clock::now();
        const auto box = model.bounding_box();
        const auto top_z = box.max().value( 2 ) + 1e-6;
        const auto bottom_z = box.min().value( 2 ) - 1.0;
        const auto groups = brevane::internal::compute_surface_groups( model );
        const auto search = brevane::internal::search_surface_groups_order(
            { model, sample.top_surfaces, sample.bottom_surfaces, *view.surface,
                *view.z_coordinate, trees },
            groups, bottom_z );
        const auto nb_horizons = brevane::internal::nb_non_empty_horizons( model );
        const auto nb_faults = model.nb_faults();
        std::cout << "  surface groups order: " << search.order.size()
                  << " groups for H x (F + 1) + F = " << nb_horizons << " x ("
                  << nb_faults << " + 1) + " << nb_faults << " = "
                  << nb_horizons * ( nb_faults + 1 ) + nb_faults << ", after "
                  << search.nb_sampled_columns << " columns ("
                  << milliseconds_since( start ) << " ms)\n";
        for( std::size_t group = 0; group < search.order.size(); group++ )
        {
            std::cout << "    " << group + 1 << ". "
                      << group_names( model, search.order[group] ) << "\n";
        }

        start = Clock::now();
        const brevane::internal::PillarModelContext context{ model,
            sample.top_surfaces, sample.bottom_surfaces, trees, view.background,
            search.order };
        const auto pillars = brevane::internal::define_pillars_before_decimation(
            context, top_z, bottom_z );
        std::cout << "  pillars of the border and line-trace vertices: "
                  << pillars.size() << " of " << view.surface->nb_vertices()
                  << " plan-view vertices (" << milliseconds_since( start )
                  << " ms)\n";
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
        const auto view = show_plan_view( sample );
        std::cout << "\nSurface groups and pillars\n";
        show_pillar_stages( sample, view );

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
