#include <cmath>
#include <string>
#include <thread>
#include <limits>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tessark/basic/attribute_manager.h>
#include <tessark/geometry/point.h>

namespace brevane
{
    namespace
    {
        constexpr AttributeProperties NONE{ false, false, false };
        constexpr AttributeProperties ASSIGNABLE{ true, false, false };
        constexpr AttributeProperties INTERPOLABLE{ false, true, false };
        constexpr AttributeProperties TRANSFERABLE{ false, false, true };

        template < typename T >
        std::vector< T > values( const VariableAttribute< T >& attribute )
        {
            std::vector< T > result;
            for( index_t element = 0; element < attribute.nb_elements();
                 element++ )
            {
                result.push_back( attribute.value( element ) );
            }
            return result;
        }
    } // namespace

    TEST( VariableAttribute, new_elements_take_the_default_value )
    {
        AttributeManager manager;
        manager.resize( 2 );
        auto ids = manager.find_or_create_attribute< VariableAttribute, int >(
            "ids", -1 );
        EXPECT_THAT( values( *ids ), testing::ElementsAre( -1, -1 ) );
        ids->set_value( 1, 7 );
        manager.resize( 4 );
        EXPECT_THAT( values( *ids ), testing::ElementsAre( -1, 7, -1, -1 ) );
        EXPECT_EQ( ids->default_value(), -1 );
        EXPECT_THROW(
            static_cast< void >( ids->value( 4 ) ), TessarkException );
        EXPECT_THROW( ids->set_value( 9, 1 ), TessarkException );
    }

    TEST( VariableAttribute, values_follow_the_survivors_of_a_deletion )
    {
        AttributeManager manager;
        manager.resize( 5 );
        auto ids = manager.find_or_create_attribute< VariableAttribute, int >(
            "ids", 0 );
        auto names =
            manager.find_or_create_attribute< VariableAttribute, std::string >(
                "names", "" );
        for( index_t element = 0; element < 5; element++ )
        {
            ids->set_value( element, 10 * static_cast< int >( element ) );
            names->set_value( element, std::string( element + 1, 'a' ) );
        }
        manager.delete_elements( { true, false, false, true, false } );
        EXPECT_EQ( manager.nb_elements(), 3 );
        EXPECT_THAT( values( *ids ), testing::ElementsAre( 10, 20, 40 ) );
        EXPECT_THAT(
            values( *names ), testing::ElementsAre( "aa", "aaa", "aaaaa" ) );
        // The attribute kept its identity: the manager hands out the same one.
        EXPECT_EQ( manager.find_attribute< int >( "ids" ), ids );
        EXPECT_THROW(
            manager.delete_elements( { true, false } ), TessarkException );
    }

    TEST( VariableAttribute, permutation_moves_values_to_their_new_index )
    {
        AttributeManager manager;
        manager.resize( 3 );
        auto ids = manager.find_or_create_attribute< VariableAttribute, int >(
            "ids", 0 );
        ids->set_value( 0, 100 );
        ids->set_value( 1, 101 );
        ids->set_value( 2, 102 );
        const std::vector< index_t > old2new{ 2, 0, 1 };
        manager.permute_elements( old2new );
        EXPECT_THAT( values( *ids ), testing::ElementsAre( 101, 102, 100 ) );
        const std::vector< index_t > not_a_permutation{ 0, 0, 1 };
        EXPECT_THROW(
            manager.permute_elements( not_a_permutation ), TessarkException );
        EXPECT_THAT( values( *ids ), testing::ElementsAre( 101, 102, 100 ) );
    }

    TEST( VariableAttribute, modify_value_changes_the_stored_value_in_place )
    {
        VariableAttribute< std::vector< int > > lists{ {}, NONE, 2 };
        lists.modify_value( 1,
            []( std::vector< int >& list )
            {
                list.push_back( 3 );
                list.push_back( 4 );
            } );
        EXPECT_THAT( lists.value( 1 ), testing::ElementsAre( 3, 4 ) );
        EXPECT_TRUE( lists.value( 0 ).empty() );
    }

    TEST( VariableAttribute, bool_values_are_addressable )
    {
        AttributeManager manager;
        manager.resize( 4 );
        auto flags =
            manager.find_or_create_attribute< VariableAttribute, bool >(
                "flags", false, ASSIGNABLE );
        flags->set_value( 2, true );
        const bool& stored = flags->value( 2 );
        EXPECT_TRUE( stored );
        flags->modify_value( 0,
            []( bool& flag )
            {
                flag = !flag;
            } );
        manager.assign_attribute_value( 2, 3 );
        EXPECT_THAT(
            values( *flags ), testing::ElementsAre( true, false, true, true ) );
        manager.delete_elements( { false, true, false, false } );
        EXPECT_THAT(
            values( *flags ), testing::ElementsAre( true, true, true ) );
        EXPECT_FALSE( flags->is_interpolation_supported() );
    }

    TEST( AttributeManager, assign_copies_only_assignable_attributes )
    {
        AttributeManager manager;
        manager.resize( 3 );
        auto assigned = manager.find_or_create_attribute< VariableAttribute,
            std::vector< int > >( "surface_ids", {}, { true, false, true } );
        auto kept = manager.find_or_create_attribute< VariableAttribute, int >(
            "kept", 0, INTERPOLABLE );
        assigned->set_value( 0, { 4, 2 } );
        kept->set_value( 0, 9 );
        manager.assign_attribute_value( 0, 2 );
        EXPECT_THAT( assigned->value( 2 ), testing::ElementsAre( 4, 2 ) );
        EXPECT_EQ( kept->value( 2 ), 0 );
        EXPECT_THROW(
            manager.assign_attribute_value( 0, 3 ), TessarkException );
    }

    TEST( AttributeManager, interpolate_blends_only_interpolable_attributes )
    {
        const auto nan = std::numeric_limits< double >::quiet_NaN();
        AttributeManager manager;
        manager.resize( 4 );
        auto z = manager.find_or_create_attribute< VariableAttribute, double >(
            "z_coordinate", nan, { false, true, true } );
        auto points =
            manager.find_or_create_attribute< VariableAttribute, Point2D >(
                "points", Point2D{}, INTERPOLABLE );
        auto counts =
            manager.find_or_create_attribute< VariableAttribute, int >(
                "counts", 0, INTERPOLABLE );
        auto untouched =
            manager.find_or_create_attribute< VariableAttribute, double >(
                "untouched", -1, ASSIGNABLE );
        auto lists = manager.find_or_create_attribute< VariableAttribute,
            std::vector< int > >( "lists", { 5 }, INTERPOLABLE );
        z->set_value( 0, 1 );
        z->set_value( 1, 3 );
        z->set_value( 2, 11 );
        points->set_value( 0, Point2D{ { 0, 0 } } );
        points->set_value( 1, Point2D{ { 4, 0 } } );
        points->set_value( 2, Point2D{ { 0, 8 } } );
        counts->set_value( 0, 1 );
        counts->set_value( 1, 2 );
        counts->set_value( 2, 4 );
        untouched->set_value( 0, 5 );
        manager.interpolate_attribute_value(
            { { 0, 1, 2 }, { 0.5, 0.25, 0.25 } }, 3 );
        EXPECT_DOUBLE_EQ( z->value( 3 ), 0.5 * 1 + 0.25 * 3 + 0.25 * 11 );
        EXPECT_EQ( points->value( 3 ), ( Point2D{ { 1, 2 } } ) );
        // 0.5 + 0.5 + 1 = 2, rounded to the nearest integer.
        EXPECT_EQ( counts->value( 3 ), 2 );
        EXPECT_DOUBLE_EQ( untouched->value( 3 ), -1 );
        EXPECT_THAT( lists->value( 3 ), testing::ElementsAre( 5 ) );
        manager.resize( 5 );
        EXPECT_TRUE( std::isnan( z->value( 4 ) ) );
        EXPECT_THROW(
            manager.interpolate_attribute_value( { { 0, 1 }, { 1 } }, 3 ),
            TessarkException );
        EXPECT_THROW( manager.interpolate_attribute_value(
                          { { 0, 7 }, { 0.5, 0.5 } }, 3 ),
            TessarkException );
    }

    TEST( AttributeManager, find_or_create_reuses_matching_attributes )
    {
        AttributeManager manager;
        manager.resize( 1 );
        auto first =
            manager.find_or_create_attribute< VariableAttribute, double >(
                "z_coordinate", 1.5, INTERPOLABLE );
        auto second =
            manager.find_or_create_attribute< VariableAttribute, double >(
                "z_coordinate", 99., NONE );
        EXPECT_EQ( first, second );
        EXPECT_DOUBLE_EQ( second->default_value(), 1.5 );
        EXPECT_TRUE( second->properties().interpolable );
        EXPECT_THAT(
            manager.attribute_names(), testing::ElementsAre( "z_coordinate" ) );
    }

    TEST( AttributeManager, type_mismatches_name_the_attribute )
    {
        AttributeManager manager;
        manager.find_or_create_attribute< VariableAttribute, double >(
            "z_coordinate", 0 );
        try
        {
            manager.find_or_create_attribute< VariableAttribute, int >(
                "z_coordinate", 0 );
            FAIL() << "no exception";
        }
        catch( const TessarkException& error )
        {
            EXPECT_THAT(
                error.what(), testing::HasSubstr( "\"z_coordinate\"" ) );
            EXPECT_THAT( error.what(), testing::HasSubstr( "double" ) );
            EXPECT_THAT( error.what(), testing::HasSubstr( "int" ) );
        }
        EXPECT_THROW( static_cast< void >(
                          manager.find_attribute< int >( "z_coordinate" ) ),
            TessarkException );
        try
        {
            static_cast< void >( manager.find_attribute< int >( "absent" ) );
            FAIL() << "no exception";
        }
        catch( const TessarkException& error )
        {
            EXPECT_THAT( error.what(), testing::HasSubstr( "\"absent\"" ) );
        }
        EXPECT_EQ( manager.find_attribute_base( "absent" ), nullptr );
        EXPECT_NE( manager.find_attribute_base( "z_coordinate" ), nullptr );
    }

    TEST( AttributeManager,
        registered_attributes_are_resized_and_replace_the_name )
    {
        AttributeManager manager;
        manager.resize( 3 );
        auto own = std::make_shared< VariableAttribute< int > >( 4, NONE );
        manager.register_attribute( own, "own" );
        EXPECT_EQ( own->nb_elements(), 3 );
        EXPECT_EQ( own->name(), "own" );
        EXPECT_TRUE( manager.attribute_exists( "own" ) );
        auto replacement =
            std::make_shared< VariableAttribute< double > >( 0., NONE );
        manager.register_attribute( replacement, "own" );
        EXPECT_EQ( manager.find_attribute< double >( "own" ), replacement );
        manager.delete_attribute( "own" );
        EXPECT_FALSE( manager.attribute_exists( "own" ) );
        manager.resize( 5 );
        // A deleted attribute no longer follows the elements.
        EXPECT_EQ( replacement->nb_elements(), 3 );
        EXPECT_THROW(
            manager.register_attribute( nullptr, "null" ), TessarkException );
    }

    TEST( AttributeManager, copies_carry_only_transferable_attributes )
    {
        AttributeManager source;
        source.resize( 3 );
        auto carried =
            source.find_or_create_attribute< VariableAttribute, int >(
                "carried", -1, TRANSFERABLE );
        source.find_or_create_attribute< VariableAttribute, int >( "left", -1 );
        carried->set_value( 0, 10 );
        carried->set_value( 2, 12 );

        AttributeManager clone;
        clone.copy( source );
        EXPECT_EQ( clone.nb_elements(), 3 );
        EXPECT_THAT(
            clone.attribute_names(), testing::ElementsAre( "carried" ) );
        const auto cloned = clone.find_attribute< int >( "carried" );
        EXPECT_NE( cloned, carried );
        EXPECT_THAT( values( *cloned ), testing::ElementsAre( 10, -1, 12 ) );
        EXPECT_TRUE( cloned->properties().transferable );

        AttributeManager target;
        target.resize( 2 );
        const std::vector< index_t > from2to{ 1, NO_ID, 0 };
        target.copy_attribute_values( source, from2to );
        EXPECT_FALSE( target.attribute_exists( "left" ) );
        EXPECT_THAT( values( *target.find_attribute< int >( "carried" ) ),
            testing::ElementsAre( 12, 10 ) );

        AttributeManager clash;
        clash.resize( 2 );
        clash.find_or_create_attribute< VariableAttribute, double >(
            "carried", 0 );
        EXPECT_THROW(
            clash.copy_attribute_values( source, from2to ), TessarkException );
    }

    TEST( AttributeManager, concurrent_find_or_create_gives_one_attribute )
    {
        AttributeManager manager;
        manager.resize( 10 );
        constexpr int NB_THREADS = 8;
        std::vector< std::shared_ptr< VariableAttribute< int > > > found(
            NB_THREADS );
        std::vector< std::thread > threads;
        for( int thread = 0; thread < NB_THREADS; thread++ )
        {
            threads.emplace_back(
                [&manager, &found, thread]
                {
                    for( int round = 0; round < 100; round++ )
                    {
                        found[thread] =
                            manager.find_or_create_attribute< VariableAttribute,
                                int >( "shared", 0 );
                        manager.find_or_create_attribute< VariableAttribute,
                            double >(
                            "other" + std::to_string( round % 5 ), 0 );
                    }
                } );
        }
        for( auto& thread : threads )
        {
            thread.join();
        }
        for( const auto& attribute : found )
        {
            EXPECT_EQ( attribute, found.front() );
        }
        EXPECT_EQ( manager.attribute_names().size(), 6 );
    }
} // namespace brevane
