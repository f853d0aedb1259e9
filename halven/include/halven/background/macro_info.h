#pragma once

#include <memory>

#include <absl/container/inlined_vector.h>

#include <tessark/basic/attribute.h>
#include <tessark/mesh/triangulated_surface.h>

#include <halven/background/mesh_records.h>

namespace brevane::internal
{
    // The model vertices a background vertex stands for.
    using MacroVertices = absl::InlinedVector< MeshVertex, 1 >;
    // The model polygons a background triangle overlaps.
    using MacroElements = absl::InlinedVector< MeshElement, 1 >;

    class MacroInfoBuilder;

    // Which model vertices each vertex of a background surface stands for,
    // and which model polygons each triangle overlaps. The lists are vertex
    // and polygon attributes of the surface ("halven_macro_vertices",
    // "halven_macro_elements", transferable, neither assignable nor
    // interpolable), so they follow the creation, deletion and compaction of
    // elements; operations that create elements from others (splits,
    // collapses) pass the lists on themselves. A list holds each record once.
    class MacroInfo
    {
    public:
        explicit MacroInfo( const TriangulatedSurface2D& surface );

        // Empty for a vertex never given a record; throws when the vertex
        // does not exist.
        [[nodiscard]] const MacroVertices& macro_vertices( index_t vertex ) const;
        // Empty for a triangle never given a record; throws when the
        // triangle does not exist.
        [[nodiscard]] const MacroElements& macro_elements(
            index_t triangle ) const;

    private:
        friend class MacroInfoBuilder;

        std::shared_ptr< VariableAttribute< MacroVertices > > vertices_;
        std::shared_ptr< VariableAttribute< MacroElements > > elements_;
    };

    // The writer of a MacroInfo.
    class MacroInfoBuilder
    {
    public:
        explicit MacroInfoBuilder( MacroInfo& info );

        // Adding a record the element already has changes nothing.
        void add_macro_vertex_info( const MeshVertex& record, index_t vertex );
        // Removing a record the element does not have changes nothing.
        void remove_macro_vertex_info( const MeshVertex& record, index_t vertex );
        void add_macro_element_info( const MeshElement& record, index_t triangle );
        void remove_macro_element_info(
            const MeshElement& record, index_t triangle );

    private:
        MacroInfo& info_;
    };
} // namespace brevane::internal
