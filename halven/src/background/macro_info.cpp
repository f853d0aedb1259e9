#include <halven/background/macro_info.h>

#include "background/record_lists.h"

namespace brevane::internal
{
    namespace
    {
        constexpr AttributeProperties RECORD_PROPERTIES{ false, false, true };
    } // namespace

    MacroInfo::MacroInfo( const TriangulatedSurface2D& surface )
        : vertices_( surface.vertex_attribute_manager()
                         .find_or_create_attribute< VariableAttribute,
                             MacroVertices >( "halven_macro_vertices",
                             MacroVertices{}, RECORD_PROPERTIES ) ),
          elements_( surface.polygon_attribute_manager()
                         .find_or_create_attribute< VariableAttribute,
                             MacroElements >( "halven_macro_elements",
                             MacroElements{}, RECORD_PROPERTIES ) )
    {
    }

    const MacroVertices& MacroInfo::macro_vertices( index_t vertex ) const
    {
        TESSARK_EXCEPTION( vertex < vertices_->nb_elements(),
            "[MacroInfo::macro_vertices] Vertex ", vertex, " does not exist (",
            vertices_->nb_elements(), " vertices)" );
        return vertices_->value( vertex );
    }

    const MacroElements& MacroInfo::macro_elements( index_t triangle ) const
    {
        TESSARK_EXCEPTION( triangle < elements_->nb_elements(),
            "[MacroInfo::macro_elements] Triangle ", triangle,
            " does not exist (", elements_->nb_elements(), " triangles)" );
        return elements_->value( triangle );
    }

    MacroInfoBuilder::MacroInfoBuilder( MacroInfo& info ) : info_( info ) {}

    void MacroInfoBuilder::add_macro_vertex_info(
        const MeshVertex& record, index_t vertex )
    {
        TESSARK_EXCEPTION( vertex < info_.vertices_->nb_elements(),
            "[MacroInfoBuilder::add_macro_vertex_info] Vertex ", vertex,
            " does not exist (", info_.vertices_->nb_elements(), " vertices)" );
        info_.vertices_->modify_value( vertex, [&record]( MacroVertices& list ) {
            detail::add_record( list, record );
        } );
    }

    void MacroInfoBuilder::remove_macro_vertex_info(
        const MeshVertex& record, index_t vertex )
    {
        TESSARK_EXCEPTION( vertex < info_.vertices_->nb_elements(),
            "[MacroInfoBuilder::remove_macro_vertex_info] Vertex ", vertex,
            " does not exist (", info_.vertices_->nb_elements(), " vertices)" );
        info_.vertices_->modify_value( vertex, [&record]( MacroVertices& list ) {
            detail::remove_record( list, record );
        } );
    }

    void MacroInfoBuilder::add_macro_element_info(
        const MeshElement& record, index_t triangle )
    {
        TESSARK_EXCEPTION( triangle < info_.elements_->nb_elements(),
            "[MacroInfoBuilder::add_macro_element_info] Triangle ", triangle,
            " does not exist (", info_.elements_->nb_elements(), " triangles)" );
        info_.elements_->modify_value(
            triangle, [&record]( MacroElements& list ) {
                detail::add_record( list, record );
            } );
    }

    void MacroInfoBuilder::remove_macro_element_info(
        const MeshElement& record, index_t triangle )
    {
        TESSARK_EXCEPTION( triangle < info_.elements_->nb_elements(),
            "[MacroInfoBuilder::remove_macro_element_info] Triangle ", triangle,
            " does not exist (", info_.elements_->nb_elements(), " triangles)" );
        info_.elements_->modify_value(
            triangle, [&record]( MacroElements& list ) {
                detail::remove_record( list, record );
            } );
    }
} // namespace brevane::internal
