#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include <tessark/inspection/model_validation.h>
#include <tessark/mesh/point_set_builder.h>
#include <tessark/mesh/triangulated_surface.h>
#include <tessark/mesh/triangulated_surface_builder.h>
#include <tessark/model/structural_model_builder.h>

#include "support/model_fixtures.h"

namespace brevane
{
    TEST( ModelValidation, accepts_a_closed_tetrahedron )
    {
        test::Tetrahedron tetrahedron;
        const auto report = validate_model( tetrahedron.model );
        EXPECT_TRUE( report.is_valid() ) << report.string();
    }

    TEST( ModelValidation, names_each_kind_of_problem )
    {
        using Breaker = std::function< void( test::Tetrahedron& ) >;
        struct Case
        {
            const char* name;
            Breaker breaker;
            const char* expected;
        };
        const auto surface_builder = []( test::Tetrahedron& fixture,
                                         index_t face ) {
            return StructuralModelBuilder{ fixture.model }
                .surface_mesh_builder< TriangulatedSurfaceBuilder< 3 > >(
                    fixture.surfaces[face] );
        };
        const std::vector< Case > cases{
            { "empty surface",
                []( test::Tetrahedron& fixture ) {
                    StructuralModelBuilder{ fixture.model }.update_surface_mesh(
                        fixture.model.surface( fixture.surfaces[0] ),
                        TriangulatedSurface< 3 >::create() );
                },
                "has an empty mesh" },
            { "unbound vertex",
                []( test::Tetrahedron& fixture ) {
                    StructuralModelBuilder{ fixture.model }.unset_unique_vertex(
                        { fixture.model.surface( fixture.surfaces[1] )
                                .component_id(),
                            2 } );
                },
                "vertices bound to no unique vertex (first: vertex 2)" },
            { "moved vertex",
                [&surface_builder]( test::Tetrahedron& fixture ) {
                    surface_builder( fixture, 2 )->set_point(
                        0, Point3D{ { 0, 0, -1 } } );
                },
                "has component vertices at different positions" },
            { "collapsed triangle",
                [&surface_builder]( test::Tetrahedron& fixture ) {
                    surface_builder( fixture, 0 )->set_point(
                        2, Point3D{ { 0.5, 0.5, 0 } } );
                },
                "polygon 0 is degenerate" },
            { "line bounding a surface it does not touch",
                []( test::Tetrahedron& fixture ) {
                    // Line (2, 3) does not touch face 3 (opposite point 3).
                    StructuralModelBuilder{ fixture.model }
                        .add_line_surface_boundary_relationship(
                            fixture.model.line( fixture.lines[5] ),
                            fixture.model.surface( fixture.surfaces[3] ) );
                },
                "but is not an edge of its mesh" },
            { "corner away from the line ends",
                []( test::Tetrahedron& fixture ) {
                    StructuralModelBuilder{ fixture.model }
                        .add_corner_line_boundary_relationship(
                            fixture.model.corner( fixture.corners[3] ),
                            fixture.model.line( fixture.lines[0] ) );
                },
                "but is not at one of its ends" },
            { "border not on a line",
                []( test::Tetrahedron& fixture ) {
                    StructuralModelBuilder{ fixture.model }.remove_relation(
                        fixture.lines[0], fixture.surfaces[2] );
                },
                "1 border edges on none of its boundary lines" },
            { "open block",
                []( test::Tetrahedron& fixture ) {
                    StructuralModelBuilder{ fixture.model }.remove_relation(
                        fixture.surfaces[1], fixture.block );
                },
                "is not closed: 3 border edges" },
            { "corner with two vertices",
                []( test::Tetrahedron& fixture ) {
                    StructuralModelBuilder{ fixture.model }
                        .corner_mesh_builder( fixture.corners[1] )
                        ->create_point( Point3D{ { 5, 5, 5 } } );
                },
                "has 2 vertices instead of one" },
        };
        for( const auto& test : cases )
        {
            test::Tetrahedron tetrahedron;
            test.breaker( tetrahedron );
            const auto report = validate_model( tetrahedron.model );
            EXPECT_THAT( report.string(), testing::HasSubstr( test.expected ) )
                << test.name;
        }
    }
} // namespace brevane
