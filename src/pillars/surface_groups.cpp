#include "pillars/surface_groups.h"

#include <absl/container/flat_hash_set.h>

namespace brevane::internal
{
    bool is_in_collection_of_type(
        const BRep& model, const uuid& component, std::string_view type )
    {
        for( const auto& collection : model.collections( component ) )
        {
            if( collection.type().get() == type )
            {
                return true;
            }
        }
        return false;
    }

    bool is_fault_surface( const BRep& model, const uuid& surface )
    {
        return is_in_collection_of_type( model, surface, "Fault" );
    }

    std::optional< uuid > fault_of_surface(
        const BRep& model, const uuid& surface )
    {
        for( const auto& collection : model.collections( surface ) )
        {
            if( collection.type().get() == "Fault" )
            {
                return collection.id();
            }
        }
        return std::nullopt;
    }

    index_t nb_non_empty_horizons( const StructuralModel& model )
    {
        index_t count{ 0 };
        for( const auto& horizon : model.horizons() )
        {
            if( model.nb_items( horizon.id() ) != 0 )
            {
                count++;
            }
        }
        return count;
    }

    namespace
    {
        std::optional< uuid > horizon_of_surface(
            const BRep& model, const uuid& surface )
        {
            for( const auto& collection : model.collections( surface ) )
            {
                if( collection.type().get() == "Horizon" )
                {
                    return collection.id();
                }
            }
            return std::nullopt;
        }
    } // namespace

    std::vector< SurfaceGroup > compute_surface_groups(
        const StructuralModel& model )
    {
        std::vector< SurfaceGroup > groups;
        absl::flat_hash_set< uuid > visited;
        for( const auto& block : model.blocks() )
        {
            for( const auto& boundary : model.boundaries( block.id() ) )
            {
                const auto& surface = boundary.id();
                if( is_in_collection_of_type( model, surface, "ModelBoundary" )
                    || is_fault_surface( model, surface )
                    || visited.contains( surface ) )
                {
                    continue;
                }
                const auto horizon = horizon_of_surface( model, surface );
                TESSARK_EXCEPTION( horizon.has_value(),
                    "[PillarStructuralModelBuilder] Surface \"",
                    model.surface( surface ).name(), "\" (", surface.string(),
                    ") bounds block \"", block.name(),
                    "\" but is in no horizon, fault or model boundary" );
                SurfaceGroup group{ surface };
                visited.insert( surface );
                for( const auto& item :
                    model.horizon_items( model.horizon( *horizon ) ) )
                {
                    if( item.id() != surface
                        && model.is_boundary( item.id(), block.id() ) )
                    {
                        group.push_back( item.id() );
                        visited.insert( item.id() );
                    }
                }
                groups.push_back( std::move( group ) );
            }
        }
        for( const auto& fault : model.faults() )
        {
            SurfaceGroup group;
            for( const auto& item : model.fault_items( fault ) )
            {
                group.push_back( item.id() );
            }
            groups.push_back( std::move( group ) );
        }
        return groups;
    }
} // namespace brevane::internal
