#pragma once

#include <array>

#include <tessark/geometry/vector.h>

// Plain geometric objects. They own copies of their points, so an object
// never dangles once its source points are gone; the Owner* names are kept
// as aliases for callers that want to say so.
namespace brevane
{
    template < index_t D >
    class BoundingBox;

    template < index_t D >
    class Segment
    {
    public:
        Segment( const Point< D >& p0, const Point< D >& p1 )
            : vertices_{ p0, p1 }
        {
        }

        [[nodiscard]] const std::array< Point< D >, 2 >& vertices() const
        {
            return vertices_;
        }
        // From the first vertex to the second (not normalized).
        [[nodiscard]] Vector< D > direction() const
        {
            return Vector< D >{ vertices_[0], vertices_[1] };
        }
        [[nodiscard]] double length() const
        {
            return direction().length();
        }
        [[nodiscard]] Point< D > barycenter() const
        {
            return ( vertices_[0] + vertices_[1] ) * 0.5;
        }
        [[nodiscard]] BoundingBox< D > bounding_box() const;

    private:
        std::array< Point< D >, 2 > vertices_;
    };

    template < index_t D >
    class Triangle
    {
    public:
        Triangle(
            const Point< D >& p0, const Point< D >& p1, const Point< D >& p2 )
            : vertices_{ p0, p1, p2 }
        {
        }

        [[nodiscard]] const std::array< Point< D >, 3 >& vertices() const
        {
            return vertices_;
        }
        [[nodiscard]] Point< D > barycenter() const
        {
            return ( vertices_[0] + vertices_[1] + vertices_[2] ) * ( 1. / 3. );
        }
        // Cross product of the first two edges (not normalized): its length
        // is twice the area.
        [[nodiscard]] Vector< 3 > normal_direction() const
            requires( D == 3 )
        {
            return Vector< 3 >{ vertices_[0], vertices_[1] }.cross(
                Vector< 3 >{ vertices_[0], vertices_[2] } );
        }
        [[nodiscard]] BoundingBox< D > bounding_box() const;

    private:
        std::array< Point< D >, 3 > vertices_;
    };

    // A plane of space given by a normal and a point on it.
    class Plane
    {
    public:
        Plane( const Vector3D& normal, const Point3D& origin )
            : normal_( normal ), origin_( origin )
        {
        }

        [[nodiscard]] const Vector3D& normal() const
        {
            return normal_;
        }
        [[nodiscard]] const Point3D& origin() const
        {
            return origin_;
        }
        // d such that n . p + d = 0 for every point p of the plane.
        [[nodiscard]] double plane_constant() const
        {
            return -normal_.dot( Vector3D{ origin_.values() } );
        }

    private:
        Vector3D normal_;
        Point3D origin_;
    };

    // An unbounded line given by a point and a direction.
    template < index_t D >
    class InfiniteLine
    {
    public:
        InfiniteLine( const Vector< D >& direction, const Point< D >& origin )
            : direction_( direction ), origin_( origin )
        {
        }
        explicit InfiniteLine( const Segment< D >& segment )
            : direction_( segment.direction() ),
              origin_( segment.vertices()[0] )
        {
        }

        [[nodiscard]] const Vector< D >& direction() const
        {
            return direction_;
        }
        [[nodiscard]] const Point< D >& origin() const
        {
            return origin_;
        }

    private:
        Vector< D > direction_;
        Point< D > origin_;
    };

    template < index_t D >
    using OwnerSegment = Segment< D >;
    template < index_t D >
    using OwnerTriangle = Triangle< D >;
    using OwnerPlane = Plane;
    template < index_t D >
    using OwnerInfiniteLine = InfiniteLine< D >;

    using Segment2D = Segment< 2 >;
    using Segment3D = Segment< 3 >;
    using Triangle2D = Triangle< 2 >;
    using Triangle3D = Triangle< 3 >;
    using InfiniteLine3D = InfiniteLine< 3 >;
} // namespace brevane

#include <tessark/geometry/bounding_box.h>

namespace brevane
{
    template < index_t D >
    BoundingBox< D > Segment< D >::bounding_box() const
    {
        BoundingBox< D > box;
        for( const auto& point : vertices_ )
        {
            box.add_point( point );
        }
        return box;
    }

    template < index_t D >
    BoundingBox< D > Triangle< D >::bounding_box() const
    {
        BoundingBox< D > box;
        for( const auto& point : vertices_ )
        {
            box.add_point( point );
        }
        return box;
    }
} // namespace brevane
