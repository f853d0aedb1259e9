#include <algorithm>
#include <numeric>
#include <random>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tessark/search/aabb.h>

namespace
{
    using namespace brevane;

    // Elements of these tests are segments: distance from a point to a
    // segment, through the clamped projection.
    template < index_t D >
    double distance_to_segment(
        const Point< D >& point, const Segment< D >& segment )
    {
        const auto& start = segment.vertices()[0];
        const auto direction = segment.direction();
        const Vector< D > to_point{ start, point };
        const auto length2 = direction.length2();
        double parameter{ 0 };
        if( length2 > 0 )
        {
            parameter =
                std::clamp( to_point.dot( direction ) / length2, 0., 1. );
        }
        return Vector< D >{ start + direction * parameter, point }.length();
    }

    template < index_t D >
    Point< D > random_point( std::mt19937& engine, double low, double high )
    {
        std::uniform_real_distribution< double > coordinate{ low, high };
        Point< D > point;
        for( local_index_t axis = 0; axis < D; axis++ )
        {
            point.set_value( axis, coordinate( engine ) );
        }
        return point;
    }

    // A set of random segments in the unit box: some of zero length, some
    // duplicated exactly, so that boxes coincide and distances tie.
    template < index_t D >
    struct SegmentSet
    {
        SegmentSet( index_t size, unsigned seed )
        {
            std::mt19937 engine{ seed };
            std::uniform_real_distribution< double > unit{ 0, 1 };
            for( index_t element = 0; element < size; element++ )
            {
                if( element > 0 && unit( engine ) < 0.15 )
                {
                    const auto source = static_cast< std::size_t >(
                        unit( engine ) * segments.size() );
                    segments.push_back( segments[source] );
                    continue;
                }
                const auto start = random_point< D >( engine, 0, 1 );
                if( unit( engine ) < 0.1 )
                {
                    segments.emplace_back( start, start );
                    continue;
                }
                const auto shift = random_point< D >( engine, -0.2, 0.2 );
                segments.emplace_back(
                    start, start + Vector< D >{ shift.values() } );
            }
            for( const auto& segment : segments )
            {
                boxes.push_back( segment.bounding_box() );
            }
        }

        [[nodiscard]] double distance(
            const Point< D >& query, index_t element ) const
        {
            return distance_to_segment( query, segments[element] );
        }

        std::vector< Segment< D > > segments;
        std::vector< BoundingBox< D > > boxes;
    };

    template < index_t D >
    std::tuple< index_t, double > brute_force_closest(
        const SegmentSet< D >& set, const Point< D >& query )
    {
        index_t best{ NO_ID };
        double best_distance{ std::numeric_limits< double >::max() };
        for( index_t element = 0; element < set.segments.size(); element++ )
        {
            const auto distance = set.distance( query, element );
            if( distance < best_distance )
            {
                best = element;
                best_distance = distance;
            }
        }
        return { best, best_distance };
    }

    // Queries: random points around the set, points far outside, and the
    // end points of the segments themselves (exact ties on duplicates).
    template < index_t D >
    std::vector< Point< D > > query_points(
        const SegmentSet< D >& set, unsigned seed )
    {
        std::mt19937 engine{ seed };
        std::vector< Point< D > > points;
        for( int query = 0; query < 200; query++ )
        {
            points.push_back( random_point< D >( engine, -0.5, 1.5 ) );
        }
        for( int query = 0; query < 10; query++ )
        {
            points.push_back( random_point< D >( engine, -1e4, 1e4 ) );
        }
        for( std::size_t element = 0;
             element < std::min< std::size_t >( set.segments.size(), 50 );
             element++ )
        {
            points.push_back( set.segments[element].vertices()[1] );
        }
        return points;
    }

    template < index_t D >
    std::vector< BoundingBox< D > > query_boxes(
        const SegmentSet< D >& set, unsigned seed )
    {
        std::mt19937 engine{ seed };
        std::vector< BoundingBox< D > > boxes;
        for( int query = 0; query < 100; query++ )
        {
            BoundingBox< D > box;
            const auto corner = random_point< D >( engine, -0.3, 1.3 );
            box.add_point( corner );
            if( query % 4 != 0 )
            {
                box.add_point(
                    corner
                    + Vector< D >{
                        random_point< D >( engine, -0.3, 0.3 ).values() } );
            }
            boxes.push_back( box );
        }
        for( std::size_t element = 0;
             element < std::min< std::size_t >( set.boxes.size(), 20 );
             element++ )
        {
            BoundingBox< D > touching;
            touching.add_point( set.boxes[element].max() );
            touching.add_point(
                set.boxes[element].max()
                + Point< D >{ random_point< D >( engine, 0, 0.1 ) } );
            boxes.push_back( touching );
        }
        return boxes;
    }

    template < index_t D >
    std::vector< Segment< D > > query_segments(
        const SegmentSet< D >& set, unsigned seed )
    {
        std::mt19937 engine{ seed };
        std::vector< Segment< D > > segments;
        for( int query = 0; query < 100; query++ )
        {
            const auto start = random_point< D >( engine, -0.5, 1.5 );
            if( query % 5 == 0 )
            {
                segments.emplace_back( start, start );
                continue;
            }
            if( query % 5 == 1 )
            {
                auto end = start;
                end.set_value( D - 1, start.value( D - 1 ) - 3 );
                segments.emplace_back( start, end );
                continue;
            }
            segments.emplace_back(
                start, random_point< D >( engine, -0.5, 1.5 ) );
        }
        for( std::size_t element = 0;
             element < std::min< std::size_t >( set.boxes.size(), 20 );
             element++ )
        {
            // Grazing the box at a distance below the tolerance.
            auto start = set.boxes[element].max();
            start.set_value( 0, start.value( 0 ) + 0.5 * GLOBAL_EPSILON );
            auto end = start;
            end.set_value( D - 1, end.value( D - 1 ) - 2 );
            segments.emplace_back( start, end );
        }
        return segments;
    }

    template < index_t D, typename Filter >
    std::vector< index_t > brute_force_elements(
        const SegmentSet< D >& set, const Filter& filter )
    {
        std::vector< index_t > elements;
        for( index_t element = 0; element < set.boxes.size(); element++ )
        {
            if( filter( set.boxes[element] ) )
            {
                elements.push_back( element );
            }
        }
        return elements;
    }

    struct Collector
    {
        void operator()( index_t element )
        {
            elements.push_back( element );
        }

        [[nodiscard]] std::vector< index_t > sorted() const
        {
            auto result = elements;
            std::sort( result.begin(), result.end() );
            return result;
        }

        std::vector< index_t > elements;
    };

    template < typename Dimension >
    class AABBTreeTest : public testing::Test
    {
    };

    using Dimensions = testing::Types< std::integral_constant< index_t, 2 >,
        std::integral_constant< index_t, 3 > >;
    TYPED_TEST_SUITE( AABBTreeTest, Dimensions );

    // The largest size is past the size from which subtrees are built in
    // parallel.
    const std::vector< index_t > SET_SIZES{ 0, 1, 2, 3, 17, 256, 1000, 40000 };

    TYPED_TEST( AABBTreeTest, closest_element_equals_brute_force )
    {
        constexpr auto D = TypeParam::value;
        for( const auto size : SET_SIZES )
        {
            const SegmentSet< D > set{ size, 7 + size };
            const AABBTree< D > tree{ set.boxes };
            EXPECT_EQ( tree.nb_bboxes(), size );
            const auto distance = [&set](
                                      const Point< D >& query, index_t element )
            {
                return set.distance( query, element );
            };
            for( const auto& query : query_points( set, 11 + size ) )
            {
                const auto [element, element_distance] =
                    tree.closest_element_box( query, distance );
                const auto [expected, expected_distance] =
                    brute_force_closest( set, query );
                EXPECT_EQ( element, expected )
                    << "size " << size << " query " << query.string();
                EXPECT_EQ( element_distance, expected_distance )
                    << "size " << size << " query " << query.string();
            }
        }
    }

    TYPED_TEST( AABBTreeTest, box_query_reports_exactly_the_meeting_boxes )
    {
        constexpr auto D = TypeParam::value;
        for( const auto size : SET_SIZES )
        {
            const SegmentSet< D > set{ size, 23 + size };
            const AABBTree< D > tree{ set.boxes };
            for( const auto& box : query_boxes( set, 5 + size ) )
            {
                Collector collector;
                tree.compute_bbox_element_bbox_intersections( box, collector );
                const auto expected = brute_force_elements( set,
                    [&box]( const BoundingBox< D >& element_box )
                    {
                        return element_box.intersects( box );
                    } );
                EXPECT_EQ( collector.sorted(), expected )
                    << "size " << size << " box " << box.string();
            }
        }
    }

    TYPED_TEST( AABBTreeTest, segment_query_reports_exactly_the_meeting_boxes )
    {
        constexpr auto D = TypeParam::value;
        for( const auto size : SET_SIZES )
        {
            const SegmentSet< D > set{ size, 31 + size };
            const AABBTree< D > tree{ set.boxes };
            for( const auto& segment : query_segments( set, 3 + size ) )
            {
                Collector collector;
                tree.compute_segment_element_bbox_intersections(
                    segment, collector );
                const auto expected = brute_force_elements( set,
                    [&segment]( const BoundingBox< D >& element_box )
                    {
                        return element_box.epsilon_intersects( segment );
                    } );
                EXPECT_EQ( collector.sorted(), expected ) << "size " << size;
            }
        }
    }

    TYPED_TEST( AABBTreeTest, walk_stops_when_the_action_returns_true )
    {
        constexpr auto D = TypeParam::value;
        const SegmentSet< D > set{ 500, 41 };
        const AABBTree< D > tree{ set.boxes };
        const auto whole = tree.bounding_box();
        const Segment< D > diagonal{ whole.min(), whole.max() };
        for( const index_t limit : { 1, 2, 10 } )
        {
            index_t calls{ 0 };
            auto action = [&calls, limit]( index_t )
            {
                return ++calls == limit;
            };
            tree.compute_bbox_element_bbox_intersections( whole, action );
            EXPECT_EQ( calls, limit );
            calls = 0;
            tree.compute_segment_element_bbox_intersections( diagonal, action );
            EXPECT_EQ( calls, limit );
        }
    }

    TYPED_TEST( AABBTreeTest, empty_boxes_are_never_reported )
    {
        constexpr auto D = TypeParam::value;
        Point< D > point;
        point.set_value( 0, 2 );
        BoundingBox< D > box;
        box.add_point( point );
        const AABBTree< D > tree{ { BoundingBox< D >{}, box,
            BoundingBox< D >{} } };
        const auto [element, distance] = tree.closest_element_box( Point< D >{},
            []( const Point< D >&, index_t )
            {
                return 0.;
            } );
        EXPECT_EQ( element, 1 );
        EXPECT_EQ( distance, 0 );
        Collector collector;
        BoundingBox< D > everything;
        everything.add_point( Point< D >{} );
        everything.extends( 1e9 );
        tree.compute_bbox_element_bbox_intersections( everything, collector );
        EXPECT_THAT( collector.elements, testing::ElementsAre( 1 ) );

        const AABBTree< D > only_empty{ { BoundingBox< D >{} } };
        const auto [none, none_distance] =
            only_empty.closest_element_box( Point< D >{},
                []( const Point< D >&, index_t )
                {
                    return 0.;
                } );
        EXPECT_EQ( none, NO_ID );
        EXPECT_EQ( none_distance, std::numeric_limits< double >::max() );
    }

    TYPED_TEST( AABBTreeTest, empty_tree_answers_every_query )
    {
        constexpr auto D = TypeParam::value;
        const AABBTree< D > tree;
        EXPECT_EQ( tree.nb_bboxes(), 0 );
        EXPECT_TRUE( tree.bounding_box().empty() );
        const auto [element, distance] = tree.closest_element_box( Point< D >{},
            []( const Point< D >&, index_t )
            {
                return 0.;
            } );
        EXPECT_EQ( element, NO_ID );
        EXPECT_EQ( distance, std::numeric_limits< double >::max() );
        Collector collector;
        BoundingBox< D > box;
        box.add_point( Point< D >{} );
        tree.compute_bbox_element_bbox_intersections( box, collector );
        tree.compute_segment_element_bbox_intersections(
            Segment< D >{ Point< D >{}, Point< D >{} }, collector );
        EXPECT_TRUE( collector.elements.empty() );
    }

    TYPED_TEST( AABBTreeTest, rejects_non_finite_boxes )
    {
        constexpr auto D = TypeParam::value;
        Point< D > point;
        point.set_value( D - 1, std::numeric_limits< double >::infinity() );
        BoundingBox< D > finite;
        finite.add_point( Point< D >{} );
        BoundingBox< D > broken;
        broken.add_point( point );
        try
        {
            const AABBTree< D > tree{ { finite, broken } };
            ADD_FAILURE() << "a box with an infinite coordinate was accepted";
        }
        catch( const TessarkException& exception )
        {
            EXPECT_THAT( exception.what(), testing::HasSubstr( "element 1" ) );
        }
    }

    TYPED_TEST( AABBTreeTest, concurrent_queries_match_sequential_ones )
    {
        constexpr auto D = TypeParam::value;
        const SegmentSet< D > set{ 5000, 53 };
        const AABBTree< D > tree{ set.boxes };
        const auto queries = query_points( set, 59 );
        const auto distance = [&set]( const Point< D >& query, index_t element )
        {
            return set.distance( query, element );
        };
        struct Answer
        {
            index_t closest;
            double distance;
            std::vector< index_t > in_box;

            bool operator==( const Answer& ) const = default;
        };
        const auto answer_all = [&]
        {
            std::vector< Answer > answers;
            for( const auto& query : queries )
            {
                const auto [closest, closest_distance] =
                    tree.closest_element_box( query, distance );
                BoundingBox< D > box;
                box.add_point( query );
                box.extends( 0.05 );
                Collector collector;
                tree.compute_bbox_element_bbox_intersections( box, collector );
                answers.push_back(
                    { closest, closest_distance, collector.elements } );
            }
            return answers;
        };
        const auto sequential = answer_all();
        std::vector< std::vector< Answer > > parallel( 4 );
        std::vector< std::thread > threads;
        for( auto& answers : parallel )
        {
            threads.emplace_back(
                [&answers, &answer_all]
                {
                    answers = answer_all();
                } );
        }
        for( auto& thread : threads )
        {
            thread.join();
        }
        for( const auto& answers : parallel )
        {
            EXPECT_TRUE( answers == sequential );
        }
    }
} // namespace

namespace
{
    // Far from the origin a float step is wider than the boxes: the float
    // boxes of the nodes must still hold every element, so that queries
    // touching an element box exactly at a bound still report it.
    TYPED_TEST( AABBTreeTest, queries_far_from_the_origin_equal_brute_force )
    {
        constexpr auto D = TypeParam::value;
        for( const double offset : { 3e6, -7.25e7 } )
        {
            SegmentSet< D > set{ 3000, 61 };
            Vector< D > shift;
            for( local_index_t axis = 0; axis < D; axis++ )
            {
                shift.set_value( axis, offset * ( axis + 1 ) );
            }
            for( auto& segment : set.segments )
            {
                segment = Segment< D >{ segment.vertices()[0] + shift,
                    segment.vertices()[1] + shift };
            }
            for( std::size_t element = 0; element < set.boxes.size(); element++ )
            {
                set.boxes[element] = set.segments[element].bounding_box();
            }
            const AABBTree< D > tree{ set.boxes };
            for( const auto& box : query_boxes( set, 67 ) )
            {
                Collector collector;
                tree.compute_bbox_element_bbox_intersections( box, collector );
                EXPECT_EQ( collector.sorted(),
                    brute_force_elements( set,
                        [&box]( const BoundingBox< D >& element_box )
                        {
                            return element_box.intersects( box );
                        } ) )
                    << "offset " << offset << " box " << box.string();
            }
            for( const auto& segment : query_segments( set, 71 ) )
            {
                Collector collector;
                tree.compute_segment_element_bbox_intersections(
                    segment, collector );
                EXPECT_EQ( collector.sorted(),
                    brute_force_elements( set,
                        [&segment]( const BoundingBox< D >& element_box )
                        {
                            return element_box.epsilon_intersects( segment );
                        } ) )
                    << "offset " << offset;
            }
            for( std::size_t element = 0; element < 40; element++ )
            {
                const auto& query = set.segments[element].vertices()[1];
                const auto [closest, distance] = tree.closest_element_box(
                    query, [&set]( const Point< D >& point, index_t other )
                    {
                        return set.distance( point, other );
                    } );
                EXPECT_EQ( std::get< 1 >( brute_force_closest( set, query ) ),
                    distance )
                    << "offset " << offset;
            }
        }
    }

    // The leaves cover the leaf order once, and the order holds every
    // element once with its own box.
    TYPED_TEST( AABBTreeTest, leaves_cover_every_element_once )
    {
        constexpr auto D = TypeParam::value;
        for( const auto size : SET_SIZES )
        {
            const SegmentSet< D > set{ size, 73 + size };
            const AABBTree< D > tree{ set.boxes };
            const auto leaves = tree.leaves();
            index_t next{ 0 };
            std::vector< index_t > elements;
            for( const auto& leaf : leaves )
            {
                EXPECT_EQ( leaf.begin, next ) << "size " << size;
                EXPECT_GT( leaf.count, 0u );
                next = leaf.begin + leaf.count;
                for( auto position = leaf.begin; position < next; position++ )
                {
                    const auto element = tree.element_at( position );
                    elements.push_back( element );
                    EXPECT_EQ( tree.box_at( position ).min(),
                        set.boxes[element].min() );
                    EXPECT_EQ( tree.box_at( position ).max(),
                        set.boxes[element].max() );
                }
            }
            EXPECT_EQ( next, size );
            std::sort( elements.begin(), elements.end() );
            std::vector< index_t > all( size );
            std::iota( all.begin(), all.end(), 0 );
            EXPECT_EQ( elements, all ) << "size " << size;
        }
    }
} // namespace
