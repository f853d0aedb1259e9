#include <halven/conversion/model_builder_from_unique_vertices.h>

#include <algorithm>
#include <cstdint>

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>
#include <absl/container/inlined_vector.h>

#include <tessark/mesh/edged_curve_builder.h>
#include <tessark/mesh/point_set_builder.h>
#include <tessark/model/brep_builder.h>
#include <tessark/model/structural_model.h>

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

        // One surface seeing a unique edge: on its border or inside.
        struct SurfaceSide
        {
            index_t surface;
            bool border;

            bool operator==( const SurfaceSide& other ) const = default;
        };
        using Signature = absl::InlinedVector< SurfaceSide, 2 >;

        struct LineEdge
        {
            UniqueEdge edge;
            Signature signature;
        };

        struct Chain
        {
            std::vector< index_t > vertices; // unique vertices, in order
            const Signature* signature;
            bool closed;
        };
    } // namespace

    template < typename Model >
    class ModelBuilderFromUniqueVertices< Model >::Impl
    {
    public:
        Impl( Model& model, ModelBuildTopologyParameters parameters )
            : model_( model ), builder_( model ), parameters_( parameters )
        {
        }

        BRepMappings update_model()
        {
            collect_surfaces();
            collect_line_edges();
            find_corners();
            build_chains();
            remove_unmatched_components();
            return create_components();
        }

    private:
        // The unique vertices bound to vertices of two surfaces or more: an
        // inner edge of a surface can be an edge of another surface only
        // when both its ends are such vertices.
        std::vector< bool > vertices_shared_by_surfaces() const
        {
            std::vector< std::uint8_t > nb_surfaces(
                model_.nb_unique_vertices(), 0 );
            for( const auto& surface : model_.surfaces() )
            {
                for( const auto unique :
                    model_.vertex_identifier().component_unique_vertices(
                        surface.id() ) )
                {
                    if( unique != NO_ID && nb_surfaces[unique] < 2 )
                    {
                        nb_surfaces[unique]++;
                    }
                }
            }
            std::vector< bool > shared( nb_surfaces.size() );
            for( index_t unique = 0; unique < nb_surfaces.size(); unique++ )
            {
                shared[unique] = nb_surfaces[unique] >= 2;
            }
            return shared;
        }

        // Phase 1: every surface edge that may belong to a line, as a
        // unique-vertex pair, with the surfaces that see it. Inner edges of
        // one surface alone are left out from the start: they are most of
        // the edges and never belong to a line.
        void collect_surfaces()
        {
            const auto shared = vertices_shared_by_surfaces();
            absl::flat_hash_map< UniqueEdge, index_t > edge_index;
            for( const auto& surface : model_.surfaces() )
            {
                const auto ordinal = static_cast< index_t >( surfaces_.size() );
                surfaces_.push_back( &surface );
                const auto& mesh = surface.mesh();
                const auto id = surface.component_id();
                const auto uniques =
                    model_.vertex_identifier().component_unique_vertices(
                        id.id() );
                const auto unique_of = [&uniques]( index_t vertex ) {
                    return vertex < uniques.size() ? uniques[vertex] : NO_ID;
                };
                for( index_t polygon = 0; polygon < mesh.nb_polygons();
                     polygon++ )
                {
                    for( local_index_t local = 0;
                         local < mesh.nb_polygon_vertices( polygon ); local++ )
                    {
                        const PolygonEdge polygon_edge{ polygon, local };
                        const auto ends = mesh.polygon_edge_vertices( polygon_edge );
                        const auto first = unique_of( ends[0] );
                        const auto second = unique_of( ends[1] );
                        TESSARK_EXCEPTION( first != NO_ID && second != NO_ID,
                            "[ModelBuilderFromUniqueVertices] ", id.string(),
                            " polygon ", polygon,
                            " has a vertex bound to no unique vertex" );
                        const auto border = mesh.is_edge_on_border( polygon_edge );
                        if( !border && !( shared[first] && shared[second] ) )
                        {
                            continue;
                        }
                        const auto key = sorted( first, second );
                        const auto inserted = edge_index.try_emplace(
                            key, static_cast< index_t >( edges_.size() ) );
                        if( inserted.second )
                        {
                            edges_.push_back( { key, {} } );
                        }
                        auto& signature = edges_[inserted.first->second].signature;
                        const auto same = std::find_if( signature.begin(),
                            signature.end(), [ordinal]( const SurfaceSide& side ) {
                                return side.surface == ordinal;
                            } );
                        if( same == signature.end() )
                        {
                            signature.push_back( { ordinal, border } );
                        }
                        else
                        {
                            same->border = same->border && border;
                        }
                    }
                }
            }
        }

        // Phase 2: the edges that belong to lines, and their incidence at
        // each unique vertex.
        void collect_line_edges()
        {
            for( index_t edge = 0; edge < edges_.size(); edge++ )
            {
                const auto& signature = edges_[edge].signature;
                if( signature.size() == 1 && !signature.front().border )
                {
                    continue;
                }
                line_edges_.push_back( edge );
                vertex_line_edges_[edges_[edge].edge.first].push_back( edge );
                vertex_line_edges_[edges_[edge].edge.second].push_back( edge );
            }
        }

        // Phase 3: unique vertices where chains are cut.
        void find_corners()
        {
            if( parameters_.keep_matching_components )
            {
                for( const auto& corner : model_.corners() )
                {
                    const auto unique =
                        model_.unique_vertex( { corner.component_id(), 0 } );
                    if( unique != NO_ID )
                    {
                        forced_corners_.insert( unique );
                    }
                }
            }
            for( const auto& [vertex, incident] : vertex_line_edges_ )
            {
                if( incident.size() != 2
                    || !( edges_[incident[0]].signature
                          == edges_[incident[1]].signature )
                    || forced_corners_.contains( vertex ) )
                {
                    corners_.insert( vertex );
                }
            }
        }

        index_t other_end( index_t edge, index_t vertex ) const
        {
            const auto& ends = edges_[edge].edge;
            return ends.first == vertex ? ends.second : ends.first;
        }

        index_t next_edge( index_t edge, index_t vertex ) const
        {
            const auto& incident = vertex_line_edges_.at( vertex );
            return incident[0] == edge ? incident[1] : incident[0];
        }

        // Walks from `start` through `first_edge` until a corner, or until
        // back at `start` for a closed chain.
        Chain walk( index_t start, index_t first_edge )
        {
            Chain chain{ { start }, &edges_[first_edge].signature, false };
            auto edge = first_edge;
            auto vertex = start;
            const auto guard = line_edges_.size() + 1;
            for( std::size_t step = 0; step < guard; step++ )
            {
                visited_.insert( edge );
                vertex = other_end( edge, vertex );
                chain.vertices.push_back( vertex );
                if( vertex == start )
                {
                    chain.closed = true;
                    return chain;
                }
                if( corners_.contains( vertex ) )
                {
                    return chain;
                }
                edge = next_edge( edge, vertex );
            }
            throw TessarkDataException{
                "[ModelBuilderFromUniqueVertices] A chain of line edges from "
                "unique vertex ",
                start, " does not end" };
        }

        // Phase 4: chains from corners first, then the closed loops.
        void build_chains()
        {
            for( const auto edge : line_edges_ )
            {
                if( visited_.contains( edge ) )
                {
                    continue;
                }
                const auto& ends = edges_[edge].edge;
                if( corners_.contains( ends.first ) )
                {
                    chains_.push_back( walk( ends.first, edge ) );
                }
                else if( corners_.contains( ends.second ) )
                {
                    chains_.push_back( walk( ends.second, edge ) );
                }
            }
            for( const auto edge : line_edges_ )
            {
                if( !visited_.contains( edge ) )
                {
                    chains_.push_back( walk( edges_[edge].edge.first, edge ) );
                }
            }
        }

        static std::vector< UniqueEdge > chain_edges( const Chain& chain )
        {
            std::vector< UniqueEdge > result;
            for( std::size_t vertex = 0; vertex + 1 < chain.vertices.size();
                 vertex++ )
            {
                result.push_back(
                    sorted( chain.vertices[vertex], chain.vertices[vertex + 1] ) );
            }
            std::sort( result.begin(), result.end() );
            return result;
        }

        std::vector< UniqueEdge > line_edges_of( const Line< 3 >& line ) const
        {
            std::vector< UniqueEdge > result;
            const auto& mesh = line.mesh();
            for( index_t edge = 0; edge < mesh.nb_edges(); edge++ )
            {
                const auto& ends = mesh.edge_vertices( edge );
                result.push_back( sorted(
                    model_.unique_vertex( { line.component_id(), ends[0] } ),
                    model_.unique_vertex( { line.component_id(), ends[1] } ) ) );
            }
            std::sort( result.begin(), result.end() );
            return result;
        }

        // Phase 5: existing lines and corners that are not kept go.
        void remove_unmatched_components()
        {
            absl::flat_hash_map< std::vector< UniqueEdge >, std::size_t >
                chain_of_edges;
            if( parameters_.keep_matching_components )
            {
                for( std::size_t chain = 0; chain < chains_.size(); chain++ )
                {
                    chain_of_edges.emplace( chain_edges( chains_[chain] ), chain );
                }
            }
            std::vector< const Line< 3 >* > removed_lines;
            for( const auto& line : model_.lines() )
            {
                const auto found = chain_of_edges.find( line_edges_of( line ) );
                if( found == chain_of_edges.end() )
                {
                    removed_lines.push_back( &line );
                }
                else
                {
                    kept_lines_.emplace( found->second, line.id() );
                }
            }
            for( const auto* line : removed_lines )
            {
                builder_.remove_line( *line );
            }
            std::vector< const Corner< 3 >* > removed_corners;
            for( const auto& corner : model_.corners() )
            {
                const auto unique =
                    model_.unique_vertex( { corner.component_id(), 0 } );
                if( parameters_.keep_matching_components
                    && corners_.contains( unique )
                    && !kept_corners_.contains( unique ) )
                {
                    kept_corners_.emplace( unique, corner.id() );
                }
                else
                {
                    removed_corners.push_back( &corner );
                }
            }
            for( const auto* corner : removed_corners )
            {
                builder_.remove_corner( *corner );
            }
        }

        // Every unique vertex met here has a surface vertex: chains are made
        // of surface edges.
        const Point3D& point_of( index_t unique ) const
        {
            for( const auto& vertex : model_.component_mesh_vertices( unique ) )
            {
                if( vertex.component_id.type() == component_types::surface() )
                {
                    return model_.surface( vertex.component_id.id() )
                        .mesh()
                        .point( vertex.vertex );
                }
            }
            throw TessarkDataException{ "[ModelBuilderFromUniqueVertices] "
                                        "Unique vertex ",
                unique, " has no surface vertex" };
        }

        const uuid& corner_at( index_t unique, BRepMappings& mappings )
        {
            const auto found = kept_corners_.find( unique );
            if( found != kept_corners_.end() )
            {
                return found->second;
            }
            const auto& id = builder_.add_corner();
            builder_.corner_mesh_builder( id )->create_point( point_of( unique ) );
            const auto& corner = model_.corner( id );
            builder_.set_unique_vertex( { corner.component_id(), 0 }, unique );
            for( const auto& vertex : model_.component_mesh_vertices( unique ) )
            {
                if( vertex.component_id.type() != component_types::surface() )
                {
                    continue;
                }
                const auto& surface = model_.surface( vertex.component_id.id() );
                if( !surface.mesh().is_vertex_on_border( vertex.vertex ) )
                {
                    builder_.add_corner_surface_internal_relationship(
                        corner, surface );
                }
            }
            mappings.created_corners.push_back( id );
            return kept_corners_.emplace( unique, id ).first->second;
        }

        const uuid& create_line( const Chain& chain, BRepMappings& mappings )
        {
            const auto& id = builder_.add_line();
            auto mesh = builder_.line_mesh_builder( id );
            const auto nb_vertices = chain.closed ? chain.vertices.size() - 1
                                                  : chain.vertices.size();
            const auto component = model_.line( id ).component_id();
            for( std::size_t vertex = 0; vertex < nb_vertices; vertex++ )
            {
                const auto unique = chain.vertices[vertex];
                const auto created = mesh->create_point( point_of( unique ) );
                builder_.set_unique_vertex( { component, created }, unique );
            }
            for( std::size_t edge = 0; edge + 1 < chain.vertices.size(); edge++ )
            {
                mesh->create_edge( static_cast< index_t >( edge ),
                    static_cast< index_t >( ( edge + 1 ) % nb_vertices ) );
            }
            const auto& line = model_.line( id );
            for( const auto& side : *chain.signature )
            {
                if( side.border )
                {
                    builder_.add_line_surface_boundary_relationship(
                        line, *surfaces_[side.surface] );
                }
                else
                {
                    builder_.add_line_surface_internal_relationship(
                        line, *surfaces_[side.surface] );
                }
            }
            mappings.created_lines.push_back( id );
            return id;
        }

        // Phase 6: the lines and corners, with their relations.
        BRepMappings create_components()
        {
            BRepMappings mappings;
            for( std::size_t index = 0; index < chains_.size(); index++ )
            {
                const auto& chain = chains_[index];
                const auto kept = kept_lines_.find( index );
                const auto& line_id = kept != kept_lines_.end()
                                          ? kept->second
                                          : create_line( chain, mappings );
                const auto& line = model_.line( line_id );
                for( const auto end :
                    { chain.vertices.front(), chain.vertices.back() } )
                {
                    if( corners_.contains( end ) )
                    {
                        builder_.add_corner_line_boundary_relationship(
                            model_.corner( corner_at( end, mappings ) ), line );
                    }
                }
            }
            return mappings;
        }

        Model& model_;
        BRepBuilder builder_;
        ModelBuildTopologyParameters parameters_;
        std::vector< const Surface< 3 >* > surfaces_;
        std::vector< LineEdge > edges_;
        std::vector< index_t > line_edges_;
        absl::flat_hash_map< index_t, absl::InlinedVector< index_t, 2 > >
            vertex_line_edges_;
        absl::flat_hash_set< index_t > forced_corners_;
        absl::flat_hash_set< index_t > corners_;
        absl::flat_hash_set< index_t > visited_;
        std::vector< Chain > chains_;
        absl::flat_hash_map< std::size_t, uuid > kept_lines_;
        absl::flat_hash_map< index_t, uuid > kept_corners_;
    };

    template < typename Model >
    ModelBuilderFromUniqueVertices< Model >::ModelBuilderFromUniqueVertices(
        Model& model, ModelBuildTopologyParameters parameters )
        : impl_( std::make_unique< Impl >( model, parameters ) )
    {
    }

    template < typename Model >
    ModelBuilderFromUniqueVertices< Model >::~ModelBuilderFromUniqueVertices() =
        default;

    template < typename Model >
    BRepMappings ModelBuilderFromUniqueVertices< Model >::update_model()
    {
        return impl_->update_model();
    }

    template class ModelBuilderFromUniqueVertices< BRep >;
    template class ModelBuilderFromUniqueVertices< StructuralModel >;
} // namespace brevane
