#include <tessark/search/aabb.h>

#include <tbb/parallel_invoke.h>

namespace
{
    // Below this many elements a subtree is built on the calling thread:
    // spawning a task costs more than building it.
    constexpr brevane::index_t PARALLEL_BUILD_MIN_ELEMENTS{ 1 << 14 };

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
} // namespace

namespace brevane
{
    template < index_t D >
    struct AABBTree< D >::BuildEntry
    {
        Point< D > center;
        index_t element;
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
        // The centers travel with their elements so that the partitions
        // read contiguous memory.
        std::vector< BuildEntry > entries( nb_elements );
        for( index_t element = 0; element < nb_elements; element++ )
        {
            const auto& box = bboxes[element];
            entries[element].element = element;
            if( !box.empty() )
            {
                check_box_is_finite( box, element );
                entries[element].center = box.center();
            }
        }
        nodes_.resize( 2 * std::size_t{ nb_elements } - 1 );
        build_node( bboxes, entries, { 0, 0, nb_elements } );
        elements_.resize( nb_elements );
        for( index_t position = 0; position < nb_elements; position++ )
        {
            elements_[position] = entries[position].element;
        }
    }

    template < index_t D >
    void AABBTree< D >::build_node(
        const std::vector< BoundingBox< D > >& bboxes,
        std::vector< BuildEntry >& entries, const Node& node )
    {
        if( node.is_leaf() )
        {
            nodes_[node.index] = bboxes[entries[node.begin].element];
            return;
        }
        BoundingBox< D > center_box;
        for( auto position = node.begin; position < node.end; position++ )
        {
            center_box.add_point( entries[position].center );
        }
        const auto axis = longest_axis( center_box );
        const auto begin = entries.begin();
        std::nth_element( begin + node.begin, begin + node.middle(),
            begin + node.end,
            [axis]( const BuildEntry& entry0, const BuildEntry& entry1 )
            {
                const auto value0 = entry0.center.value( axis );
                const auto value1 = entry1.center.value( axis );
                return value0 < value1
                       || ( value0 == value1
                            && entry0.element < entry1.element );
            } );
        const auto first = node.first_child();
        const auto second = node.second_child();
        if( node.end - node.begin >= PARALLEL_BUILD_MIN_ELEMENTS )
        {
            tbb::parallel_invoke(
                [&]
                {
                    build_node( bboxes, entries, first );
                },
                [&]
                {
                    build_node( bboxes, entries, second );
                } );
        }
        else
        {
            build_node( bboxes, entries, first );
            build_node( bboxes, entries, second );
        }
        auto box = nodes_[first.index];
        box.add_box( nodes_[second.index] );
        nodes_[node.index] = box;
    }

    template class AABBTree< 2 >;
    template class AABBTree< 3 >;
} // namespace brevane
