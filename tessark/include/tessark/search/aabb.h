#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
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
    // The tree is a balanced binary tree stored in one flat array of 2n - 1
    // node boxes in depth-first order: the node covering the elements
    // [begin, end) of the internal order has its first child right after it
    // and its second child 2 * (middle - begin) places after it, where
    // middle = begin + (end - begin) / 2. Each split sorts the elements of a
    // node by the centers of their boxes along the longest axis of these
    // centers (median split, ties by element index), so the tree depends only
    // on the boxes, never on thread scheduling.
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
        [[nodiscard]] BoundingBox< D > bounding_box() const
        {
            if( nodes_.empty() )
            {
                return {};
            }
            return nodes_.front();
        }

        // The element nearest to the query: action( query, element ) must
        // return the distance from the query to the element, and the element
        // must lie inside its box. Among elements at the same distance, the
        // smallest index wins, so the answer equals the brute-force minimum
        // of ( distance, index ). Returns ( NO_ID, max double ) when the tree
        // has no element with a non-empty box.
        // Branch and bound: the nearer child is visited first, and a node is
        // skipped when its box is farther than the best distance found plus
        // a rounding margin of 1e-12 times the largest coordinate magnitude
        // of the query and the tree, so that an element whose computed
        // distance rounds below the distance to its box is still found.
        template < typename EvalDistance >
        [[nodiscard]] std::tuple< index_t, double > closest_element_box(
            const Point< D >& query, const EvalDistance& action ) const
        {
            ClosestElement closest;
            if( nodes_.empty() || nodes_.front().empty() )
            {
                return { closest.element, closest.distance };
            }
            const auto slack = distance_slack( query );
            if( nodes_.front().signed_distance( query )
                <= closest.distance + slack )
            {
                closest_in_node(
                    query, action, slack, { 0, 0, nb_bboxes() }, closest );
            }
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
                [&box]( const BoundingBox< D >& node_box )
                {
                    return node_box.intersects( box );
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
            walk_boxes(
                [&segment]( const BoundingBox< D >& node_box )
                {
                    return node_box.epsilon_intersects( segment );
                },
                action );
        }

    private:
        // A node and the range [begin, end) of the internal element order
        // it covers.
        struct Node
        {
            std::size_t index;
            index_t begin;
            index_t end;

            [[nodiscard]] bool is_leaf() const
            {
                return end - begin == 1;
            }
            [[nodiscard]] index_t middle() const
            {
                return begin + ( end - begin ) / 2;
            }
            [[nodiscard]] Node first_child() const
            {
                return { index + 1, begin, middle() };
            }
            [[nodiscard]] Node second_child() const
            {
                return { index + 2 * std::size_t{ middle() - begin }, middle(),
                    end };
            }
        };

        struct ClosestElement
        {
            index_t element{ NO_ID };
            double distance{ std::numeric_limits< double >::max() };
        };

        // An element and the center of its box, sorted together by the
        // median splits.
        struct BuildEntry;

        void build_node( const std::vector< BoundingBox< D > >& bboxes,
            std::vector< BuildEntry >& entries, const Node& node );

        // Margin added to the best distance before a box is pruned: a
        // computed element distance may be rounded slightly below the
        // distance to its box, and such an element must not be lost.
        [[nodiscard]] double distance_slack( const Point< D >& query ) const
        {
            double scale{ 1 };
            const auto& root = nodes_.front();
            for( local_index_t axis = 0; axis < D; axis++ )
            {
                scale = std::max( { scale, std::abs( query.value( axis ) ),
                    std::abs( root.min().value( axis ) ),
                    std::abs( root.max().value( axis ) ) } );
            }
            return scale * 1e-12;
        }

        template < typename EvalDistance >
        void closest_in_node( const Point< D >& query,
            const EvalDistance& action, double slack, const Node& node,
            ClosestElement& closest ) const
        {
            if( node.is_leaf() )
            {
                const auto element = elements_[node.begin];
                const double distance = action( query, element );
                if( distance < closest.distance
                    || ( distance == closest.distance
                         && element < closest.element ) )
                {
                    closest.element = element;
                    closest.distance = distance;
                }
                return;
            }
            auto near = node.first_child();
            auto far = node.second_child();
            auto near_distance = nodes_[near.index].signed_distance( query );
            auto far_distance = nodes_[far.index].signed_distance( query );
            if( far_distance < near_distance )
            {
                std::swap( near, far );
                std::swap( near_distance, far_distance );
            }
            if( near_distance <= closest.distance + slack )
            {
                closest_in_node( query, action, slack, near, closest );
            }
            if( far_distance <= closest.distance + slack )
            {
                closest_in_node( query, action, slack, far, closest );
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

        // Depth-first walk of the nodes whose box passes the filter, calling
        // the action on the elements of the leaves reached.
        template < typename Filter, typename Action >
        void walk_boxes( const Filter& filter, Action& action ) const
        {
            walk_node( filter, action, { 0, 0, nb_bboxes() } );
        }

        // Returns true when an action asked to stop the walk.
        template < typename Filter, typename Action >
        bool walk_node(
            const Filter& filter, Action& action, const Node& node ) const
        {
            if( !filter( nodes_[node.index] ) )
            {
                return false;
            }
            if( node.is_leaf() )
            {
                return stops_walk( action, elements_[node.begin] );
            }
            return walk_node( filter, action, node.first_child() )
                   || walk_node( filter, action, node.second_child() );
        }

    private:
        // Node boxes in depth-first order (2n - 1 of them).
        std::vector< BoundingBox< D > > nodes_;
        // The element of each leaf, in the order of the leaves.
        std::vector< index_t > elements_;
    };

    using AABBTree2D = AABBTree< 2 >;
    using AABBTree3D = AABBTree< 3 >;
} // namespace brevane
