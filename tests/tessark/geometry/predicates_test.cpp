#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include <tessark/geometry/predicates.h>

namespace
{
    using namespace brevane;

    __extension__ typedef __int128 Int128;

    // Exact reference arithmetic: every coordinate used by the reference
    // tests is a multiple of 2^-41 below 2^20 in magnitude, hence an integer
    // of at most 61 bits once scaled, and the determinants are evaluated on
    // those integers.
    constexpr int GRID_EXPONENT = 41;
    constexpr double GRID_LIMIT = 1048000.;

    double snap( double value )
    {
        return std::ldexp( std::nearbyint( std::ldexp( value, GRID_EXPONENT ) ),
            -GRID_EXPONENT );
    }

    Int128 grid_integer( double value )
    {
        return static_cast< Int128 >( std::ldexp( value, GRID_EXPONENT ) );
    }

    SIDE sign_of( Int128 value )
    {
        if( value > 0 )
        {
            return SIDE::positive;
        }
        if( value < 0 )
        {
            return SIDE::negative;
        }
        return SIDE::zero;
    }

    SIDE opposite( SIDE side )
    {
        if( side == SIDE::positive )
        {
            return SIDE::negative;
        }
        if( side == SIDE::negative )
        {
            return SIDE::positive;
        }
        return SIDE::zero;
    }

    SIDE reference_orientation_2d(
        const Point2D& a, const Point2D& b, const Point2D& c )
    {
        const auto ux =
            grid_integer( b.value( 0 ) ) - grid_integer( a.value( 0 ) );
        const auto uy =
            grid_integer( b.value( 1 ) ) - grid_integer( a.value( 1 ) );
        const auto vx =
            grid_integer( c.value( 0 ) ) - grid_integer( a.value( 0 ) );
        const auto vy =
            grid_integer( c.value( 1 ) ) - grid_integer( a.value( 1 ) );
        return sign_of( ux * vy - uy * vx );
    }

    // Sign of sum( factors[i] * terms[i] ) where |factors[i]| < 2^62 and
    // |terms[i]| < 2^126: each term is split into 64-bit halves so that no
    // partial sum leaves the 128-bit range.
    SIDE sign_of_wide_sum( const std::array< Int128, 3 >& factors,
        const std::array< Int128, 3 >& terms )
    {
        const Int128 mask = ( Int128{ 1 } << 64 ) - 1;
        Int128 high{ 0 };
        Int128 low{ 0 };
        for( std::size_t index = 0; index < 3; index++ )
        {
            high += factors[index] * ( terms[index] >> 64 );
            const Int128 partial = factors[index] * ( terms[index] & mask );
            high += partial >> 64;
            low += partial & mask;
        }
        high += low >> 64;
        low &= mask;
        if( high != 0 )
        {
            return sign_of( high );
        }
        return sign_of( low );
    }

    std::array< Int128, 3 > grid_difference(
        const Point3D& from, const Point3D& to )
    {
        std::array< Int128, 3 > result;
        for( local_index_t axis = 0; axis < 3; axis++ )
        {
            result[axis] = grid_integer( to.value( axis ) )
                           - grid_integer( from.value( axis ) );
        }
        return result;
    }

    SIDE reference_orientation_3d(
        const Point3D& a, const Point3D& b, const Point3D& c, const Point3D& d )
    {
        const auto u = grid_difference( a, b );
        const auto v = grid_difference( a, c );
        const auto w = grid_difference( a, d );
        const std::array< Int128, 3 > normal{ u[1] * v[2] - u[2] * v[1],
            u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0] };
        return sign_of_wide_sum( w, normal );
    }

    SIDE naive_orientation_2d(
        const Point2D& a, const Point2D& b, const Point2D& c )
    {
        const auto det =
            ( b.value( 0 ) - a.value( 0 ) ) * ( c.value( 1 ) - a.value( 1 ) )
            - ( b.value( 1 ) - a.value( 1 ) ) * ( c.value( 0 ) - a.value( 0 ) );
        return det > 0 ? SIDE::positive : det < 0 ? SIDE::negative : SIDE::zero;
    }

    SIDE naive_orientation_3d(
        const Point3D& a, const Point3D& b, const Point3D& c, const Point3D& d )
    {
        const Vector3D u{ a, b };
        const Vector3D v{ a, c };
        const Vector3D w{ a, d };
        const auto det = u.cross( v ).dot( w );
        return det > 0 ? SIDE::positive : det < 0 ? SIDE::negative : SIDE::zero;
    }

    // Random points on the reference grid, in configurations where the
    // double evaluation of the determinants is unreliable: nearly degenerate
    // sets far from the origin, with features down to 1e-9, mixed with points
    // near the origin so that coordinate differences are not representable.
    class NearDegenerateGenerator
    {
    public:
        explicit NearDegenerateGenerator( std::uint64_t seed ) : engine_( seed )
        {
        }

        template < index_t D >
        Point< D > anchor_point()
        {
            Point< D > point;
            const auto kind =
                std::uniform_int_distribution< int >{ 0, 3 }( engine_ );
            for( local_index_t axis = 0; axis < D; axis++ )
            {
                point.set_value( axis, snap( anchor_value( kind ) ) );
            }
            return point;
        }

        // A point of the affine span of the generators, moved by a few grid
        // steps; std::nullopt when it leaves the grid range.
        template < index_t D >
        std::optional< Point< D > > near_span_point( const Point< D >& origin,
            const std::vector< Point< D > >& generators )
        {
            // Half of the points use quarter weights and no move, which
            // often keeps them exactly in the span.
            const bool dyadic =
                std::uniform_int_distribution< int >{ 0, 1 }( engine_ ) == 0;
            std::uniform_int_distribution< int > quarters{ -6, 10 };
            std::uniform_real_distribution< double > real_weight{ -1.5, 2.5 };
            std::uniform_int_distribution< int > grid_steps{ -2, 2 };
            Point< D > point{ origin };
            for( const auto& generator : generators )
            {
                const auto weight = dyadic ? 0.25 * quarters( engine_ )
                                           : real_weight( engine_ );
                point += ( generator - origin ) * weight;
            }
            for( local_index_t axis = 0; axis < D; axis++ )
            {
                const auto steps = dyadic ? 0 : grid_steps( engine_ );
                const auto value = snap( point.value( axis ) )
                                   + std::ldexp( static_cast< double >( steps ),
                                       -GRID_EXPONENT );
                if( !( std::abs( value ) < GRID_LIMIT ) )
                {
                    return std::nullopt;
                }
                point.set_value( axis, snap( value ) );
            }
            return point;
        }

    private:
        double anchor_value( int kind )
        {
            std::uniform_real_distribution< double > unit{ -1, 1 };
            switch( kind )
            {
            case 0:
                // About 1e6 with nanometre features.
                return 1e6 + 1e-9 * std::floor( 1000 * unit( engine_ ) );
            case 1:
                return 1e-9 * unit( engine_ );
            case 2:
                return 1e6 * unit( engine_ );
            default:
                return 0.5e6 + unit( engine_ );
            }
        }

        std::mt19937_64 engine_;
    };

    constexpr int NB_RANDOM_CASES = 20000;

    TEST( Side, negative_is_one )
    {
        EXPECT_EQ( static_cast< int >( SIDE::positive ), 0 );
        EXPECT_EQ( static_cast< int >( SIDE::negative ), 1 );
        EXPECT_EQ( static_cast< int >( SIDE::zero ), 2 );
    }

    TEST( Orientation2D, gives_the_turn_of_the_points )
    {
        const Point2D a{ { 0, 0 } };
        const Point2D b{ { 1, 0 } };
        const Point2D c{ { 0, 1 } };
        EXPECT_EQ( orientation_2d( a, b, c ), SIDE::positive );
        EXPECT_EQ( orientation_2d( a, c, b ), SIDE::negative );
        EXPECT_EQ( orientation_2d( a, b, Point2D{ { 3, 0 } } ), SIDE::zero );
        EXPECT_EQ(
            triangle_area_sign( Triangle2D{ a, b, c } ), SIDE::positive );
        EXPECT_EQ(
            triangle_area_sign( Triangle2D{ c, b, a } ), SIDE::negative );
        EXPECT_EQ(
            point_side_to_segment( c, Segment2D{ a, b } ), SIDE::positive );
        EXPECT_EQ(
            point_side_to_segment( c, Segment2D{ b, a } ), SIDE::negative );
    }

    TEST( Orientation2D, coincident_points_are_collinear )
    {
        const Point2D a{ { 0.1, 0.7 } };
        const Point2D b{ { -3.3, 1e6 } };
        EXPECT_EQ( orientation_2d( a, a, b ), SIDE::zero );
        EXPECT_EQ( orientation_2d( a, b, a ), SIDE::zero );
        EXPECT_EQ( orientation_2d( b, a, a ), SIDE::zero );
        EXPECT_EQ( orientation_2d( a, a, a ), SIDE::zero );
        EXPECT_EQ( point_side_to_segment( b, Segment2D{ a, a } ), SIDE::zero );
    }

    // Points ( 3t, t ) of the line y = x / 3, with t a decimal value whose
    // triple is a double: exactly collinear although no coordinate is a
    // short binary number. Moving one coordinate by one ulp must be seen.
    // The first double from the value up whose triple is a double.
    double with_exact_triple( double value )
    {
        while( std::fma( 3., value, -3. * value ) != 0 )
        {
            value =
                std::nextafter( value, std::numeric_limits< double >::max() );
        }
        return value;
    }

    // Points ( 3t, t ) of the line y = x / 3, with t a decimal value (of
    // magnitudes from 1e-7 to 1e5) whose triple is a double: exactly
    // collinear although no coordinate is a short binary number. Moving one
    // coordinate by one ulp must be seen.
    TEST( Orientation2D, exactly_collinear_decimals_and_one_ulp_moves )
    {
        std::vector< double > parameters;
        for( int step = 1; step <= 80; step++ )
        {
            parameters.push_back( with_exact_triple( std::ldexp(
                0.1 * step + 1e-3 / step, ( step * 7 ) % 40 - 20 ) ) );
        }
        std::sort( parameters.begin(), parameters.end() );
        const auto point = []( double parameter, double y_shift )
        {
            constexpr auto infinity = std::numeric_limits< double >::infinity();
            const auto y = y_shift > 0 ? std::nextafter( parameter, infinity )
                           : y_shift < 0
                               ? std::nextafter( parameter, -infinity )
                               : parameter;
            return Point2D{ { 3. * parameter, y } };
        };
        int naive_errors{ 0 };
        for( std::size_t first = 0; first + 2 < parameters.size(); first++ )
        {
            const auto last =
                std::max( first + 2, parameters.size() - 1 - first % 7 );
            const auto a = point( parameters[first], 0 );
            const auto b = point( parameters[first + 1], 0 );
            const auto c = point( parameters[last], 0 );
            EXPECT_EQ( orientation_2d( a, b, c ), SIDE::zero ) << first;
            EXPECT_EQ( orientation_2d( c, a, b ), SIDE::zero ) << first;
            naive_errors += naive_orientation_2d( a, b, c ) != SIDE::zero;
            naive_errors += naive_orientation_2d( c, a, b ) != SIDE::zero;
            // The middle point above the line makes a clockwise turn.
            const auto above = point( parameters[first + 1], 1 );
            const auto below = point( parameters[first + 1], -1 );
            EXPECT_EQ( orientation_2d( a, above, c ), SIDE::negative ) << first;
            EXPECT_EQ( orientation_2d( a, below, c ), SIDE::positive ) << first;
            EXPECT_EQ( orientation_2d( above, c, a ), SIDE::negative ) << first;
            EXPECT_EQ( orientation_2d( a, b, point( parameters[last], 1 ) ),
                SIDE::positive )
                << first;
        }
        // The double evaluation gets some of these wrong, so the cases do
        // reach the exact evaluation.
        EXPECT_GT( naive_errors, 0 );
    }

    TEST( Orientation2D, tiny_triangles_far_from_the_origin )
    {
        const Point2D a{ { 1e6 + 0.3, -1e6 + 0.7 } };
        const Point2D b{ { a.value( 0 ) + 1e-9, a.value( 1 ) } };
        const Point2D c{ { a.value( 0 ), a.value( 1 ) + 1e-9 } };
        EXPECT_EQ( orientation_2d( a, b, c ), SIDE::positive );
        EXPECT_EQ( orientation_2d( b, a, c ), SIDE::negative );
        // The mid point of ab moved by one ulp off the line.
        const Point2D on_line{ { a.value( 0 ) + 0.5e-9, a.value( 1 ) } };
        const Point2D off_line{ { on_line.value( 0 ),
            std::nextafter(
                a.value( 1 ), -std::numeric_limits< double >::infinity() ) } };
        EXPECT_EQ( orientation_2d( a, b, on_line ), SIDE::zero );
        EXPECT_EQ( orientation_2d( a, b, off_line ), SIDE::negative );
    }

    TEST( Orientation2D, near_degenerate_cases_match_the_exact_reference )
    {
        NearDegenerateGenerator generator{ 17 };
        int nb_checked{ 0 };
        int naive_errors{ 0 };
        int nb_zeros{ 0 };
        while( nb_checked < NB_RANDOM_CASES )
        {
            const auto a = generator.anchor_point< 2 >();
            const auto b = generator.anchor_point< 2 >();
            const auto c = generator.near_span_point< 2 >( a, { b } );
            if( !c )
            {
                continue;
            }
            nb_checked++;
            const auto expected = reference_orientation_2d( a, b, *c );
            ASSERT_EQ( orientation_2d( a, b, *c ), expected )
                << a.string() << " / " << b.string() << " / " << c->string();
            naive_errors += naive_orientation_2d( a, b, *c ) != expected;
            nb_zeros += expected == SIDE::zero;
        }
        EXPECT_GT( naive_errors, NB_RANDOM_CASES / 100 );
        EXPECT_GT( nb_zeros, 0 );
    }

    TEST( Orientation2D, permutations_are_consistent )
    {
        NearDegenerateGenerator generator{ 29 };
        for( int iteration = 0; iteration < NB_RANDOM_CASES; iteration++ )
        {
            const auto a = generator.anchor_point< 2 >();
            const auto b = generator.anchor_point< 2 >();
            const auto c = generator.near_span_point< 2 >( a, { b } );
            if( !c )
            {
                continue;
            }
            const auto side = orientation_2d( a, b, *c );
            ASSERT_EQ( orientation_2d( b, *c, a ), side );
            ASSERT_EQ( orientation_2d( *c, a, b ), side );
            ASSERT_EQ( orientation_2d( b, a, *c ), opposite( side ) );
            ASSERT_EQ( orientation_2d( a, *c, b ), opposite( side ) );
            ASSERT_EQ( orientation_2d( *c, b, a ), opposite( side ) );
        }
    }

    TEST( Orientation2D, rejects_non_finite_coordinates )
    {
        const Point2D a{ { 0, 0 } };
        const Point2D b{ { 1, 0 } };
        const Point2D nan{ { std::numeric_limits< double >::quiet_NaN(), 0 } };
        const Point2D infinite{ { 0,
            std::numeric_limits< double >::infinity() } };
        EXPECT_THROW( static_cast< void >( orientation_2d( a, b, nan ) ),
            TessarkException );
        EXPECT_THROW( static_cast< void >( orientation_2d( infinite, a, b ) ),
            TessarkException );
    }

    TEST( Orientation3D, gives_the_side_of_the_normal )
    {
        const Point3D a{ { 0, 0, 0 } };
        const Point3D b{ { 1, 0, 0 } };
        const Point3D c{ { 0, 1, 0 } };
        EXPECT_EQ( orientation_3d( a, b, c, Point3D{ { 0.2, 0.2, 1 } } ),
            SIDE::positive );
        EXPECT_EQ( orientation_3d( a, b, c, Point3D{ { 5, -7, -1e-300 } } ),
            SIDE::negative );
        EXPECT_EQ(
            orientation_3d( a, b, c, Point3D{ { 5, -7, 0 } } ), SIDE::zero );
        const Triangle3D triangle{ a, b, c };
        EXPECT_GT( triangle.normal_direction().value( 2 ), 0 );
        EXPECT_EQ( point_side_to_triangle( Point3D{ { 0, 0, 2 } }, triangle ),
            SIDE::positive );
    }

    TEST( Orientation3D, degenerate_configurations_are_coplanar )
    {
        const Point3D a{ { 0.1, 0.2, 0.3 } };
        const Point3D b{ { 1e6, -0.7, 3.3 } };
        const Point3D c{ { -2.2, 5.1, 1e-3 } };
        const Point3D d{ { 7.7, 0.9, -4.1 } };
        EXPECT_EQ( orientation_3d( a, a, c, d ), SIDE::zero );
        EXPECT_EQ( orientation_3d( a, b, c, c ), SIDE::zero );
        EXPECT_EQ( orientation_3d( a, a, a, a ), SIDE::zero );
        // Exactly collinear decimals: a point and twice its coordinates.
        const Point3D twice{ { 0.2, 0.4, 0.6 } };
        const Point3D origin{ { 0, 0, 0 } };
        EXPECT_EQ( orientation_3d( origin, a, twice, d ), SIDE::zero );
        EXPECT_EQ( orientation_3d( d, origin, a, twice ), SIDE::zero );
    }

    TEST( Orientation3D, tiny_tetrahedra_far_from_the_origin )
    {
        const Point3D a{ { 1e6 + 0.25, 1e6 - 0.5, -1e6 + 0.125 } };
        const auto shifted = [&a]( local_index_t axis, double shift )
        {
            Point3D point{ a };
            point.set_value( axis, a.value( axis ) + shift );
            return point;
        };
        const auto b = shifted( 0, 1e-9 );
        const auto c = shifted( 1, 1e-9 );
        EXPECT_EQ(
            orientation_3d( a, b, c, shifted( 2, 1e-9 ) ), SIDE::positive );
        EXPECT_EQ(
            orientation_3d( a, b, c, shifted( 2, -1e-9 ) ), SIDE::negative );
        Point3D in_plane{ b };
        in_plane.set_value( 1, c.value( 1 ) );
        EXPECT_EQ( orientation_3d( a, b, c, in_plane ), SIDE::zero );
        Point3D one_ulp_above{ in_plane };
        one_ulp_above.set_value( 2, std::nextafter( a.value( 2 ), 0. ) );
        EXPECT_EQ( orientation_3d( a, b, c, one_ulp_above ), SIDE::positive );
    }

    TEST( Orientation3D, near_degenerate_cases_match_the_exact_reference )
    {
        NearDegenerateGenerator generator{ 41 };
        int nb_checked{ 0 };
        int naive_errors{ 0 };
        int nb_zeros{ 0 };
        while( nb_checked < NB_RANDOM_CASES )
        {
            const auto a = generator.anchor_point< 3 >();
            const auto b = generator.anchor_point< 3 >();
            const auto c = generator.anchor_point< 3 >();
            const auto d = generator.near_span_point< 3 >( a, { b, c } );
            if( !d )
            {
                continue;
            }
            nb_checked++;
            const auto expected = reference_orientation_3d( a, b, c, *d );
            ASSERT_EQ( orientation_3d( a, b, c, *d ), expected )
                << a.string() << " / " << b.string() << " / " << c.string()
                << " / " << d->string();
            naive_errors += naive_orientation_3d( a, b, c, *d ) != expected;
            nb_zeros += expected == SIDE::zero;
        }
        EXPECT_GT( naive_errors, NB_RANDOM_CASES / 100 );
        EXPECT_GT( nb_zeros, 0 );
    }

    TEST( Orientation3D, coplanar_integer_grids_match_the_exact_reference )
    {
        // Points of the plane x + 2y - 3z = 0 far from the origin, some moved
        // off it by one unit.
        std::mt19937_64 engine{ 5 };
        std::uniform_int_distribution< int > coordinate{ -1000, 1000 };
        std::uniform_int_distribution< int > shift{ -1, 1 };
        for( int iteration = 0; iteration < NB_RANDOM_CASES; iteration++ )
        {
            std::array< Point3D, 4 > points;
            for( auto& point : points )
            {
                const double z = 300000 + 3 * coordinate( engine );
                const double y = 100000 + 3 * coordinate( engine );
                const double x = 3 * z - 2 * y;
                point = Point3D{ { x, y, z + 0.001 * shift( engine ) } };
                point.set_value( 2, snap( point.value( 2 ) ) );
            }
            ASSERT_EQ(
                orientation_3d( points[0], points[1], points[2], points[3] ),
                reference_orientation_3d(
                    points[0], points[1], points[2], points[3] ) );
        }
    }

    TEST( Orientation3D, permutations_are_consistent )
    {
        NearDegenerateGenerator generator{ 53 };
        for( int iteration = 0; iteration < NB_RANDOM_CASES / 10; iteration++ )
        {
            const auto a = generator.anchor_point< 3 >();
            const auto b = generator.anchor_point< 3 >();
            const auto c = generator.anchor_point< 3 >();
            const auto d = generator.near_span_point< 3 >( a, { b, c } );
            if( !d )
            {
                continue;
            }
            const std::array< Point3D, 4 > points{ a, b, c, *d };
            const auto side = orientation_3d( a, b, c, *d );
            std::array< int, 4 > order{ 0, 1, 2, 3 };
            do
            {
                int nb_inversions{ 0 };
                for( int i = 0; i < 4; i++ )
                {
                    for( int j = i + 1; j < 4; j++ )
                    {
                        nb_inversions += order[i] > order[j];
                    }
                }
                const auto expected =
                    nb_inversions % 2 == 0 ? side : opposite( side );
                ASSERT_EQ( orientation_3d( points[order[0]], points[order[1]],
                               points[order[2]], points[order[3]] ),
                    expected );
            } while( std::next_permutation( order.begin(), order.end() ) );
        }
    }

    // Scaling every coordinate by a power of two scales the determinant
    // exactly, so the answers must not change at the ends of the supported
    // magnitudes.
    TEST( Orientation3D, scaling_by_powers_of_two_keeps_the_answers )
    {
        NearDegenerateGenerator generator{ 61 };
        const auto scaled = []( const Point3D& point, int exponent )
        {
            return Point3D{ { std::ldexp( point.value( 0 ), exponent ),
                std::ldexp( point.value( 1 ), exponent ),
                std::ldexp( point.value( 2 ), exponent ) } };
        };
        for( int iteration = 0; iteration < NB_RANDOM_CASES / 10; iteration++ )
        {
            const auto a = generator.anchor_point< 3 >();
            const auto b = generator.anchor_point< 3 >();
            const auto c = generator.anchor_point< 3 >();
            const auto d = generator.near_span_point< 3 >( a, { b, c } );
            if( !d )
            {
                continue;
            }
            const auto expected = reference_orientation_3d( a, b, c, *d );
            for( const auto exponent : { -280, 250 } )
            {
                ASSERT_EQ( orientation_3d( scaled( a, exponent ),
                               scaled( b, exponent ), scaled( c, exponent ),
                               scaled( *d, exponent ) ),
                    expected )
                    << exponent;
            }
            const auto flat = [&scaled]( const Point3D& point )
            { return scaled( point, -280 ).project_point( 2 ); };
            ASSERT_EQ( orientation_2d( flat( a ), flat( b ), flat( *d ) ),
                reference_orientation_2d( a.project_point( 2 ),
                    b.project_point( 2 ), d->project_point( 2 ) ) );
        }
    }

    TEST( Orientation3D, rejects_non_finite_coordinates )
    {
        const Point3D a{ { 0, 0, 0 } };
        const Point3D b{ { 1, 0, 0 } };
        const Point3D c{ { 0, 1, 0 } };
        const Point3D nan{ { 0, 0,
            std::numeric_limits< double >::quiet_NaN() } };
        EXPECT_THROW( static_cast< void >( orientation_3d( a, b, c, nan ) ),
            TessarkException );
    }

    TEST( PointSideToPlane, matches_the_exact_reference )
    {
        NearDegenerateGenerator generator{ 71 };
        std::mt19937_64 engine{ 3 };
        std::uniform_int_distribution< int > small{ -1000, 1000 };
        int nb_zeros{ 0 };
        for( int iteration = 0; iteration < NB_RANDOM_CASES; iteration++ )
        {
            const auto origin = generator.anchor_point< 3 >();
            // Normals with small integer components, and points moved from
            // the origin along a direction orthogonal to them, then by a few
            // grid steps.
            const Vector3D normal{ { static_cast< double >( small( engine ) ),
                static_cast< double >( small( engine ) ), 1. } };
            const Vector3D along{ { 1., 0., -normal.value( 0 ) } };
            // Every other point is moved by an exact multiple of 2^-20, so
            // that it stays exactly in the plane when no rounding occurs.
            std::optional< Point3D > moved;
            if( iteration % 2 == 0 )
            {
                moved = generator.near_span_point< 3 >(
                    origin, { origin + along * 1e-3 * small( engine ) } );
            }
            else
            {
                moved = origin + along * std::ldexp( small( engine ), -20 );
                for( local_index_t axis = 0; axis < 3; axis++ )
                {
                    moved->set_value( axis, snap( moved->value( axis ) ) );
                }
            }
            if( !moved || !( std::abs( moved->value( 0 ) ) < GRID_LIMIT )
                || !( std::abs( moved->value( 2 ) ) < GRID_LIMIT ) )
            {
                continue;
            }
            const auto difference = grid_difference( origin, *moved );
            std::array< Int128, 3 > scaled_normal;
            for( local_index_t axis = 0; axis < 3; axis++ )
            {
                scaled_normal[axis] =
                    static_cast< Int128 >( normal.value( axis ) );
            }
            const auto expected = sign_of_wide_sum( scaled_normal, difference );
            ASSERT_EQ( point_side_to_plane( *moved, Plane{ normal, origin } ),
                expected );
            nb_zeros += expected == SIDE::zero;
        }
        EXPECT_GT( nb_zeros, 0 );
    }

    TEST( PointSideToPlane, follows_the_normal )
    {
        const Plane plane{ Vector3D{ { 0, 0, 2 } },
            Point3D{ { 0.1, 0.2, 0.3 } } };
        EXPECT_EQ( point_side_to_plane( Point3D{ { 5, 5, 0.31 } }, plane ),
            SIDE::positive );
        EXPECT_EQ( point_side_to_plane( Point3D{ { 5, 5, 0.29 } }, plane ),
            SIDE::negative );
        EXPECT_EQ( point_side_to_plane( Point3D{ { -9, 1e6, 0.3 } }, plane ),
            SIDE::zero );
        const Plane no_normal{ Vector3D{}, Point3D{} };
        EXPECT_EQ( point_side_to_plane( Point3D{ { 1, 2, 3 } }, no_normal ),
            SIDE::zero );
    }

    struct SegmentPairCase
    {
        const char* name;
        Segment2D segment0;
        Segment2D segment1;
        bool cross;
    };

    Segment2D segment( double x0, double y0, double x1, double y1 )
    {
        return Segment2D{ Point2D{ { x0, y0 } }, Point2D{ { x1, y1 } } };
    }

    TEST( SegmentsCross, decides_every_configuration_exactly )
    {
        std::vector< SegmentPairCase > cases{
            { "proper crossing", segment( 0, 0, 2, 2 ), segment( 0, 2, 2, 0 ),
                true },
            { "end point on the other", segment( 0, 0, 2, 2 ),
                segment( 1, 1, 3, 0 ), true },
            { "shared end point", segment( 0, 0, 1, 0 ), segment( 1, 0, 5, 7 ),
                true },
            { "disjoint", segment( 0, 0, 1, 0 ), segment( 0, 1, 1, 2 ), false },
            { "lines cross outside", segment( 0, 0, 1, 1 ),
                segment( 3, 0, 2, 1 ), false },
            { "parallel", segment( 0, 0, 1, 0 ),
                segment( 0, 1e-300, 1, 1e-300 ), false },
            { "collinear overlapping", segment( 0.125, 0.375, 0.5, 1.5 ),
                segment( 0.25, 0.75, 0.75, 2.25 ), true },
            { "collinear touching", segment( 0, 0, 1, 1 ),
                segment( 2, 2, 1, 1 ), true },
            { "collinear disjoint", segment( 0, 0, 1, 1 ),
                segment( 2, 2, 3, 3 ), false },
            { "collinear nested", segment( 0, 0, 4, 0 ), segment( 3, 0, 1, 0 ),
                true },
            { "point on segment", segment( 0, 0, 4, 2 ), segment( 2, 1, 2, 1 ),
                true },
            { "point off segment", segment( 0, 0, 4, 2 ), segment( 6, 3, 6, 3 ),
                false },
            { "same points", segment( 1, 1, 1, 1 ), segment( 1, 1, 1, 1 ),
                true },
            { "different points", segment( 1, 1, 1, 1 ), segment( 1, 2, 1, 2 ),
                false },
        };
        // The line y = x / 3 through decimal points, and segments starting one
        // ulp above or below it.
        const auto third = with_exact_triple( 0.1 );
        const auto line = segment( 0, 0, 3 * third, third );
        const auto above = std::nextafter( 0.5 * third, 1. );
        const auto below = std::nextafter( 0.5 * third, 0. );
        cases.push_back( { "one ulp above", line,
            segment( 1.5 * third, above, 2, 5 ), false } );
        cases.push_back( { "one ulp below", line,
            segment( 1.5 * third, below, 2, 5 ), true } );
        cases.push_back( { "exactly on", line,
            segment( 1.5 * third, 0.5 * third, 2, 5 ), true } );
        for( const auto& test : cases )
        {
            EXPECT_EQ(
                segments_cross( test.segment0, test.segment1 ), test.cross )
                << test.name;
            EXPECT_EQ(
                segments_cross( test.segment1, test.segment0 ), test.cross )
                << test.name;
        }
    }

    TEST( IsTriangleDegenerate, only_for_collinear_vertices )
    {
        const Point3D a{ { 0.1, 0.2, 0.3 } };
        const Point3D twice{ { 0.2, 0.4, 0.6 } };
        const Point3D origin{ { 0, 0, 0 } };
        EXPECT_TRUE( is_triangle_degenerate( Triangle3D{ origin, a, twice } ) );
        EXPECT_TRUE( is_triangle_degenerate( Triangle3D{ a, a, a } ) );
        EXPECT_TRUE( is_triangle_degenerate( Triangle3D{ a, twice, a } ) );
        Point3D moved{ twice };
        moved.set_value( 1, std::nextafter( 0.4, 1. ) );
        EXPECT_FALSE(
            is_triangle_degenerate( Triangle3D{ origin, a, moved } ) );
    }
} // namespace
