#include <tessark/geometry/predicates.h>

#include "background/modifier_impl.h"
#include "background/record_lists.h"

namespace brevane::internal
{
    BackgroundSurfaceModifier::Impl::Impl( const BackgroundSurface& background_surface,
        BackgroundSurfaceBuilder& background_builder,
        TriangulatedSurfaceBuilder2D& surface_builder )
        : background( background_surface ),
          surface( background_surface.surface() ),
          records( background_builder ),
          builder( surface_builder ),
          tracker_( background_surface.surface().nb_vertices() )
    {
    }

    void BackgroundSurfaceModifier::Impl::check_live_polygon(
        index_t polygon, std::string_view caller ) const
    {
        TESSARK_EXCEPTION( polygon < surface.nb_polygons(), "[", caller,
            "] Triangle ", polygon, " does not exist (", surface.nb_polygons(),
            " triangles)" );
        TESSARK_EXCEPTION( !polygon_deleted( polygon ), "[", caller,
            "] Triangle ", polygon, " is deleted" );
    }

    void BackgroundSurfaceModifier::Impl::check_live_vertex(
        index_t vertex, std::string_view caller ) const
    {
        TESSARK_EXCEPTION( vertex < surface.nb_vertices(), "[", caller,
            "] Vertex ", vertex, " does not exist (", surface.nb_vertices(),
            " vertices)" );
        TESSARK_EXCEPTION( !vertex_deleted( vertex ), "[", caller, "] Vertex ",
            vertex, " is deleted" );
    }

    Corner BackgroundSurfaceModifier::Impl::corner(
        index_t polygon, local_index_t local ) const
    {
        Corner result;
        result.polygon = polygon;
        result.local = local;
        result.vertex = surface.polygon_vertex( { polygon, local } );
        result.next = surface.polygon_vertex(
            { polygon, static_cast< local_index_t >( ( local + 1 ) % 3 ) } );
        result.previous = surface.polygon_vertex(
            { polygon, static_cast< local_index_t >( ( local + 2 ) % 3 ) } );
        return result;
    }

    Corner BackgroundSurfaceModifier::Impl::corner_of(
        index_t polygon, index_t vertex ) const
    {
        const auto found = surface.vertex_in_polygon( polygon, vertex );
        TESSARK_EXCEPTION( found.has_value(),
            "[BackgroundSurfaceModifier] Vertex ", vertex,
            " is not in triangle ", polygon );
        return corner( polygon, found->vertex_id );
    }

    PolygonEdge BackgroundSurfaceModifier::Impl::edge_between(
        index_t polygon, index_t vertex0, index_t vertex1 ) const
    {
        for( local_index_t local = 0; local < 3; local++ )
        {
            const auto vertices =
                surface.polygon_edge_vertices( { polygon, local } );
            if( ( vertices[0] == vertex0 && vertices[1] == vertex1 )
                || ( vertices[0] == vertex1 && vertices[1] == vertex0 ) )
            {
                return { polygon, local };
            }
        }
        throw TessarkDataException{ "[BackgroundSurfaceModifier] Triangle ",
            polygon, " has no edge between vertices ", vertex0, " and ",
            vertex1 };
    }

    index_t BackgroundSurfaceModifier::Impl::adjacent(
        index_t polygon, local_index_t edge ) const
    {
        return surface.polygon_adjacent( { polygon, edge } ).value_or( NO_ID );
    }

    index_t BackgroundSurfaceModifier::Impl::unique_edge(
        index_t vertex0, index_t vertex1 ) const
    {
        const auto edge = surface.edges().edge_from_vertices( { vertex0, vertex1 } );
        TESSARK_EXCEPTION( edge.has_value(),
            "[BackgroundSurfaceModifier] No edge between vertices ", vertex0,
            " and ", vertex1 );
        return *edge;
    }

    bool BackgroundSurfaceModifier::Impl::is_positive(
        const Point2D& p0, const Point2D& p1, const Point2D& p2 ) const
    {
        return orientation_2d( p0, p1, p2 ) == SIDE::positive;
    }

    bool BackgroundSurfaceModifier::Impl::has_chain( index_t vertex ) const
    {
        for( const auto neighbour : surface.vertices_around_vertex( vertex ) )
        {
            if( !background.macro_edges( unique_edge( vertex, neighbour ) )
                     .empty() )
            {
                return true;
            }
        }
        return false;
    }

    bool BackgroundSurfaceModifier::Impl::is_edge_active( index_t edge ) const
    {
        if( edge >= surface.edges().nb_edges() )
        {
            return false;
        }
        const auto& vertices = surface.edges().edge_vertices( edge );
        if( vertices[0] >= surface.nb_vertices()
            || vertices[1] >= surface.nb_vertices()
            || vertex_deleted( vertices[0] ) || vertex_deleted( vertices[1] ) )
        {
            return false;
        }
        return surface.polygon_edge_from_vertices( vertices[0], vertices[1] )
                   .has_value()
               || surface.polygon_edge_from_vertices( vertices[1], vertices[0] )
                      .has_value();
    }

    index_t BackgroundSurfaceModifier::Impl::create_vertex(
        const Point2D& point, const AttributeLinearInterpolation& interpolation )
    {
        const auto vertex = builder.create_point( point );
        surface.vertex_attribute_manager().interpolate_attribute_value(
            interpolation, vertex );
        tracker_.add_vertex( vertex );
        return vertex;
    }

    index_t BackgroundSurfaceModifier::Impl::create_triangle(
        const std::array< index_t, 3 >& vertices, index_t source )
    {
        const auto triangle = builder.create_triangle( vertices );
        surface.polygon_attribute_manager().assign_attribute_value(
            source, triangle );
        add_element_records( triangle, background.macro_elements( source ) );
        return triangle;
    }

    void BackgroundSurfaceModifier::Impl::set_adjacent_across( index_t polygon,
        index_t vertex0,
        index_t vertex1,
        index_t adjacent_polygon )
    {
        if( polygon == NO_ID )
        {
            return;
        }
        builder.set_polygon_adjacent(
            edge_between( polygon, vertex0, vertex1 ), adjacent_polygon );
    }

    void BackgroundSurfaceModifier::Impl::link_edges(
        const PolygonEdge& edge, const PolygonEdge& other )
    {
        builder.set_polygon_adjacent( edge, other.polygon_id );
        builder.set_polygon_adjacent( other, edge.polygon_id );
    }

    void BackgroundSurfaceModifier::Impl::relink( index_t vertex, index_t polygon )
    {
        const auto start = corner_of( polygon, vertex );
        PolygonVertex current{ start.polygon, start.local };
        // Each step enters another triangle of the fan, so a walk longer
        // than the number of triangles means broken adjacency.
        for( index_t step = 0; step <= surface.nb_polygons(); step++ )
        {
            const auto next_polygon =
                adjacent( current.polygon_id, current.vertex_id );
            if( next_polygon == NO_ID )
            {
                builder.set_polygon_around_vertex( vertex, current );
                return;
            }
            const auto next = surface.vertex_in_polygon( next_polygon, vertex );
            TESSARK_DATA_EXCEPTION( next.has_value(),
                "[BackgroundSurfaceModifier] Inconsistent adjacency around "
                "vertex ",
                vertex, ": triangle ", next_polygon, " does not hold it" );
            if( next->polygon_id == start.polygon )
            {
                builder.set_polygon_around_vertex(
                    vertex, { start.polygon, start.local } );
                return;
            }
            current = *next;
        }
        throw TessarkDataException{
            "[BackgroundSurfaceModifier] Inconsistent adjacency around vertex ",
            vertex, ": its triangles do not close" };
    }

    MacroEdgeRecords BackgroundSurfaceModifier::Impl::edge_records(
        index_t edge ) const
    {
        return background.macro_edges( edge );
    }

    void BackgroundSurfaceModifier::Impl::add_edge_records(
        index_t edge, const MacroEdgeRecords& list )
    {
        for( const auto& record : list )
        {
            records.add_macro_edge_info( record, { edge } );
        }
    }

    void BackgroundSurfaceModifier::Impl::clear_edge_records( index_t edge )
    {
        for( const auto& record : edge_records( edge ) )
        {
            records.remove_macro_edge_info( record, edge );
        }
    }

    void BackgroundSurfaceModifier::Impl::add_element_records(
        index_t polygon, const MacroElements& list )
    {
        const MacroElements copy{ list };
        for( const auto& record : copy )
        {
            records.add_macro_element_info( record, polygon );
        }
    }

    void BackgroundSurfaceModifier::Impl::mark_polygon_deleted( index_t polygon )
    {
        if( deleted_polygons_.size() <= polygon )
        {
            deleted_polygons_.resize( surface.nb_polygons(), false );
        }
        deleted_polygons_[polygon] = true;
        const MacroElements list{ background.macro_elements( polygon ) };
        for( const auto& record : list )
        {
            records.remove_macro_element_info( record, polygon );
        }
    }

    void BackgroundSurfaceModifier::Impl::mark_vertex_deleted( index_t vertex )
    {
        if( deleted_vertices_.size() <= vertex )
        {
            deleted_vertices_.resize( surface.nb_vertices(), false );
        }
        deleted_vertices_[vertex] = true;
    }
} // namespace brevane::internal
