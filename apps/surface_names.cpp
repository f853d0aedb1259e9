#include "surface_names.h"

#include <absl/container/flat_hash_set.h>

#include <tessark/basic/string_concatenation.h>

#include "usage_error.h"

namespace brevane::cli
{
    namespace
    {
        // Listing more names than this drowns the one that was mistyped.
        constexpr std::size_t MAX_LISTED_NAMES{ 40 };

        // The collections that may hold surfaces, in a fixed order: model
        // boundaries, horizons, faults, generic surface collections.
        template < typename Visitor >
        void for_each_surface_collection(
            const StructuralModel& model, const Visitor& visit )
        {
            for( const auto* collections :
                { &model.model_boundaries(), &model.horizons(), &model.faults(),
                    &model.surface_collections() } )
            {
                for( const auto& collection : *collections )
                {
                    visit( collection );
                }
            }
        }

        // Appends the surface items of a collection not yet taken; returns
        // the number of its surface items, taken before or not.
        std::size_t append_surfaces( const StructuralModel& model,
            const Collection& collection, absl::flat_hash_set< uuid >& taken,
            std::vector< uuid >& surfaces )
        {
            std::size_t nb_surfaces{ 0 };
            for( const auto& item : model.items( collection.id() ) )
            {
                if( !model.has_surface( item.id() ) )
                {
                    continue;
                }
                nb_surfaces++;
                if( taken.insert( item.id() ).second )
                {
                    surfaces.push_back( item.id() );
                }
            }
            return nb_surfaces;
        }

        // Appends the names not yet listed, up to the limit; returns how
        // many distinct names were left out.
        std::size_t append_names(
            const std::vector< std::string_view >& names, std::string& listing )
        {
            absl::flat_hash_set< std::string_view > listed;
            std::size_t nb_listed{ 0 };
            std::size_t nb_left_out{ 0 };
            for( const auto name : names )
            {
                if( name.empty() || !listed.insert( name ).second )
                {
                    continue;
                }
                if( nb_listed == MAX_LISTED_NAMES )
                {
                    nb_left_out++;
                    continue;
                }
                append( &listing, nb_listed == 0 ? "" : ", ", name );
                nb_listed++;
            }
            if( nb_listed == 0 )
            {
                listing += "none";
            }
            return nb_left_out;
        }
    } // namespace

    std::vector< uuid > surfaces_named( const StructuralModel& model,
        absl::Span< const std::string > names, std::string_view option )
    {
        std::vector< uuid > surfaces;
        absl::flat_hash_set< uuid > taken;
        for( const auto& name : names )
        {
            bool is_collection{ false };
            std::size_t nb_matches{ 0 };
            for_each_surface_collection( model,
                [&]( const Collection& collection )
                {
                    if( collection.name() == name )
                    {
                        is_collection = true;
                        nb_matches += append_surfaces(
                            model, collection, taken, surfaces );
                    }
                } );
            if( is_collection && nb_matches == 0 )
            {
                throw UsageError{ option, ": the collection \"", name,
                    "\" holds no surface (", available_names( model ), ")" };
            }
            if( is_collection )
            {
                continue;
            }
            for( const auto& surface : model.surfaces() )
            {
                if( surface.name() != name )
                {
                    continue;
                }
                nb_matches++;
                if( taken.insert( surface.id() ).second )
                {
                    surfaces.push_back( surface.id() );
                }
            }
            if( nb_matches == 0 )
            {
                throw UsageError{ option,
                    ": the model has no collection or surface named \"", name,
                    "\" (", available_names( model ), ")" };
            }
        }
        return surfaces;
    }

    std::vector< uuid > surfaces_named_or_boundary(
        const StructuralModel& model, absl::Span< const std::string > names,
        std::string_view option, std::string_view default_name )
    {
        if( !names.empty() )
        {
            return surfaces_named( model, names, option );
        }
        std::vector< uuid > surfaces;
        absl::flat_hash_set< uuid > taken;
        for( const auto& boundary : model.model_boundaries() )
        {
            if( boundary.name() == default_name )
            {
                append_surfaces( model, boundary, taken, surfaces );
            }
        }
        if( surfaces.empty() )
        {
            throw UsageError{ "the model has no model boundary \"",
                default_name, "\" with surfaces: name them with ", option, " (",
                available_names( model ), ")" };
        }
        return surfaces;
    }

    std::string available_names( const StructuralModel& model )
    {
        std::vector< std::string_view > collections;
        for_each_surface_collection( model,
            [&]( const Collection& collection )
            {
                collections.push_back( collection.name() );
            } );
        std::vector< std::string_view > surfaces;
        for( const auto& surface : model.surfaces() )
        {
            surfaces.push_back( surface.name() );
        }
        std::string listing{ "collections: " };
        const auto nb_collections_left = append_names( collections, listing );
        if( nb_collections_left != 0 )
        {
            append( &listing, " and ", nb_collections_left, " more" );
        }
        listing += "; surfaces: ";
        const auto nb_surfaces_left = append_names( surfaces, listing );
        if( nb_surfaces_left != 0 )
        {
            append( &listing, " and ", nb_surfaces_left, " more" );
        }
        return listing;
    }
} // namespace brevane::cli
