#include <tessark/mesh/surface_mesh.h>

#include <algorithm>

#include "mesh/element_mapping.h"

namespace brevane
{
    namespace
    {
        template < typename Container, typename Value >
        bool contains( const Container& container, const Value& value )
        {
            return std::find( container.begin(), container.end(), value )
                   != container.end();
        }

        // Largest polygon: local indices stop below NO_LID.
        constexpr index_t MAX_POLYGON_SIZE = NO_LID - 1;

        // Makes room for the given size, at least doubling the capacity so
        // that many small bulk creations stay linear.
        template < typename Vector >
        void reserve_at_least( Vector& vector, std::size_t size )
        {
            if( size > vector.capacity() )
            {
                vector.reserve( std::max( size, 2 * vector.capacity() ) );
            }
        }
    } // namespace

    template < index_t D >
    SurfaceMesh< D >::SurfaceMesh( local_index_t polygon_size )
        : polygon_size_( polygon_size ),
          polygon_attributes_( std::make_unique< AttributeManager >() )
    {
        if( polygon_size_ == 0 )
        {
            polygon_offsets_.push_back( 0 );
        }
    }

    template < index_t D >
    SurfaceMesh< D >::SurfaceMesh( const SurfaceMesh& other )
        : VertexSet( other ), polygon_size_( other.polygon_size_ ),
          points_( other.points_ ), vertex_links_( other.vertex_links_ ),
          polygon_vertices_( other.polygon_vertices_ ),
          polygon_adjacents_( other.polygon_adjacents_ ),
          polygon_edges_( other.polygon_edges_ ),
          polygon_offsets_( other.polygon_offsets_ ),
          polygon_attributes_( std::make_unique< AttributeManager >() ),
          edges_( other.edges_ )
    {
        polygon_attributes_->copy( *other.polygon_attributes_ );
    }

    template < index_t D >
    SurfaceMesh< D >::SurfaceMesh( SurfaceMesh&& other ) noexcept = default;

    template < index_t D >
    SurfaceMesh< D >& SurfaceMesh< D >::operator=(
        SurfaceMesh&& other ) noexcept = default;

    template < index_t D >
    SurfaceMesh< D >::~SurfaceMesh() = default;

    template < index_t D >
    index_t SurfaceMesh< D >::nb_polygons() const
    {
        if( polygon_size_ != 0 )
        {
            return static_cast< index_t >( polygon_vertices_.size() )
                   / polygon_size_;
        }
        return static_cast< index_t >( polygon_offsets_.size() - 1 );
    }

    template < index_t D >
    void SurfaceMesh< D >::check_polygon(
        index_t polygon, std::string_view caller ) const
    {
        TESSARK_EXCEPTION( polygon < nb_polygons(), "[", caller, "] Polygon ",
            polygon, " does not exist (", nb_polygons(), " polygons)" );
    }

    template < index_t D >
    void SurfaceMesh< D >::check_polygon_vertex(
        const PolygonVertex& polygon_vertex, std::string_view caller ) const
    {
        check_polygon( polygon_vertex.polygon_id, caller );
        TESSARK_EXCEPTION( polygon_vertex.vertex_id
                               < size_unchecked( polygon_vertex.polygon_id ),
            "[", caller, "] Local index ",
            static_cast< unsigned >( polygon_vertex.vertex_id ),
            " out of polygon ", polygon_vertex.polygon_id, " (",
            static_cast< unsigned >(
                size_unchecked( polygon_vertex.polygon_id ) ),
            " vertices)" );
    }

    template < index_t D >
    index_t SurfaceMesh< D >::corner(
        const PolygonVertex& polygon_vertex, std::string_view caller ) const
    {
        check_polygon_vertex( polygon_vertex, caller );
        return corner_unchecked( polygon_vertex );
    }

    template < index_t D >
    local_index_t SurfaceMesh< D >::nb_polygon_vertices( index_t polygon ) const
    {
        check_polygon( polygon, "SurfaceMesh::nb_polygon_vertices" );
        return size_unchecked( polygon );
    }

    template < index_t D >
    index_t SurfaceMesh< D >::polygon_vertex(
        const PolygonVertex& polygon_vertex ) const
    {
        return polygon_vertices_[corner(
            polygon_vertex, "SurfaceMesh::polygon_vertex" )];
    }

    template < index_t D >
    PolygonVertices SurfaceMesh< D >::polygon_vertices( index_t polygon ) const
    {
        check_polygon( polygon, "SurfaceMesh::polygon_vertices" );
        const auto begin = polygon_vertices_.begin() + first_corner( polygon );
        return PolygonVertices( begin, begin + size_unchecked( polygon ) );
    }

    template < index_t D >
    index_t SurfaceMesh< D >::polygon_edge_vertex(
        const PolygonEdge& polygon_edge, local_index_t vertex ) const
    {
        TESSARK_EXCEPTION( vertex < 2,
            "[SurfaceMesh::polygon_edge_vertex] Edge vertex ",
            static_cast< unsigned >( vertex ), " of ", polygon_edge.string(),
            " must be 0 or 1" );
        return polygon_edge_vertices( polygon_edge )[vertex];
    }

    template < index_t D >
    std::array< index_t, 2 > SurfaceMesh< D >::polygon_edge_vertices(
        const PolygonEdge& polygon_edge ) const
    {
        const PolygonVertex start{ polygon_edge.polygon_id,
            polygon_edge.edge_id };
        const auto first =
            corner( start, "SurfaceMesh::polygon_edge_vertices" );
        const auto end = next_polygon_vertex( start );
        return { polygon_vertices_[first],
            polygon_vertices_[corner_unchecked( end )] };
    }

    template < index_t D >
    PolygonVertex SurfaceMesh< D >::next_polygon_vertex(
        const PolygonVertex& polygon_vertex ) const
    {
        check_polygon_vertex(
            polygon_vertex, "SurfaceMesh::next_polygon_vertex" );
        const auto size = size_unchecked( polygon_vertex.polygon_id );
        return { polygon_vertex.polygon_id,
            static_cast< local_index_t >(
                ( polygon_vertex.vertex_id + 1 ) % size ) };
    }

    template < index_t D >
    PolygonVertex SurfaceMesh< D >::previous_polygon_vertex(
        const PolygonVertex& polygon_vertex ) const
    {
        check_polygon_vertex(
            polygon_vertex, "SurfaceMesh::previous_polygon_vertex" );
        const auto size = size_unchecked( polygon_vertex.polygon_id );
        return { polygon_vertex.polygon_id,
            static_cast< local_index_t >(
                ( polygon_vertex.vertex_id + size - 1 ) % size ) };
    }

    template < index_t D >
    PolygonEdge SurfaceMesh< D >::next_polygon_edge(
        const PolygonEdge& polygon_edge ) const
    {
        return PolygonEdge{ next_polygon_vertex(
            { polygon_edge.polygon_id, polygon_edge.edge_id } ) };
    }

    template < index_t D >
    PolygonEdge SurfaceMesh< D >::previous_polygon_edge(
        const PolygonEdge& polygon_edge ) const
    {
        return PolygonEdge{ previous_polygon_vertex(
            { polygon_edge.polygon_id, polygon_edge.edge_id } ) };
    }

    template < index_t D >
    local_index_t SurfaceMesh< D >::local_vertex_unchecked(
        index_t polygon, index_t vertex ) const
    {
        const auto first = first_corner( polygon );
        const auto size = size_unchecked( polygon );
        for( local_index_t local = 0; local < size; local++ )
        {
            if( polygon_vertices_[first + local] == vertex )
            {
                return local;
            }
        }
        return NO_LID;
    }

    template < index_t D >
    std::optional< PolygonVertex > SurfaceMesh< D >::vertex_in_polygon(
        index_t polygon, index_t vertex ) const
    {
        check_polygon( polygon, "SurfaceMesh::vertex_in_polygon" );
        const auto local = local_vertex_unchecked( polygon, vertex );
        if( local == NO_LID )
        {
            return std::nullopt;
        }
        return PolygonVertex{ polygon, local };
    }

    template < index_t D >
    std::optional< index_t > SurfaceMesh< D >::polygon_adjacent(
        const PolygonEdge& polygon_edge ) const
    {
        const auto adjacent = polygon_adjacents_[corner(
            { polygon_edge.polygon_id, polygon_edge.edge_id },
            "SurfaceMesh::polygon_adjacent" )];
        if( adjacent == NO_ID )
        {
            return std::nullopt;
        }
        return adjacent;
    }

    template < index_t D >
    std::optional< PolygonEdge > SurfaceMesh< D >::polygon_adjacent_edge(
        const PolygonEdge& polygon_edge ) const
    {
        const auto adjacent = polygon_adjacent( polygon_edge );
        if( !adjacent )
        {
            return std::nullopt;
        }
        const auto vertices = polygon_edge_vertices( polygon_edge );
        const auto first = first_corner( *adjacent );
        const auto size = size_unchecked( *adjacent );
        for( local_index_t edge = 0; edge < size; edge++ )
        {
            const auto start = polygon_vertices_[first + edge];
            const auto end = polygon_vertices_[first + ( edge + 1 ) % size];
            if( ( start == vertices[1] && end == vertices[0] )
                || ( start == vertices[0] && end == vertices[1] ) )
            {
                return PolygonEdge{ *adjacent, edge };
            }
        }
        return std::nullopt;
    }

    template < index_t D >
    bool SurfaceMesh< D >::is_edge_on_border(
        const PolygonEdge& polygon_edge ) const
    {
        return !polygon_adjacent( polygon_edge );
    }

    template < index_t D >
    bool SurfaceMesh< D >::is_polygon_on_border( index_t polygon ) const
    {
        check_polygon( polygon, "SurfaceMesh::is_polygon_on_border" );
        const auto first = first_corner( polygon );
        const auto size = size_unchecked( polygon );
        for( local_index_t edge = 0; edge < size; edge++ )
        {
            if( polygon_adjacents_[first + edge] == NO_ID )
            {
                return true;
            }
        }
        return false;
    }

    template < index_t D >
    bool SurfaceMesh< D >::is_link_on_border( const PolygonVertex& link ) const
    {
        return link.polygon_id != NO_ID
               && polygon_adjacents_[corner_unchecked( link )] == NO_ID;
    }

    template < index_t D >
    bool SurfaceMesh< D >::is_vertex_on_border( index_t vertex ) const
    {
        check_vertex( vertex, "SurfaceMesh::is_vertex_on_border" );
        return is_link_on_border( vertex_links_[vertex] );
    }

    template < index_t D >
    bool SurfaceMesh< D >::is_vertex_isolated( index_t vertex ) const
    {
        check_vertex( vertex, "SurfaceMesh::is_vertex_isolated" );
        return vertex_links_[vertex].polygon_id == NO_ID;
    }

    template < index_t D >
    std::optional< PolygonVertex > SurfaceMesh< D >::polygon_around_vertex(
        index_t vertex ) const
    {
        check_vertex( vertex, "SurfaceMesh::polygon_around_vertex" );
        const auto& link = vertex_links_[vertex];
        if( link.polygon_id == NO_ID )
        {
            return std::nullopt;
        }
        return link;
    }

    template < index_t D >
    std::optional< PolygonVertex > SurfaceMesh< D >::border_corner(
        index_t vertex, const PolygonVertex& start ) const
    {
        PolygonsAroundVertex visited{ start };
        auto current = start;
        while( true )
        {
            const auto adjacent =
                polygon_adjacents_[corner_unchecked( current )];
            if( adjacent == NO_ID )
            {
                return current;
            }
            const auto local = local_vertex_unchecked( adjacent, vertex );
            if( local == NO_LID )
            {
                return std::nullopt;
            }
            const PolygonVertex next{ adjacent, local };
            if( contains( visited, next ) )
            {
                return std::nullopt;
            }
            visited.push_back( next );
            current = next;
        }
    }

    template < index_t D >
    bool SurfaceMesh< D >::walk_around_vertex(
        index_t vertex, PolygonsAroundVertex& fan ) const
    {
        fan.clear();
        const auto link = vertex_links_[vertex];
        if( link.polygon_id == NO_ID )
        {
            return true;
        }
        // Rotate across outgoing edges until the border or back to the link.
        // The stored corner normally is on the border already, so border
        // vertices skip this loop; for inner vertices it walks the whole fan,
        // which is then the answer in reverse order.
        PolygonsAroundVertex backward{ link };
        auto current = link;
        while( true )
        {
            const auto adjacent =
                polygon_adjacents_[corner_unchecked( current )];
            if( adjacent == NO_ID )
            {
                break;
            }
            const auto local = local_vertex_unchecked( adjacent, vertex );
            if( local == NO_LID )
            {
                return false;
            }
            const PolygonVertex next{ adjacent, local };
            if( next == link )
            {
                fan.push_back( link );
                fan.insert( fan.end(), backward.rbegin(), backward.rend() - 1 );
                return true;
            }
            if( contains( backward, next ) )
            {
                return false;
            }
            backward.push_back( next );
            current = next;
        }
        // From the border corner, rotate across incoming edges to the other
        // border.
        fan.push_back( current );
        while( true )
        {
            const auto size = size_unchecked( current.polygon_id );
            const PolygonVertex previous{ current.polygon_id,
                static_cast< local_index_t >(
                    ( current.vertex_id + size - 1 ) % size ) };
            const auto adjacent =
                polygon_adjacents_[corner_unchecked( previous )];
            if( adjacent == NO_ID )
            {
                return true;
            }
            const auto local = local_vertex_unchecked( adjacent, vertex );
            if( local == NO_LID )
            {
                return false;
            }
            const PolygonVertex next{ adjacent, local };
            if( contains( fan, next ) )
            {
                return false;
            }
            fan.push_back( next );
            current = next;
        }
    }

    template < index_t D >
    void SurfaceMesh< D >::throw_inconsistent_adjacency(
        index_t vertex, std::string_view caller ) const
    {
        throw TessarkDataException{ "[", caller,
            "] Inconsistent polygon adjacency around vertex ", vertex };
    }

    template < index_t D >
    PolygonsAroundVertex SurfaceMesh< D >::polygons_around_vertex(
        index_t vertex ) const
    {
        check_vertex( vertex, "SurfaceMesh::polygons_around_vertex" );
        PolygonsAroundVertex fan;
        if( !walk_around_vertex( vertex, fan ) )
        {
            throw_inconsistent_adjacency(
                vertex, "SurfaceMesh::polygons_around_vertex" );
        }
        return fan;
    }

    template < index_t D >
    VerticesAroundVertex SurfaceMesh< D >::vertices_around_vertex(
        index_t vertex ) const
    {
        VerticesAroundVertex result;
        for( const auto& polygon_vertex : polygons_around_vertex( vertex ) )
        {
            for( const auto& neighbour :
                { next_polygon_vertex( polygon_vertex ),
                    previous_polygon_vertex( polygon_vertex ) } )
            {
                const auto other =
                    polygon_vertices_[corner_unchecked( neighbour )];
                if( !contains( result, other ) )
                {
                    result.push_back( other );
                }
            }
        }
        return result;
    }

    template < index_t D >
    std::optional< PolygonEdge > SurfaceMesh< D >::polygon_edge_from_vertices(
        index_t from, index_t to ) const
    {
        check_vertex( from, "SurfaceMesh::polygon_edge_from_vertices" );
        check_vertex( to, "SurfaceMesh::polygon_edge_from_vertices" );
        if( !edges_.edge_from_vertices( { from, to } ) )
        {
            return std::nullopt;
        }
        for( const auto& polygon_vertex : polygons_around_vertex( from ) )
        {
            const auto next = next_polygon_vertex( polygon_vertex );
            if( polygon_vertices_[corner_unchecked( next )] == to )
            {
                return PolygonEdge{ polygon_vertex };
            }
        }
        return std::nullopt;
    }

    template < index_t D >
    PolygonEdge SurfaceMesh< D >::next_on_border(
        const PolygonEdge& polygon_edge ) const
    {
        TESSARK_EXCEPTION( is_edge_on_border( polygon_edge ),
            "[SurfaceMesh::next_on_border] ", polygon_edge.string(),
            " is not on the border" );
        auto current = next_polygon_vertex(
            { polygon_edge.polygon_id, polygon_edge.edge_id } );
        const auto vertex = polygon_vertices_[corner_unchecked( current )];
        PolygonsAroundVertex visited{ current };
        while( true )
        {
            const auto adjacent =
                polygon_adjacents_[corner_unchecked( current )];
            if( adjacent == NO_ID )
            {
                return PolygonEdge{ current };
            }
            const auto local = local_vertex_unchecked( adjacent, vertex );
            const PolygonVertex next{ adjacent, local };
            if( local == NO_LID || contains( visited, next ) )
            {
                throw_inconsistent_adjacency(
                    vertex, "SurfaceMesh::next_on_border" );
            }
            visited.push_back( next );
            current = next;
        }
    }

    template < index_t D >
    PolygonEdge SurfaceMesh< D >::previous_on_border(
        const PolygonEdge& polygon_edge ) const
    {
        TESSARK_EXCEPTION( is_edge_on_border( polygon_edge ),
            "[SurfaceMesh::previous_on_border] ", polygon_edge.string(),
            " is not on the border" );
        PolygonVertex current{ polygon_edge.polygon_id, polygon_edge.edge_id };
        const auto vertex = polygon_vertices_[corner_unchecked( current )];
        PolygonsAroundVertex visited{ current };
        while( true )
        {
            const auto previous = previous_polygon_vertex( current );
            const auto adjacent =
                polygon_adjacents_[corner_unchecked( previous )];
            if( adjacent == NO_ID )
            {
                return PolygonEdge{ previous };
            }
            const auto local = local_vertex_unchecked( adjacent, vertex );
            const PolygonVertex next{ adjacent, local };
            if( local == NO_LID || contains( visited, next ) )
            {
                throw_inconsistent_adjacency(
                    vertex, "SurfaceMesh::previous_on_border" );
            }
            visited.push_back( next );
            current = next;
        }
    }

    template < index_t D >
    const Point< D >& SurfaceMesh< D >::point( index_t vertex ) const
    {
        check_vertex( vertex, "SurfaceMesh::point" );
        return points_[vertex];
    }

    template < index_t D >
    Segment< D > SurfaceMesh< D >::segment(
        const PolygonEdge& polygon_edge ) const
    {
        const auto vertices = polygon_edge_vertices( polygon_edge );
        return Segment< D >{ points_[vertices[0]], points_[vertices[1]] };
    }

    template < index_t D >
    double SurfaceMesh< D >::edge_length(
        const PolygonEdge& polygon_edge ) const
    {
        return segment( polygon_edge ).length();
    }

    template < index_t D >
    Point< D > SurfaceMesh< D >::edge_barycenter(
        const PolygonEdge& polygon_edge ) const
    {
        return segment( polygon_edge ).barycenter();
    }

    template < index_t D >
    Point< D > SurfaceMesh< D >::polygon_barycenter( index_t polygon ) const
    {
        check_polygon( polygon, "SurfaceMesh::polygon_barycenter" );
        const auto first = first_corner( polygon );
        const auto size = size_unchecked( polygon );
        Point< D > sum;
        for( local_index_t local = 0; local < size; local++ )
        {
            sum += points_[polygon_vertices_[first + local]];
        }
        return sum / static_cast< double >( size );
    }

    template < index_t D >
    BoundingBox< D > SurfaceMesh< D >::bounding_box() const
    {
        BoundingBox< D > box;
        for( const auto& point : points_ )
        {
            box.add_point( point );
        }
        return box;
    }

    template < index_t D >
    index_t SurfaceMesh< D >::polygon_edge(
        const PolygonEdge& polygon_edge ) const
    {
        return polygon_edges_[corner(
            { polygon_edge.polygon_id, polygon_edge.edge_id },
            "SurfaceMesh::polygon_edge" )];
    }

    template < index_t D >
    void SurfaceMesh< D >::resize_vertex_data( index_t nb_vertices )
    {
        points_.resize( nb_vertices );
        vertex_links_.resize( nb_vertices );
    }

    template < index_t D >
    void SurfaceMesh< D >::check_vertex_deletion(
        const std::vector< bool >& to_delete ) const
    {
        for( index_t polygon = 0; polygon < nb_polygons(); polygon++ )
        {
            const auto first = first_corner( polygon );
            for( local_index_t local = 0; local < size_unchecked( polygon );
                 local++ )
            {
                const auto vertex = polygon_vertices_[first + local];
                TESSARK_EXCEPTION( !to_delete[vertex],
                    "[SurfaceMesh::delete_vertices] Cannot delete vertex ",
                    vertex, ": it is used by polygon ", polygon );
            }
        }
    }

    template < index_t D >
    void SurfaceMesh< D >::delete_vertex_data(
        const std::vector< bool >& to_delete,
        absl::Span< const index_t > old2new )
    {
        // Deleted vertices are used by no polygon, so edges touching them are
        // leftovers of polygon vertex changes: they go with the vertices.
        std::vector< bool > dangling( edges_.nb_edges(), false );
        bool any_dangling{ false };
        for( index_t edge = 0; edge < edges_.nb_edges(); edge++ )
        {
            const auto& ends = edges_.edges_[edge];
            dangling[edge] = to_delete[ends[0]] || to_delete[ends[1]];
            any_dangling = any_dangling || dangling[edge];
        }
        if( any_dangling )
        {
            detail::remap( polygon_edges_, edges_.delete_edges( dangling ) );
        }
        detail::compact( points_, to_delete );
        detail::compact( vertex_links_, to_delete );
        remap_vertices( old2new );
    }

    template < index_t D >
    void SurfaceMesh< D >::permute_vertex_data(
        absl::Span< const index_t > old2new )
    {
        detail::permute( points_, old2new );
        detail::permute( vertex_links_, old2new );
        remap_vertices( old2new );
    }

    template < index_t D >
    void SurfaceMesh< D >::remap_vertices( absl::Span< const index_t > old2new )
    {
        detail::remap( polygon_vertices_, old2new );
        edges_.remap_vertices( old2new );
    }

    template < index_t D >
    void SurfaceMesh< D >::update_link_with(
        const PolygonVertex& polygon_vertex )
    {
        auto& link = vertex_links_[polygon_vertices_[corner_unchecked(
            polygon_vertex )]];
        if( link.polygon_id == NO_ID
            || ( !is_link_on_border( link )
                 && is_link_on_border( polygon_vertex ) ) )
        {
            link = polygon_vertex;
        }
    }

    template < index_t D >
    void SurfaceMesh< D >::check_new_polygon(
        absl::Span< const index_t > vertices, std::string_view caller ) const
    {
        if( polygon_size_ != 0 )
        {
            TESSARK_EXCEPTION( vertices.size() == polygon_size_, "[", caller,
                "] Polygons of this surface have ",
                static_cast< unsigned >( polygon_size_ ), " vertices, ",
                vertices.size(), " given" );
        }
        TESSARK_EXCEPTION(
            vertices.size() >= 3 && vertices.size() <= MAX_POLYGON_SIZE, "[",
            caller, "] A polygon has 3 to ", MAX_POLYGON_SIZE, " vertices, ",
            vertices.size(), " given" );
        for( std::size_t local = 0; local < vertices.size(); local++ )
        {
            check_vertex( vertices[local], caller );
            for( std::size_t other = 0; other < local; other++ )
            {
                TESSARK_EXCEPTION( vertices[other] != vertices[local], "[",
                    caller, "] Vertex ", vertices[local],
                    " given twice (local indices ", other, " and ", local,
                    ")" );
            }
        }
    }

    // Appends a checked polygon: its corners, their unique edges and the
    // links of its vertices.
    template < index_t D >
    void SurfaceMesh< D >::append_polygon( absl::Span< const index_t > vertices )
    {
        const auto polygon = nb_polygons();
        const auto size = static_cast< local_index_t >( vertices.size() );
        for( local_index_t local = 0; local < size; local++ )
        {
            polygon_vertices_.push_back( vertices[local] );
            polygon_adjacents_.push_back( NO_ID );
            polygon_edges_.push_back( edges_.find_or_create_edge(
                { vertices[local], vertices[( local + 1 ) % size] } ) );
        }
        if( polygon_size_ == 0 )
        {
            polygon_offsets_.push_back(
                static_cast< index_t >( polygon_vertices_.size() ) );
        }
        for( local_index_t local = 0; local < size; local++ )
        {
            update_link_with( { polygon, local } );
        }
    }

    template < index_t D >
    index_t SurfaceMesh< D >::create_polygon(
        absl::Span< const index_t > vertices )
    {
        check_new_polygon( vertices, "SurfaceMesh::create_polygon" );
        TESSARK_EXCEPTION( polygon_vertices_.size() + vertices.size() < NO_ID,
            "[SurfaceMesh::create_polygon] Too many polygon vertices" );
        const auto polygon = nb_polygons();
        append_polygon( vertices );
        polygon_attributes_->resize( polygon + 1 );
        return polygon;
    }

    template < index_t D >
    index_t SurfaceMesh< D >::create_polygons(
        absl::Span< const index_t > vertices, local_index_t polygon_size )
    {
        TESSARK_EXCEPTION( polygon_size >= 3 && polygon_size <= MAX_POLYGON_SIZE,
            "[SurfaceMesh::create_polygons] A polygon has 3 to ",
            MAX_POLYGON_SIZE, " vertices, ",
            static_cast< unsigned >( polygon_size ), " given" );
        TESSARK_EXCEPTION( vertices.size() % polygon_size == 0,
            "[SurfaceMesh::create_polygons] ", vertices.size(),
            " vertices do not make polygons of ",
            static_cast< unsigned >( polygon_size ), " vertices" );
        TESSARK_EXCEPTION( vertices.size() < NO_ID - polygon_vertices_.size(),
            "[SurfaceMesh::create_polygons] Too many polygon vertices: ",
            polygon_vertices_.size(), " + ", vertices.size() );
        const auto first = nb_polygons();
        const auto nb_new =
            static_cast< index_t >( vertices.size() / polygon_size );
        for( index_t polygon = 0; polygon < nb_new; polygon++ )
        {
            const auto polygon_vertices =
                vertices.subspan( polygon * polygon_size, polygon_size );
            try
            {
                check_new_polygon(
                    polygon_vertices, "SurfaceMesh::create_polygons" );
            }
            catch( const TessarkException& error )
            {
                throw TessarkException{ error.what(), " in polygon ", polygon,
                    " of the ", nb_new, " given" };
            }
        }
        const auto nb_corners = polygon_vertices_.size() + vertices.size();
        reserve_at_least( polygon_vertices_, nb_corners );
        reserve_at_least( polygon_adjacents_, nb_corners );
        reserve_at_least( polygon_edges_, nb_corners );
        if( polygon_size_ == 0 )
        {
            reserve_at_least(
                polygon_offsets_, polygon_offsets_.size() + nb_new );
        }
        // Polygons sharing edges in pairs (a manifold surface) make about
        // half an edge per corner; a border adds a few more.
        edges_.reserve( edges_.nb_edges()
                        + static_cast< index_t >(
                            vertices.size() / 2 + vertices.size() / 16 ) );
        for( index_t polygon = 0; polygon < nb_new; polygon++ )
        {
            append_polygon(
                vertices.subspan( polygon * polygon_size, polygon_size ) );
        }
        polygon_attributes_->resize( first + nb_new );
        return first;
    }

    template < index_t D >
    void SurfaceMesh< D >::set_polygon_vertex(
        const PolygonVertex& polygon_vertex, index_t vertex )
    {
        const auto changed =
            corner( polygon_vertex, "SurfaceMeshBuilder::set_polygon_vertex" );
        check_vertex( vertex, "SurfaceMeshBuilder::set_polygon_vertex" );
        const auto old_vertex = polygon_vertices_[changed];
        if( old_vertex == vertex )
        {
            return;
        }
        TESSARK_EXCEPTION(
            local_vertex_unchecked( polygon_vertex.polygon_id, vertex )
                == NO_LID,
            "[SurfaceMeshBuilder::set_polygon_vertex] Vertex ", vertex,
            " is already in polygon ", polygon_vertex.polygon_id );
        if( vertex_links_[old_vertex] == polygon_vertex )
        {
            // The old vertex keeps a corner of its fan, on the border if it
            // has one, or becomes isolated.
            PolygonVertex replacement;
            PolygonsAroundVertex fan;
            if( walk_around_vertex( old_vertex, fan ) )
            {
                for( const auto& candidate : fan )
                {
                    if( candidate == polygon_vertex )
                    {
                        continue;
                    }
                    if( replacement.polygon_id == NO_ID
                        || ( !is_link_on_border( replacement )
                             && is_link_on_border( candidate ) ) )
                    {
                        replacement = candidate;
                    }
                }
            }
            vertex_links_[old_vertex] = replacement;
        }
        polygon_vertices_[changed] = vertex;
        const auto next = next_polygon_vertex( polygon_vertex );
        const auto previous = previous_polygon_vertex( polygon_vertex );
        polygon_edges_[changed] = edges_.find_or_create_edge(
            { vertex, polygon_vertices_[corner_unchecked( next )] } );
        polygon_edges_[corner_unchecked( previous )] =
            edges_.find_or_create_edge(
                { polygon_vertices_[corner_unchecked( previous )], vertex } );
        update_link_with( polygon_vertex );
    }

    template < index_t D >
    void SurfaceMesh< D >::set_polygon_adjacent(
        const PolygonEdge& polygon_edge, index_t adjacent )
    {
        const PolygonVertex start{ polygon_edge.polygon_id,
            polygon_edge.edge_id };
        const auto changed =
            corner( start, "SurfaceMeshBuilder::set_polygon_adjacent" );
        if( adjacent != NO_ID )
        {
            check_polygon(
                adjacent, "SurfaceMeshBuilder::set_polygon_adjacent" );
            TESSARK_EXCEPTION( adjacent != polygon_edge.polygon_id,
                "[SurfaceMeshBuilder::set_polygon_adjacent] Polygon ", adjacent,
                " cannot be adjacent to itself" );
        }
        polygon_adjacents_[changed] = adjacent;
        const auto vertex = polygon_vertices_[changed];
        auto& link = vertex_links_[vertex];
        if( adjacent == NO_ID )
        {
            link = start;
        }
        else if( link == start )
        {
            if( const auto border = border_corner( vertex, start ) )
            {
                link = *border;
            }
        }
    }

    template < index_t D >
    void SurfaceMesh< D >::set_polygon_around_vertex(
        index_t vertex, const PolygonVertex& polygon_vertex )
    {
        check_vertex( vertex, "SurfaceMeshBuilder::set_polygon_around_vertex" );
        if( polygon_vertex.polygon_id == NO_ID )
        {
            vertex_links_[vertex] = PolygonVertex{};
            return;
        }
        const auto linked = corner(
            polygon_vertex, "SurfaceMeshBuilder::set_polygon_around_vertex" );
        TESSARK_EXCEPTION( polygon_vertices_[linked] == vertex,
            "[SurfaceMeshBuilder::set_polygon_around_vertex] ",
            polygon_vertex.string(), " is vertex ", polygon_vertices_[linked],
            ", not vertex ", vertex );
        vertex_links_[vertex] = polygon_vertex;
    }

    template < index_t D >
    void SurfaceMesh< D >::set_point( index_t vertex, const Point< D >& point )
    {
        check_vertex( vertex, "SurfaceMeshBuilder::set_point" );
        points_[vertex] = point;
    }

    template < index_t D >
    void SurfaceMesh< D >::compute_vertex_links()
    {
        std::fill(
            vertex_links_.begin(), vertex_links_.end(), PolygonVertex{} );
        for( index_t polygon = 0; polygon < nb_polygons(); polygon++ )
        {
            for( local_index_t local = 0; local < size_unchecked( polygon );
                 local++ )
            {
                update_link_with( { polygon, local } );
            }
        }
    }

    template < index_t D >
    void SurfaceMesh< D >::compute_polygon_adjacencies()
    {
        const auto nb_corners =
            static_cast< index_t >( polygon_vertices_.size() );
        // Corners grouped by unique edge (counting sort), with their polygon.
        std::vector< index_t > corner_polygons( nb_corners );
        for( index_t polygon = 0; polygon < nb_polygons(); polygon++ )
        {
            const auto first = first_corner( polygon );
            std::fill_n( corner_polygons.begin() + first,
                size_unchecked( polygon ), polygon );
        }
        std::vector< index_t > offsets( edges_.nb_edges() + 1, 0 );
        for( const auto edge : polygon_edges_ )
        {
            offsets[edge + 1]++;
        }
        for( index_t edge = 0; edge < edges_.nb_edges(); edge++ )
        {
            offsets[edge + 1] += offsets[edge];
        }
        std::vector< index_t > edge_corners( nb_corners );
        auto fill = offsets;
        for( index_t corner_id = 0; corner_id < nb_corners; corner_id++ )
        {
            edge_corners[fill[polygon_edges_[corner_id]]++] = corner_id;
        }
        std::fill(
            polygon_adjacents_.begin(), polygon_adjacents_.end(), NO_ID );
        const auto start_vertex = [this]( index_t corner_id )
        {
            return polygon_vertices_[corner_id];
        };
        for( index_t edge = 0; edge < edges_.nb_edges(); edge++ )
        {
            if( offsets[edge + 1] - offsets[edge] != 2 )
            {
                continue;
            }
            const auto first = edge_corners[offsets[edge]];
            const auto second = edge_corners[offsets[edge] + 1];
            if( start_vertex( first ) == start_vertex( second ) )
            {
                continue;
            }
            polygon_adjacents_[first] = corner_polygons[second];
            polygon_adjacents_[second] = corner_polygons[first];
        }
        compute_vertex_links();
    }

    template < index_t D >
    std::vector< index_t > SurfaceMesh< D >::delete_polygons(
        const std::vector< bool >& to_delete )
    {
        detail::check_deletion_size(
            to_delete, nb_polygons(), "SurfaceMeshBuilder::delete_polygons" );
        auto old2new = detail::deletion_mapping( to_delete );
        index_t written{ 0 };
        const auto nb = nb_polygons();
        std::vector< index_t > offsets;
        if( polygon_size_ == 0 )
        {
            offsets.reserve( nb + 1 );
            offsets.push_back( 0 );
        }
        for( index_t polygon = 0; polygon < nb; polygon++ )
        {
            if( to_delete[polygon] )
            {
                continue;
            }
            const auto first = first_corner( polygon );
            const auto size = size_unchecked( polygon );
            for( local_index_t local = 0; local < size; local++ )
            {
                polygon_vertices_[written + local] =
                    polygon_vertices_[first + local];
                polygon_adjacents_[written + local] =
                    polygon_adjacents_[first + local];
                polygon_edges_[written + local] = polygon_edges_[first + local];
            }
            written += size;
            if( polygon_size_ == 0 )
            {
                offsets.push_back( written );
            }
        }
        polygon_vertices_.resize( written );
        polygon_adjacents_.resize( written );
        polygon_edges_.resize( written );
        if( polygon_size_ == 0 )
        {
            polygon_offsets_ = std::move( offsets );
        }
        detail::remap( polygon_adjacents_, old2new );
        polygon_attributes_->delete_elements( to_delete );
        compute_vertex_links();
        return old2new;
    }

    template < index_t D >
    std::vector< index_t > SurfaceMesh< D >::delete_isolated_edges()
    {
        std::vector< bool > unused( edges_.nb_edges(), true );
        for( const auto edge : polygon_edges_ )
        {
            unused[edge] = false;
        }
        auto old2new = edges_.delete_edges( unused );
        detail::remap( polygon_edges_, old2new );
        return old2new;
    }

    template < index_t D >
    void SurfaceMesh< D >::permute_polygons(
        absl::Span< const index_t > old2new )
    {
        const auto nb = nb_polygons();
        detail::check_permutation(
            old2new, nb, "SurfaceMeshBuilder::permute_polygons" );
        std::vector< index_t > new2old( nb );
        for( index_t polygon = 0; polygon < nb; polygon++ )
        {
            new2old[old2new[polygon]] = polygon;
        }
        std::vector< index_t > offsets;
        if( polygon_size_ == 0 )
        {
            offsets.reserve( nb + 1 );
            offsets.push_back( 0 );
            for( const auto old_polygon : new2old )
            {
                offsets.push_back(
                    offsets.back() + size_unchecked( old_polygon ) );
            }
        }
        std::vector< index_t > vertices( polygon_vertices_.size() );
        std::vector< index_t > adjacents( polygon_adjacents_.size() );
        std::vector< index_t > polygon_edges( polygon_edges_.size() );
        index_t written{ 0 };
        for( const auto old_polygon : new2old )
        {
            const auto first = first_corner( old_polygon );
            const auto size = size_unchecked( old_polygon );
            for( local_index_t local = 0; local < size; local++ )
            {
                vertices[written + local] = polygon_vertices_[first + local];
                adjacents[written + local] = polygon_adjacents_[first + local];
                polygon_edges[written + local] = polygon_edges_[first + local];
            }
            written += size;
        }
        polygon_vertices_ = std::move( vertices );
        polygon_adjacents_ = std::move( adjacents );
        polygon_edges_ = std::move( polygon_edges );
        if( polygon_size_ == 0 )
        {
            polygon_offsets_ = std::move( offsets );
        }
        detail::remap( polygon_adjacents_, old2new );
        for( auto& link : vertex_links_ )
        {
            if( link.polygon_id != NO_ID )
            {
                link.polygon_id = old2new[link.polygon_id];
            }
        }
        polygon_attributes_->permute_elements( old2new );
    }

    template class SurfaceMesh< 2 >;
    template class SurfaceMesh< 3 >;
} // namespace brevane
