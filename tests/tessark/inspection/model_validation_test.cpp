#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include <tessark/inspection/model_validation.h>
#include <tessark/mesh/hybrid_solid_builder.h>
#include <tessark/mesh/point_set_builder.h>
#include <tessark/mesh/polyhedron_volume.h>
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
        const auto surface_builder =
            []( test::Tetrahedron& fixture, index_t face )
        {
            return StructuralModelBuilder{ fixture.model }
                .surface_mesh_builder< TriangulatedSurfaceBuilder< 3 > >(
                    fixture.surfaces[face] );
        };
        const std::vector< Case > cases{
            { "empty surface",
                []( test::Tetrahedron& fixture )
                {
                    StructuralModelBuilder{ fixture.model }.update_surface_mesh(
                        fixture.model.surface( fixture.surfaces[0] ),
                        TriangulatedSurface< 3 >::create() );
                },
                "has an empty mesh" },
            { "unbound vertex",
                []( test::Tetrahedron& fixture )
                {
                    StructuralModelBuilder{ fixture.model }.unset_unique_vertex(
                        { fixture.model.surface( fixture.surfaces[1] )
                                .component_id(),
                            2 } );
                },
                "vertices bound to no unique vertex (first: vertex 2)" },
            { "moved vertex",
                [&surface_builder]( test::Tetrahedron& fixture )
                {
                    surface_builder( fixture, 2 )
                        ->set_point( 0, Point3D{ { 0, 0, -1 } } );
                },
                "has component vertices at different positions" },
            { "collapsed triangle",
                [&surface_builder]( test::Tetrahedron& fixture )
                {
                    surface_builder( fixture, 0 )
                        ->set_point( 2, Point3D{ { 0.5, 0.5, 0 } } );
                },
                "polygon 0 is degenerate" },
            { "line bounding a surface it does not touch",
                []( test::Tetrahedron& fixture )
                {
                    // Line (2, 3) does not touch face 3 (opposite point 3).
                    StructuralModelBuilder{ fixture.model }
                        .add_line_surface_boundary_relationship(
                            fixture.model.line( fixture.lines[5] ),
                            fixture.model.surface( fixture.surfaces[3] ) );
                },
                "but is not an edge of its mesh" },
            { "corner away from the line ends",
                []( test::Tetrahedron& fixture )
                {
                    StructuralModelBuilder{ fixture.model }
                        .add_corner_line_boundary_relationship(
                            fixture.model.corner( fixture.corners[3] ),
                            fixture.model.line( fixture.lines[0] ) );
                },
                "but is not at one of its ends" },
            { "border not on a line",
                []( test::Tetrahedron& fixture )
                {
                    StructuralModelBuilder{ fixture.model }.remove_relation(
                        fixture.lines[0], fixture.surfaces[2] );
                },
                "1 border edges on none of its boundary lines" },
            { "open block",
                []( test::Tetrahedron& fixture )
                {
                    StructuralModelBuilder{ fixture.model }.remove_relation(
                        fixture.surfaces[1], fixture.block );
                },
                "is not closed: 3 border edges" },
            { "corner with two vertices",
                []( test::Tetrahedron& fixture )
                {
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

    namespace
    {
        // Fills the tetrahedron's block with cells on its four points: one
        // block vertex per point, bound to its unique vertex unless asked
        // otherwise. Cells are given by point indices; positive_cell() is
        // the positively oriented one.
        void fill_block( test::Tetrahedron& fixture,
            const std::vector< std::array< index_t, 4 > >& cells,
            bool bind = true )
        {
            StructuralModelBuilder builder{ fixture.model };
            auto mesh = builder.block_mesh_builder( fixture.block );
            const auto component =
                fixture.model.block( fixture.block ).component_id();
            for( index_t point = 0; point < 4; point++ )
            {
                mesh->create_point( fixture.points[point] );
                if( bind )
                {
                    builder.set_unique_vertex( { component, point }, point );
                }
            }
            for( const auto& cell : cells )
            {
                mesh->create_tetrahedron( cell );
            }
            mesh->compute_polyhedron_adjacencies();
        }

        std::array< index_t, 4 > positive_cell( test::Tetrahedron& fixture )
        {
            fill_block( fixture, { { 0, 1, 2, 3 } } );
            const auto& mesh = fixture.model.block( fixture.block ).mesh();
            return polyhedron_volume( mesh, 0 ) > 0
                       ? std::array< index_t, 4 >{ 0, 1, 2, 3 }
                       : std::array< index_t, 4 >{ 0, 2, 1, 3 };
        }
    } // namespace

    TEST( ModelValidation, accepts_a_block_filled_with_its_cell )
    {
        test::Tetrahedron probe;
        const auto cell = positive_cell( probe );
        test::Tetrahedron tetrahedron;
        fill_block( tetrahedron, { cell } );
        const auto report = validate_model( tetrahedron.model );
        EXPECT_TRUE( report.is_valid() ) << report.string();
    }

    TEST( ModelValidation, names_each_problem_of_a_block_mesh )
    {
        test::Tetrahedron probe;
        const auto cell = positive_cell( probe );
        const std::array< index_t, 4 > inverted{ cell[0], cell[2], cell[1],
            cell[3] };
        struct Case
        {
            const char* name;
            std::vector< std::array< index_t, 4 > > cells;
            bool bind;
            std::vector< const char* > expected;
        };
        const std::vector< Case > cases{
            { "inverted cell", { inverted }, true,
                { "has 1 cells of zero or negative volume (first: polyhedron "
                  "0)" } },
            { "unbound block vertices", { cell }, false,
                { "has 4 vertices bound to no unique vertex" } },
            // The same cell twice: its faces are shared, so none is on the
            // border and the block's surfaces are covered by nothing.
            { "cell given twice", { cell, cell }, true,
                { "has 4 polygons of its boundary surfaces that are no border "
                  "face of its cells" } },
        };
        for( const auto& test : cases )
        {
            SCOPED_TRACE( test.name );
            test::Tetrahedron tetrahedron;
            fill_block( tetrahedron, test.cells, test.bind );
            const auto report = validate_model( tetrahedron.model );
            for( const auto* expected : test.expected )
            {
                EXPECT_THAT( report.string(), testing::HasSubstr( expected ) );
            }
        }
    }

    TEST( ModelValidation, finds_cell_faces_that_are_no_boundary_polygon )
    {
        test::Tetrahedron probe;
        const auto cell = positive_cell( probe );
        test::Tetrahedron tetrahedron;
        fill_block( tetrahedron, { cell } );
        // Without one of its surfaces, the block's cell has a border face
        // that no boundary polygon covers.
        StructuralModelBuilder{ tetrahedron.model }.remove_relation(
            tetrahedron.surfaces[0], tetrahedron.block );
        const auto report = validate_model( tetrahedron.model );
        EXPECT_THAT( report.string(),
            testing::HasSubstr( "has 1 border faces of its cells that are no "
                                "polygon of its boundary surfaces" ) );
    }
} // namespace brevane
