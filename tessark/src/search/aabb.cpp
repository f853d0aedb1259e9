#include <tessark/search/aabb.h>

#include <numeric>

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
    brevane::local_index_t longest_axis(
        const brevane::BoundingBox< D >& box )
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
    AABBTree< D >::AABBTree( const std::vector< BoundingBox< D > >& bboxes )
    {
        TESSARK_EXCEPTION( bboxes.size() < NO_ID, "[AABBTree] Too many boxes: ",
            bboxes.size(), " (at most ", NO_ID - 1, ")" );
        const auto nb_elements = static_cast< index_t >( bboxes.size() );
        if( nb_elements == 0 )
        {
            return;
        }
        std::vector< Point< D > > centers( nb_elements );
        for( index_t element = 0; element < nb_elements; element++ )
        {
            const auto& box = bboxes[element];
            if( !box.empty() )
            {
                check_box_is_finite( box, element );
                centers[element] = box.center();
            }
        }
        elements_.resize( nb_elements );
        std::iota( elements_.begin(), elements_.end(), index_t{ 0 } );
        nodes_.resize( 2 * std::size_t{ nb_elements } - 1 );
        build_node( bboxes, centers, { 0, 0, nb_elements } );
    }

    template < index_t D >
    void AABBTree< D >::build_node( const std::vector< BoundingBox< D > >& bboxes,
        const std::vector< Point< D > >& centers,
        const Node& node )
    {
        if( node.is_leaf() )
        {
            nodes_[node.index] = bboxes[elements_[node.begin]];
            return;
        }
        BoundingBox< D > center_box;
        for( auto position = node.begin; position < node.end; position++ )
        {
            center_box.add_point( centers[elements_[position]] );
        }
        const auto axis = longest_axis( center_box );
        const auto begin = elements_.begin();
        std::nth_element( begin + node.begin, begin + node.middle(),
            begin + node.end,
            [&centers, axis]( index_t element0, index_t element1 ) {
                const auto value0 = centers[element0].value( axis );
                const auto value1 = centers[element1].value( axis );
                return value0 < value1
                       || ( value0 == value1 && element0 < element1 );
            } );
        const auto first = node.first_child();
        const auto second = node.second_child();
        if( node.end - node.begin >= PARALLEL_BUILD_MIN_ELEMENTS )
        {
            tbb::parallel_invoke(
                [&] {
                    build_node( bboxes, centers, first );
                },
                [&] {
                    build_node( bboxes, centers, second );
                } );
        }
        else
        {
            build_node( bboxes, centers, first );
            build_node( bboxes, centers, second );
        }
        auto box = nodes_[first.index];
        box.add_box( nodes_[second.index] );
        nodes_[node.index] = box;
    }

    template class AABBTree< 2 >;
    template class AABBTree< 3 >;
} // namespace brevane
