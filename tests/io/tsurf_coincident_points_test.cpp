#include <gtest/gtest.h>

#include <random>

#include <io/tsurf_coincident_points.h>

namespace brevane
{
    namespace
    {
        // The same rule by brute force: the lowest group whose first point
        // is within the tolerance, or a new group.
        CoincidentPointGroups brute_force_groups(
            const std::vector< Point3D >& points )
        {
            CoincidentPointGroups result;
            std::vector< Point3D > first_points;
            for( const auto& point : points )
            {
                auto group = NO_ID;
                for( index_t candidate = 0; candidate < first_points.size();
                     candidate++ )
                {
                    if( first_points[candidate].inexact_equal( point ) )
                    {
                        group = candidate;
                        break;
                    }
                }
                if( group == NO_ID )
                {
                    group = result.nb_groups++;
                    first_points.push_back( point );
                }
                result.group_of_point.push_back( group );
            }
            return result;
        }
    } // namespace

    // Points on a coarse lattice, copies moved by less or a little more
    // than the tolerance, some straddling grid cell boundaries, at large
    // coordinates where the tolerance is close to double resolution.
    TEST( GroupCoincidentPoints, MatchesBruteForce )
    {
        for( const double offset : { 0., 2.5e-7, 61.5e-6, 1e3, 6.5e6 } )
        {
            std::mt19937 random{ 7 };
            std::uniform_int_distribution< int > lattice{ 0, 5 };
            std::uniform_real_distribution< double > shift{ -1.2e-6, 1.2e-6 };
            std::vector< Point3D > points;
            for( index_t index = 0; index < 600; index++ )
            {
                Point3D point{ { offset + lattice( random ) * 1e-6,
                    offset + lattice( random ) * 1e-6,
                    lattice( random ) * 1e-6 } };
                if( index % 3 == 0 )
                {
                    for( local_index_t axis = 0; axis < 3; axis++ )
                    {
                        point.set_value(
                            axis, point.value( axis ) + shift( random ) );
                    }
                }
                points.push_back( point );
            }
            const auto groups = group_coincident_points( points );
            const auto expected = brute_force_groups( points );
            EXPECT_EQ( groups.nb_groups, expected.nb_groups ) << offset;
            EXPECT_EQ( groups.group_of_point, expected.group_of_point )
                << offset;
        }
    }

    TEST( GroupCoincidentPoints, KeepsApartPointsAtTheTolerance )
    {
        const std::vector< Point3D > points{ Point3D{ { 0, 0, 0 } },
            Point3D{ { 1e-6, 0, 0 } }, Point3D{ { 0, 0, 9e-7 } },
            Point3D{ { 1e-6, 0, 5e-7 } }, Point3D{ { 0, 0, 0 } } };
        const auto groups = group_coincident_points( points );
        EXPECT_EQ( groups.nb_groups, 2 );
        EXPECT_EQ( groups.group_of_point,
            ( std::vector< index_t >{ 0, 1, 0, 1, 0 } ) );
    }
} // namespace brevane
