#include <tessark/model/structural_model.h>

namespace brevane
{
    StructuralModel::StructuralModel() = default;
    StructuralModel::~StructuralModel() = default;
    StructuralModel::StructuralModel( StructuralModel&& ) noexcept = default;
    StructuralModel& StructuralModel::operator=(
        StructuralModel&& ) noexcept = default;

    StructuralModel StructuralModel::clone() const
    {
        StructuralModel copy;
        copy_into( copy );
        copy.horizons_ = horizons_.copy( clone_collection );
        copy.faults_ = faults_.copy( clone_collection );
        copy.fault_blocks_ = fault_blocks_.copy( clone_collection );
        return copy;
    }

    const Collection& StructuralModel::horizon( const uuid& id ) const
    {
        return horizons_.get( id );
    }
    const Collection& StructuralModel::fault( const uuid& id ) const
    {
        return faults_.get( id );
    }
    const Collection& StructuralModel::fault_block( const uuid& id ) const
    {
        return fault_blocks_.get( id );
    }

    Identifier* StructuralModel::find_identifier( const uuid& id )
    {
        if( auto* found = BRep::find_identifier( id ) )
        {
            return found;
        }
        for( const auto* set : { &horizons_, &faults_, &fault_blocks_ } )
        {
            if( auto* found = set->find( id ) )
            {
                return found;
            }
        }
        return nullptr;
    }
} // namespace brevane
