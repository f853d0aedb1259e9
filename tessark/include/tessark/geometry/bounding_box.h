#pragma once

#include <algorithm>
#include <array>
#include <limits>

#include <tessark/geometry/point.h>

namespace brevane
{
    template < index_t D >
    class Segment;

    // An axis-aligned box. A default box is empty (min above max) and becomes
    // a point box at its first add_point.
    template < index_t D >
    class BoundingBox
    {
    public:
        BoundingBox()
        {
            for( index_t axis = 0; axis < D; axis++ )
            {
                min_.set_value( axis, std::numeric_limits< double >::max() );
                max_.set_value( axis, std::numeric_limits< double >::lowest() );
            }
        }

        [[nodiscard]] const Point< D >& min() const
        {
            return min_;
        }
        [[nodiscard]] const Point< D >& max() const
        {
            return max_;
        }
        [[nodiscard]] bool empty() const
        {
            return min_.value( 0 ) > max_.value( 0 );
        }

        void add_point( const Point< D >& point )
        {
            for( index_t axis = 0; axis < D; axis++ )
            {
                min_.set_value(
                    axis, std::min( min_.value( axis ), point.value( axis ) ) );
                max_.set_value(
                    axis, std::max( max_.value( axis ), point.value( axis ) ) );
            }
        }
        void add_box( const BoundingBox& box )
        {
            if( box.empty() )
            {
                return;
            }
            add_point( box.min_ );
            add_point( box.max_ );
        }
        // Grows the box by a margin on every side.
        void extends( double margin )
        {
            for( index_t axis = 0; axis < D; axis++ )
            {
                min_.set_value( axis, min_.value( axis ) - margin );
                max_.set_value( axis, max_.value( axis ) + margin );
            }
        }

        [[nodiscard]] bool contains( const Point< D >& point ) const
        {
            for( index_t axis = 0; axis < D; axis++ )
            {
                if( point.value( axis ) < min_.value( axis )
                    || point.value( axis ) > max_.value( axis ) )
                {
                    return false;
                }
            }
            return true;
        }
        // True when the two closed boxes share at least one point.
        [[nodiscard]] bool intersects( const BoundingBox& box ) const
        {
            for( index_t axis = 0; axis < D; axis++ )
            {
                if( max_.value( axis ) < box.min_.value( axis )
                    || min_.value( axis ) > box.max_.value( axis ) )
                {
                    return false;
                }
            }
            return true;
        }
        // True when the segment meets the box grown by GLOBAL_EPSILON on every
        // side (slab test), so that a segment grazing a face is not missed.
        [[nodiscard]] bool epsilon_intersects( const Segment< D >& segment ) const;

        // The part [enter, leave] of the segment p0 + t (p1 - p0), t in
        // [0, 1], inside the box grown by `margin` on every side (slab test);
        // enter > leave when the segment misses it.
        [[nodiscard]] std::array< double, 2 > segment_parameter_range(
            const Segment< D >& segment, double margin ) const;

        [[nodiscard]] Point< D > center() const
        {
            return ( min_ + max_ ) * 0.5;
        }
        [[nodiscard]] Point< D > diagonal() const
        {
            return max_ - min_;
        }

        // Euclidean distance from the point to the box when the point is
        // outside; minus the distance to the nearest face when it is inside.
        [[nodiscard]] double signed_distance( const Point< D >& point ) const
        {
            bool inside{ true };
            double outside_square{ 0 };
            double inside_distance{ std::numeric_limits< double >::max() };
            for( index_t axis = 0; axis < D; axis++ )
            {
                const auto value = point.value( axis );
                const auto low = min_.value( axis );
                const auto high = max_.value( axis );
                if( value < low )
                {
                    inside = false;
                    outside_square += ( low - value ) * ( low - value );
                }
                else if( value > high )
                {
                    inside = false;
                    outside_square += ( value - high ) * ( value - high );
                }
                else
                {
                    inside_distance = std::min(
                        inside_distance, std::min( value - low, high - value ) );
                }
            }
            return inside ? -inside_distance : std::sqrt( outside_square );
        }

        [[nodiscard]] std::string string() const
        {
            return absl::StrCat( "[", min_.string(), "] [", max_.string(), "]" );
        }

    private:
        Point< D > min_;
        Point< D > max_;
    };

    using BoundingBox2D = BoundingBox< 2 >;
    using BoundingBox3D = BoundingBox< 3 >;
} // namespace brevane

#include <tessark/geometry/basic_objects.h>

namespace brevane
{
    template < index_t D >
    bool BoundingBox< D >::epsilon_intersects( const Segment< D >& segment ) const
    {
        if( empty() )
        {
            return false;
        }
        const auto range = segment_parameter_range( segment, GLOBAL_EPSILON );
        return range[0] <= range[1];
    }

    template < index_t D >
    std::array< double, 2 > BoundingBox< D >::segment_parameter_range(
        const Segment< D >& segment, double margin ) const
    {
        const auto& origin = segment.vertices()[0];
        const auto& end = segment.vertices()[1];
        double enter{ 0 };
        double leave{ 1 };
        for( index_t axis = 0; axis < D; axis++ )
        {
            const auto low = min_.value( axis ) - margin;
            const auto high = max_.value( axis ) + margin;
            const auto start = origin.value( axis );
            const auto delta = end.value( axis ) - start;
            if( delta == 0 )
            {
                if( start < low || start > high )
                {
                    return { 1, 0 };
                }
                continue;
            }
            auto t_low = ( low - start ) / delta;
            auto t_high = ( high - start ) / delta;
            if( t_low > t_high )
            {
                std::swap( t_low, t_high );
            }
            enter = std::max( enter, t_low );
            leave = std::min( leave, t_high );
            if( enter > leave )
            {
                return { 1, 0 };
            }
        }
        return { enter, leave };
    }
} // namespace brevane
