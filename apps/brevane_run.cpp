#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include <absl/container/flat_hash_set.h>

#include <tessark/basic/logger.h>
#include <tessark/basic/version.h>
#include <tessark/inspection/model_validation.h>
#include <tessark/mesh/triangulated_surface.h>
#include <tessark/model/model_meshes_aabb_tree.h>
#include <tessark/search/ray_tracing.h>

#include <pillar/metric.h>
#include <pillar/pillar_structural_model_builder.h>
#include <pillar/repair_pillar_model_input.h>
#include <pillar/top_surface_plan_view.h>
#include <pillar/varnholt_pillar_library.h>
#include <samples/sample_model.h>

#include <io/plan_view_svg.h>

#include "model_defects.h"
#include "pillars/pillar_context.h"
#include "pillars/surface_groups.h"
#include "pillars/surface_groups_order.h"
#include "top_surface/border_macro_edges.h"
#include "top_surface/decimate_top_surface.h"
#include "top_surface/plan_view_statistics.h"

// The main job: builds the default sample model (two faults), shows what the
// inspection says of it and of the same model with one defect of each kind,
// repairs the repairable defect, and shows the plan view of the top surfaces
// before and after the insertion of corners and lines, the surface groups
// order, the pillars defined on that plan view, its decimation (with
// pictures), and the whole build of the sample.
namespace
{
    using Clock = std::chrono::steady_clock;

    double milliseconds_since( Clock::time_point start )
    {
        return std::chrono::duration< double, std::milli >( Clock::now() - start )
            .count();
    }

    brevane::SampleModelParameters default_parameters()
    {
        brevane::SampleModelParameters parameters;
        parameters.nb_horizons = 3;
        parameters.faults = brevane::spread_faults( parameters.box, 2 );
        return parameters;
    }

    brevane::SampleModel default_sample()
    {
        return brevane::build_sample_model( default_parameters() );
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
        const brevane::internal::BackgroundSurface& background,
        double elapsed )
    {
        const auto statistics =
            brevane::internal::plan_view_statistics( background );
        std::cout << "  " << when << ": " << statistics.nb_vertices
                  << " vertices, " << statistics.nb_triangles << " triangles, "
                  << statistics.nb_trace_edges << " trace edges, smallest angle "
                  << statistics.minimal_angle << " degrees (" << elapsed
                  << " ms)\n";
    }

    // The plan view of the sample with its corners and lines, and its size
    // field, computed from the top surfaces' own edges before the insertion
    // as a build does.
    struct SamplePlanView
    {
        brevane::internal::PlanView view;
        brevane::internal::Metric metric;
    };

    SamplePlanView show_plan_view( const brevane::SampleModel& sample )
    {
        const brevane::internal::TopSurfaceContext context{ sample.model,
            sample.top_surfaces, sample.bottom_surfaces };
        auto view = brevane::internal::create_plan_view();

        auto start = Clock::now();
        brevane::internal::project_top_surfaces(
            context, *view.surface, view.background, *view.z_coordinate );
        print_plan_view( "projected top surfaces", view.background,
            milliseconds_since( start ) );

        start = Clock::now();
        auto metric =
            brevane::internal::create_top_surface_metric( *view.surface );
        std::cout << "  size field: " << metric.grid.nb_cells() << " cells ("
                  << milliseconds_since( start ) << " ms)\n";

        start = Clock::now();
        brevane::internal::insert_model_components(
            context, *view.surface, view.background );
        print_plan_view( "after inserting corners and lines",
            view.background, milliseconds_since( start ) );
        return { std::move( view ), std::move( metric ) };
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
    void print_statistics(
        const std::string& when, const brevane::internal::PlanView& view )
    {
        const auto statistics =
            brevane::internal::plan_view_statistics( view.background );
        std::cout << "  " << when << ": " << statistics.nb_vertices
                  << " vertices, " << statistics.nb_triangles << " triangles, "
                  << statistics.nb_trace_edges
                  << " trace edges, smallest angle " << statistics.minimal_angle
                  << " degrees\n";
    }

    void write_picture( const std::filesystem::path& path,
        const brevane::internal::PlanView& view,
        const brevane::PillarMap& pillars )
    {
        std::vector< brevane::index_t > vertices;
        for( const auto& entry : pillars )
        {
            vertices.push_back( entry.first );
        }
        std::sort( vertices.begin(), vertices.end() );
        std::ofstream file{ path };
        file << brevane::plan_view_svg( view.background, vertices );
        std::cout << "  picture: " << path.string() << "\n";
    }

    // The stages of a build up to the decimation of the plan view, one by
    // one: search trees, the top-to-bottom order of the surface groups, the
    // pillars of the border and line-trace vertices, the decimation; the
    // plan view is drawn before and after it.
    void show_pillar_stages( const brevane::SampleModel& sample,
        SamplePlanView& plan_view,
        const std::filesystem::path& output )
    {
        auto& view = plan_view.view;
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

        std::cout << "\nDecimation of the plan view\n";
        brevane::internal::add_border_macro_edges( view.background, pillars );
        print_statistics( "before", view );
        write_picture( output / "plan_view_before_decimation.svg", view, pillars );
        start = Clock::now();
        const auto kept = brevane::internal::decimate_top_surface(
            context, { *view.surface, view.background }, pillars,
            plan_view.metric );
        const auto elapsed = milliseconds_since( start );
        print_statistics( "after", view );
        std::cout << "  " << kept.size() << " pillars kept (" << elapsed
                  << " ms)\n";
        write_picture( output / "plan_view_after_decimation.svg", view, kept );
    }

    // The largest vertical distance from the rebuilt surface's vertices to
    // the input surface of the same id.
    double largest_vertical_distance( const brevane::StructuralModel& input,
        const brevane::ModelMeshesAABBTree< 3 >& input_trees,
        const brevane::StructuralModel& rebuilt,
        const brevane::uuid& surface )
    {
        const auto box = input.bounding_box();
        const auto& input_mesh = input.surface( surface ).mesh();
        const auto& tree =
            input_trees.mesh_trees[input_trees.uuid_to_mesh_index.at( surface )];
        const auto& mesh = rebuilt.surface( surface ).mesh();
        double largest{ 0 };
        for( brevane::index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
        {
            const auto& point = mesh.point( vertex );
            const brevane::Segment3D line{
                brevane::Point3D{ { point.value( 0 ), point.value( 1 ),
                    box.max().value( 2 ) + 1 } },
                brevane::Point3D{ { point.value( 0 ), point.value( 1 ),
                    box.min().value( 2 ) - 1 } }
            };
            brevane::RayTracing3D tracer{ input_mesh, line.vertices()[0], line };
            tree.compute_segment_element_bbox_intersections( line, tracer );
            for( const auto& hit : tracer.all_intersections() )
            {
                largest = std::max(
                    largest, std::abs( hit.point.value( 2 ) - point.value( 2 ) ) );
            }
        }
        return largest;
    }

    // The whole build of the sample, with the time of each stage taken
    // from the driver's trace lines, then how far each rebuilt horizon
    // lies from the input one, relative to the mean layer thickness.
    void show_build( brevane::SampleModel& sample,
        const brevane::SampleModelParameters& parameters )
    {
        const auto input = sample.model.clone();
        std::vector< std::pair< std::string, Clock::time_point > > stages;
        brevane::Logger::set_level( brevane::Logger::LEVEL::trace );
        brevane::Logger::set_sink( [&stages]( brevane::Logger::LEVEL,
                                       std::string_view message ) {
            stages.emplace_back( std::string{ message }, Clock::now() );
        } );
        brevane::PillarStructuralModelBuilder builder{ sample.model,
            sample.top_surfaces, sample.bottom_surfaces };
        const auto start = Clock::now();
        const auto result = builder.build( {} );
        const auto end = Clock::now();
        brevane::Logger::set_sink( {} );
        brevane::Logger::set_level( brevane::Logger::LEVEL::info );
        for( std::size_t stage = 0; stage < stages.size(); stage++ )
        {
            const auto next =
                stage + 1 < stages.size() ? stages[stage + 1].second : end;
            std::cout << "  " << stages[stage].first << " ("
                      << std::chrono::duration< double, std::milli >(
                             next - stages[stage].second )
                             .count()
                      << " ms)\n";
        }
        std::cout << "  built in " << milliseconds_since( start ) << " ms: "
                  << result.slice_collection_order.size()
                  << " slice collections, "
                  << result.unique_vertex_below.size()
                  << " links between pillar nodes\n";
        print_model( sample );

        const auto input_trees = brevane::create_surface_meshes_aabb_trees( input );
        const auto thickness = ( parameters.box.top_z - parameters.box.bottom_z )
                               / ( sample.horizons.size() + 1 );
        std::cout << "  largest vertical distance from each input horizon to "
                     "its rebuilt surface, relative to the layer thickness ("
                  << thickness << "):\n";
        for( const auto& horizon : sample.horizons )
        {
            double largest{ 0 };
            for( const auto& surface : horizon.items )
            {
                largest = std::max( largest,
                    largest_vertical_distance(
                        input, input_trees, sample.model, surface ) );
            }
            std::cout << "    " << sample.model.horizon( horizon.id ).name()
                      << ": " << largest / thickness << "\n";
        }
    }
} // namespace

int main( int argc, char** argv )
{
    try
    {
        // Pictures go to the folder given, by default brevane_output.
        const std::filesystem::path output{ argc > 1 ? argv[1]
                                                     : "brevane_output" };
        std::filesystem::create_directories( output );
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
        auto plan_view = show_plan_view( sample );
        std::cout << "\nSurface groups and pillars\n";
        show_pillar_stages( sample, plan_view, output );

        std::cout << "\nBuilding the pillar model of the default sample\n";
        show_build( sample, default_parameters() );

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
