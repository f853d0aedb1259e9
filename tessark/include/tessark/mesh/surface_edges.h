#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include <absl/container/flat_hash_map.h>
#include <absl/types/span.h>

#include <tessark/basic/attribute_manager.h>
#include <tessark/basic/common.h>

namespace brevane
{
    template < index_t D >
    class SurfaceMesh;

    // The unique edges of a surface: one per pair of vertices joined by at
    // least one polygon edge, whatever the number of polygons sharing it.
    // Edges are numbered in order of first appearance as polygons are
    // created; a hash map on the vertex pair finds them. The surface keeps
    // them up to date; edges no polygon uses any more (after polygon vertices
    // are changed) stay numbered until the next compaction of the surface.
    class SurfaceEdges
    {
    public:
        SurfaceEdges();
        ~SurfaceEdges();
        SurfaceEdges( SurfaceEdges&& other ) noexcept;
        SurfaceEdges& operator=( SurfaceEdges&& other ) noexcept;
        // Copies the transferable edge attributes.
        SurfaceEdges( const SurfaceEdges& other );
        SurfaceEdges& operator=( const SurfaceEdges& ) = delete;

        [[nodiscard]] index_t nb_edges() const
        {
            return static_cast< index_t >( edges_.size() );
        }
        // The two vertices, in the direction of the polygon edge that created
        // the edge.
        [[nodiscard]] const std::array< index_t, 2 >& edge_vertices(
            index_t edge ) const;
        // The edge joining the two vertices, in either order.
        [[nodiscard]] std::optional< index_t > edge_from_vertices(
            const std::array< index_t, 2 >& vertices ) const;

        [[nodiscard]] AttributeManager& edge_attribute_manager() const
        {
            return *attributes_;
        }

    private:
        template < index_t D >
        friend class SurfaceMesh;

        [[nodiscard]] static std::uint64_t key(
            const std::array< index_t, 2 >& vertices );
        index_t find_or_create_edge( const std::array< index_t, 2 >& vertices );
        // Makes room for nb_edges edges in all, so that creating them does
        // not rehash the look-up.
        void reserve( index_t nb_edges );
        // Returns the old-to-new edge mapping.
        std::vector< index_t > delete_edges(
            const std::vector< bool >& to_delete );
        void remap_vertices( absl::Span< const index_t > old2new );
        void rebuild_lookup();

        std::vector< std::array< index_t, 2 > > edges_;
        absl::flat_hash_map< std::uint64_t, index_t > lookup_;
        std::unique_ptr< AttributeManager > attributes_;
    };
} // namespace brevane
