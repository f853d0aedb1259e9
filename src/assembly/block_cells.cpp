#include "assembly/block_cells.h"

#include <algorithm>
#include <array>
#include <exception>
#include <mutex>
#include <optional>
#include <vector>

#include <absl/container/flat_hash_map.h>

#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>

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
            // Mesh vertex to unique vertex.
            absl::Span< const index_t > unique_vertices;
            // The first slice (from the top) whose collection lists it.
            index_t slice;
            // Indices in the model's block order.
            std::vector< index_t > blocks;
        };

        // Where one rebuilt surface crosses one pillar of a column.
        struct ColumnNode
        {
            index_t unique_vertex;
            index_t surface;
            index_t vertex;
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
            }

            void build()
            {
                const auto cells = collect_cells();
                create_cells( cells );
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
                        SurfaceRecord record{ item.id(),
                            &model.surface( item.id() ),
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

            // The cells of every column, in plan-view triangle order. The
            // columns are independent and read the model only, so they are
            // cut in parallel; the failure of the lowest triangle is the one
            // rethrown, as a sequential walk would have met it first.
            std::vector< CellRecord > collect_cells() const
            {
                const auto nb_triangles =
                    context_.background_surface.surface().nb_polygons();
                constexpr index_t chunk_size{ 1024 };
                const auto nb_chunks =
                    ( nb_triangles + chunk_size - 1 ) / chunk_size;
                std::vector< std::vector< CellRecord > > chunks( nb_chunks );
                std::mutex failure_mutex;
                index_t failed_triangle{ NO_ID };
                std::exception_ptr failure;
                tbb::parallel_for(
                    tbb::blocked_range< index_t >( 0, nb_chunks ),
                    [&]( const tbb::blocked_range< index_t >& range )
                    {
                        for( auto chunk = range.begin(); chunk != range.end();
                             chunk++ )
                        {
                            const auto end = std::min(
                                nb_triangles, ( chunk + 1 ) * chunk_size );
                            for( auto triangle = chunk * chunk_size;
                                 triangle < end; triangle++ )
                            {
                                try
                                {
                                    build_column( triangle, chunks[chunk] );
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
                        }
                    } );
                if( failure )
                {
                    std::rethrow_exception( failure );
                }
                std::vector< CellRecord > cells;
                for( auto& chunk : chunks )
                {
                    cells.insert( cells.end(), chunk.begin(), chunk.end() );
                }
                return cells;
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
                        triangle, ": it is flat in plan view" };
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
            std::vector< ColumnSurface > column_surfaces( index_t triangle,
                const std::array< index_t, 3 >& pillars ) const
            {
                std::array< const SurfaceVerticesOnPillar*, 3 > on_pillars{};
                for( local_index_t v = 0; v < 3; v++ )
                {
                    on_pillars[v] = &surface_vertices_.at( pillars[v] );
                }
                std::vector< ColumnSurface > column;
                for( const auto& id : context_.surface_ids.value( triangle ) )
                {
                    const auto known = surface_index_.find( id );
                    if( known == surface_index_.end()
                        || std::any_of( column.begin(), column.end(),
                            [&known]( const ColumnSurface& entry )
                            {
                                return entry.surface == known->second;
                            } ) )
                    {
                        continue;
                    }
                    column.push_back(
                        column_surface( known->second, pillars, on_pillars ) );
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
                return column;
            }

            ColumnSurface column_surface( index_t surface,
                const std::array< index_t, 3 >& pillars,
                const std::array< const SurfaceVerticesOnPillar*, 3 >&
                    on_pillars ) const
            {
                const auto& record = surfaces_[surface];
                ColumnSurface result{ surface, {}, 0 };
                for( local_index_t v = 0; v < 3; v++ )
                {
                    const auto link = std::find_if( on_pillars[v]->begin(),
                        on_pillars[v]->end(),
                        [&record]( const std::pair< uuid, index_t >& entry )
                        {
                            return entry.first == record.id;
                        } );
                    if( link == on_pillars[v]->end() )
                    {
                        throw TessarkException{ "Cannot build the cells: "
                                                "surface ",
                            record.surface->name(), " (", record.id.string(),
                            ") has no vertex on the pillar of plan-view "
                            "vertex ",
                            pillars[v] };
                    }
                    const auto vertex = link->second;
                    const auto unique = vertex < record.unique_vertices.size()
                                            ? record.unique_vertices[vertex]
                                            : NO_ID;
                    result.nodes[v] = { unique, surface, vertex };
                    result.height_sum += point_of( result.nodes[v] ).value( 2 );
                }
                return result;
            }

            const Point3D& point_of( const ColumnNode& node ) const
            {
                return surfaces_[node.surface].surface->mesh().point(
                    node.vertex );
            }

            // Consecutive surfaces of a column that stand on the same three
            // nodes (they coincide over the triangle) form one layer: no cell
            // lies between them, and the blocks of either may lie above or
            // below the layer.
            static std::vector< Layer > layers_of( Layer column )
            {
                std::vector< Layer > layers;
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
                return layers;
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

            void build_column(
                index_t triangle, std::vector< CellRecord >& cells ) const
            {
                const auto pillars = ccw_vertices( triangle );
                const auto column = column_surfaces( triangle, pillars );
                const auto layers = layers_of( column );
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
                        else if( !( point_of( up[v] ).value( 2 )
                                     > point_of( low[v] ).value( 2 ) ) )
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
                    cells.push_back(
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

            // Creates the cells block by block in the order collected, one
            // block vertex per unique vertex, bound to it, and the
            // adjacencies of each block.
            void create_cells( absl::Span< const CellRecord > cells )
            {
                std::vector< std::vector< index_t > > cells_of_block(
                    blocks_.size() );
                for( index_t cell = 0; cell < cells.size(); cell++ )
                {
                    cells_of_block[cells[cell].block].push_back( cell );
                }
                std::vector< std::unique_ptr< HybridSolidBuilder3D > > builders(
                    blocks_.size() );
                for( index_t block = 0; block < blocks_.size(); block++ )
                {
                    if( !cells_of_block[block].empty() )
                    {
                        builders[block] = context_.builder.block_mesh_builder(
                            blocks_[block] );
                    }
                }
                // The block meshes are independent: each is filled on its
                // own thread. Binding to unique vertices changes the model's
                // shared records, so it waits until all are filled.
                std::vector< std::vector< index_t > > unique_of_block_vertex(
                    blocks_.size() );
                tbb::parallel_for( std::size_t{ 0 }, blocks_.size(),
                    [&]( std::size_t block )
                    {
                        if( builders[block] )
                        {
                            fill_block( *builders[block], cells,
                                cells_of_block[block],
                                unique_of_block_vertex[block] );
                        }
                    } );
                for( index_t block = 0; block < blocks_.size(); block++ )
                {
                    const auto component =
                        context_.model.block( blocks_[block] ).component_id();
                    const auto& uniques = unique_of_block_vertex[block];
                    for( index_t vertex = 0; vertex < uniques.size(); vertex++ )
                    {
                        context_.builder.set_unique_vertex(
                            { component, vertex }, uniques[vertex] );
                    }
                }
            }

            // Creates the block's cells in the order given, one block vertex
            // per unique vertex (whose index is recorded), then the cells'
            // adjacencies.
            void fill_block( HybridSolidBuilder3D& builder,
                absl::Span< const CellRecord > cells,
                absl::Span< const index_t > block_cells,
                std::vector< index_t >& unique_of_vertex ) const
            {
                absl::flat_hash_map< index_t, index_t > vertices;
                vertices.reserve( block_cells.size() );
                for( const auto cell_index : block_cells )
                {
                    const auto& cell = cells[cell_index];
                    std::array< index_t, 6 > local{};
                    const auto nb_nodes =
                        polyhedron_type_nb_vertices( cell.type );
                    for( local_index_t n = 0; n < nb_nodes; n++ )
                    {
                        const auto& node = cell.nodes[n];
                        const auto [known, inserted] =
                            vertices.try_emplace( node.unique_vertex, NO_ID );
                        if( inserted )
                        {
                            known->second =
                                builder.create_point( point_of( node ) );
                            unique_of_vertex.push_back( node.unique_vertex );
                        }
                        local[n] = known->second;
                    }
                    create_polyhedron( builder, cell.type, local );
                }
                builder.compute_polyhedron_adjacencies();
            }

            static void create_polyhedron( HybridSolidBuilder3D& builder,
                PolyhedronType type, const std::array< index_t, 6 >& v )
            {
                switch( type )
                {
                case PolyhedronType::prism:
                    builder.create_prism( v );
                    return;
                case PolyhedronType::pyramid:
                    builder.create_pyramid( { v[0], v[1], v[2], v[3], v[4] } );
                    return;
                case PolyhedronType::tetrahedron:
                    builder.create_tetrahedron( { v[0], v[1], v[2], v[3] } );
                    return;
                case PolyhedronType::hexahedron:
                    break;
                }
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
                    triangle, " between ", describe( upper ), " and ",
                    describe( lower ), ": ", reason };
            }

            const AssemblyContext& context_;
            const TopVertexSurfaceVertices& surface_vertices_;
            std::vector< uuid > blocks_;
            absl::flat_hash_map< uuid, index_t > block_index_;
            std::vector< SurfaceRecord > surfaces_;
            absl::flat_hash_map< uuid, index_t > surface_index_;
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
