#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <absl/container/btree_map.h>
#include <absl/container/flat_hash_set.h>
#include <absl/types/span.h>

#include <tessark/geometry/point.h>
#include <tessark/model/structural_model.h>

#include <pillar/varnholt_pillar_export.h>

#include "pillars/pillar.h"

namespace brevane::internal
{
    // A group met by a column: its index in the list of groups, and the
    // height where the column meets it.
    struct ColumnGroup
    {
        index_t group;
        double z;
    };

    // Finds the model-wide top-to-bottom order of the surface groups from
    // the relations that vertical columns show: in a column, the groups at
    // one height lie directly above those at the next height down (groups
    // met at the same height, within 1e-6, relate to nothing). The order is
    // a topological order of these relations; it is complete when they
    // order every group, so the result depends neither on which columns
    // come first nor on the number of groups a model "should" have. Columns
    // meeting only some groups (pinch-outs, erosion), faults with several
    // blocks on one side (relays) and blocks seen from several faults
    // (grabens, horsts) need nothing special.
    class VARNHOLT_PILLAR_EXPORT SurfaceGroupsOrderSearch
    {
    public:
        // The groups to order, as compute_surface_groups gives them.
        SurfaceGroupsOrderSearch(
            const StructuralModel& model, absl::Span< const SurfaceGroup > groups );

        // Records the relations the column shows, top to bottom; the position
        // names the column in errors. Throws a TessarkException naming the
        // groups, and a column where each relation was seen, when the column
        // closes a cycle of relations (surfaces that cross).
        void add_column(
            absl::Span< const ColumnGroup > column, const Point2D& position );

        // The relations seen order every group, one after the other.
        [[nodiscard]] bool is_complete() const
        {
            return complete_;
        }

        // The complete order.
        [[nodiscard]] const std::vector< SurfaceGroup >& order() const
        {
            return order_;
        }

        // The order once every column has been seen and it is still not
        // complete. Groups of different fault blocks that no column relates
        // (blocks across a vertical fault, the two sides of a graben, a
        // fault no column crosses) are then ordered by a fixed rule: after
        // each group, the groups it lies directly above come first; then the
        // first group in the list of groups. Throws a TessarkException
        // naming two groups of one fault block that no column puts one above
        // the other.
        [[nodiscard]] std::vector< SurfaceGroup > order_without_more_columns()
            const;

        [[nodiscard]] index_t nb_recorded_columns() const
        {
            return nb_recorded_columns_;
        }

    private:
        using Relation = std::pair< index_t, index_t >;

        // A topological order of the relations: the order found, the groups
        // that were available together at some step, and the groups left on
        // a cycle.
        struct Ordering
        {
            std::vector< index_t > order;
            std::vector< std::vector< index_t > > ties;
            std::vector< index_t > on_cycle;
        };

        [[nodiscard]] Ordering topological_order() const;
        void update();
        [[nodiscard]] std::string group_name( index_t group ) const;
        [[nodiscard]] std::string cycle_description(
            absl::Span< const index_t > on_cycle ) const;
        [[nodiscard]] std::vector< SurfaceGroup > groups_in(
            absl::Span< const index_t > order ) const;

        const StructuralModel& model_;
        std::vector< SurfaceGroup > groups_;
        // The fault block of each horizon group; none for fault groups and
        // groups whose blocks are in no fault block.
        std::vector< std::optional< uuid > > fault_blocks_;
        // Each relation (upper, lower) with the first column showing it; an
        // ordered map, so that every walk over it is the same in every run.
        absl::btree_map< Relation, Point2D > relations_;
        absl::flat_hash_set< std::vector< index_t > > seen_columns_;
        index_t nb_recorded_columns_{ 0 };
        bool complete_{ false };
        std::vector< SurfaceGroup > order_;
    };
} // namespace brevane::internal
