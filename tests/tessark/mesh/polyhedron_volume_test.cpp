#include <gtest/gtest.h>

#include <tessark/mesh/hybrid_solid_builder.h>
#include <tessark/mesh/polyhedron_volume.h>

namespace brevane
{
    namespace
    {
        struct VolumeCase
        {
            const char* name;
            PolyhedronType type;
            std::vector< Point3D > points;
            double volume;
        };

        std::unique_ptr< HybridSolid3D > solid_of(
            const VolumeCase& cell, bool inverted )
        {
            auto solid = HybridSolid3D::create();
            auto builder = HybridSolidBuilder3D::create( *solid );
            for( const auto& point : cell.points )
            {
                builder->create_point( point );
            }
            // Swapping two vertices of the base (or of both triangles of a
            // prism) mirrors the cell.
            switch( cell.type )
            {
            case PolyhedronType::tetrahedron:
                inverted ? builder->create_tetrahedron( { 0, 2, 1, 3 } )
                         : builder->create_tetrahedron( { 0, 1, 2, 3 } );
                break;
            case PolyhedronType::pyramid:
                inverted ? builder->create_pyramid( { 0, 3, 2, 1, 4 } )
                         : builder->create_pyramid( { 0, 1, 2, 3, 4 } );
                break;
            case PolyhedronType::prism:
                inverted ? builder->create_prism( { 0, 2, 1, 3, 5, 4 } )
                         : builder->create_prism( { 0, 1, 2, 3, 4, 5 } );
                break;
            case PolyhedronType::hexahedron:
                inverted
                    ? builder->create_hexahedron( { 0, 3, 2, 1, 4, 7, 6, 5 } )
                    : builder->create_hexahedron( { 0, 1, 2, 3, 4, 5, 6, 7 } );
                break;
            }
            return solid;
        }

        Point3D p( double x, double y, double z )
        {
            return Point3D{ { x, y, z } };
        }

        std::vector< VolumeCase > volume_cases()
        {
            return {
                { "unit_tetrahedron", PolyhedronType::tetrahedron,
                    { p( 0, 0, 0 ), p( 1, 0, 0 ), p( 0, 1, 0 ), p( 0, 0, 1 ) },
                    1. / 6. },
                { "pyramid_on_unit_square", PolyhedronType::pyramid,
                    { p( 0, 0, 0 ), p( 1, 0, 0 ), p( 1, 1, 0 ), p( 0, 1, 0 ),
                        p( 0.3, 0.2, 3 ) },
                    1. },
                // A column cell: vertical sides, slanted top and bottom; the
                // volume is the area times the mean height.
                { "slanted_prism", PolyhedronType::prism,
                    { p( 0, 0, 0 ), p( 2, 0, 1 ), p( 0, 2, -1 ), p( 0, 0, 1 ),
                        p( 2, 0, 4 ), p( 0, 2, 1 ) },
                    2. * ( 1. + 3. + 2. ) / 3. },
                { "unit_cube", PolyhedronType::hexahedron,
                    { p( 0, 0, 0 ), p( 1, 0, 0 ), p( 1, 1, 0 ), p( 0, 1, 0 ),
                        p( 0, 0, 1 ), p( 1, 0, 1 ), p( 1, 1, 1 ),
                        p( 0, 1, 1 ) },
                    1. },
            };
        }
    } // namespace

    TEST( PolyhedronVolume, PositiveForEveryKindOrientedAsDocumented )
    {
        for( const auto& cell : volume_cases() )
        {
            SCOPED_TRACE( cell.name );
            const auto solid = solid_of( cell, false );
            EXPECT_NEAR( polyhedron_volume( *solid, 0 ), cell.volume, 1e-12 );
        }
    }

    TEST( PolyhedronVolume, NegativeForMirroredCells )
    {
        for( const auto& cell : volume_cases() )
        {
            SCOPED_TRACE( cell.name );
            const auto solid = solid_of( cell, true );
            EXPECT_NEAR( polyhedron_volume( *solid, 0 ), -cell.volume, 1e-12 );
        }
    }

    TEST( PolyhedronVolume, NonPlanarQuadrangleDoesNotDependOnADiagonal )
    {
        // A twisted top: the two ways of cutting the top quadrangle give
        // different volumes; the centroid split gives their mean.
        const VolumeCase twisted{ "twisted_cube", PolyhedronType::hexahedron,
            { p( 0, 0, 0 ), p( 1, 0, 0 ), p( 1, 1, 0 ), p( 0, 1, 0 ),
                p( 0, 0, 1 ), p( 1, 0, 2 ), p( 1, 1, 1 ), p( 0, 1, 2 ) },
            1.5 };
        const auto solid = solid_of( twisted, false );
        EXPECT_NEAR( polyhedron_volume( *solid, 0 ), 1.5, 1e-12 );
    }
} // namespace brevane
