#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <tuple>
#include <type_traits>
#include <vector>

#include <tessark/geometry/basic_objects.h>
#include <tessark/geometry/bounding_box.h>

namespace brevane
{
    // A bounding volume hierarchy over a list of element boxes (the element
    // index is the position in the list given at construction).
    //
    // The elements are sorted by the Morton keys of their box centers (every
    // axis quantized on the scale of the widest one; ties by element index),
    // and each range of that order is cut in its middle; a range of a few
    // thousand elements is first sorted around its middle along the longest
    // axis of its centers. The tree depends only on the boxes, never on
    // thread scheduling. Two levels of cuts make one node of four children;
    // a range of at most eight elements is a leaf.
    //
    // A node holds the boxes of its four children as floats rounded
    // outward (so a child box always contains the exact box of everything
    // under it, and no element is ever lost), in one block of two cache
    // lines. The exact double box of every element is kept in leaf order
    // beside the element index, and decides what a query reports.
    //
    // Elements with an empty box are kept but never reported by a query.
    // Every query is const and keeps its state on the stack: several threads
    // may query one tree at once, each with its own action.
    //
    // Actions of the box and segment queries are called as action( element )
    // during the walk; when an action returns true the walk stops at once
    // (an action returning void never stops it).
    template < index_t D >
    class AABBTree
    {
    public:
        AABBTree() = default;
        explicit AABBTree( const std::vector< BoundingBox< D > >& bboxes );

        [[nodiscard]] index_t nb_bboxes() const
        {
            return static_cast< index_t >( elements_.size() );
        }

        // The box of every element; an empty box for an empty tree.
        [[nodiscard]] const BoundingBox< D >& bounding_box() const
        {
            return bounding_box_;
        }

        // The range [begin, begin + count) of the leaf order held by one
        // leaf of the tree.
        struct Leaf
        {
            index_t begin;
            index_t count;
        };

        // Every leaf, by increasing begin: together they cover the leaf
        // order once.
        [[nodiscard]] std::vector< Leaf > leaves() const;

        // The element at a position of the leaf order, and its box.
        [[nodiscard]] index_t element_at( index_t position ) const
        {
            return elements_[position];
        }
        [[nodiscard]] const BoundingBox< D >& box_at( index_t position ) const
        {
            return boxes_[position];
        }

        // The element nearest to the query: action( query, element ) must
        // return the distance from the query to the element, and the element
        // must lie inside its box. Among elements at the same distance, the
        // smallest index wins, so the answer equals the brute-force minimum
        // of ( distance, index ). Returns ( NO_ID, max double ) when the tree
        // has no element with a non-empty box.
        // Branch and bound: the nearer children are visited first, and a
        // box is skipped when it is farther than the best distance found
        // plus a rounding margin of 1e-12 times the largest coordinate
        // magnitude of the query and the tree, so that an element whose
        // computed distance rounds below the distance to its box is still
        // found.
        template < typename EvalDistance >
        [[nodiscard]] std::tuple< index_t, double > closest_element_box(
            const Point< D >& query, const EvalDistance& action ) const
        {
            ClosestElement closest;
            if( bounding_box_.empty() )
            {
                return { closest.element, closest.distance };
            }
            closest_in_node( query, action, distance_slack( query ), 0, closest );
            return { closest.element, closest.distance };
        }

        // Calls action( element ) for every element whose box shares at
        // least one point with the given box (closed boxes).
        template < typename Action >
        void compute_bbox_element_bbox_intersections(
            const BoundingBox< D >& box, Action& action ) const
        {
            if( nodes_.empty() || box.empty() )
            {
                return;
            }
            walk_boxes(
                [&box]( const Node& node )
                {
                    return node.box_mask( box );
                },
                [&box]( const BoundingBox< D >& other )
                {
                    return other.intersects( box );
                },
                action );
        }

        // Calls action( element ) for every element whose box, grown by
        // GLOBAL_EPSILON, meets the segment (BoundingBox::epsilon_intersects).
        template < typename Action >
        void compute_segment_element_bbox_intersections(
            const Segment< D >& segment, Action& action ) const
        {
            if( nodes_.empty() )
            {
                return;
            }
            const SegmentSlabs slabs{ segment };
            walk_boxes(
                [&slabs]( const Node& node )
                {
                    return node.segment_mask( slabs );
                },
                [&segment]( const BoundingBox< D >& other )
                {
                    return other.epsilon_intersects( segment );
                },
                action );
        }

    private:
        static constexpr index_t WIDTH{ 4 };

        // A segment prepared for the slab tests of the node boxes.
        struct SegmentSlabs
        {
            explicit SegmentSlabs( const Segment< D >& segment )
            {
                const auto& origin = segment.vertices()[0];
                const auto& end = segment.vertices()[1];
                for( local_index_t axis = 0; axis < D; axis++ )
                {
                    start[axis] = origin.value( axis );
                    const auto delta = end.value( axis ) - start[axis];
                    flat[axis] = delta == 0;
                    inverse[axis] = flat[axis] ? 0 : 1 / delta;
                    // A step too small to invert leaves the axis free: the
                    // node test may only pass more boxes.
                    free[axis] = !flat[axis] && !std::isfinite( inverse[axis] );
                }
            }

            std::array< double, D > start;
            std::array< double, D > inverse;
            std::array< bool, D > flat;
            std::array< bool, D > free;
        };

        // Four children: a child with count 0 is the node at index child
        // (or an unused slot, whose box is empty), a child with count n > 0
        // is the leaf of the n elements from position child on.
        struct alignas( 64 ) Node
        {
            std::array< std::array< float, WIDTH >, D > lower;
            std::array< std::array< float, WIDTH >, D > upper;
            std::array< index_t, WIDTH > child;
            std::array< std::uint8_t, WIDTH > count;

            // The child's box, widened to doubles; an unused slot gives an
            // empty box.
            [[nodiscard]] BoundingBox< D > box( index_t slot ) const
            {
                BoundingBox< D > result;
                if( lower[0][slot] > upper[0][slot] )
                {
                    return result;
                }
                Point< D > low;
                Point< D > high;
                for( local_index_t axis = 0; axis < D; axis++ )
                {
                    low.set_value( axis, lower[axis][slot] );
                    high.set_value( axis, upper[axis][slot] );
                }
                result.add_point( low );
                result.add_point( high );
                return result;
            }

            [[nodiscard]] bool used( index_t slot ) const
            {
                return lower[0][slot] <= upper[0][slot];
            }

            // The children whose box meets the box, one bit per slot; the
            // float bounds compare exactly with the doubles.
            [[nodiscard]] unsigned box_mask( const BoundingBox< D >& box ) const
            {
                unsigned mask{ 0 };
                for( index_t slot = 0; slot < WIDTH; slot++ )
                {
                    bool meets{ true };
                    for( local_index_t axis = 0; axis < D; axis++ )
                    {
                        meets = meets
                                && upper[axis][slot] >= box.min().value( axis )
                                && lower[axis][slot] <= box.max().value( axis );
                    }
                    mask |= static_cast< unsigned >( meets ) << slot;
                }
                return mask;
            }

            // The children whose box, grown by GLOBAL_EPSILON, the segment
            // may meet, one bit per slot: the slab test of
            // BoundingBox::epsilon_intersects with products by the inverse
            // steps and a tolerance of 1e-12 on the segment parameter, which
            // covers their rounding, so that every box the exact test
            // passes passes here too.
            [[nodiscard]] unsigned segment_mask(
                const SegmentSlabs& slabs ) const
            {
                unsigned mask{ 0 };
                for( index_t slot = 0; slot < WIDTH; slot++ )
                {
                    if( !used( slot ) )
                    {
                        continue;
                    }
                    double enter{ 0 };
                    double leave{ 1 };
                    for( local_index_t axis = 0; axis < D; axis++ )
                    {
                        const double low =
                            double{ lower[axis][slot] } - GLOBAL_EPSILON;
                        const double high =
                            double{ upper[axis][slot] } + GLOBAL_EPSILON;
                        const auto start = slabs.start[axis];
                        if( slabs.flat[axis] )
                        {
                            if( start < low || start > high )
                            {
                                leave = -1;
                            }
                            continue;
                        }
                        if( slabs.free[axis] )
                        {
                            continue;
                        }
                        const auto t_low = ( low - start ) * slabs.inverse[axis];
                        const auto t_high =
                            ( high - start ) * slabs.inverse[axis];
                        enter = std::max( enter, std::min( t_low, t_high ) );
                        leave = std::min( leave, std::max( t_low, t_high ) );
                    }
                    mask |= static_cast< unsigned >( enter <= leave + 1e-12 )
                            << slot;
                }
                return mask;
            }
        };

        struct ClosestElement
        {
            index_t element{ NO_ID };
            double distance{ std::numeric_limits< double >::max() };
        };

        struct BuildEntry;
        class Builder;

        // Margin added to the best distance before a box is pruned: a
        // computed element distance may be rounded slightly below the
        // distance to its box, and such an element must not be lost.
        [[nodiscard]] double distance_slack( const Point< D >& query ) const
        {
            double scale{ 1 };
            for( local_index_t axis = 0; axis < D; axis++ )
            {
                scale = std::max( { scale, std::abs( query.value( axis ) ),
                    std::abs( bounding_box_.min().value( axis ) ),
                    std::abs( bounding_box_.max().value( axis ) ) } );
            }
            return scale * 1e-12;
        }

        template < typename EvalDistance >
        void closest_in_leaf( const Point< D >& query,
            const EvalDistance& action, double slack, index_t begin,
            index_t count, ClosestElement& closest ) const
        {
            for( auto position = begin; position < begin + count; position++ )
            {
                const auto& box = boxes_[position];
                if( box.empty()
                    || box.signed_distance( query )
                           > closest.distance + slack )
                {
                    continue;
                }
                const auto element = elements_[position];
                const double distance = action( query, element );
                if( distance < closest.distance
                    || ( distance == closest.distance
                         && element < closest.element ) )
                {
                    closest.element = element;
                    closest.distance = distance;
                }
            }
        }

        template < typename EvalDistance >
        void closest_in_node( const Point< D >& query,
            const EvalDistance& action, double slack, index_t node_index,
            ClosestElement& closest ) const
        {
            const auto& node = nodes_[node_index];
            std::array< std::pair< double, index_t >, WIDTH > order;
            index_t nb_children{ 0 };
            for( index_t slot = 0; slot < WIDTH; slot++ )
            {
                const auto box = node.box( slot );
                if( box.empty() )
                {
                    continue;
                }
                order[nb_children++] = { box.signed_distance( query ), slot };
            }
            // Insertion sort, nearest first.
            for( index_t rank = 1; rank < nb_children; rank++ )
            {
                for( auto place = rank;
                     place > 0 && order[place] < order[place - 1]; place-- )
                {
                    std::swap( order[place], order[place - 1] );
                }
            }
            for( index_t rank = 0; rank < nb_children; rank++ )
            {
                const auto [distance, slot] = order[rank];
                if( distance > closest.distance + slack )
                {
                    break;
                }
                if( node.count[slot] == 0 )
                {
                    closest_in_node(
                        query, action, slack, node.child[slot], closest );
                }
                else
                {
                    closest_in_leaf( query, action, slack, node.child[slot],
                        node.count[slot], closest );
                }
            }
        }

        template < typename Action >
        static bool stops_walk( Action& action, index_t element )
        {
            if constexpr( std::is_void_v<
                              std::invoke_result_t< Action&, index_t > > )
            {
                action( element );
                return false;
            }
            else
            {
                return static_cast< bool >( action( element ) );
            }
        }

        // Depth-first walk of the children in the masks of node_mask,
        // calling the action on the elements whose exact box passes the
        // filter.
        template < typename NodeMask, typename Filter, typename Action >
        void walk_boxes( const NodeMask& node_mask, const Filter& filter,
            Action& action ) const
        {
            // A balanced tree of four children per node is at most 16
            // levels deep for 2^32 elements: 3 pending siblings per level.
            std::array< index_t, 64 > stack;
            std::size_t size{ 0 };
            stack[size++] = 0;
            while( size > 0 )
            {
                const auto& node = nodes_[stack[--size]];
                const auto mask = node_mask( node );
                for( index_t slot = 0; slot < WIDTH; slot++ )
                {
                    if( ( mask & ( 1u << slot ) ) == 0 )
                    {
                        continue;
                    }
                    if( node.count[slot] == 0 )
                    {
                        stack[size++] = node.child[slot];
                        continue;
                    }
                    if( walk_leaf( filter, action, node.child[slot],
                            node.count[slot] ) )
                    {
                        return;
                    }
                }
            }
        }

        // Returns true when an action asked to stop the walk.
        template < typename Filter, typename Action >
        bool walk_leaf( const Filter& filter, Action& action, index_t begin,
            index_t count ) const
        {
            for( auto position = begin; position < begin + count; position++ )
            {
                if( filter( boxes_[position] )
                    && stops_walk( action, elements_[position] ) )
                {
                    return true;
                }
            }
            return false;
        }

    private:
        // Node 0 is the root; the nodes of a subtree follow its root.
        std::vector< Node > nodes_;
        // The elements in leaf order, and their exact boxes.
        std::vector< index_t > elements_;
        std::vector< BoundingBox< D > > boxes_;
        BoundingBox< D > bounding_box_;
    };

    using AABBTree2D = AABBTree< 2 >;
    using AABBTree3D = AABBTree< 3 >;
} // namespace brevane
