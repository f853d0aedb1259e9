#pragma once

#include <array>
#include <vector>

#include <absl/container/inlined_vector.h>

#include <halven/background/background_surface_modifier.h>

#include "background/vertex_tracker.h"

namespace brevane::internal
{
    // A triangle seen from one of its corners: the corner's vertex and the
    // next two in counter-clockwise order.
    struct Corner
    {
        index_t polygon{ NO_ID };
        local_index_t local{ NO_LID };
        index_t vertex{ NO_ID };
        index_t next{ NO_ID };
        index_t previous{ NO_ID };
    };

    class BackgroundSurfaceModifier::Impl
    {
    public:
        Impl( const BackgroundSurface& background,
            BackgroundSurfaceBuilder& background_builder,
            TriangulatedSurfaceBuilder2D& surface_builder );

        const BackgroundSurface& background;
        const TriangulatedSurface2D& surface;
        BackgroundSurfaceBuilder& records;
        TriangulatedSurfaceBuilder2D& builder;
        ConstraintModifier::CommonConstraints constraints;

        // Queries.
        [[nodiscard]] bool vertex_deleted( index_t vertex ) const
        {
            return vertex < deleted_vertices_.size() && deleted_vertices_[vertex];
        }
        [[nodiscard]] bool polygon_deleted( index_t polygon ) const
        {
            return polygon < deleted_polygons_.size()
                   && deleted_polygons_[polygon];
        }
        void check_live_polygon( index_t polygon, std::string_view caller ) const;
        void check_live_vertex( index_t vertex, std::string_view caller ) const;
        [[nodiscard]] Corner corner( index_t polygon, local_index_t local ) const;
        // The corner of the vertex in the polygon; throws when absent.
        [[nodiscard]] Corner corner_of( index_t polygon, index_t vertex ) const;
        // The polygon edge of the polygon joining the two vertices (either
        // direction); throws when absent.
        [[nodiscard]] PolygonEdge edge_between(
            index_t polygon, index_t vertex0, index_t vertex1 ) const;
        [[nodiscard]] index_t adjacent( index_t polygon, local_index_t edge ) const;
        [[nodiscard]] index_t unique_edge( index_t vertex0, index_t vertex1 ) const;
        [[nodiscard]] bool is_positive( const Point2D& p0,
            const Point2D& p1,
            const Point2D& p2 ) const;
        [[nodiscard]] bool has_chain( index_t vertex ) const;
        [[nodiscard]] bool is_collapse_valid( index_t from, index_t to ) const;
        [[nodiscard]] bool is_split_edge_valid(
            const PolygonEdge& edge, const Point2D& point ) const;
        [[nodiscard]] bool is_split_triangle_valid(
            index_t triangle, const Point2D& point ) const;
        [[nodiscard]] bool is_flip_valid( const PolygonEdge& edge ) const;
        [[nodiscard]] bool is_move_valid(
            index_t vertex, const Point2D& point ) const;
        [[nodiscard]] bool is_edge_active( index_t edge ) const;
        [[nodiscard]] std::optional< index_t > updated_vertex(
            index_t original ) const
        {
            return tracker_.current( original );
        }

        // Changes.
        SplitEdgeInfo split_edge( const PolygonEdge& edge, const Point2D& point );
        index_t split_triangle( index_t triangle, const Point2D& point );
        void collapse( index_t from, index_t to );
        PolygonEdge flip( const PolygonEdge& edge );
        void move( index_t vertex, const Point2D& point );
        CleanMappings clean();

    private:
        index_t create_vertex( const Point2D& point,
            const AttributeLinearInterpolation& interpolation );
        // A new triangle taking the assignable attributes and the macro
        // element records of `source`.
        index_t create_triangle(
            const std::array< index_t, 3 >& vertices, index_t source );
        // Sets the adjacency across the polygon's edge joining the two
        // vertices; nothing for a NO_ID polygon.
        void set_adjacent_across( index_t polygon,
            index_t vertex0,
            index_t vertex1,
            index_t adjacent );
        // Sets both sides of the adjacency between two polygon edges.
        void link_edges( const PolygonEdge& edge, const PolygonEdge& other );
        // Stores the vertex's incident corner from a live polygon holding
        // it, rotated to the border when the vertex is on it.
        void relink( index_t vertex, index_t polygon );
        [[nodiscard]] MacroEdgeRecords edge_records( index_t edge ) const;
        void add_edge_records( index_t edge, const MacroEdgeRecords& list );
        void clear_edge_records( index_t edge );
        void add_element_records( index_t polygon, const MacroElements& list );
        void mark_polygon_deleted( index_t polygon );
        void mark_vertex_deleted( index_t vertex );

        std::vector< bool > deleted_vertices_;
        std::vector< bool > deleted_polygons_;
        detail::VertexTracker tracker_;
    };
} // namespace brevane::internal
