#include <tessark/search/aabb.h>

#include <map>

#include <tbb/parallel_for.h>
#include <tbb/parallel_invoke.h>
#include <tbb/parallel_sort.h>

namespace
{
    // Below this many elements a subtree is built on the calling thread:
    // spawning a task costs more than building it.
    constexpr brevane::index_t PARALLEL_BUILD_MIN_ELEMENTS{ 1 << 14 };

    // Ranges of at most this many elements are cut at the median of their
    // longest axis, larger ones along the Morton order.
    constexpr brevane::index_t MEDIAN_SPLIT_MAX_ELEMENTS{ 1 << 12 };

    template < brevane::index_t D >
    brevane::local_index_t longest_axis( const brevane::BoundingBox< D >& box )
    {
        const auto diagonal = box.diagonal();
        brevane::local_index_t axis{ 0 };
        for( brevane::local_index_t other = 1; other < D; other++ )
        {
            if( diagonal.value( other ) > diagonal.value( axis ) )
            {
                axis = other;
            }
        }
        return axis;
    }

    // A range of at most this many elements is a leaf.
    constexpr brevane::index_t LEAF_SIZE{ 8 };

    template < brevane::index_t D >
    void check_box_is_finite(
        const brevane::BoundingBox< D >& box, brevane::index_t element )
    {
        for( brevane::local_index_t axis = 0; axis < D; axis++ )
        {
            TESSARK_EXCEPTION( std::isfinite( box.min().value( axis ) )
                                   && std::isfinite( box.max().value( axis ) ),
                "[AABBTree] Box of element ", element,
                " has a non-finite coordinate: ", box.string() );
        }
    }

    // The bits of the value spread to every third bit (3D) or every other
    // bit (2D) of a 64-bit key.
    std::uint64_t spread_bits( std::uint64_t value, brevane::index_t dimension )
    {
        if( dimension == 3 )
        {
            value &= 0x1fffff;
            value = ( value | value << 32 ) & 0x1f00000000ffff;
            value = ( value | value << 16 ) & 0x1f0000ff0000ff;
            value = ( value | value << 8 ) & 0x100f00f00f00f00f;
            value = ( value | value << 4 ) & 0x10c30c30c30c30c3;
            return ( value | value << 2 ) & 0x1249249249249249;
        }
        value &= 0x7fffffff;
        value = ( value | value << 16 ) & 0x0000ffff0000ffff;
        value = ( value | value << 8 ) & 0x00ff00ff00ff00ff;
        value = ( value | value << 4 ) & 0x0f0f0f0f0f0f0f0f;
        value = ( value | value << 2 ) & 0x3333333333333333;
        return ( value | value << 1 ) & 0x5555555555555555;
    }

    // Morton keys of points: each axis scaled by one factor, that of the
    // widest axis, so that a flat set is cut across its width first.
    template < brevane::index_t D >
    class MortonKeys
    {
    public:
        explicit MortonKeys( const brevane::BoundingBox< D >& centers )
            : origin_( centers.min() )
        {
            double extent{ 0 };
            for( brevane::local_index_t axis = 0; axis < D; axis++ )
            {
                extent = std::max( extent, centers.max().value( axis )
                                               - centers.min().value( axis ) );
            }
            scale_ = extent > 0 ? MAX_CELL / extent : 0;
        }

        [[nodiscard]] std::uint64_t key( const brevane::Point< D >& point ) const
        {
            std::uint64_t result{ 0 };
            for( brevane::local_index_t axis = 0; axis < D; axis++ )
            {
                const auto cell = std::clamp(
                    ( point.value( axis ) - origin_.value( axis ) ) * scale_, 0.,
                    MAX_CELL );
                result |= spread_bits( static_cast< std::uint64_t >( cell ), D )
                          << axis;
            }
            return result;
        }

    private:
        static constexpr double MAX_CELL{ D == 3 ? ( 1 << 21 ) - 1
                                                 : ( 1u << 31 ) - 1 };
        brevane::Point< D > origin_;
        double scale_;
    };

    // The largest float not above the value, and the smallest float not
    // below it: a box of such bounds contains the double box.
    float float_below( double value )
    {
        constexpr auto largest = std::numeric_limits< float >::max();
        if( value > largest )
        {
            return largest;
        }
        if( value < -largest )
        {
            return -std::numeric_limits< float >::infinity();
        }
        auto result = static_cast< float >( value );
        if( static_cast< double >( result ) > value )
        {
            result = std::nextafter(
                result, -std::numeric_limits< float >::infinity() );
        }
        return result;
    }

    float float_above( double value )
    {
        return -float_below( -value );
    }

    // The sizes of the four children of a node of the given size: two
    // levels of cuts in the middle.
    std::array< brevane::index_t, 4 > quarter_sizes( brevane::index_t size )
    {
        const auto first = size / 2;
        const auto second = size - first;
        return { first / 2, first - first / 2, second / 2,
            second - second / 2 };
    }

    // Number of nodes of the subtree of every range size met in a tree of
    // the given number of elements: all ranges of one level have one of
    // two sizes, so there are few of them.
    void count_nodes( brevane::index_t size,
        std::map< brevane::index_t, brevane::index_t >& counts )
    {
        if( size <= LEAF_SIZE || counts.count( size ) > 0 )
        {
            return;
        }
        brevane::index_t count{ 1 };
        for( const auto quarter : quarter_sizes( size ) )
        {
            count_nodes( quarter, counts );
            if( quarter > LEAF_SIZE )
            {
                count += counts.at( quarter );
            }
        }
        counts.emplace( size, count );
    }
} // namespace

namespace brevane
{
    template < index_t D >
    struct AABBTree< D >::BuildEntry
    {
        std::uint64_t key;
        Point< D > center;
        index_t element;

        [[nodiscard]] bool operator<( const BuildEntry& other ) const
        {
            return key < other.key
                   || ( key == other.key && element < other.element );
        }
    };

    // Sorts the entries into leaf order and fills the nodes. The node
    // indices of a subtree only depend on the sizes of the ranges, so
    // subtrees are built in parallel into their own part of the nodes.
    template < index_t D >
    class AABBTree< D >::Builder
    {
    public:
        Builder( AABBTree< D >& tree,
            const std::vector< BoundingBox< D > >& bboxes,
            std::vector< BuildEntry >& entries )
            : tree_( tree ), bboxes_( bboxes ), entries_( entries )
        {
            count_nodes( static_cast< index_t >( entries.size() ), counts_ );
        }

        [[nodiscard]] index_t nb_nodes( index_t size ) const
        {
            return size <= LEAF_SIZE ? 0 : counts_.at( size );
        }

        void build_node( index_t node_index, index_t begin, index_t end )
        {
            const auto middle = split( begin, end );
            const auto first_quarter = split( begin, middle );
            const auto third_quarter = split( middle, end );
            const std::array< index_t, 5 > bounds{ begin, first_quarter,
                middle, third_quarter, end };
            auto& node = tree_.nodes_[node_index];
            auto next = node_index + 1;
            for( index_t slot = 0; slot < WIDTH; slot++ )
            {
                const auto size = bounds[slot + 1] - bounds[slot];
                if( size <= LEAF_SIZE )
                {
                    node.child[slot] = bounds[slot];
                    node.count[slot] = static_cast< std::uint8_t >( size );
                    continue;
                }
                node.child[slot] = next;
                node.count[slot] = 0;
                next += nb_nodes( size );
            }
            const auto build_child = [&]( index_t slot )
            {
                if( node.count[slot] == 0 )
                {
                    build_node(
                        node.child[slot], bounds[slot], bounds[slot + 1] );
                }
            };
            run_both(
                middle - begin,
                [&]
                {
                    build_child( 0 );
                    build_child( 1 );
                },
                [&]
                {
                    build_child( 2 );
                    build_child( 3 );
                } );
            for( index_t slot = 0; slot < WIDTH; slot++ )
            {
                set_slot_box( node, slot, bounds[slot], bounds[slot + 1] );
            }
        }

        // The root of a tree of at most LEAF_SIZE elements: one leaf.
        void build_leaf_root()
        {
            auto& root = tree_.nodes_.front();
            const auto size = static_cast< index_t >( entries_.size() );
            root.child.fill( 0 );
            root.count.fill( 0 );
            root.count[0] = static_cast< std::uint8_t >( size );
            for( index_t slot = 0; slot < WIDTH; slot++ )
            {
                set_slot_box( root, slot, 0, slot == 0 ? size : 0 );
            }
        }

    private:
        template < typename First, typename Second >
        static void run_both(
            index_t size, const First& first, const Second& second )
        {
            if( size >= PARALLEL_BUILD_MIN_ELEMENTS )
            {
                tbb::parallel_invoke( first, second );
            }
            else
            {
                first();
                second();
            }
        }

        // Cuts the range in its middle; returns the middle. A large range
        // keeps the Morton order; a small one, which fits in the caches, is
        // sorted around its middle along the longest axis of its centers
        // (ties by element) for tighter boxes.
        index_t split( index_t begin, index_t end )
        {
            const auto middle = begin + ( end - begin ) / 2;
            if( end - begin > MEDIAN_SPLIT_MAX_ELEMENTS )
            {
                return middle;
            }
            BoundingBox< D > center_box;
            for( auto position = begin; position < end; position++ )
            {
                center_box.add_point( entries_[position].center );
            }
            const auto axis = longest_axis( center_box );
            const auto start = entries_.begin();
            std::nth_element( start + begin, start + middle, start + end,
                [axis]( const BuildEntry& entry0, const BuildEntry& entry1 )
                {
                    const auto value0 = entry0.center.value( axis );
                    const auto value1 = entry1.center.value( axis );
                    return value0 < value1
                           || ( value0 == value1
                                && entry0.element < entry1.element );
                } );
            return middle;
        }

        // The float box of the slot, rounded outward from the exact boxes
        // of the elements of [begin, end) (empty for an empty range).
        void set_slot_box( Node& node, index_t slot, index_t begin, index_t end )
        {
            BoundingBox< D > box;
            if( node.count[slot] == 0 && end - begin > LEAF_SIZE )
            {
                const auto& child = tree_.nodes_[node.child[slot]];
                for( index_t child_slot = 0; child_slot < WIDTH; child_slot++ )
                {
                    box.add_box( child.box( child_slot ) );
                }
            }
            else
            {
                for( auto position = begin; position < end; position++ )
                {
                    box.add_box( bboxes_[entries_[position].element] );
                }
            }
            for( local_index_t axis = 0; axis < D; axis++ )
            {
                if( box.empty() )
                {
                    node.lower[axis][slot] =
                        std::numeric_limits< float >::infinity();
                    node.upper[axis][slot] =
                        -std::numeric_limits< float >::infinity();
                    continue;
                }
                node.lower[axis][slot] = float_below( box.min().value( axis ) );
                node.upper[axis][slot] = float_above( box.max().value( axis ) );
            }
        }

    private:
        AABBTree< D >& tree_;
        const std::vector< BoundingBox< D > >& bboxes_;
        std::vector< BuildEntry >& entries_;
        std::map< index_t, index_t > counts_;
    };

    template < index_t D >
    AABBTree< D >::AABBTree( const std::vector< BoundingBox< D > >& bboxes )
    {
        TESSARK_EXCEPTION( bboxes.size() < NO_ID,
            "[AABBTree] Too many boxes: ", bboxes.size(), " (at most ",
            NO_ID - 1, ")" );
        const auto nb_elements = static_cast< index_t >( bboxes.size() );
        if( nb_elements == 0 )
        {
            return;
        }
        BoundingBox< D > centers;
        for( index_t element = 0; element < nb_elements; element++ )
        {
            const auto& box = bboxes[element];
            if( !box.empty() )
            {
                check_box_is_finite( box, element );
                centers.add_point( box.center() );
                bounding_box_.add_box( box );
            }
        }
        // Elements sorted by the Morton keys of their box centers, ties by
        // element (empty boxes last): the order of the leaves.
        std::vector< BuildEntry > entries( nb_elements );
        const MortonKeys< D > keys{ centers };
        tbb::parallel_for( tbb::blocked_range< index_t >{ 0, nb_elements, 4096 },
            [&]( const tbb::blocked_range< index_t >& range )
            {
                for( auto element = range.begin(); element < range.end();
                     element++ )
                {
                    const auto& box = bboxes[element];
                    auto& entry = entries[element];
                    entry.element = element;
                    entry.key = std::numeric_limits< std::uint64_t >::max();
                    if( !box.empty() )
                    {
                        entry.center = box.center();
                        entry.key = keys.key( entry.center );
                    }
                }
            } );
        tbb::parallel_sort( entries.begin(), entries.end() );
        Builder builder{ *this, bboxes, entries };
        if( nb_elements <= LEAF_SIZE )
        {
            nodes_.resize( 1 );
            builder.build_leaf_root();
        }
        else
        {
            nodes_.resize( builder.nb_nodes( nb_elements ) );
            builder.build_node( 0, 0, nb_elements );
        }
        elements_.resize( nb_elements );
        boxes_.resize( nb_elements );
        tbb::parallel_for( tbb::blocked_range< index_t >{ 0, nb_elements, 4096 },
            [&]( const tbb::blocked_range< index_t >& range )
            {
                for( auto position = range.begin(); position < range.end();
                     position++ )
                {
                    const auto element = entries[position].element;
                    elements_[position] = element;
                    boxes_[position] = bboxes[element];
                }
            } );
    }

    template < index_t D >
    auto AABBTree< D >::leaves() const -> std::vector< Leaf >
    {
        std::vector< Leaf > result;
        for( const auto& node : nodes_ )
        {
            for( index_t slot = 0; slot < WIDTH; slot++ )
            {
                if( node.count[slot] > 0 )
                {
                    result.push_back( { node.child[slot], node.count[slot] } );
                }
            }
        }
        std::sort( result.begin(), result.end(),
            []( const Leaf& leaf0, const Leaf& leaf1 )
            {
                return leaf0.begin < leaf1.begin;
            } );
        return result;
    }

    template class AABBTree< 2 >;
    template class AABBTree< 3 >;
} // namespace brevane
