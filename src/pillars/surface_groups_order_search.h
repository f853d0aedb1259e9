#pragma once

#include <vector>

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>
#include <absl/container/inlined_vector.h>

#include <tessark/model/structural_model.h>

#include <pillar/varnholt_pillar_export.h>

#include "pillars/pillar.h"

namespace brevane::internal
{
    // Merges the sequences of groups met by vertical columns (top to bottom)
    // into the model-wide order of the surface groups: one stack of horizon
    // groups per fault block, stacks chained across the faults between
    // them, the order listing each stack then the fault below it.
    //
    // A column is cut at its fault groups into segments; the groups of one
    // segment lie in one fault block. Each segment is merged into the stack
    // of its groups, or starts a new stack; two stacks met by one segment are
    // one block and are merged into the first (the second is retired). The
    // surfaces seen above and below each fault tell which stacks the fault
    // links; a stack may lie above or below several faults (a graben, a
    // horst). So the result does not depend on the order in which columns
    // come, as long as together they show every block and every fault.
    class VARNHOLT_PILLAR_EXPORT SurfaceGroupsOrderSearch
    {
    public:
        // H is the number of horizons with items, F the number of faults;
        // the complete order holds H x ( F + 1 ) + F groups.
        explicit SurfaceGroupsOrderSearch( const StructuralModel& model );

        // Records a column sequence unless the same sequence came before,
        // then rebuilds the order. Sequences of no group, or of one fault
        // group alone, tell nothing and are not recorded.
        void add_column( const std::vector< SurfaceGroup >& sequence );

        // The order holds H x ( F + 1 ) + F groups and every stack holds H
        // groups (with no stack, only when H is 0).
        [[nodiscard]] bool is_complete() const;

        [[nodiscard]] const std::vector< SurfaceGroup >& order() const
        {
            return order_;
        }

        [[nodiscard]] index_t nb_recorded_columns() const
        {
            return static_cast< index_t >( recorded_.size() );
        }

    private:
        using StackList = absl::InlinedVector< index_t, 4 >;

        [[nodiscard]] bool is_fault_group( const SurfaceGroup& group ) const;
        void record( const std::vector< SurfaceGroup >& sequence );
        void record_segment( absl::Span< const SurfaceGroup > segment );
        // The first stack of each group's first surface, each once, in the
        // order of the groups.
        [[nodiscard]] StackList related_stacks(
            absl::Span< const SurfaceGroup > groups ) const;
        void create_stack( absl::Span< const SurfaceGroup > groups );
        // Merges the groups of a column into the stack: new groups above the
        // first group the stack knows go on top, new groups between two
        // known ones just above the second, new groups after the last known
        // one at the bottom.
        void merge_into_stack(
            index_t stack, absl::Span< const SurfaceGroup > groups );
        // Moves every group of `retired` into `kept` and points everything
        // that named `retired` to `kept`.
        void merge_stacks( index_t kept, index_t retired );
        void add_surface_stack( const uuid& surface, index_t stack );
        static void add_surfaces(
            const SurfaceGroup& group, std::vector< uuid >& surfaces );

        // A fault with the stack of the surfaces seen above it and the stack
        // of those seen below it.
        struct FaultLink
        {
            uuid fault;
            index_t upper;
            index_t lower;
        };

        void rebuild_order();
        // The faults seen from both sides by stacks of two blocks, in the
        // model's fault order.
        [[nodiscard]] std::vector< FaultLink > fault_links() const;
        [[nodiscard]] SurfaceGroup fault_group( const uuid& fault ) const;

        const StructuralModel& model_;
        index_t nb_horizons_;
        index_t expected_size_;
        std::vector< std::vector< SurfaceGroup > > stacks_;
        std::vector< bool > retired_;
        absl::flat_hash_map< uuid, std::vector< uuid > > surfaces_above_fault_;
        absl::flat_hash_map< uuid, std::vector< uuid > > surfaces_below_fault_;
        absl::flat_hash_map< uuid, StackList > surface_stacks_;
        std::vector< SurfaceGroup > order_;
        absl::flat_hash_set< std::vector< SurfaceGroup > > recorded_;
    };
} // namespace brevane::internal
