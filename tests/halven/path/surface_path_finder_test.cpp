#include <memory>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>

#include <halven/path/surface_path_finder.h>

#include "support/mesh_fixtures.h"

namespace brevane
{
    namespace
    {
        // A finder whose path is the border loop followed from a border
        // edge: the search reads the mesh only through the base's surface().
        template < index_t D >
        class BorderLoopFinder : public SurfacePathFinder< D >
        {
        public:
            BorderLoopFinder(
                const TriangulatedSurface< D >& surface, bool& destroyed )
                : SurfacePathFinder< D >( surface ), destroyed_( destroyed )
            {
            }
            ~BorderLoopFinder() override
            {
                destroyed_ = true;
            }

            [[nodiscard]] std::vector< index_t > find_path(
                const PolygonEdge& start ) const
            {
                std::vector< index_t > loop;
                auto edge = start;
                do
                {
                    loop.push_back(
                        this->surface().polygon_edge_vertex( edge, 0 ) );
                    edge = this->surface().next_on_border( edge );
                } while( edge != start );
                return loop;
            }

        private:
            bool& destroyed_;
        };

        template < index_t D >
        PolygonEdge outgoing_border_edge(
            const SurfaceMesh< D >& surface, index_t vertex )
        {
            return PolygonEdge{
                surface.polygons_around_vertex( vertex ).front()
            };
        }
    } // namespace

    template < typename Dimension >
    class SurfacePathFinderTest : public testing::Test
    {
    };
    using Dimensions = testing::Types< std::integral_constant< index_t, 2 >,
        std::integral_constant< index_t, 3 > >;
    TYPED_TEST_SUITE( SurfacePathFinderTest, Dimensions );

    TYPED_TEST( SurfacePathFinderTest, gives_back_the_surface_it_was_built_on )
    {
        constexpr auto D = TypeParam::value;
        const auto fan = test::closed_fan< D >();
        const auto other = test::open_fan< D >();
        SurfacePathFinder< D > finder{ *fan };
        EXPECT_EQ( &finder.surface(), fan.get() );

        // Copies borrow the same surface; assignment rebinds.
        const auto copy = finder;
        EXPECT_EQ( &copy.surface(), fan.get() );
        finder = SurfacePathFinder< D >{ *other };
        EXPECT_EQ( &finder.surface(), other.get() );
        EXPECT_EQ( &copy.surface(), fan.get() );
    }

    TYPED_TEST( SurfacePathFinderTest, subclasses_search_through_the_base )
    {
        constexpr auto D = TypeParam::value;
        const auto fan = test::closed_fan< D >();
        bool destroyed{ false };
        std::unique_ptr< SurfacePathFinder< D > > owner =
            std::make_unique< BorderLoopFinder< D > >( *fan, destroyed );
        const auto& finder =
            static_cast< const BorderLoopFinder< D >& >( *owner );

        // The border loop of the closed fan runs 1, 2, ..., 6 around the
        // center, counter-clockwise.
        const auto loop =
            finder.find_path( outgoing_border_edge( finder.surface(), 1 ) );
        EXPECT_EQ( loop, ( std::vector< index_t >{ 1, 2, 3, 4, 5, 6 } ) );

        // Destroyed through the base: the subclass's destructor runs.
        owner.reset();
        EXPECT_TRUE( destroyed );
    }
} // namespace brevane
