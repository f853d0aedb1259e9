#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <absl/container/flat_hash_map.h>
#include <absl/strings/str_cat.h>

#include <tessark/mesh/triangulated_surface_builder.h>
#include <tessark/model/structural_model_builder.h>

#include <pillar/top_surface_plan_view.h>

#include <samples/sample_model.h>
#include <samples/small_sample_models.h>

#include "assembly/horizon_surfaces.h"
#include "assembly/slice_collection_completion.h"
#include "pillar/support/assembly_fixture.h"
#include "pillars/surface_groups.h"

namespace brevane
{
    namespace
    {
        using Names = std::vector< std::string >;

        // A model of components without meshes, related as described, with
        // the surface groups order and the pillars an assembly context needs:
        // completing a slice reads only topology, collections and the
        // surfaces each pillar meets.
        struct TopologyDescription
        {
            Names tops;
            Names bottoms;
            // All in one horizon.
            Names horizons;
            // One fault per entry, with its items.
            std::vector< Names > faults;
            // Each line: its name, then the surfaces it bounds, in incidence
            // order.
            std::vector< Names > lines;
            // Each block: its name, its fault block ("" for none), then the
            // surfaces bounding it.
            std::vector< Names > blocks;
            std::vector< Names > order;
            // The surfaces each pillar meets, from the top down.
            std::vector< Names > pillars;
        };

        class Topology
        {
        public:
            explicit Topology( const TopologyDescription& description )
                : plan_( internal::create_plan_view() ),
                  surface_ids_(
                      internal::find_or_create_surface_ids( *plan_.surface ) )
            {
                tops_ = surfaces( description.tops );
                bottoms_ = surfaces( description.bottoms );
                const auto& horizon = model_.horizon( builder_.add_horizon() );
                for( const auto& surface : surfaces( description.horizons ) )
                {
                    builder_.add_surface_in_horizon(
                        model_.surface( surface ), horizon );
                }
                for( const auto& items : description.faults )
                {
                    const auto& fault = model_.fault( builder_.add_fault() );
                    for( const auto& item : surfaces( items ) )
                    {
                        builder_.add_surface_in_fault(
                            model_.surface( item ), fault );
                    }
                }
                for( const auto& line : description.lines )
                {
                    add_line( line );
                }
                for( const auto& block : description.blocks )
                {
                    add_block( block );
                }
                for( const auto& group : description.order )
                {
                    order_.push_back( surfaces( group ) );
                }
                for( const auto& met : description.pillars )
                {
                    auto& pillar = pillars_.emplace_back();
                    pillar.vertex = pillars_.size() - 1;
                    for( const auto& surface : surfaces( met ) )
                    {
                        pillar.intersections.push_back( { surface, {} } );
                    }
                }
                TriangulatedSurfaceBuilder2D{ *plan_.surface }.create_vertices(
                    pillars_.size() );
            }

            internal::AssemblyContext context()
            {
                return { model_, builder_, tops_, bottoms_, plan_.background,
                    *surface_ids_, order_, pillars_, facing_down_ };
            }

            uuid id( const std::string& name ) const
            {
                return ids_.at( name );
            }

            uuid new_collection()
            {
                return builder_.add_surface_collection();
            }

            Names item_names( const uuid& collection ) const
            {
                Names names;
                for( const auto& item : model_.items( collection ) )
                {
                    names.emplace_back( model_.surface( item.id() ).name() );
                }
                return names;
            }

        private:
            // The surfaces of these names, made on first mention.
            std::vector< uuid > surfaces( const Names& names )
            {
                std::vector< uuid > ids;
                for( const auto& name : names )
                {
                    const auto known = ids_.find( name );
                    if( known != ids_.end() )
                    {
                        ids.push_back( known->second );
                        continue;
                    }
                    const auto& surface = builder_.add_surface();
                    builder_.set_name( surface, name );
                    ids_.emplace( name, surface );
                    ids.push_back( surface );
                }
                return ids;
            }

            void add_line( const Names& description )
            {
                const auto& line = builder_.add_line();
                builder_.set_name( line, description.front() );
                for( const auto& surface : surfaces(
                         Names( description.begin() + 1, description.end() ) ) )
                {
                    builder_.add_line_surface_boundary_relationship(
                        model_.line( line ), model_.surface( surface ) );
                }
            }

            void add_block( const Names& description )
            {
                const auto& block = builder_.add_block();
                builder_.set_name( block, description[0] );
                if( !description[1].empty() )
                {
                    auto known = fault_blocks_.find( description[1] );
                    if( known == fault_blocks_.end() )
                    {
                        known = fault_blocks_
                                    .emplace( description[1],
                                        builder_.add_fault_block() )
                                    .first;
                    }
                    builder_.add_block_in_fault_block( model_.block( block ),
                        model_.fault_block( known->second ) );
                }
                for( const auto& surface : surfaces(
                         Names( description.begin() + 2, description.end() ) ) )
                {
                    builder_.add_surface_block_boundary_relationship(
                        model_.surface( surface ), model_.block( block ) );
                }
            }

            StructuralModel model_;
            StructuralModelBuilder builder_{ model_ };
            internal::PlanView plan_;
            std::shared_ptr< VariableAttribute< std::vector< uuid > > >
                surface_ids_;
            absl::flat_hash_map< std::string, uuid > ids_;
            absl::flat_hash_map< std::string, uuid > fault_blocks_;
            std::vector< uuid > tops_;
            std::vector< uuid > bottoms_;
            std::vector< SurfaceGroup > order_;
            std::vector< Pillar > pillars_;
            // Which way surfaces face plays no part in the collections.
            absl::flat_hash_set< uuid > facing_down_;
        };

        // A horizon surface h of fault block A ending against a fault of
        // two pieces, F0 up to the top line, F1 down to the bottom line,
        // with fault block B across it.
        TopologyDescription horizon_at_fault( std::vector< Names > order )
        {
            TopologyDescription description;
            description.tops = { "TA", "TB" };
            description.bottoms = { "BA", "BB" };
            description.horizons = { "h" };
            description.faults = { { "F0", "F1" } };
            description.lines = { { "hl", "h", "F0", "F1" },
                { "ft", "TA", "TB", "F0" }, { "fb", "BA", "BB", "F1" } };
            description.blocks = { { "above_h", "A", "TA", "h" },
                { "below_h", "A", "h", "BA" }, { "across", "B", "TB", "BB" } };
            description.order = std::move( order );
            return description;
        }

        // A horizon surface h outcropping along one line at the top.
        TopologyDescription top_outcrop(
            Names outcrop_line, std::vector< Names > pillars )
        {
            TopologyDescription description;
            description.tops = { "T0", "T1", "T2", "T3", "T4" };
            description.horizons = { "h" };
            description.lines = { std::move( outcrop_line ),
                { "a", "T1", "T2" }, { "b", "T1", "T4" }, { "c", "T2", "T3" } };
            description.pillars = std::move( pillars );
            return description;
        }

        struct HandCase
        {
            friend void PrintTo( const HandCase& hand_case, std::ostream* out )
            {
                *out << hand_case.name;
            }

            std::string name;
            TopologyDescription topology;
            // The surfaces the completion of h adds to an empty collection,
            // in order.
            Names expected;
            // Fragments of the error message, when the completion fails.
            Names error;
        };

        std::vector< HandCase > hand_cases()
        {
            std::vector< HandCase > cases;
            const std::vector< Names > h_first{ { "h" }, { "F0", "F1" } };
            const std::vector< Names > fault_first{ { "F0", "F1" }, { "h" } };
            // Where h comes before the fault, its level runs up the fault to
            // the top and over the top of the other fault block; after it,
            // down to the bottom and under the bottom of the other block.
            cases.push_back( { "FaultSideUpToTheTop",
                horizon_at_fault( h_first ), { "F0", "TB" }, {} } );
            cases.push_back( { "FaultSideDownToTheBottom",
                horizon_at_fault( fault_first ), { "F1", "BB" }, {} } );
            cases.push_back( { "NoGroupDecidesTakesTheTopSide",
                horizon_at_fault( {} ), { "F0", "TB" }, {} } );

            auto spreading =
                horizon_at_fault( { { "h" }, { "F0", "F1", "F2" }, { "g" } } );
            spreading.horizons = { "h", "g" };
            spreading.faults = { { "F0", "F1", "F2" } };
            spreading.lines = { { "hl", "h", "F1", "F2" },
                { "gl", "g", "F0", "F1" }, { "ft", "TA", "TB", "F0" },
                { "fb", "BA", "BB", "F2" } };
            cases.push_back( { "SideSpreadsAlongTheFault", spreading,
                { "F1", "F0", "TB" }, {} } );

            auto two_lines = horizon_at_fault( h_first );
            two_lines.lines.push_back( { "hl2", "h", "F0", "F1" } );
            cases.push_back( { "TwoLinesReachingOneSideAddItOnce", two_lines,
                { "F0", "TB" }, {} } );

            auto whole_fault = horizon_at_fault( h_first );
            whole_fault.faults = { { "F0" } };
            whole_fault.lines = { { "hl", "h", "F0" },
                { "ft", "TA", "TB", "F0" }, { "fb", "BA", "BB", "F0" } };
            cases.push_back( { "SideReachingTopAndBottomAddsNothing",
                whole_fault, {}, {} } );

            auto three_pieces = horizon_at_fault( h_first );
            three_pieces.faults = { { "F0", "F1", "F2" } };
            three_pieces.lines.front() = { "hl", "h", "F0", "F1", "F2" };
            cases.push_back( { "ThreeFaultSurfacesAtOneLine", three_pieces, {},
                { "Line \"hl\"", "surface \"h\"",
                    "bounds more than two fault surfaces" } } );

            auto no_block = horizon_at_fault( h_first );
            no_block.blocks = { { "across", "B", "TB", "BB" } };
            cases.push_back( { "HorizonBoundingNoBlock", no_block, {},
                { "Surface \"h\"", "bounds no block" } } );

            auto no_fault_block = horizon_at_fault( h_first );
            no_fault_block.blocks.front()[1] = "";
            cases.push_back( { "BlockInNoFaultBlock", no_fault_block, {},
                { "Block \"above_h\"", "surface \"h\"",
                    "is in no fault block" } } );

            // The first pillar meeting h and one of T0, T1 shows T0 over h:
            // the level goes on over T1 and along one path of tops, which
            // stops at T3 and never comes back for T4.
            cases.push_back( { "WalkBeyondTopOutcrop",
                top_outcrop( { "out", "h", "T0", "T1" },
                    { { "T1" }, { "T0", "T1", "h" }, { "T0", "h" } } ),
                { "T1", "T2", "T3" }, {} } );
            cases.push_back( { "OutcropMetByNoPillar",
                top_outcrop(
                    { "out", "h", "T0", "T1" }, { { "T0" }, { "T1" } } ),
                {}, {} } );
            // One top surface at the line: its far side is outside the
            // model (or the same surface), nothing lies beyond the outcrop.
            cases.push_back( { "SingleTopSurfaceAtOutcrop",
                top_outcrop(
                    { "out", "h", "T0", "wall" }, { { "h" }, { "T0", "h" } } ),
                {}, {} } );

            TopologyDescription bottom_outcrop;
            bottom_outcrop.bottoms = { "B0", "B1" };
            bottom_outcrop.horizons = { "h" };
            bottom_outcrop.lines = { { "out", "h", "B0", "B1" } };
            bottom_outcrop.pillars = { { "h", "B1" } };
            cases.push_back(
                { "WalkBeyondBottomOutcrop", bottom_outcrop, { "B0" }, {} } );

            TopologyDescription walled;
            walled.horizons = { "h" };
            walled.lines = { { "w", "h", "wall" } };
            walled.pillars = { { "h" } };
            cases.push_back(
                { "LinesTouchingNoTopBottomOrFault", walled, {}, {} } );
            return cases;
        }

        class SliceCollectionCompletionByHand
            : public testing::TestWithParam< HandCase >
        {
        };

        TEST_P( SliceCollectionCompletionByHand, AddsWhatTheLevelNeeds )
        {
            const auto& hand_case = GetParam();
            Topology topology{ hand_case.topology };
            const auto collection = topology.new_collection();
            const auto complete = [&]
            {
                internal::complete_horizon_collection(
                    topology.context(), topology.id( "h" ), collection );
            };
            if( hand_case.error.empty() )
            {
                complete();
                EXPECT_EQ(
                    topology.item_names( collection ), hand_case.expected );
                return;
            }
            try
            {
                complete();
                ADD_FAILURE() << "the completion did not fail";
            }
            catch( const TessarkException& exception )
            {
                const std::string message{ exception.what() };
                for( const auto& fragment : hand_case.error )
                {
                    EXPECT_NE( message.find( fragment ), std::string::npos )
                        << message;
                }
            }
        }

        std::string hand_case_name(
            const testing::TestParamInfo< HandCase >& info )
        {
            return info.param.name;
        }

        INSTANTIATE_TEST_SUITE_P( HandMadeTopologies,
            SliceCollectionCompletionByHand, testing::ValuesIn( hand_cases() ),
            hand_case_name );

        // A fault group whose level cannot be placed: the error names the
        // fault, and the pillar when one is at fault.
        struct FaultErrorCase
        {
            friend void PrintTo(
                const FaultErrorCase& error, std::ostream* out )
            {
                *out << error.name;
            }

            std::string name;
            // The top list is emptied: no line of the fault touches the top.
            bool drop_tops;
            // The pillar where the fault reaches the bottom loses its top
            // surfaces.
            bool strip_pillar;
            Names fragments;
        };

        class FaultCollectionErrors
            : public testing::TestWithParam< FaultErrorCase >
        {
        };

        TEST_P( FaultCollectionErrors, NameTheFault )
        {
            const auto& error = GetParam();
            test::AssemblyFixture fixture{ one_fault_model() };
            auto context = fixture.context();
            const auto fault = fixture.stage.sample.faults.front().id;
            auto fragments = error.fragments;
            if( error.drop_tops )
            {
                context.top_surfaces = {};
            }
            if( error.strip_pillar )
            {
                const auto vertex =
                    internal::fault_bottom_border_vertex( context, fault );
                ASSERT_TRUE( vertex.has_value() );
                std::erase_if( fixture.pillars[*vertex].intersections,
                    [&context]( const PillarIntersection& intersection )
                    {
                        return internal::is_top_surface(
                            context, intersection.surface );
                    } );
                const auto& top = fixture.pillars[*vertex].top;
                fragments.push_back( absl::StrCat( "pillar at (",
                    top.value( 0 ), ", ", top.value( 1 ), ")" ) );
            }

            try
            {
                internal::complete_fault_collection(
                    context, fault, context.builder.add_surface_collection() );
                ADD_FAILURE() << "the completion did not fail";
            }
            catch( const TessarkException& exception )
            {
                const std::string message{ exception.what() };
                for( const auto& fragment : fragments )
                {
                    EXPECT_NE( message.find( fragment ), std::string::npos )
                        << message;
                }
            }
        }

        std::string fault_error_name(
            const testing::TestParamInfo< FaultErrorCase >& info )
        {
            return info.param.name;
        }

        INSTANTIATE_TEST_SUITE_P( OneFaultModel, FaultCollectionErrors,
            testing::Values(
                FaultErrorCase{ "FaultMeetsNoTopSurface", true, false,
                    { "fault \"fault_1\"", "meets no top surface along a line "
                                           "through a border vertex" } },
                FaultErrorCase{ "PillarMeetsNoTopSurface", false, true,
                    { "fault \"fault_1\"", "meets no top surface" } } ),
            fault_error_name );

        // What a geologist expects in each slice of a factory model, where
        // faults dip towards x max, so that fault block b lies above fault b
        // (between blocks b - 1 and b): every slice spans the plan view.
        // - A horizon in block b is followed up fault b to the top and over
        //   the top of every block left of it, and down fault b + 1 to the
        //   bottom and under the bottom of every block right of it.
        // - Fault f lies under the top of the blocks left of it and over the
        //   bottom of block f and those right of it.
        class ExpectedSlices
        {
        public:
            explicit ExpectedSlices( const SampleModel& sample )
                : sample_( sample )
            {
            }

            std::set< std::string > of_group( const SurfaceGroup& group ) const
            {
                const auto& model = sample_.model;
                const auto fault =
                    internal::fault_of_surface( model, group.front() );
                if( fault )
                {
                    return of_fault( *fault );
                }
                for( const auto& horizon : sample_.horizons )
                {
                    const auto& items = horizon.items;
                    const auto found =
                        std::find( items.begin(), items.end(), group.front() );
                    if( found != items.end() )
                    {
                        return of_horizon_piece( *found,
                            static_cast< index_t >( found - items.begin() ) );
                    }
                }
                throw std::runtime_error{ "group of no horizon or fault" };
            }

            std::set< std::string > of_surfaces(
                absl::Span< const uuid > surfaces ) const
            {
                std::set< std::string > names;
                for( const auto& surface : surfaces )
                {
                    names.emplace( sample_.model.surface( surface ).name() );
                }
                return names;
            }

        private:
            std::set< std::string > of_fault( const uuid& fault ) const
            {
                const auto& faults = sample_.faults;
                const auto index = static_cast< index_t >(
                    std::find_if( faults.begin(), faults.end(),
                        [&fault]( const SampleCollection& collection )
                        {
                            return collection.id == fault;
                        } )
                    - faults.begin() );
                auto names = of_surfaces( faults[index].items );
                add_tops_left_of( index + 1, names );
                add_bottoms_from( index + 1, names );
                return names;
            }

            std::set< std::string > of_horizon_piece(
                const uuid& piece, index_t block ) const
            {
                std::set< std::string > names{ std::string{
                    sample_.model.surface( piece ).name() } };
                if( block > 0 )
                {
                    const auto& items = sample_.faults[block - 1].items;
                    // The pieces down to the one just above the horizon.
                    const auto above = first_piece_at( items, piece );
                    add( { items.data(), above + 1 }, names );
                    add_tops_left_of( block, names );
                }
                if( block < sample_.faults.size() )
                {
                    const auto& items = sample_.faults[block].items;
                    // The pieces from the one just below the horizon.
                    const auto above = first_piece_at( items, piece );
                    add( absl::Span< const uuid >{ items }.subspan( above + 1 ),
                        names );
                    add_bottoms_from( block + 1, names );
                }
                return names;
            }

            // The index of the first fault piece (from the top) sharing a
            // line with the horizon piece: the line bounds it and the next.
            index_t first_piece_at(
                const std::vector< uuid >& pieces, const uuid& horizon ) const
            {
                const auto& model = sample_.model;
                for( index_t piece = 0; piece < pieces.size(); piece++ )
                {
                    for( const auto& line : model.boundaries( horizon ) )
                    {
                        if( model.is_boundary( line.id(), pieces[piece] ) )
                        {
                            return piece;
                        }
                    }
                }
                throw std::runtime_error{ "horizon piece off the fault" };
            }

            void add( absl::Span< const uuid > surfaces,
                std::set< std::string >& names ) const
            {
                names.merge( of_surfaces( surfaces ) );
            }

            void add_tops_left_of(
                index_t block, std::set< std::string >& names ) const
            {
                add( absl::Span< const uuid >{ sample_.top_surfaces }.first(
                         block ),
                    names );
            }

            void add_bottoms_from(
                index_t block, std::set< std::string >& names ) const
            {
                add(
                    absl::Span< const uuid >{ sample_.bottom_surfaces }.subspan(
                        block ),
                    names );
            }

            const SampleModel& sample_;
        };

        using SampleCase = test::SampleSize;

        class SliceCollectionsOnSamples
            : public testing::TestWithParam< SampleCase >
        {
        };

        TEST_P( SliceCollectionsOnSamples, SpanThePlanViewAsAGeologistExpects )
        {
            test::AssemblyFixture fixture{ build_sample_model(
                small_sample_parameters(
                    GetParam().nb_horizons, GetParam().nb_faults ) ) };
            const auto context = fixture.context();
            internal::TopVertexSurfaceVertices on_pillars;

            const auto collections =
                internal::build_horizon_surfaces( context, on_pillars );

            const ExpectedSlices expected{ fixture.stage.sample };
            const auto& model = context.model;
            ASSERT_EQ(
                collections.size(), context.surface_groups_order.size() + 2 );
            for( index_t slice = 0; slice < collections.size(); slice++ )
            {
                std::vector< uuid > items;
                for( const auto& item : model.items( collections[slice] ) )
                {
                    items.push_back( item.id() );
                }
                const auto names = expected.of_surfaces( items );
                EXPECT_EQ( names.size(), items.size() )
                    << "a surface is twice in slice " << slice;
                const auto wanted =
                    slice == 0 ? expected.of_surfaces( context.top_surfaces )
                    : slice + 1 == collections.size()
                        ? expected.of_surfaces( context.bottom_surfaces )
                        : expected.of_group(
                            context.surface_groups_order[slice - 1] );
                EXPECT_EQ( names, wanted ) << "slice " << slice;
            }
        }

        std::string sample_name(
            const testing::TestParamInfo< SampleCase >& info )
        {
            return absl::StrCat(
                "H", info.param.nb_horizons, "_F", info.param.nb_faults );
        }

        // Three faults make chains of top and bottom surfaces longer than
        // one step beyond a fault.
        INSTANTIATE_TEST_SUITE_P( FactoryModels, SliceCollectionsOnSamples,
            testing::Values( SampleCase{ 1, 0 }, SampleCase{ 3, 0 },
                SampleCase{ 1, 1 }, SampleCase{ 2, 1 }, SampleCase{ 3, 1 },
                SampleCase{ 1, 2 }, SampleCase{ 2, 2 }, SampleCase{ 3, 2 },
                SampleCase{ 2, 3 } ),
            sample_name );
    } // namespace
} // namespace brevane
