#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tessark/basic/tessark_exception.h>

#include "border_pillar_fixtures.h"
#include "pillars/pillar_order_check.h"
#include "support/mesh_fixtures.h"

namespace brevane
{
    namespace
    {
        struct OrderCase
        {
            std::string name;
            // The height of the lower surface; the upper one is at 10.
            double lower_z;
            bool crosses;
        };

        void PrintTo( const OrderCase& order_case, std::ostream* out )
        {
            *out << order_case.name;
        }

        class PillarOrder : public testing::TestWithParam< OrderCase >
        {
        };
    } // namespace

    // A pillar meeting "upper" then "lower": a point of the later surface
    // more than 1e-6 above the earlier one is a crossing, named.
    TEST_P( PillarOrder, point_above_the_one_before_is_a_crossing )
    {
        const auto& param = GetParam();
        test::HandMadeModel made;
        const auto upper = made.add_surface(
            "upper", test::grid_surface< 3 >( 1, 1 ) );
        const auto lower = made.add_surface(
            "lower", test::grid_surface< 3 >( 1, 1 ) );
        Pillar pillar;
        pillar.top = Point3D{ { 3, 4, 20 } };
        pillar.intersections = { { upper, Point3D{ { 3, 4, 10 } } },
            { lower, Point3D{ { 3, 4, param.lower_z } } } };
        const std::vector< Pillar > pillars{ pillar };
        if( !param.crosses )
        {
            EXPECT_NO_THROW(
                internal::check_pillars_go_down( made.model, pillars ) );
            return;
        }
        EXPECT_THAT(
            [&]
            {
                internal::check_pillars_go_down( made.model, pillars );
            },
            testing::ThrowsMessage< TessarkException >( testing::AllOf(
                testing::HasSubstr( "Surfaces cross at (3, 4)" ),
                testing::HasSubstr(
                    "\"lower\" (" + lower.string() + ") at z = 11" ),
                testing::HasSubstr(
                    "\"upper\" (" + upper.string() + ") at z = 10" ) ) ) );
    }

    INSTANTIATE_TEST_SUITE_P( PillarOrderCheck, PillarOrder,
        testing::Values( OrderCase{ "below", 9, false },
            OrderCase{ "same_height", 10, false },
            OrderCase{ "above_within_tolerance", 10 + 5e-7, false },
            OrderCase{ "above", 11, true } ),
        []( const testing::TestParamInfo< OrderCase >& info )
        {
            return info.param.name;
        } );
} // namespace brevane
