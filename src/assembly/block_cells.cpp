#include "assembly/block_cells.h"

#include <algorithm>
#include <array>
#include <exception>
#include <limits>
#include <mutex>
#include <optional>
#include <vector>

#include <absl/container/flat_hash_map.h>

#include <tbb/blocked_range.h>
#include <tbb/enumerable_thread_specific.h>
#include <tbb/parallel_for.h>
#include <tbb/parallel_invoke.h>

#include <tessark/geometry/predicates.h>
#include <tessark/mesh/hybrid_solid_builder.h>

namespace brevane::internal
{
    namespace
    {
        // A rebuilt surface as the columns read it, gathered once so that
        // the columns, read in parallel, only look things up by index.
        struct SurfaceRecord
        {
            uuid id;
            const Surface< 3 >* surface;
            const SurfaceMesh< 3 >* mesh;
            // Mesh vertex to unique vertex.
            absl::Span< const index_t > unique_vertices;
            // The first slice (from the top) whose collection lists it.
            index_t slice;
            // Indices in the model's block order.
            std::vector< index_t > blocks;
        };

        // Where one rebuilt surface crosses one pillar of a column: its
        // unique vertex and its entry in the pillar nodes.
        struct ColumnNode
        {
            index_t unique_vertex;
            index_t pillar_node;
        };

        // A surface vertex on a pillar: the surface's index among the rebuilt
        // ones (NO_ID for another surface), its vertex, its unique vertex and
        // its height, copied here so that the columns read them in the
        // pillar's row rather than in each surface.
        struct PillarNode
        {
            index_t surface;
            index_t vertex;
            index_t unique_vertex;
            double height;
        };

        // A rebuilt surface over a plan-view triangle, with its nodes on the
        // triangle's three pillars (in counter-clockwise plan order).
        struct ColumnSurface
        {
            index_t surface;
            std::array< ColumnNode, 3 > nodes;
            double height_sum;
        };

        // One cell to create: its block, its kind and its nodes in the
        // kind's local order.
        struct CellRecord
        {
            index_t block;
            PolyhedronType type;
            std::array< ColumnNode, 6 > nodes;
        };

        using Layer = absl::Span< const ColumnSurface >;

        // The cells of a run of plan-view triangles, grouped by block (in
        // triangle order within each block): cells[block_offsets[b] ..
        // block_offsets[b + 1]) are those of block b.
        struct ChunkCells
        {
            std::vector< CellRecord > cells;
            std::vector< index_t > block_offsets;
        };

        // What one thread reuses from column to column.
        struct ColumnBuffers
        {
            // The last "surface_ids" list read and its rebuilt surfaces,
            // each once: neighbouring triangles mostly share their list.
            std::vector< uuid > surface_ids;
            std::vector< index_t > surfaces;
            std::vector< ColumnSurface > column;
            std::vector< Layer > layers;
            std::vector< CellRecord > cells;
        };

        // A block's mesh before it is stored: block vertex to unique vertex,
        // the block vertices' points, the cells' kinds and their block
        // vertices, concatenated.
        struct BlockMeshData
        {
            std::vector< index_t > unique_vertices;
            std::vector< Point3D > points;
            std::vector< PolyhedronType > types;
            std::vector< index_t > vertices;
        };

        class BlockCellsBuilder
        {
        public:
            BlockCellsBuilder( const AssemblyContext& context,
                const TopVertexSurfaceVertices& top_vertex_surface_vertices,
                absl::Span< const uuid > slice_collection_order )
                : context_( context ),
                  surface_vertices_( top_vertex_surface_vertices )
            {
                for( const auto& block : context_.model.blocks() )
                {
                    block_index_.emplace( block.id(), blocks_.size() );
                    blocks_.push_back( block.id() );
                }
                index_surfaces( slice_collection_order );
                index_pillar_nodes();
            }

            void build()
            {
                // The cells by chunk are released once numbered by block.
                auto blocks = blocks_mesh_data( collect_cells() );
                create_cells( std::move( blocks ) );
            }

        private:
            // Every rebuilt surface is an item of a slice collection.
            void index_surfaces(
                absl::Span< const uuid > slice_collection_order )
            {
                const auto& model = context_.model;
                for( index_t slice = 0; slice < slice_collection_order.size();
                     slice++ )
                {
                    for( const auto& item :
                        model.items( slice_collection_order[slice] ) )
                    {
                        if( surface_index_.contains( item.id() )
                            || !model.has_surface( item.id() ) )
                        {
                            continue;
                        }
                        const auto& surface = model.surface( item.id() );
                        SurfaceRecord record{ item.id(), &surface,
                            &surface.mesh(),
                            model.vertex_identifier().component_unique_vertices(
                                item.id() ),
                            slice, {} };
                        for( const auto& incidence :
                            model.incidences( item.id() ) )
                        {
                            const auto block =
                                block_index_.find( incidence.id() );
                            if( block != block_index_.end() )
                            {
                                record.blocks.push_back( block->second );
                            }
                        }
                        surface_index_.emplace( item.id(), surfaces_.size() );
                        surfaces_.push_back( std::move( record ) );
                    }
                }
            }

            // The surface vertices on each pillar as (surface index, vertex)
            // in compressed rows by plan-view vertex, in the order of the
            // pillar's list, NO_ID for a surface that is not rebuilt: the
            // columns then find a surface's node by index instead of by
            // identifier through a hash map.
            void index_pillar_nodes()
            {
                const auto nb_pillars =
                    context_.background_surface.surface().nb_vertices();
                std::vector< const SurfaceVerticesOnPillar* > lists(
                    nb_pillars, nullptr );
                pillar_offsets_.assign( nb_pillars + 1, 0 );
                tbb::parallel_for(
                    tbb::blocked_range< index_t >( 0, nb_pillars ),
                    [this, &lists]( const tbb::blocked_range< index_t >& range )
                    {
                        for( auto pillar = range.begin(); pillar != range.end();
                             pillar++ )
                        {
                            const auto found = surface_vertices_.find( pillar );
                            if( found != surface_vertices_.end() )
                            {
                                lists[pillar] = &found->second;
                                pillar_offsets_[pillar + 1] =
                                    static_cast< index_t >(
                                        found->second.size() );
                            }
                        }
                    } );
                for( index_t pillar = 0; pillar < nb_pillars; pillar++ )
                {
                    pillar_offsets_[pillar + 1] += pillar_offsets_[pillar];
                }
                pillar_nodes_.resize( pillar_offsets_.back() );
                tbb::parallel_for(
                    tbb::blocked_range< index_t >( 0, nb_pillars ),
                    [this, &lists]( const tbb::blocked_range< index_t >& range )
                    {
                        // Neighbouring pillars mostly list the same surfaces
                        // in the same order: the index found at each place of
                        // the previous list is tried before the hash map.
                        std::vector< std::pair< const uuid*, index_t > >
                            previous;
                        for( auto pillar = range.begin(); pillar != range.end();
                             pillar++ )
                        {
                            if( lists[pillar] == nullptr )
                            {
                                continue;
                            }
                            const auto& list = *lists[pillar];
                            previous.resize(
                                std::max( previous.size(), list.size() ),
                                { nullptr, NO_ID } );
                            auto slot = pillar_offsets_[pillar];
                            for( std::size_t place = 0; place < list.size();
                                 place++ )
                            {
                                const auto& [surface, vertex] = list[place];
                                auto& known = previous[place];
                                if( known.first == nullptr
                                    || *known.first != surface )
                                {
                                    known = { &surface,
                                        rebuilt_surface_index( surface ) };
                                }
                                pillar_nodes_[slot++] =
                                    pillar_node( known.second, vertex );
                            }
                        }
                    } );
            }

            // NO_ID for a surface that is not rebuilt.
            index_t rebuilt_surface_index( const uuid& surface ) const
            {
                const auto known = surface_index_.find( surface );
                return known == surface_index_.end() ? NO_ID : known->second;
            }

            PillarNode pillar_node( index_t surface, index_t vertex ) const
            {
                if( surface == NO_ID )
                {
                    return { NO_ID, vertex, NO_ID, 0 };
                }
                const auto& record = surfaces_[surface];
                return { surface, vertex,
                    vertex < record.unique_vertices.size()
                        ? record.unique_vertices[vertex]
                        : NO_ID,
                    vertex < record.mesh->nb_vertices()
                        ? record.mesh->point( vertex ).value( 2 )
                        : std::numeric_limits< double >::quiet_NaN() };
            }

            // The cells of every column, by chunk of plan-view triangles in
            // triangle order. The columns are independent and read the model
            // only, so they are cut in parallel; the failure of the lowest
            // triangle is the one rethrown, as a sequential walk would have
            // met it first.
            std::vector< ChunkCells > collect_cells() const
            {
                const auto nb_triangles =
                    context_.background_surface.surface().nb_polygons();
                constexpr index_t chunk_size{ 1024 };
                const auto nb_chunks =
                    ( nb_triangles + chunk_size - 1 ) / chunk_size;
                std::vector< ChunkCells > chunks( nb_chunks );
                std::mutex failure_mutex;
                index_t failed_triangle{ NO_ID };
                std::exception_ptr failure;
                tbb::enumerable_thread_specific< ColumnBuffers > buffers;
                tbb::parallel_for(
                    tbb::blocked_range< index_t >( 0, nb_chunks ),
                    [&]( const tbb::blocked_range< index_t >& range )
                    {
                        auto& buffer = buffers.local();
                        for( auto chunk = range.begin(); chunk != range.end();
                             chunk++ )
                        {
                            buffer.cells.clear();
                            const auto end = std::min(
                                nb_triangles, ( chunk + 1 ) * chunk_size );
                            for( auto triangle = chunk * chunk_size;
                                 triangle < end; triangle++ )
                            {
                                try
                                {
                                    build_column( triangle, buffer );
                                }
                                catch( ... )
                                {
                                    const std::lock_guard< std::mutex > lock{
                                        failure_mutex
                                    };
                                    if( triangle < failed_triangle )
                                    {
                                        failed_triangle = triangle;
                                        failure = std::current_exception();
                                    }
                                    break;
                                }
                            }
                            chunks[chunk] = group_by_block( buffer.cells );
                        }
                    } );
                if( failure )
                {
                    std::rethrow_exception( failure );
                }
                return chunks;
            }

            // The cells sorted by block, keeping their order within a block.
            ChunkCells group_by_block(
                absl::Span< const CellRecord > cells ) const
            {
                ChunkCells result;
                result.block_offsets.assign( blocks_.size() + 1, 0 );
                for( const auto& cell : cells )
                {
                    result.block_offsets[cell.block + 1]++;
                }
                for( index_t block = 0; block < blocks_.size(); block++ )
                {
                    result.block_offsets[block + 1] +=
                        result.block_offsets[block];
                }
                result.cells.resize( cells.size() );
                auto next = result.block_offsets;
                for( const auto& cell : cells )
                {
                    result.cells[next[cell.block]++] = cell;
                }
                return result;
            }

            // Where a plan-view triangle stands, for messages: its centre.
            std::string triangle_position( index_t triangle ) const
            {
                const auto& plan_view = context_.background_surface.surface();
                const auto centre = plan_view.polygon_barycenter( triangle );
                return concatenate(
                    "at (", centre.value( 0 ), ", ", centre.value( 1 ), ")" );
            }

            // Where a pillar stands, for messages.
            std::string pillar_position( index_t vertex ) const
            {
                const auto& top = context_.pillars[vertex].top;
                return concatenate(
                    " at (", top.value( 0 ), ", ", top.value( 1 ), ")" );
            }

            // The plan-view triangle's vertices, counter-clockwise.
            std::array< index_t, 3 > ccw_vertices( index_t triangle ) const
            {
                const auto& plan_view = context_.background_surface.surface();
                const auto vertices = plan_view.polygon_vertices( triangle );
                const auto side =
                    orientation_2d( plan_view.point( vertices[0] ),
                        plan_view.point( vertices[1] ),
                        plan_view.point( vertices[2] ) );
                if( side == SIDE::zero )
                {
                    throw TessarkException{ "Cannot build the cells over "
                                            "plan-view triangle ",
                        triangle, " ", triangle_position( triangle ),
                        ": it is flat in plan view. Check the top surfaces "
                        "there." };
                }
                if( side == SIDE::negative )
                {
                    return { vertices[0], vertices[2], vertices[1] };
                }
                return { vertices[0], vertices[1], vertices[2] };
            }

            // The rebuilt surfaces over the triangle, from the top down: by
            // decreasing sum of their heights on the three pillars, then by
            // slice. Surfaces that do not cross each other are ordered alike
            // on every pillar, so the sum orders them; a crossing is caught
            // when the cells are made.
            void column_surfaces( index_t triangle,
                const std::array< index_t, 3 >& pillars,
                ColumnBuffers& buffer ) const
            {
                const auto& ids = context_.surface_ids.value( triangle );
                if( ids != buffer.surface_ids )
                {
                    buffer.surface_ids = ids;
                    buffer.surfaces.clear();
                    for( const auto& id : ids )
                    {
                        const auto known = surface_index_.find( id );
                        if( known != surface_index_.end()
                            && std::find( buffer.surfaces.begin(),
                                   buffer.surfaces.end(), known->second )
                                   == buffer.surfaces.end() )
                        {
                            buffer.surfaces.push_back( known->second );
                        }
                    }
                }
                auto& column = buffer.column;
                column.clear();
                for( const auto surface : buffer.surfaces )
                {
                    column.push_back( column_surface( surface, pillars ) );
                }
                std::sort( column.begin(), column.end(),
                    [this](
                        const ColumnSurface& upper, const ColumnSurface& lower )
                    {
                        if( upper.height_sum != lower.height_sum )
                        {
                            return upper.height_sum > lower.height_sum;
                        }
                        const auto& upper_record = surfaces_[upper.surface];
                        const auto& lower_record = surfaces_[lower.surface];
                        if( upper_record.slice != lower_record.slice )
                        {
                            return upper_record.slice < lower_record.slice;
                        }
                        return upper_record.id < lower_record.id;
                    } );
            }

            ColumnSurface column_surface(
                index_t surface, const std::array< index_t, 3 >& pillars ) const
            {
                const auto& record = surfaces_[surface];
                ColumnSurface result{ surface, {}, 0 };
                for( local_index_t v = 0; v < 3; v++ )
                {
                    const auto begin =
                        pillar_nodes_.begin() + pillar_offsets_[pillars[v]];
                    const auto end =
                        pillar_nodes_.begin() + pillar_offsets_[pillars[v] + 1];
                    const auto link = std::find_if( begin, end,
                        [surface]( const PillarNode& node )
                        {
                            return node.surface == surface;
                        } );
                    if( link == end )
                    {
                        throw TessarkException{ "Cannot build the cells: "
                                                "surface ",
                            record.surface->name(), " (", record.id.string(),
                            ") has no vertex on the pillar of plan-view "
                            "vertex ",
                            pillars[v], pillar_position( pillars[v] ),
                            ". Check that the surface reaches that pillar." };
                    }
                    if( link->unique_vertex == NO_ID )
                    {
                        throw TessarkException{ "Cannot build the cells: "
                                                "vertex ",
                            link->vertex, " of surface ",
                            record.surface->name(), " (", record.id.string(),
                            ") on the pillar of plan-view vertex ", pillars[v],
                            pillar_position( pillars[v] ),
                            " has no unique vertex. Check that the surface's "
                            "vertices are shared with the lines and surfaces "
                            "they touch." };
                    }
                    result.nodes[v] = { link->unique_vertex,
                        static_cast< index_t >(
                            link - pillar_nodes_.begin() ) };
                    result.height_sum += link->height;
                }
                return result;
            }

            double height_of( const ColumnNode& node ) const
            {
                return pillar_nodes_[node.pillar_node].height;
            }

            const Point3D& point_of( const ColumnNode& node ) const
            {
                const auto& entry = pillar_nodes_[node.pillar_node];
                return surfaces_[entry.surface].mesh->point( entry.vertex );
            }

            // Consecutive surfaces of a column that stand on the same three
            // nodes (they coincide over the triangle) form one layer: no cell
            // lies between them, and the blocks of either may lie above or
            // below the layer.
            static void layers_of( Layer column, std::vector< Layer >& layers )
            {
                layers.clear();
                std::size_t first{ 0 };
                for( std::size_t s = 1; s <= column.size(); s++ )
                {
                    if( s == column.size()
                        || !same_nodes( column[first], column[s] ) )
                    {
                        layers.push_back( column.subspan( first, s - first ) );
                        first = s;
                    }
                }
            }

            static bool same_nodes(
                const ColumnSurface& first, const ColumnSurface& second )
            {
                for( local_index_t v = 0; v < 3; v++ )
                {
                    if( first.nodes[v].unique_vertex
                        != second.nodes[v].unique_vertex )
                    {
                        return false;
                    }
                }
                return true;
            }

            void build_column( index_t triangle, ColumnBuffers& buffer ) const
            {
                const auto pillars = ccw_vertices( triangle );
                column_surfaces( triangle, pillars, buffer );
                layers_of( buffer.column, buffer.layers );
                const auto& layers = buffer.layers;
                std::optional< index_t > block_above;
                for( std::size_t l = 1; l < layers.size(); l++ )
                {
                    const auto upper = layers[l - 1];
                    const auto lower = layers[l];
                    const auto& up = upper.back().nodes;
                    const auto& low = lower.front().nodes;
                    std::array< bool, 3 > pinched{};
                    local_index_t nb_pinched{ 0 };
                    std::optional< index_t > inverted_at;
                    for( local_index_t v = 0; v < 3; v++ )
                    {
                        pinched[v] =
                            up[v].unique_vertex == low[v].unique_vertex;
                        if( pinched[v] )
                        {
                            nb_pinched++;
                        }
                        else if( !( height_of( up[v] ) > height_of( low[v] ) ) )
                        {
                            inverted_at = pillars[v];
                        }
                    }
                    const auto block =
                        block_between( triangle, upper, lower, block_above );
                    if( inverted_at )
                    {
                        const auto& model_block =
                            context_.model.block( blocks_[block] );
                        fail( triangle, upper.back(), lower.front(),
                            concatenate( "the cell of block ",
                                model_block.name(), " (",
                                blocks_[block].string(),
                                ") would be inverted: the upper surface does "
                                "not lie above the lower one on the pillar "
                                "of plan-view vertex ",
                                *inverted_at ) );
                    }
                    block_above = block;
                    buffer.cells.push_back(
                        cell( block, up, low, pinched, nb_pinched ) );
                }
            }

            // The block that surfaces of both layers bound; when there are
            // two (a fault and a horizon that ends on it), the one that is
            // not the block above the upper layer.
            index_t block_between( index_t triangle, Layer upper, Layer lower,
                const std::optional< index_t >& block_above ) const
            {
                const auto lower_blocks = blocks_of_layer( lower );
                absl::InlinedVector< index_t, 2 > common;
                for( const auto block : blocks_of_layer( upper ) )
                {
                    if( std::find(
                            lower_blocks.begin(), lower_blocks.end(), block )
                        != lower_blocks.end() )
                    {
                        common.push_back( block );
                    }
                }
                if( common.size() > 1 && block_above )
                {
                    common.erase( std::remove( common.begin(), common.end(),
                                      *block_above ),
                        common.end() );
                }
                if( common.size() != 1 )
                {
                    fail( triangle, upper.back(), lower.front(),
                        concatenate( common.size(),
                            " blocks are bounded by both surfaces instead of "
                            "one" ) );
                }
                return common.front();
            }

            // The blocks of the layer's surfaces, each once, in the order
            // met.
            absl::InlinedVector< index_t, 4 > blocks_of_layer(
                Layer layer ) const
            {
                absl::InlinedVector< index_t, 4 > blocks;
                for( const auto& entry : layer )
                {
                    for( const auto block : surfaces_[entry.surface].blocks )
                    {
                        if( std::find( blocks.begin(), blocks.end(), block )
                            == blocks.end() )
                        {
                            blocks.push_back( block );
                        }
                    }
                }
                return blocks;
            }

            // The cell between the upper and the lower nodes: a prism, or
            // where pillars pinch, a pyramid or a tetrahedron.
            static CellRecord cell( index_t block,
                const std::array< ColumnNode, 3 >& up,
                const std::array< ColumnNode, 3 >& low,
                const std::array< bool, 3 >& pinched, local_index_t nb_pinched )
            {
                if( nb_pinched == 0 )
                {
                    return { block, PolyhedronType::prism,
                        { low[0], low[1], low[2], up[0], up[1], up[2] } };
                }
                // i is the odd pillar out: the pinched one of a pyramid, the
                // open one of a tetrahedron; j and k follow it
                // counter-clockwise, so i lies left of j -> k.
                const bool odd_is_pinched = nb_pinched == 1;
                local_index_t i{ 0 };
                while( pinched[i] != odd_is_pinched )
                {
                    i++;
                }
                const auto j = static_cast< local_index_t >( ( i + 1 ) % 3 );
                const auto k = static_cast< local_index_t >( ( i + 2 ) % 3 );
                if( odd_is_pinched )
                {
                    // The base is the vertical face of pillars j and k,
                    // counter-clockwise seen from the apex on pillar i.
                    return { block, PolyhedronType::pyramid,
                        { low[j], up[j], up[k], low[k], up[i] } };
                }
                return { block, PolyhedronType::tetrahedron,
                    { low[i], up[j], up[k], up[i] } };
            }

            // The mesh data of every block, numbered in parallel.
            std::vector< BlockMeshData > blocks_mesh_data(
                absl::Span< const ChunkCells > chunks ) const
            {
                std::vector< BlockMeshData > blocks( blocks_.size() );
                tbb::enumerable_thread_specific< std::vector< index_t > >
                    vertex_of_unique{ std::vector< index_t >(
                        context_.model.vertex_identifier().nb_unique_vertices(),
                        NO_ID ) };
                tbb::parallel_for( index_t{ 0 },
                    static_cast< index_t >( blocks_.size() ),
                    [&]( index_t block )
                    {
                        blocks[block] = block_mesh_data(
                            chunks, block, vertex_of_unique.local() );
                    } );
                return blocks;
            }

            // Creates the cells of each block, one block vertex per unique
            // vertex, bound to it, and the adjacencies of each block. The
            // block meshes are independent: they are filled in parallel,
            // while the binding to unique vertices, which changes the
            // model's shared records, runs beside them one block after the
            // other.
            void create_cells( std::vector< BlockMeshData > blocks )
            {
                std::vector< std::unique_ptr< HybridSolidBuilder3D > > builders(
                    blocks_.size() );
                for( index_t block = 0; block < blocks_.size(); block++ )
                {
                    if( !blocks[block].types.empty() )
                    {
                        builders[block] = context_.builder.block_mesh_builder(
                            blocks_[block] );
                    }
                }
                tbb::parallel_invoke(
                    [&]
                    {
                        for( index_t block = 0; block < blocks_.size();
                             block++ )
                        {
                            if( builders[block] )
                            {
                                context_.builder.set_unique_vertices(
                                    context_.model.block( blocks_[block] )
                                        .component_id(),
                                    blocks[block].unique_vertices );
                            }
                        }
                    },
                    [&]
                    {
                        tbb::parallel_for( index_t{ 0 },
                            static_cast< index_t >( blocks_.size() ),
                            [&]( index_t block )
                            {
                                if( builders[block] )
                                {
                                    fill_block_mesh(
                                        *builders[block], blocks[block] );
                                }
                            } );
                    } );
            }

            // Stores the block's points and cells, releasing them from the
            // data (but for the unique vertices, read by the binding), then
            // finds the cells' adjacencies.
            static void fill_block_mesh(
                HybridSolidBuilder3D& builder, BlockMeshData& data )
            {
                builder.create_points( data.points );
                std::vector< Point3D >{}.swap( data.points );
                builder.create_polyhedra( data.types, data.vertices );
                std::vector< PolyhedronType >{}.swap( data.types );
                std::vector< index_t >{}.swap( data.vertices );
                builder.compute_polyhedron_adjacencies();
            }

            static index_t nb_cells_of_block(
                absl::Span< const ChunkCells > chunks, index_t block )
            {
                index_t nb_cells{ 0 };
                for( const auto& chunk : chunks )
                {
                    nb_cells += chunk.block_offsets[block + 1]
                                - chunk.block_offsets[block];
                }
                return nb_cells;
            }

            // The block's cells in triangle order on block vertices numbered
            // as first met, one per unique vertex. vertex_of_unique maps
            // unique vertices to block vertices: all NO_ID on entry, it is
            // reset before returning, so that the thread's next block reuses
            // it.
            BlockMeshData block_mesh_data(
                absl::Span< const ChunkCells > chunks, index_t block,
                std::vector< index_t >& vertex_of_unique ) const
            {
                BlockMeshData data;
                const auto nb_cells = nb_cells_of_block( chunks, block );
                data.types.reserve( nb_cells );
                data.vertices.reserve( std::size_t{ 6 } * nb_cells );
                for( const auto& chunk : chunks )
                {
                    for( auto c = chunk.block_offsets[block];
                         c < chunk.block_offsets[block + 1]; c++ )
                    {
                        const auto& cell = chunk.cells[c];
                        data.types.push_back( cell.type );
                        const auto nb_nodes =
                            polyhedron_type_nb_vertices( cell.type );
                        for( local_index_t n = 0; n < nb_nodes; n++ )
                        {
                            const auto& node = cell.nodes[n];
                            auto& vertex = vertex_of_unique[node.unique_vertex];
                            if( vertex == NO_ID )
                            {
                                vertex = static_cast< index_t >(
                                    data.unique_vertices.size() );
                                data.unique_vertices.push_back(
                                    node.unique_vertex );
                                data.points.push_back( point_of( node ) );
                            }
                            data.vertices.push_back( vertex );
                        }
                    }
                }
                for( const auto unique : data.unique_vertices )
                {
                    vertex_of_unique[unique] = NO_ID;
                }
                return data;
            }

            [[noreturn]] void fail( index_t triangle,
                const ColumnSurface& upper, const ColumnSurface& lower,
                const std::string& reason ) const
            {
                const auto describe = [this]( const ColumnSurface& entry )
                {
                    const auto& record = surfaces_[entry.surface];
                    return concatenate( "surface ", record.surface->name(),
                        " (", record.id.string(), ") of slice ", record.slice );
                };
                throw TessarkException{ "Cannot build the cells over "
                                        "plan-view triangle ",
                    triangle, " ", triangle_position( triangle ), " between ",
                    describe( upper ), " and ", describe( lower ), ": ",
                    reason };
            }

            const AssemblyContext& context_;
            const TopVertexSurfaceVertices& surface_vertices_;
            std::vector< uuid > blocks_;
            absl::flat_hash_map< uuid, index_t > block_index_;
            std::vector< SurfaceRecord > surfaces_;
            absl::flat_hash_map< uuid, index_t > surface_index_;
            std::vector< index_t > pillar_offsets_;
            std::vector< PillarNode > pillar_nodes_;
        };
    } // namespace

    void build_block_cells( const AssemblyContext& context,
        const TopVertexSurfaceVertices& top_vertex_surface_vertices,
        absl::Span< const uuid > slice_collection_order )
    {
        BlockCellsBuilder{ context, top_vertex_surface_vertices,
            slice_collection_order }
            .build();
    }
} // namespace brevane::internal
