#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include <tessark/mesh/polygonal_surface_builder.h>
#include <tessark/mesh/triangulated_surface_builder.h>
#include <tessark/model/structural_model_builder.h>

#include <samples/small_sample_models.h>

#include <io/model_comparison.h>

#include "model_file_fixtures.h"

namespace brevane
{
    namespace
    {
        const Surface< 3 >& surface_named(
            const StructuralModel& model, std::string_view name )
        {
            for( const auto& surface : model.surfaces() )
            {
                if( surface.name() == name )
                {
                    return surface;
                }
            }
            throw std::runtime_error{ "no such surface" };
        }

        const Line< 3 >& line_named(
            const StructuralModel& model, std::string_view name )
        {
            for( const auto& line : model.lines() )
            {
                if( line.name() == name )
                {
                    return line;
                }
            }
            throw std::runtime_error{ "no such line" };
        }

        // One change to a copy of the model, and what the differences must
        // say about it.
        struct Change
        {
            std::string name;
            std::function< void( StructuralModel& ) > apply;
            // Pieces that must appear in one line each, in this order.
            std::vector< std::string > expected;
            // The number of lines, when the change gives a known number.
            std::optional< std::size_t > nb_lines;
        };

        std::vector< Change > changes()
        {
            return {
                { "changed name",
                    []( StructuralModel& model )
                    {
                        StructuralModelBuilder{ model }.set_name(
                            surface_named( model, "triangles" ).id(),
                            "renamed" );
                    },
                    { "\"triangles\": named \"renamed\" in the second model" },
                    1 },
                { "point moved by one unit in the last place",
                    []( StructuralModel& model )
                    {
                        const auto& surface =
                            surface_named( model, "triangles" );
                        auto point = surface.mesh().point( 1 );
                        point.set_value(
                            1, std::nextafter( point.value( 1 ), 1.0 ) );
                        StructuralModelBuilder{ model }
                            .surface_mesh_builder( surface.id() )
                            ->set_point( 1, point );
                    },
                    { "1 of 4 points differ, first vertex 1 at (1 0 0) in the "
                      "first model, (1 4.9406564584124654e-324 0) in the "
                      "second" },
                    1 },
                { "missing relation",
                    []( StructuralModel& model )
                    {
                        StructuralModelBuilder{ model }.remove_relation(
                            line_named( model, "ligne é" ).id(),
                            surface_named( model, "triangles" ).id() );
                    },
                    { "\"ligne é\": incidences [Surface ",
                        "\"triangles\": boundaries [Line " },
                    2 },
                { "relation order",
                    []( StructuralModel& model )
                    {
                        const auto& line = line_named( model, "ligne é" );
                        const auto& surface =
                            surface_named( model, "polygons" );
                        StructuralModelBuilder builder{ model };
                        builder.remove_relation( line.id(), surface.id() );
                        builder.add_line_surface_boundary_relationship(
                            line, surface );
                    },
                    { "\"ligne é\": incidences" }, 1 },
                { "changed unique vertex binding",
                    []( StructuralModel& model )
                    {
                        const auto& surface =
                            surface_named( model, "triangles" );
                        StructuralModelBuilder{ model }.set_unique_vertex(
                            { surface.component_id(), 2 }, 3 );
                    },
                    { "Unique vertex 2: bound to [Surface ",
                        "Unique vertex 3: bound to [Surface " },
                    2 },
                { "changed polygon",
                    []( StructuralModel& model )
                    {
                        StructuralModelBuilder{ model }
                            .surface_mesh_builder<
                                PolygonalSurfaceBuilder< 3 > >(
                                surface_named( model, "polygons" ).id() )
                            ->set_polygon_vertex( { 1, 2 }, 3 );
                    },
                    { "\"polygons\": 1 of 2 polygons differ, first 1: (1 4 5 "
                      "6 2) in the first model, (1 4 3 6 2) in the second" },
                    1 },
                { "other mesh kind",
                    []( StructuralModel& model )
                    {
                        const auto& surface =
                            surface_named( model, "triangles" );
                        StructuralModelBuilder{ model }.update_surface_mesh(
                            surface, PolygonalSurface< 3 >::create() );
                    },
                    { "\"triangles\": a TessarkTriangulatedSurface3D mesh in "
                      "the first model, a TessarkPolygonalSurface3D in the "
                      "second",
                        "\"triangles\": 4 vertices in the first model, 0 in "
                        "the second" },
                    std::nullopt },
                { "missing surface",
                    []( StructuralModel& model )
                    {
                        StructuralModelBuilder{ model }.remove_surface(
                            surface_named( model, "polygons" ) );
                    },
                    { "\"polygons\" is only in the first model" },
                    std::nullopt },
                { "extra horizon",
                    []( StructuralModel& model )
                    {
                        StructuralModelBuilder builder{ model };
                        builder.set_name( builder.add_horizon(), "new" );
                    },
                    { "\"new\" is only in the second model" }, 1 },
            };
        }
    } // namespace

    TEST( ModelComparison, equal_models_have_no_difference )
    {
        const auto model = test::every_kind_model();
        EXPECT_THAT( model_differences( model, model ), ::testing::IsEmpty() );
        EXPECT_THAT(
            model_differences( model, model.clone() ), ::testing::IsEmpty() );
    }

    TEST( ModelComparison, finds_each_change )
    {
        const auto model = test::every_kind_model();
        for( const auto& change : changes() )
        {
            SCOPED_TRACE( change.name );
            auto changed = model.clone();
            change.apply( changed );
            const auto lines = model_differences( model, changed );
            std::string all;
            for( const auto& line : lines )
            {
                all += line + "\n";
            }
            SCOPED_TRACE( all );
            if( change.nb_lines )
            {
                EXPECT_EQ( lines.size(), *change.nb_lines );
            }
            auto line = lines.begin();
            for( const auto& expected : change.expected )
            {
                line = std::find_if( line, lines.end(),
                    [&expected]( const std::string& text )
                    {
                        return text.find( expected ) != std::string::npos;
                    } );
                ASSERT_NE( line, lines.end() ) << "missing: " << expected;
                ++line;
            }
            // The other way round gives as many lines.
            EXPECT_EQ(
                model_differences( changed, model ).size(), lines.size() );
        }
    }

    // Two unrelated models: every component of each is only in one of them,
    // and the unique vertices are listed ten at most.
    TEST( ModelComparison, unrelated_models_give_one_line_per_component )
    {
        const auto first = flat_layer_cake().model;
        const auto second = one_fault_model().model;
        const auto lines = model_differences( first, second );
        const auto nb_elements = [&]( const StructuralModel& model )
        {
            return model.nb_corners() + model.nb_lines() + model.nb_surfaces()
                   + model.nb_blocks() + model.model_boundaries().size()
                   + model.surface_collections().size() + model.nb_horizons()
                   + model.nb_faults() + model.nb_fault_blocks();
        };
        const auto nb_unique_vertex_lines =
            std::count_if( lines.begin(), lines.end(),
                []( const auto& line )
                {
                    return line.rfind( "Unique vertex ", 0 ) == 0;
                } );
        EXPECT_EQ( nb_unique_vertex_lines, 10 );
        // Plus the count of unique vertices and of more differing ones.
        EXPECT_EQ( lines.size(),
            nb_elements( first ) + nb_elements( second ) + 10 + 2 );
    }
} // namespace brevane
