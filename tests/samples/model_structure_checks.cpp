#include "model_structure_checks.h"

#include <algorithm>
#include <cmath>
#include <deque>

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>

#include <tessark/basic/string_concatenation.h>

namespace brevane::test
{
    namespace
    {
        using VertexPair = std::pair< index_t, index_t >;

        VertexPair sorted_pair( index_t first, index_t second )
        {
            return first < second ? VertexPair{ first, second }
                                  : VertexPair{ second, first };
        }

        class StructureChecker
        {
        public:
            explicit StructureChecker( const BRep& model ) : model_( model )
            {
            }

            std::vector< std::string > run()
            {
                for( const auto& line : model_.lines() )
                {
                    check_line( line );
                }
                for( const auto& surface : model_.surfaces() )
                {
                    check_surface( surface );
                }
                for( const auto& block : model_.blocks() )
                {
                    if( block.mesh().nb_vertices() != 0 )
                    {
                        problem( block.component_id().string(),
                            " has a non-empty mesh" );
                    }
                }
                check_unique_vertices();
                check_distinct_positions();
                return std::move( problems_ );
            }

        private:
            template < typename... Args >
            void problem( const Args&... pieces )
            {
                problems_.push_back( concatenate( pieces... ) );
            }

            void check_line( const Line< 3 >& line )
            {
                const auto& mesh = line.mesh();
                const auto id = line.component_id();
                std::vector< index_t > ends;
                absl::flat_hash_set< VertexPair > edges;
                for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
                {
                    const auto degree =
                        mesh.edges_around_vertex( vertex ).size();
                    if( degree == 1 )
                    {
                        ends.push_back( vertex );
                    }
                    else if( degree != 2 )
                    {
                        problem( id.string(), " vertex ", vertex,
                            " is used by ", degree, " edges" );
                        return;
                    }
                }
                for( index_t edge = 0; edge < mesh.nb_edges(); edge++ )
                {
                    const auto& vertices = mesh.edge_vertices( edge );
                    if( !edges.insert( sorted_pair( vertices[0], vertices[1] ) )
                             .second )
                    {
                        problem( id.string(), " repeats edge ", edge );
                    }
                }
                if( ends.size() != 2
                    || mesh.nb_edges() + 1 != mesh.nb_vertices() )
                {
                    problem( id.string(),
                        " is not one open chain: ", ends.size(), " ends, ",
                        mesh.nb_vertices(), " vertices, ", mesh.nb_edges(),
                        " edges" );
                    return;
                }
                check_chain_connected( line, ends[0] );
                absl::flat_hash_set< index_t > corner_uniques;
                for( const auto& boundary : model_.boundaries( line.id() ) )
                {
                    corner_uniques.insert( model_.unique_vertex(
                        { model_.corner( boundary.id() ).component_id(),
                            0 } ) );
                }
                for( const auto end : ends )
                {
                    if( !corner_uniques.contains(
                            model_.unique_vertex( { id, end } ) ) )
                    {
                        problem( id.string(), " end vertex ", end,
                            " is not at one of its corners" );
                    }
                }
            }

            void check_chain_connected( const Line< 3 >& line, index_t start )
            {
                const auto& mesh = line.mesh();
                index_t previous_edge{ NO_ID };
                index_t vertex{ start };
                index_t nb_walked{ 0 };
                while( nb_walked < mesh.nb_edges() )
                {
                    index_t next_edge{ NO_ID };
                    for( const auto& edge_vertex :
                        mesh.edges_around_vertex( vertex ) )
                    {
                        if( edge_vertex.edge_id != previous_edge )
                        {
                            next_edge = edge_vertex.edge_id;
                        }
                    }
                    if( next_edge == NO_ID )
                    {
                        break;
                    }
                    const auto& ends = mesh.edge_vertices( next_edge );
                    vertex = ends[0] == vertex ? ends[1] : ends[0];
                    previous_edge = next_edge;
                    nb_walked++;
                }
                if( nb_walked != mesh.nb_edges() )
                {
                    problem( line.component_id().string(),
                        " chain from vertex ", start, " reaches only ",
                        nb_walked, " of its ", mesh.nb_edges(), " edges" );
                }
            }

            void check_surface( const Surface< 3 >& surface )
            {
                const auto& mesh = surface.mesh();
                const auto id = surface.component_id();
                absl::flat_hash_set< std::array< index_t, 3 > > triangles;
                // Polygon edges of each vertex pair: +1 when run from the
                // smaller vertex to the larger, -1 the other way.
                absl::flat_hash_map< VertexPair, std::vector< int > >
                    directions;
                for( index_t polygon = 0; polygon < mesh.nb_polygons();
                     polygon++ )
                {
                    const auto vertices = mesh.polygon_vertices( polygon );
                    std::array< index_t, 3 > key{ vertices[0], vertices[1],
                        vertices[2] };
                    std::sort( key.begin(), key.end() );
                    if( !triangles.insert( key ).second )
                    {
                        problem( id.string(), " repeats polygon ", polygon );
                    }
                    for( std::size_t corner = 0; corner < vertices.size();
                         corner++ )
                    {
                        const auto from = vertices[corner];
                        const auto to =
                            vertices[( corner + 1 ) % vertices.size()];
                        directions[sorted_pair( from, to )].push_back(
                            from < to ? 1 : -1 );
                    }
                }
                for( const auto& [pair, uses] : directions )
                {
                    if( uses.size() > 2
                        || ( uses.size() == 2 && uses[0] == uses[1] ) )
                    {
                        problem( id.string(), " edge ", pair.first, "-",
                            pair.second, " is used by ", uses.size(),
                            " polygons, not two opposite ones" );
                        return;
                    }
                }
            }

            void check_unique_vertices()
            {
                for( index_t unique = 0; unique < model_.nb_unique_vertices();
                     unique++ )
                {
                    const auto& vertices =
                        model_.component_mesh_vertices( unique );
                    absl::flat_hash_set< uuid > components;
                    index_t nb_surfaces{ 0 };
                    bool on_line_or_corner{ false };
                    for( const auto& vertex : vertices )
                    {
                        if( !components.insert( vertex.component_id.id() )
                                 .second )
                        {
                            problem( "Unique vertex ", unique,
                                " holds two vertices of ",
                                vertex.component_id.string() );
                        }
                        const auto& type = vertex.component_id.type();
                        if( type == component_types::surface() )
                        {
                            nb_surfaces++;
                        }
                        else
                        {
                            on_line_or_corner = true;
                        }
                    }
                    if( vertices.empty() )
                    {
                        problem(
                            "Unique vertex ", unique, " is bound to nothing" );
                    }
                    if( nb_surfaces > 1 && !on_line_or_corner )
                    {
                        problem( "Unique vertex ", unique, " is shared by ",
                            nb_surfaces, " surfaces away from any line" );
                    }
                }
            }

            Point3D unique_point( index_t unique ) const
            {
                const auto& vertex =
                    model_.component_mesh_vertices( unique ).front();
                const auto& type = vertex.component_id.type();
                const auto& id = vertex.component_id.id();
                if( type == component_types::corner() )
                {
                    return model_.corner( id ).mesh().point( vertex.vertex );
                }
                if( type == component_types::line() )
                {
                    return model_.line( id ).mesh().point( vertex.vertex );
                }
                return model_.surface( id ).mesh().point( vertex.vertex );
            }

            // Points closer than the tolerance fall in the same or in
            // neighbouring cells of a grid of that spacing.
            void check_distinct_positions()
            {
                using Cell = std::array< std::int64_t, 3 >;
                absl::flat_hash_map< Cell, std::vector< index_t > > cells;
                const auto cell_of = []( const Point3D& point )
                {
                    Cell cell;
                    for( local_index_t axis = 0; axis < 3; axis++ )
                    {
                        cell[axis] = static_cast< std::int64_t >( std::floor(
                            point.value( axis ) / GLOBAL_EPSILON ) );
                    }
                    return cell;
                };
                std::vector< Point3D > points( model_.nb_unique_vertices() );
                for( index_t unique = 0; unique < model_.nb_unique_vertices();
                     unique++ )
                {
                    if( model_.component_mesh_vertices( unique ).empty() )
                    {
                        continue;
                    }
                    points[unique] = unique_point( unique );
                    const auto cell = cell_of( points[unique] );
                    for( std::int64_t dx = -1; dx <= 1; dx++ )
                    {
                        for( std::int64_t dy = -1; dy <= 1; dy++ )
                        {
                            for( std::int64_t dz = -1; dz <= 1; dz++ )
                            {
                                const auto found =
                                    cells.find( Cell{ cell[0] + dx,
                                        cell[1] + dy, cell[2] + dz } );
                                if( found == cells.end() )
                                {
                                    continue;
                                }
                                for( const auto other : found->second )
                                {
                                    if( points[other].inexact_equal(
                                            points[unique] ) )
                                    {
                                        problem( "Unique vertices ", other,
                                            " and ", unique, " are both at ",
                                            points[unique].string() );
                                    }
                                }
                            }
                        }
                    }
                    cells[cell].push_back( unique );
                }
            }

            const BRep& model_;
            std::vector< std::string > problems_;
        };

        // Six times the signed volume of the cone from the origin over the
        // triangles of a surface.
        double six_cone_volume(
            const SurfaceMesh< 3 >& mesh, const Point3D& origin )
        {
            double volume{ 0 };
            for( index_t polygon = 0; polygon < mesh.nb_polygons(); polygon++ )
            {
                const auto vertices = mesh.polygon_vertices( polygon );
                const Vector3D a{ origin, mesh.point( vertices[0] ) };
                const Vector3D b{ origin, mesh.point( vertices[1] ) };
                const Vector3D c{ origin, mesh.point( vertices[2] ) };
                volume += a.dot( b.cross( c ) );
            }
            return volume;
        }
    } // namespace

    std::vector< std::string > structure_problems( const BRep& model )
    {
        return StructureChecker{ model }.run();
    }

    BlockVolumes block_volumes( const BRep& model )
    {
        BlockVolumes result;
        for( const auto& block : model.blocks() )
        {
            std::vector< const Surface< 3 >* > surfaces;
            for( const auto& boundary : model.boundaries( block.id() ) )
            {
                surfaces.push_back( &model.surface( boundary.id() ) );
            }
            // Border edges of every surface, with the surface and the
            // direction it runs them in.
            absl::flat_hash_map< VertexPair,
                std::vector< std::pair< index_t, int > > >
                borders;
            for( index_t surface = 0; surface < surfaces.size(); surface++ )
            {
                const auto& mesh = surfaces[surface]->mesh();
                const auto id = surfaces[surface]->component_id();
                for( index_t polygon = 0; polygon < mesh.nb_polygons();
                     polygon++ )
                {
                    for( local_index_t edge = 0; edge < 3; edge++ )
                    {
                        const PolygonEdge polygon_edge{ polygon, edge };
                        if( !mesh.is_edge_on_border( polygon_edge ) )
                        {
                            continue;
                        }
                        const auto ends =
                            mesh.polygon_edge_vertices( polygon_edge );
                        const auto from =
                            model.unique_vertex( { id, ends[0] } );
                        const auto to = model.unique_vertex( { id, ends[1] } );
                        borders[sorted_pair( from, to )].emplace_back(
                            surface, from < to ? 1 : -1 );
                    }
                }
            }
            // Surfaces sharing a border edge must run it in opposite
            // directions once oriented: propagate the signs.
            absl::flat_hash_map< index_t,
                std::vector< std::pair< index_t, int > > >
                neighbours;
            for( const auto& [pair, uses] : borders )
            {
                if( uses.size() != 2 )
                {
                    continue;
                }
                const auto relative = uses[0].second == uses[1].second ? -1 : 1;
                neighbours[uses[0].first].emplace_back(
                    uses[1].first, relative );
                neighbours[uses[1].first].emplace_back(
                    uses[0].first, relative );
            }
            std::vector< int > signs( surfaces.size(), 0 );
            std::deque< index_t > queue{ 0 };
            signs[0] = 1;
            while( !queue.empty() )
            {
                const auto current = queue.front();
                queue.pop_front();
                for( const auto& [other, relative] : neighbours[current] )
                {
                    const auto wanted = signs[current] * relative;
                    if( signs[other] == 0 )
                    {
                        signs[other] = wanted;
                        queue.push_back( other );
                    }
                    else if( signs[other] != wanted )
                    {
                        result.problems.push_back(
                            concatenate( block.component_id().string(),
                                " cannot orient its boundary surfaces "
                                "consistently" ) );
                    }
                }
            }
            const auto origin =
                model.surface( surfaces[0]->id() ).mesh().point( 0 );
            double volume{ 0 };
            for( index_t surface = 0; surface < surfaces.size(); surface++ )
            {
                if( signs[surface] == 0 )
                {
                    result.problems.push_back( concatenate(
                        block.component_id().string(), " boundary surface ",
                        surface, " is cut off from the others" ) );
                }
                volume +=
                    signs[surface]
                    * six_cone_volume( surfaces[surface]->mesh(), origin );
            }
            result.volumes.push_back( std::abs( volume ) / 6 );
        }
        return result;
    }
} // namespace brevane::test
