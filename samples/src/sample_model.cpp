#include <samples/sample_model.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include <absl/container/flat_hash_map.h>

#include <tessark/basic/string_concatenation.h>

#include <tessark/geometry/predicates.h>
#include <tessark/model/structural_model_builder.h>

#include <samples/sample_ids.h>
#include <samples/strip_triangulation.h>

#include "sample_collections.h"
#include "sample_components.h"
#include "sample_geometry.h"
#include "sample_parameter_checks.h"
#include "sample_resolution.h"
#include "sample_section.h"
#include "section_face_triangulation.h"

namespace brevane
{
    namespace
    {
        // Lines along y are sampled a bit finer than the finest surface
        // they bound, so that no surface shares its rows with a line.
        constexpr double LINE_EDGE_RATIO{ 0.85 };
        constexpr double MAX_VERTICES{ 1e9 };

        // The plane in which every triangle of a surface must turn
        // counter-clockwise before the surface gets its final orientation:
        // the plan view for the topography, horizons and bottom, the (y, z)
        // plane for faults and x sides, the (x, z) plane for y sides.
        enum struct CheckPlane : std::uint8_t
        {
            xy,
            yz,
            xz
        };

        Point2D projected( const Point3D& point, CheckPlane plane )
        {
            switch( plane )
            {
            case CheckPlane::xy:
                return Point2D{ { point.value( 0 ), point.value( 1 ) } };
            case CheckPlane::yz:
                return Point2D{ { point.value( 1 ), point.value( 2 ) } };
            case CheckPlane::xz:
                break;
            }
            return Point2D{ { point.value( 0 ), point.value( 2 ) } };
        }

        // A surface mesh being made: the unique vertex of each of its
        // vertices and its triangles.
        struct SurfacePiece
        {
            index_t add_vertex( index_t unique )
            {
                uniques.push_back( unique );
                return static_cast< index_t >( uniques.size() - 1 );
            }

            std::vector< index_t > uniques;
            std::vector< std::array< index_t, 3 > > triangles;
        };

        // One column of a surface along y: its vertices and their y.
        struct SurfaceColumn
        {
            std::vector< index_t > vertices;
            std::vector< double > ys;
        };

        // A line of the model: its id and the unique vertex of each of its
        // vertices, in order.
        struct ModelLine
        {
            uuid id;
            std::vector< index_t > uniques;
        };

        // A corner of the model and the unique vertex of its point.
        struct ModelCorner
        {
            uuid id;
            index_t unique{ NO_ID };
        };

        class SampleModelAssembler
        {
        public:
            explicit SampleModelAssembler(
                const SampleModelParameters& parameters )
                : parameters_( parameters ),
                  id_key_( sample_id_key( parameters ) ),
                  edge_lengths_( surface_edge_lengths( parameters ) ),
                  geometry_( parameters ),
                  section_( build_section( parameters, edge_lengths_ ) ),
                  builder_( result_.model ), y_sides_{ 0.,
                      parameters.box.length_y }
            {
            }

            SampleModel build()
            {
                plan_samplings();
                build_corners();
                build_y_lines();
                build_side_lines();
                build_edge_surfaces();
                build_face_surfaces();
                build_blocks();
                add_sample_collections(
                    section_, components_, id_key_, result_ );
                bind_unique_vertices();
                return std::move( result_ );
            }

        private:
            const SectionEdge& edge( index_t id ) const
            {
                return section_.edges[id];
            }
            const SectionNode& node( index_t id ) const
            {
                return section_.nodes[id];
            }

            uuid id_of( std::string_view kind, std::string_view name ) const
            {
                return sample_uuid( id_key_, kind, name );
            }

            // The undeformed section point at parameter s of an edge.
            std::array< double, 2 > edge_point( index_t id, double s ) const
            {
                const auto& from = node( edge( id ).from );
                const auto& to = node( edge( id ).to );
                return { ( 1 - s ) * from.x + s * to.x,
                    ( 1 - s ) * from.z + s * to.z };
            }

            SampleDraw draw( RandomPurpose purpose, std::uint64_t object ) const
            {
                return { parameters_.seed, purpose, object,
                    parameters_.resolution.jitter };
            }

            // Edge columns and line samplings, and a bound on the size of
            // the model before anything is built.
            void plan_samplings()
            {
                const auto length_y = parameters_.box.length_y;
                std::vector< double > line_edge_length( section_.nodes.size(),
                    std::numeric_limits< double >::max() );
                double nb_vertices{ 0 };
                edge_columns_.resize( section_.edges.size() );
                edge_rows_.resize( section_.edges.size() );
                for( index_t id = 0; id < section_.edges.size(); id++ )
                {
                    const auto& current = edge( id );
                    const auto& from = node( current.from );
                    const auto& to = node( current.to );
                    const auto length =
                        std::hypot( to.x - from.x, to.z - from.z );
                    const auto nb_columns =
                        segment_count( length, current.edge_length );
                    edge_rows_[id] =
                        segment_count( length_y, current.edge_length );
                    edge_columns_[id] = jittered_samples( 0, 1, nb_columns,
                        draw( RandomPurpose::surface_columns, id ) );
                    nb_vertices +=
                        ( nb_columns + 1. ) * ( edge_rows_[id] + 1. );
                    for( const auto end : { current.from, current.to } )
                    {
                        line_edge_length[end] = std::min(
                            line_edge_length[end], current.edge_length );
                    }
                }
                for( const auto& face : section_.faces )
                {
                    const auto& top = edge( face.top_edge );
                    const auto width = node( top.to ).x - node( top.from ).x;
                    const auto thickness =
                        node( top.from ).z
                        - node( edge( face.bottom_edge ).from ).z;
                    const auto side = edge_lengths_.sides;
                    nb_vertices +=
                        2 * ( width / side + 2 ) * ( thickness / side + 2 );
                }
                TESSARK_EXCEPTION( nb_vertices < MAX_VERTICES,
                    "[build_sample_model] The resolution asks for about ",
                    nb_vertices, " vertices, more than the ", MAX_VERTICES,
                    " a sample model may have" );
                line_ys_.resize( section_.nodes.size() );
                for( index_t id = 0; id < section_.nodes.size(); id++ )
                {
                    const auto nb_segments = segment_count(
                        length_y, LINE_EDGE_RATIO * line_edge_length[id] );
                    line_ys_[id] = jittered_samples( 0, length_y, nb_segments,
                        draw( RandomPurpose::line_samples, id ) );
                }
            }

            // Unique vertices are numbered here and created all at once at
            // the end, with the bindings of every component vertex: the
            // identifier then never grows vertex by vertex.
            index_t add_unique_vertex( const Point3D& point )
            {
                unique_points_.push_back( point );
                return static_cast< index_t >( unique_points_.size() - 1 );
            }

            void bind(
                const ComponentID& component, std::vector< index_t > uniques )
            {
                bindings_.emplace_back( component, std::move( uniques ) );
            }

            void bind_unique_vertices()
            {
                builder_.create_unique_vertices(
                    static_cast< index_t >( unique_points_.size() ) );
                for( const auto& [component, uniques] : bindings_ )
                {
                    for( index_t vertex = 0; vertex < uniques.size(); vertex++ )
                    {
                        builder_.set_unique_vertex(
                            { component, vertex }, uniques[vertex] );
                    }
                }
                bindings_.clear();
            }

            void build_corners()
            {
                corners_.resize( section_.nodes.size() );
                for( index_t id = 0; id < section_.nodes.size(); id++ )
                {
                    for( index_t side = 0; side < 2; side++ )
                    {
                        const auto& current = node( id );
                        const auto point = geometry_.position(
                            current.x, y_sides_[side], current.z );
                        const auto unique = add_unique_vertex( point );
                        const auto name = concatenate(
                            current.name, side == 0 ? "_y_min" : "_y_max" );
                        const auto corner_id = add_point_corner(
                            builder_, id_of( "Corner", name ), name, point );
                        bind( result_.model.corner( corner_id ).component_id(),
                            { unique } );
                        corners_[id][side] = { corner_id, unique };
                    }
                }
            }

            std::vector< Point3D > points_of(
                absl::Span< const index_t > uniques ) const
            {
                std::vector< Point3D > points;
                points.reserve( uniques.size() );
                for( const auto unique : uniques )
                {
                    points.push_back( unique_points_[unique] );
                }
                return points;
            }

            ModelLine add_line(
                std::string_view name, std::vector< index_t > uniques )
            {
                ModelLine line{ add_polyline( builder_, id_of( "Line", name ),
                                    name, points_of( uniques ) ),
                    std::move( uniques ) };
                bind( result_.model.line( line.id ).component_id(),
                    line.uniques );
                return line;
            }

            void relate_line_ends( const ModelLine& line,
                const std::array< index_t, 2 >& ends, index_t first_side,
                index_t last_side )
            {
                const auto& model_line = result_.model.line( line.id );
                builder_.add_corner_line_boundary_relationship(
                    result_.model.corner( corners_[ends[0]][first_side].id ),
                    model_line );
                builder_.add_corner_line_boundary_relationship(
                    result_.model.corner( corners_[ends[1]][last_side].id ),
                    model_line );
            }

            // Each node becomes a line along y between its two corners.
            void build_y_lines()
            {
                y_lines_.reserve( section_.nodes.size() );
                for( index_t id = 0; id < section_.nodes.size(); id++ )
                {
                    const auto& current = node( id );
                    const auto& ys = line_ys_[id];
                    std::vector< index_t > uniques( ys.size() );
                    uniques.front() = corners_[id][0].unique;
                    uniques.back() = corners_[id][1].unique;
                    for( std::size_t sample = 1; sample + 1 < ys.size();
                         sample++ )
                    {
                        uniques[sample] = add_unique_vertex( geometry_.position(
                            current.x, ys[sample], current.z ) );
                    }
                    y_lines_.push_back(
                        add_line( concatenate( "line_", current.name ),
                            std::move( uniques ) ) );
                    relate_line_ends( y_lines_.back(), { id, id }, 0, 1 );
                }
            }

            // Each edge is drawn on both y sides, through the columns of its
            // surface.
            void build_side_lines()
            {
                side_lines_.resize( section_.edges.size() );
                for( index_t id = 0; id < section_.edges.size(); id++ )
                {
                    const auto& current = edge( id );
                    const auto& columns = edge_columns_[id];
                    for( index_t side = 0; side < 2; side++ )
                    {
                        std::vector< index_t > uniques( columns.size() );
                        uniques.front() = corners_[current.from][side].unique;
                        uniques.back() = corners_[current.to][side].unique;
                        for( std::size_t column = 1;
                             column + 1 < columns.size(); column++ )
                        {
                            const auto point =
                                edge_point( id, columns[column] );
                            uniques[column] =
                                add_unique_vertex( geometry_.position(
                                    point[0], y_sides_[side], point[1] ) );
                        }
                        side_lines_[id][side] =
                            add_line( concatenate( "line_", current.name,
                                          side == 0 ? "_y_min" : "_y_max" ),
                                std::move( uniques ) );
                        relate_line_ends( side_lines_[id][side],
                            { current.from, current.to }, side, side );
                    }
                }
            }

            // Checks that the triangles turn counter-clockwise in the check
            // plane, then creates the surface with the triangles reversed
            // when flip is set.
            uuid add_surface( std::string_view name, SurfacePiece piece,
                CheckPlane plane, bool flip )
            {
                for( std::size_t triangle = 0;
                     triangle < piece.triangles.size(); triangle++ )
                {
                    const auto& vertices = piece.triangles[triangle];
                    const auto side = orientation_2d(
                        projected(
                            unique_points_[piece.uniques[vertices[0]]], plane ),
                        projected(
                            unique_points_[piece.uniques[vertices[1]]], plane ),
                        projected( unique_points_[piece.uniques[vertices[2]]],
                            plane ) );
                    TESSARK_EXCEPTION( side == SIDE::positive,
                        "[build_sample_model] Triangle ", triangle,
                        " of surface ", name,
                        " folds over: the relief is too strong for the "
                        "resolution (refine the meshes or soften the "
                        "topography)" );
                }
                const auto id = add_triangulated_surface( builder_,
                    id_of( "Surface", name ), name, points_of( piece.uniques ),
                    piece.triangles, flip );
                bind( result_.model.surface( id ).component_id(),
                    std::move( piece.uniques ) );
                return id;
            }

            SurfaceColumn line_column(
                SurfacePiece& piece, index_t node_id ) const
            {
                SurfaceColumn column;
                column.ys = line_ys_[node_id];
                for( const auto unique : y_lines_[node_id].uniques )
                {
                    column.vertices.push_back( piece.add_vertex( unique ) );
                }
                return column;
            }

            SurfaceColumn inner_column(
                SurfacePiece& piece, index_t edge_id, index_t column_index )
            {
                const auto s = edge_columns_[edge_id][column_index];
                const auto point = edge_point( edge_id, s );
                SurfaceColumn column;
                column.ys = jittered_samples( 0, parameters_.box.length_y,
                    edge_rows_[edge_id],
                    draw( RandomPurpose::surface_rows,
                        ( std::uint64_t{ edge_id } << 32 ) | column_index ) );
                const auto last = column.ys.size() - 1;
                column.vertices.push_back( piece.add_vertex(
                    side_lines_[edge_id][0].uniques[column_index] ) );
                for( std::size_t row = 1; row < last; row++ )
                {
                    column.vertices.push_back(
                        piece.add_vertex( add_unique_vertex( geometry_.position(
                            point[0], column.ys[row], point[1] ) ) ) );
                }
                column.vertices.push_back( piece.add_vertex(
                    side_lines_[edge_id][1].uniques[column_index] ) );
                return column;
            }

            static CheckPlane check_plane( SectionEdgeKind kind )
            {
                switch( kind )
                {
                case SectionEdgeKind::top:
                case SectionEdgeKind::horizon:
                case SectionEdgeKind::bottom:
                    return CheckPlane::xy;
                case SectionEdgeKind::fault:
                case SectionEdgeKind::side_x_min:
                case SectionEdgeKind::side_x_max:
                    break;
                }
                return CheckPlane::yz;
            }

            // Built counter-clockwise in (s, y), a surface faces up for
            // horizontal edges and towards x max for the others; the bottom
            // and the x min side are turned to face out of the box.
            static bool is_flipped( SectionEdgeKind kind )
            {
                return kind == SectionEdgeKind::bottom
                       || kind == SectionEdgeKind::side_x_min;
            }

            // The surface of an edge swept along y: columns at the edge's
            // samples, the first and last ones the lines of its nodes, and a
            // strip between each two neighbouring columns.
            void build_edge_surfaces()
            {
                components_.edge_surfaces.reserve( section_.edges.size() );
                for( index_t id = 0; id < section_.edges.size(); id++ )
                {
                    const auto& current = edge( id );
                    const auto last =
                        static_cast< index_t >( edge_columns_[id].size() - 1 );
                    SurfacePiece piece;
                    auto previous = line_column( piece, current.from );
                    for( index_t column = 1; column <= last; column++ )
                    {
                        auto next = column == last
                                        ? line_column( piece, current.to )
                                        : inner_column( piece, id, column );
                        append_strip_triangles(
                            { previous.vertices, previous.ys },
                            { next.vertices, next.ys }, piece.triangles );
                        previous = std::move( next );
                    }
                    components_.edge_surfaces.push_back(
                        add_surface( current.name, std::move( piece ),
                            check_plane( current.kind ),
                            is_flipped( current.kind ) ) );
                    const auto& surface = result_.model.surface(
                        components_.edge_surfaces.back() );
                    for( const auto end : { current.from, current.to } )
                    {
                        builder_.add_line_surface_boundary_relationship(
                            result_.model.line( y_lines_[end].id ), surface );
                    }
                    for( const auto& line : side_lines_[id] )
                    {
                        builder_.add_line_surface_boundary_relationship(
                            result_.model.line( line.id ), surface );
                    }
                }
            }

            // The vertices of a face side drawn on a y side, with their
            // positions along it: x along the top and bottom, z from the
            // bottom up along the left and right sides.
            FaceSide face_side( SurfacePiece& piece,
                absl::flat_hash_map< index_t, index_t >& locals,
                absl::Span< const index_t > edges, index_t side,
                bool vertical ) const
            {
                FaceSide result;
                for( const auto id : edges )
                {
                    const auto& columns = edge_columns_[id];
                    const auto& uniques = side_lines_[id][side].uniques;
                    for( std::size_t column = result.vertices.empty() ? 0 : 1;
                         column < columns.size(); column++ )
                    {
                        const auto [local, inserted] = locals.try_emplace(
                            uniques[column],
                            static_cast< index_t >( piece.uniques.size() ) );
                        if( inserted )
                        {
                            piece.add_vertex( uniques[column] );
                        }
                        result.vertices.push_back( local->second );
                        const auto point =
                            column + 1 == columns.size()
                                ? std::array{ node( edge( id ).to ).x,
                                      node( edge( id ).to ).z }
                                : edge_point( id, columns[column] );
                        result.positions.push_back(
                            vertical ? point[1] : point[0] );
                    }
                }
                if( vertical )
                {
                    std::reverse(
                        result.vertices.begin(), result.vertices.end() );
                    std::reverse(
                        result.positions.begin(), result.positions.end() );
                }
                return result;
            }

            void build_face_surfaces()
            {
                components_.face_surfaces.resize( section_.faces.size() );
                for( index_t id = 0; id < section_.faces.size(); id++ )
                {
                    const auto& face = section_.faces[id];
                    for( index_t side = 0; side < 2; side++ )
                    {
                        SurfacePiece piece;
                        absl::flat_hash_map< index_t, index_t > locals;
                        SectionFaceBoundary boundary;
                        const auto corner = [this]( index_t node_id )
                        {
                            return std::array{ node( node_id ).x,
                                node( node_id ).z };
                        };
                        boundary.top_left =
                            corner( edge( face.top_edge ).from );
                        boundary.top_right = corner( edge( face.top_edge ).to );
                        boundary.bottom_left =
                            corner( edge( face.bottom_edge ).from );
                        boundary.bottom_right =
                            corner( edge( face.bottom_edge ).to );
                        boundary.top = face_side(
                            piece, locals, { &face.top_edge, 1 }, side, false );
                        boundary.bottom = face_side( piece, locals,
                            { &face.bottom_edge, 1 }, side, false );
                        boundary.left = face_side(
                            piece, locals, face.left_edges, side, true );
                        boundary.right = face_side(
                            piece, locals, face.right_edges, side, true );
                        const auto first_inner =
                            static_cast< index_t >( piece.uniques.size() );
                        auto mesh = triangulate_section_face( boundary,
                            first_inner, edge_lengths_.sides,
                            draw( RandomPurpose::face_rows, id ),
                            draw( RandomPurpose::face_columns, id ) );
                        for( const auto& point : mesh.inner_points )
                        {
                            piece.add_vertex(
                                add_unique_vertex( geometry_.position(
                                    point[0], y_sides_[side], point[1] ) ) );
                        }
                        piece.triangles = std::move( mesh.triangles );
                        const auto name =
                            concatenate( "side_y_", side == 0 ? "min" : "max",
                                "_block_", face.block, "_layer_", face.layer );
                        // Counter-clockwise in (x, z) faces y min: out of the
                        // box on that side.
                        components_.face_surfaces[id][side] = add_surface( name,
                            std::move( piece ), CheckPlane::xz, side == 1 );
                        relate_face_lines(
                            face, components_.face_surfaces[id][side], side );
                    }
                }
            }

            void relate_face_lines(
                const SectionFace& face, const uuid& surface_id, index_t side )
            {
                const auto& surface = result_.model.surface( surface_id );
                const auto relate = [&]( index_t edge_id )
                {
                    builder_.add_line_surface_boundary_relationship(
                        result_.model.line( side_lines_[edge_id][side].id ),
                        surface );
                };
                relate( face.top_edge );
                for( const auto id : face.right_edges )
                {
                    relate( id );
                }
                relate( face.bottom_edge );
                for( const auto id : face.left_edges )
                {
                    relate( id );
                }
            }

            void build_blocks()
            {
                components_.blocks.reserve( section_.faces.size() );
                for( index_t id = 0; id < section_.faces.size(); id++ )
                {
                    const auto& face = section_.faces[id];
                    const auto name = concatenate(
                        "block_", face.block, "_layer_", face.layer );
                    const auto& block_id =
                        builder_.add_block( id_of( "Block", name ) );
                    builder_.set_name( block_id, name );
                    components_.blocks.push_back( block_id );
                    const auto& block = result_.model.block( block_id );
                    const auto relate = [&]( const uuid& surface )
                    {
                        builder_.add_surface_block_boundary_relationship(
                            result_.model.surface( surface ), block );
                    };
                    relate( components_.edge_surfaces[face.top_edge] );
                    for( const auto edge_id : face.right_edges )
                    {
                        relate( components_.edge_surfaces[edge_id] );
                    }
                    relate( components_.edge_surfaces[face.bottom_edge] );
                    for( const auto edge_id : face.left_edges )
                    {
                        relate( components_.edge_surfaces[edge_id] );
                    }
                    relate( components_.face_surfaces[id][0] );
                    relate( components_.face_surfaces[id][1] );
                }
            }

            const SampleModelParameters& parameters_;
            // Every uuid of the model derives from it.
            std::uint64_t id_key_;
            SurfaceEdgeLengths edge_lengths_;
            SampleGeometry geometry_;
            Section section_;
            SampleModel result_;
            StructuralModelBuilder builder_;
            std::array< double, 2 > y_sides_;
            std::vector< Point3D > unique_points_;
            std::vector< std::pair< ComponentID, std::vector< index_t > > >
                bindings_;
            std::vector< std::vector< double > > edge_columns_;
            std::vector< index_t > edge_rows_;
            std::vector< std::vector< double > > line_ys_;
            std::vector< std::array< ModelCorner, 2 > > corners_;
            std::vector< ModelLine > y_lines_;
            std::vector< std::array< ModelLine, 2 > > side_lines_;
            SectionComponents components_;
        };
    } // namespace

    SampleModel build_sample_model( const SampleModelParameters& parameters )
    {
        check_sample_parameters( parameters );
        return SampleModelAssembler{ parameters }.build();
    }
} // namespace brevane
