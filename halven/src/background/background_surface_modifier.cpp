#include <halven/background/background_surface_modifier.h>

#include "background/modifier_impl.h"

namespace brevane::internal
{
    BackgroundSurfaceModifier::BackgroundSurfaceModifier(
        const BackgroundSurface& background,
        BackgroundSurfaceBuilder& background_builder,
        TriangulatedSurfaceBuilder2D& surface_builder )
        : impl_( std::make_unique< Impl >(
            background, background_builder, surface_builder ) )
    {
    }

    BackgroundSurfaceModifier::~BackgroundSurfaceModifier() = default;

    const BackgroundSurface& BackgroundSurfaceModifier::background() const
    {
        return impl_->background;
    }

    const ConstraintModifier::CommonConstraints&
        BackgroundSurfaceModifier::constraints() const
    {
        return impl_->constraints;
    }

    void BackgroundSurfaceModifier::set_constraints(
        const ConstraintModifier::CommonConstraints& constraints )
    {
        impl_->constraints = constraints;
    }

    bool BackgroundSurfaceModifier::is_split_edge_valid(
        const PolygonEdge& edge, const Point2D& point ) const
    {
        return impl_->is_split_edge_valid( edge, point );
    }

    SplitEdgeInfo BackgroundSurfaceModifier::split_edge(
        const PolygonEdge& edge, const Point2D& point )
    {
        return impl_->split_edge( edge, point );
    }

    bool BackgroundSurfaceModifier::is_split_triangle_valid(
        index_t triangle, const Point2D& point ) const
    {
        return impl_->is_split_triangle_valid( triangle, point );
    }

    index_t BackgroundSurfaceModifier::split_triangle(
        index_t triangle, const Point2D& point )
    {
        return impl_->split_triangle( triangle, point );
    }

    bool BackgroundSurfaceModifier::is_collapse_edge_valid(
        index_t from, index_t to ) const
    {
        return impl_->is_collapse_valid( from, to );
    }

    bool BackgroundSurfaceModifier::is_collapse_edge_valid(
        const PolygonEdge& edge ) const
    {
        if( edge.polygon_id >= impl_->surface.nb_polygons() || edge.edge_id >= 3
            || impl_->polygon_deleted( edge.polygon_id ) )
        {
            return false;
        }
        const auto vertices = impl_->surface.polygon_edge_vertices( edge );
        return impl_->is_collapse_valid( vertices[0], vertices[1] );
    }

    index_t BackgroundSurfaceModifier::collapse_edge( index_t from, index_t to )
    {
        impl_->collapse( from, to );
        return to;
    }

    index_t BackgroundSurfaceModifier::collapse_edge( const PolygonEdge& edge )
    {
        impl_->check_live_polygon(
            edge.polygon_id, "BackgroundSurfaceModifier::collapse_edge" );
        const auto vertices = impl_->surface.polygon_edge_vertices( edge );
        return collapse_edge( vertices[0], vertices[1] );
    }

    bool BackgroundSurfaceModifier::is_flip_edge_valid(
        const PolygonEdge& edge ) const
    {
        return impl_->is_flip_valid( edge );
    }

    PolygonEdge BackgroundSurfaceModifier::flip_edge( const PolygonEdge& edge )
    {
        return impl_->flip( edge );
    }

    bool BackgroundSurfaceModifier::is_move_vertex_valid(
        index_t vertex, const Point2D& point ) const
    {
        return impl_->is_move_valid( vertex, point );
    }

    void BackgroundSurfaceModifier::move_vertex(
        index_t vertex, const Point2D& point )
    {
        impl_->move( vertex, point );
    }

    bool BackgroundSurfaceModifier::is_vertex_deleted( index_t vertex ) const
    {
        return impl_->vertex_deleted( vertex );
    }

    bool BackgroundSurfaceModifier::is_polygon_deleted( index_t polygon ) const
    {
        return impl_->polygon_deleted( polygon );
    }

    bool BackgroundSurfaceModifier::is_edge_active( index_t edge ) const
    {
        return impl_->is_edge_active( edge );
    }

    std::optional< index_t > BackgroundSurfaceModifier::updated_vertex(
        index_t original ) const
    {
        return impl_->updated_vertex( original );
    }

    CleanMappings BackgroundSurfaceModifier::clean()
    {
        return impl_->clean();
    }
} // namespace brevane::internal
