#include <halven/background/macro_edges.h>

#include <algorithm>
#include <array>
#include <utility>

#include "background/record_lists.h"

namespace brevane::internal
{
    namespace
    {
        constexpr AttributeProperties RECORD_PROPERTIES{ false, false, true };
    } // namespace

    MacroEdges::MacroEdges( const TriangulatedSurface2D& surface )
        : surface_( &surface ),
          edges_( surface.edges()
                      .edge_attribute_manager()
                      .find_or_create_attribute< VariableAttribute,
                          MacroEdgeRecords >( "halven_macro_edges",
                          MacroEdgeRecords{}, RECORD_PROPERTIES ) )
    {
    }

    const MacroEdgeRecords& MacroEdges::macro_edges( index_t edge ) const
    {
        TESSARK_EXCEPTION( edge < edges_->nb_elements(),
            "[MacroEdges::macro_edges] Edge ", edge, " does not exist (",
            edges_->nb_elements(), " edges)" );
        return edges_->value( edge );
    }

    IncidentMacroEdges MacroEdges::incident_macro_edges( index_t vertex ) const
    {
        // The neighbours in the order of vertices_around_vertex (around the
        // fan, for each corner the next vertex then the previous one), each
        // edge read from its polygon corner rather than looked up by its
        // vertex pair.
        IncidentMacroEdges result;
        absl::InlinedVector< index_t, 10 > neighbours;
        for( const auto& corner : surface_->polygons_around_vertex( vertex ) )
        {
            const auto next = surface_->next_polygon_vertex( corner );
            const auto previous = surface_->previous_polygon_vertex( corner );
            const std::array< std::pair< index_t, PolygonEdge >, 2 > sides{
                std::pair{ surface_->polygon_vertex( next ),
                    PolygonEdge{ corner.polygon_id, corner.vertex_id } },
                std::pair{ surface_->polygon_vertex( previous ),
                    PolygonEdge{ previous.polygon_id, previous.vertex_id } }
            };
            for( const auto& [neighbour, polygon_edge] : sides )
            {
                if( std::find( neighbours.begin(), neighbours.end(), neighbour )
                    != neighbours.end() )
                {
                    continue;
                }
                neighbours.push_back( neighbour );
                const auto& records =
                    edges_->value( surface_->polygon_edge( polygon_edge ) );
                result.insert( result.end(), records.begin(), records.end() );
            }
        }
        return result;
    }

    MacroEdgesBuilder::MacroEdgesBuilder( MacroEdges& edges ) : edges_( edges )
    {
    }

    void MacroEdgesBuilder::add_macro_edge_info(
        const MeshEdge& record, absl::Span< const index_t > edges )
    {
        for( const auto edge : edges )
        {
            TESSARK_EXCEPTION( edge < edges_.edges_->nb_elements(),
                "[MacroEdgesBuilder::add_macro_edge_info] Edge ", edge,
                " does not exist (", edges_.edges_->nb_elements(), " edges)" );
        }
        for( const auto edge : edges )
        {
            edges_.edges_->modify_value(
                edge, [&record]( MacroEdgeRecords& list ) {
                    detail::add_record( list, record );
                } );
        }
    }

    void MacroEdgesBuilder::remove_macro_edge_info(
        const MeshEdge& record, index_t edge )
    {
        TESSARK_EXCEPTION( edge < edges_.edges_->nb_elements(),
            "[MacroEdgesBuilder::remove_macro_edge_info] Edge ", edge,
            " does not exist (", edges_.edges_->nb_elements(), " edges)" );
        edges_.edges_->modify_value( edge, [&record]( MacroEdgeRecords& list ) {
            detail::remove_record( list, record );
        } );
    }
} // namespace brevane::internal
