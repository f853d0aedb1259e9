#include <tessark/model/structural_model_builder.h>

namespace brevane
{
    StructuralModelBuilder::StructuralModelBuilder( StructuralModel& model )
        : BRepBuilder{ model }, model_( model )
    {
    }

    const uuid& StructuralModelBuilder::add_horizon()
    {
        return add_collection( model_.horizons_, component_types::horizon() );
    }
    const uuid& StructuralModelBuilder::add_fault()
    {
        return add_collection( model_.faults_, component_types::fault() );
    }
    const uuid& StructuralModelBuilder::add_fault_block()
    {
        return add_collection(
            model_.fault_blocks_, component_types::fault_block() );
    }
    const uuid& StructuralModelBuilder::add_horizon( const uuid& id )
    {
        return add_collection(
            model_.horizons_, component_types::horizon(), id );
    }
    const uuid& StructuralModelBuilder::add_fault( const uuid& id )
    {
        return add_collection( model_.faults_, component_types::fault(), id );
    }
    const uuid& StructuralModelBuilder::add_fault_block( const uuid& id )
    {
        return add_collection(
            model_.fault_blocks_, component_types::fault_block(), id );
    }
    void StructuralModelBuilder::add_surface_in_horizon(
        const Surface< 3 >& surface, const Collection& horizon )
    {
        add_item( surface.id(), horizon.id() );
    }
    void StructuralModelBuilder::add_surface_in_fault(
        const Surface< 3 >& surface, const Collection& fault )
    {
        add_item( surface.id(), fault.id() );
    }
    void StructuralModelBuilder::add_block_in_fault_block(
        const Block< 3 >& block, const Collection& fault_block )
    {
        add_item( block.id(), fault_block.id() );
    }
    void StructuralModelBuilder::remove_horizon( const Collection& horizon )
    {
        remove_collection( model_.horizons_, horizon.id() );
    }
    void StructuralModelBuilder::remove_fault( const Collection& fault )
    {
        remove_collection( model_.faults_, fault.id() );
    }
    void StructuralModelBuilder::remove_fault_block(
        const Collection& fault_block )
    {
        remove_collection( model_.fault_blocks_, fault_block.id() );
    }
} // namespace brevane
