#include <tessark/inspection/model_validation.h>

#include <algorithm>

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>

#include <tessark/geometry/predicates.h>
#include <tessark/mesh/polyhedron_volume.h>

namespace brevane
{
    namespace
    {
        using UniqueEdge = std::pair< index_t, index_t >;

        UniqueEdge sorted( index_t first, index_t second )
        {
            return first < second ? UniqueEdge{ first, second }
                                  : UniqueEdge{ second, first };
        }

        // Collects the problems; each check appends its own lines.
        class Validator
        {
        public:
            explicit Validator( const BRep& model ) : model_( model )
            {
            }

            ModelValidationReport run()
            {
                check_corners();
                check_lines();
                check_surfaces();
                check_unique_vertices();
                check_corner_relations();
                check_line_surface_relations();
                check_surface_borders_on_lines();
                check_blocks();
                check_block_meshes();
                return std::move( report_ );
            }

        private:
            template < typename... Args >
            void problem( const Args&... pieces )
            {
                report_.problems.push_back( concatenate( pieces... ) );
            }

            void check_bound_vertices(
                const ComponentID& component, index_t nb_vertices )
            {
                index_t nb_unbound{ 0 };
                index_t first_unbound{ NO_ID };
                for( index_t vertex = 0; vertex < nb_vertices; vertex++ )
                {
                    if( model_.unique_vertex( { component, vertex } ) == NO_ID )
                    {
                        if( nb_unbound++ == 0 )
                        {
                            first_unbound = vertex;
                        }
                    }
                }
                if( nb_unbound > 0 )
                {
                    problem( component.string(), " has ", nb_unbound,
                        " vertices bound to no unique vertex (first: vertex ",
                        first_unbound, ")" );
                }
            }

            void check_corners()
            {
                for( const auto& corner : model_.corners() )
                {
                    const auto nb = corner.mesh().nb_vertices();
                    if( nb != 1 )
                    {
                        problem( corner.component_id().string(), " has ", nb,
                            " vertices instead of one" );
                    }
                    check_bound_vertices( corner.component_id(), nb );
                }
            }

            void check_lines()
            {
                for( const auto& line : model_.lines() )
                {
                    const auto& mesh = line.mesh();
                    const auto id = line.component_id();
                    if( mesh.nb_edges() == 0 )
                    {
                        problem( id.string(), " has an empty mesh" );
                    }
                    for( index_t edge = 0; edge < mesh.nb_edges(); edge++ )
                    {
                        const auto& vertices = mesh.edge_vertices( edge );
                        if( vertices[0] == vertices[1]
                            || mesh.point( vertices[0] )
                                   == mesh.point( vertices[1] ) )
                        {
                            problem( id.string(), " edge ", edge,
                                " has zero length" );
                        }
                    }
                    check_bound_vertices( id, mesh.nb_vertices() );
                }
            }

            void check_surfaces()
            {
                for( const auto& surface : model_.surfaces() )
                {
                    const auto& mesh = surface.mesh();
                    const auto id = surface.component_id();
                    if( mesh.nb_polygons() == 0 )
                    {
                        problem( id.string(), " has an empty mesh" );
                    }
                    for( index_t polygon = 0; polygon < mesh.nb_polygons();
                         polygon++ )
                    {
                        if( is_polygon_degenerate( mesh, polygon ) )
                        {
                            problem( id.string(), " polygon ", polygon,
                                " is degenerate" );
                        }
                    }
                    check_bound_vertices( id, mesh.nb_vertices() );
                }
            }

            static bool is_polygon_degenerate(
                const SurfaceMesh< 3 >& mesh, index_t polygon )
            {
                const auto vertices = mesh.polygon_vertices( polygon );
                for( std::size_t first = 0; first < vertices.size(); first++ )
                {
                    for( std::size_t second = first + 1;
                         second < vertices.size(); second++ )
                    {
                        if( vertices[first] == vertices[second] )
                        {
                            return true;
                        }
                    }
                }
                // Degenerate when every fan triangle from the first vertex
                // is: then the polygon has no area at all.
                for( std::size_t corner = 1; corner + 1 < vertices.size();
                     corner++ )
                {
                    if( !is_triangle_degenerate(
                            Triangle3D{ mesh.point( vertices[0] ),
                                mesh.point( vertices[corner] ),
                                mesh.point( vertices[corner + 1] ) } ) )
                    {
                        return false;
                    }
                }
                return true;
            }

            const Point3D& point_of( const ComponentMeshVertex& vertex ) const
            {
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
                if( type == component_types::surface() )
                {
                    return model_.surface( id ).mesh().point( vertex.vertex );
                }
                return model_.block( id ).mesh().point( vertex.vertex );
            }

            index_t nb_mesh_vertices( const ComponentID& component ) const
            {
                const auto& type = component.type();
                const auto& id = component.id();
                if( type == component_types::corner() )
                {
                    return model_.corner( id ).mesh().nb_vertices();
                }
                if( type == component_types::line() )
                {
                    return model_.line( id ).mesh().nb_vertices();
                }
                if( type == component_types::surface() )
                {
                    return model_.surface( id ).mesh().nb_vertices();
                }
                return model_.block( id ).mesh().nb_vertices();
            }

            void check_unique_vertices()
            {
                for( index_t unique = 0; unique < model_.nb_unique_vertices();
                     unique++ )
                {
                    const auto& vertices =
                        model_.component_mesh_vertices( unique );
                    const Point3D* reference{ nullptr };
                    for( const auto& vertex : vertices )
                    {
                        if( !is_known( vertex ) )
                        {
                            problem( "Unique vertex ", unique, " is bound to ",
                                vertex.string(),
                                ", which is not in the model" );
                            continue;
                        }
                        const auto& point = point_of( vertex );
                        if( reference == nullptr )
                        {
                            reference = &point;
                        }
                        else if( !reference->inexact_equal( point ) )
                        {
                            problem( "Unique vertex ", unique,
                                " has component vertices at different "
                                "positions: ",
                                vertices.front().string(), " at ",
                                reference->string(), " and ", vertex.string(),
                                " at ", point.string() );
                            break;
                        }
                    }
                }
            }

            bool is_known( const ComponentMeshVertex& vertex ) const
            {
                const auto& type = vertex.component_id.type();
                const auto& id = vertex.component_id.id();
                const bool exists = ( type == component_types::corner()
                                        && model_.has_corner( id ) )
                                    || ( type == component_types::line()
                                         && model_.has_line( id ) )
                                    || ( type == component_types::surface()
                                         && model_.has_surface( id ) )
                                    || ( type == component_types::block()
                                         && model_.has_block( id ) );
                return exists
                       && vertex.vertex
                              < nb_mesh_vertices( vertex.component_id );
            }

            // The vertices of a unique vertex inside one component.
            absl::InlinedVector< index_t, 2 > vertices_in(
                index_t unique, const uuid& component ) const
            {
                absl::InlinedVector< index_t, 2 > result;
                if( unique == NO_ID )
                {
                    return result;
                }
                for( const auto& vertex :
                    model_.component_mesh_vertices( unique ) )
                {
                    if( vertex.component_id.id() == component )
                    {
                        result.push_back( vertex.vertex );
                    }
                }
                return result;
            }

            void check_corner_relations()
            {
                for( const auto& line : model_.lines() )
                {
                    const auto& mesh = line.mesh();
                    const auto closed = model_.is_closed( line );
                    absl::flat_hash_set< index_t > ends;
                    for( index_t vertex = 0; vertex < mesh.nb_vertices();
                         vertex++ )
                    {
                        if( closed
                            || mesh.edges_around_vertex( vertex ).size() == 1 )
                        {
                            ends.insert( model_.unique_vertex(
                                { line.component_id(), vertex } ) );
                        }
                    }
                    for( const auto& boundary : model_.boundaries( line.id() ) )
                    {
                        if( boundary.type() != component_types::corner()
                            || !model_.has_corner( boundary.id() ) )
                        {
                            continue;
                        }
                        const auto& corner = model_.corner( boundary.id() );
                        if( corner.mesh().nb_vertices() == 0 )
                        {
                            continue;
                        }
                        const auto unique = model_.unique_vertex(
                            { corner.component_id(), 0 } );
                        if( unique == NO_ID || !ends.contains( unique ) )
                        {
                            problem( corner.component_id().string(), " bounds ",
                                line.component_id().string(),
                                " but is not at one of its ends" );
                        }
                    }
                }
            }

            // Whether the line's edges all lie on border edges (border) or
            // all on inner edges (!border) of the surface mesh; names the
            // first edge that does not.
            void check_line_in_surface( const Line< 3 >& line,
                const Surface< 3 >& surface, bool border )
            {
                const auto& line_mesh = line.mesh();
                const auto& surface_mesh = surface.mesh();
                for( index_t edge = 0; edge < line_mesh.nb_edges(); edge++ )
                {
                    const auto& ends = line_mesh.edge_vertices( edge );
                    const auto first =
                        vertices_in( model_.unique_vertex(
                                         { line.component_id(), ends[0] } ),
                            surface.id() );
                    const auto second =
                        vertices_in( model_.unique_vertex(
                                         { line.component_id(), ends[1] } ),
                            surface.id() );
                    bool found{ false };
                    bool on_border{ false };
                    for( const auto from : first )
                    {
                        for( const auto to : second )
                        {
                            for( const auto& pair : { std::array{ from, to },
                                     std::array{ to, from } } )
                            {
                                if( const auto polygon_edge =
                                        surface_mesh.polygon_edge_from_vertices(
                                            pair[0], pair[1] ) )
                                {
                                    found = true;
                                    on_border =
                                        on_border
                                        || surface_mesh.is_edge_on_border(
                                            *polygon_edge );
                                }
                            }
                        }
                    }
                    if( !found || on_border != border )
                    {
                        problem( line.component_id().string(), " edge ", edge,
                            border ? " bounds " : " lies inside ",
                            surface.component_id().string(),
                            found ? ( border ? " but is an inner edge of its "
                                               "mesh"
                                             : " but is a border edge of its "
                                               "mesh" )
                                  : " but is not an edge of its mesh" );
                        return;
                    }
                }
            }

            void check_line_surface_relations()
            {
                for( const auto& line : model_.lines() )
                {
                    for( const auto& incidence :
                        model_.incidences( line.id() ) )
                    {
                        if( incidence.type() == component_types::surface()
                            && model_.has_surface( incidence.id() ) )
                        {
                            check_line_in_surface(
                                line, model_.surface( incidence.id() ), true );
                        }
                    }
                    for( const auto& embedding :
                        model_.embedding_surfaces( line.id() ) )
                    {
                        if( model_.has_surface( embedding.id() ) )
                        {
                            check_line_in_surface(
                                line, model_.surface( embedding.id() ), false );
                        }
                    }
                }
            }

            // The unique-vertex edges of the lines bounding a surface.
            absl::flat_hash_set< UniqueEdge > boundary_line_edges(
                const Surface< 3 >& surface ) const
            {
                absl::flat_hash_set< UniqueEdge > edges;
                for( const auto& boundary : model_.boundaries( surface.id() ) )
                {
                    if( boundary.type() != component_types::line()
                        || !model_.has_line( boundary.id() ) )
                    {
                        continue;
                    }
                    const auto& line = model_.line( boundary.id() );
                    const auto& mesh = line.mesh();
                    for( index_t edge = 0; edge < mesh.nb_edges(); edge++ )
                    {
                        const auto& ends = mesh.edge_vertices( edge );
                        edges.insert(
                            sorted( model_.unique_vertex(
                                        { line.component_id(), ends[0] } ),
                                model_.unique_vertex(
                                    { line.component_id(), ends[1] } ) ) );
                    }
                }
                return edges;
            }

            void check_surface_borders_on_lines()
            {
                for( const auto& surface : model_.surfaces() )
                {
                    const auto line_edges = boundary_line_edges( surface );
                    const auto& mesh = surface.mesh();
                    index_t nb_uncovered{ 0 };
                    PolygonEdge first_uncovered{ NO_ID, 0 };
                    for( index_t polygon = 0; polygon < mesh.nb_polygons();
                         polygon++ )
                    {
                        for( local_index_t edge = 0;
                             edge < mesh.nb_polygon_vertices( polygon );
                             edge++ )
                        {
                            const PolygonEdge polygon_edge{ polygon, edge };
                            if( !mesh.is_edge_on_border( polygon_edge ) )
                            {
                                continue;
                            }
                            const auto ends =
                                mesh.polygon_edge_vertices( polygon_edge );
                            const auto id = surface.component_id();
                            if( !line_edges.contains( sorted(
                                    model_.unique_vertex( { id, ends[0] } ),
                                    model_.unique_vertex( { id, ends[1] } ) ) )
                                && nb_uncovered++ == 0 )
                            {
                                first_uncovered = polygon_edge;
                            }
                        }
                    }
                    if( nb_uncovered > 0 )
                    {
                        problem( surface.component_id().string(), " has ",
                            nb_uncovered,
                            " border edges on none of its boundary lines "
                            "(first: polygon ",
                            first_uncovered.polygon_id, " edge ",
                            static_cast< int >( first_uncovered.edge_id ),
                            ")" );
                    }
                }
            }

            void check_blocks()
            {
                for( const auto& block : model_.blocks() )
                {
                    absl::flat_hash_map< UniqueEdge, index_t > counts;
                    for( const auto& boundary :
                        model_.boundaries( block.id() ) )
                    {
                        if( boundary.type() != component_types::surface()
                            || !model_.has_surface( boundary.id() ) )
                        {
                            continue;
                        }
                        const auto& surface = model_.surface( boundary.id() );
                        const auto& mesh = surface.mesh();
                        const auto id = surface.component_id();
                        for( index_t polygon = 0; polygon < mesh.nb_polygons();
                             polygon++ )
                        {
                            for( local_index_t edge = 0;
                                 edge < mesh.nb_polygon_vertices( polygon );
                                 edge++ )
                            {
                                const PolygonEdge polygon_edge{ polygon, edge };
                                if( !mesh.is_edge_on_border( polygon_edge ) )
                                {
                                    continue;
                                }
                                const auto ends =
                                    mesh.polygon_edge_vertices( polygon_edge );
                                counts[sorted(
                                    model_.unique_vertex( { id, ends[0] } ),
                                    model_.unique_vertex(
                                        { id, ends[1] } ) )]++;
                            }
                        }
                    }
                    index_t nb_open{ 0 };
                    for( const auto& [edge, count] : counts )
                    {
                        if( count != 2 )
                        {
                            nb_open++;
                        }
                    }
                    if( model_.nb_boundaries( block.id() ) == 0 )
                    {
                        problem( block.component_id().string(),
                            " has no boundary surface" );
                    }
                    else if( nb_open > 0 )
                    {
                        problem( block.component_id().string(),
                            " is not closed: ", nb_open,
                            " border edges of its boundary surfaces are not "
                            "shared by exactly two of them" );
                    }
                }
            }

            // A face as the sorted unique vertices of its corners, so that a
            // cell facet and a surface polygon standing on the same nodes
            // compare equal whatever their orientation and mesh numbering.
            using FaceKey = absl::InlinedVector< index_t, 4 >;

            template < typename Vertices >
            FaceKey face_key(
                const ComponentID& component, const Vertices& vertices ) const
            {
                FaceKey key;
                for( const auto vertex : vertices )
                {
                    key.push_back(
                        model_.unique_vertex( { component, vertex } ) );
                }
                std::sort( key.begin(), key.end() );
                return key;
            }

            // Blocks may have empty meshes; a filled one must be bound to
            // unique vertices, hold cells of positive volume only, and have
            // as border faces exactly the polygons of its boundary surfaces.
            void check_block_meshes()
            {
                for( const auto& block : model_.blocks() )
                {
                    const auto& mesh = block.mesh();
                    if( mesh.nb_polyhedra() == 0 )
                    {
                        continue;
                    }
                    const auto id = block.component_id();
                    check_bound_vertices( id, mesh.nb_vertices() );
                    check_cell_volumes( id, mesh );
                    check_block_border_faces( block );
                }
            }

            void check_cell_volumes(
                const ComponentID& id, const SolidMesh< 3 >& mesh )
            {
                index_t nb_inverted{ 0 };
                index_t first_inverted{ NO_ID };
                for( index_t cell = 0; cell < mesh.nb_polyhedra(); cell++ )
                {
                    if( !( polyhedron_volume( mesh, cell ) > 0 )
                        && nb_inverted++ == 0 )
                    {
                        first_inverted = cell;
                    }
                }
                if( nb_inverted > 0 )
                {
                    problem( id.string(), " has ", nb_inverted,
                        " cells of zero or negative volume (first: polyhedron ",
                        first_inverted, ")" );
                }
            }

            void check_block_border_faces( const Block< 3 >& block )
            {
                const auto& mesh = block.mesh();
                const auto id = block.component_id();
                // Border faces of the cells count +1, boundary polygons -1:
                // everything must cancel.
                absl::flat_hash_map< FaceKey, int > balance;
                for( index_t cell = 0; cell < mesh.nb_polyhedra(); cell++ )
                {
                    for( local_index_t facet = 0;
                         facet < mesh.nb_polyhedron_facets( cell ); facet++ )
                    {
                        const PolyhedronFacet cell_facet{ cell, facet };
                        if( !mesh.polyhedron_adjacent( cell_facet ) )
                        {
                            balance[face_key(
                                id, mesh.polyhedron_facet_vertices(
                                        cell_facet ) )]++;
                        }
                    }
                }
                for( const auto& boundary : model_.boundaries( block.id() ) )
                {
                    if( boundary.type() != component_types::surface()
                        || !model_.has_surface( boundary.id() ) )
                    {
                        continue;
                    }
                    const auto& surface = model_.surface( boundary.id() );
                    for( index_t polygon = 0;
                         polygon < surface.mesh().nb_polygons(); polygon++ )
                    {
                        balance[face_key( surface.component_id(),
                            surface.mesh().polygon_vertices( polygon ) )]--;
                    }
                }
                index_t nb_unmatched_facets{ 0 };
                index_t nb_uncovered_polygons{ 0 };
                for( const auto& [face, count] : balance )
                {
                    if( count > 0 )
                    {
                        nb_unmatched_facets += static_cast< index_t >( count );
                    }
                    else if( count < 0 )
                    {
                        nb_uncovered_polygons +=
                            static_cast< index_t >( -count );
                    }
                }
                if( nb_unmatched_facets > 0 )
                {
                    problem( id.string(), " has ", nb_unmatched_facets,
                        " border faces of its cells that are no polygon of "
                        "its boundary surfaces" );
                }
                if( nb_uncovered_polygons > 0 )
                {
                    problem( id.string(), " has ", nb_uncovered_polygons,
                        " polygons of its boundary surfaces that are no "
                        "border face of its cells" );
                }
            }

            const BRep& model_;
            ModelValidationReport report_;
        };
    } // namespace

    std::string ModelValidationReport::string() const
    {
        std::string result;
        for( const auto& line : problems )
        {
            append( &result, line, "\n" );
        }
        return result;
    }

    ModelValidationReport validate_model( const BRep& model )
    {
        return Validator{ model }.run();
    }
} // namespace brevane
