#include <array>
#include <vector>

#include <benchmark/benchmark.h>

#include <tessark/mesh/hybrid_solid_builder.h>

// The mesh side of the cells stage: a block of prisms created in one call,
// then its facet adjacencies.
namespace
{
    using namespace brevane;

    // Prism layers over a grid of n x n squares cut in two triangles, the
    // vertices numbered as the cells stage does: as first met, column by
    // column.
    struct PrismBlock
    {
        std::vector< Point3D > points;
        std::vector< PolyhedronType > types;
        std::vector< index_t > vertices;
    };

    PrismBlock prism_block( index_t n, index_t nb_layers )
    {
        PrismBlock block;
        const auto row = n + 1;
        const auto level = row * row;
        std::vector< index_t > numbering(
            static_cast< std::size_t >( level ) * ( nb_layers + 1 ), NO_ID );
        const auto vertex = [&]( index_t grid_vertex )
        {
            auto& number = numbering[grid_vertex];
            if( number == NO_ID )
            {
                const auto z = grid_vertex / level;
                const auto y = ( grid_vertex % level ) / row;
                const auto x = grid_vertex % row;
                number = static_cast< index_t >( block.points.size() );
                block.points.push_back( Point3D{
                    { static_cast< double >( x ), static_cast< double >( y ),
                        static_cast< double >( z ) } } );
            }
            return number;
        };
        for( index_t y = 0; y < n; y++ )
        {
            for( index_t x = 0; x < n; x++ )
            {
                const auto corner = y * row + x;
                for( const auto& triangle :
                    { std::array< index_t, 3 >{
                          corner, corner + 1, corner + row + 1 },
                        std::array< index_t, 3 >{
                            corner, corner + row + 1, corner + row } } )
                {
                    for( index_t z = 0; z < nb_layers; z++ )
                    {
                        block.types.push_back( PolyhedronType::prism );
                        for( const auto shift :
                            { z * level, ( z + 1 ) * level } )
                        {
                            for( const auto grid_vertex : triangle )
                            {
                                block.vertices.push_back(
                                    vertex( grid_vertex + shift ) );
                            }
                        }
                    }
                }
            }
        }
        return block;
    }

    // Sizes of one block of the cells stage at 10^5 and 10^6 top triangles.
    void block_sizes( benchmark::internal::Benchmark* benchmark )
    {
        benchmark->Arg( 100 )->Arg( 300 )->Unit( benchmark::kMillisecond );
    }

    void hybrid_solid_bulk_creation( benchmark::State& state )
    {
        const auto block =
            prism_block( static_cast< index_t >( state.range( 0 ) ), 2 );
        for( auto _ : state )
        {
            auto solid = HybridSolid3D::create();
            auto builder = HybridSolidBuilder3D::create( *solid );
            builder->create_points( block.points );
            builder->create_polyhedra( block.types, block.vertices );
            benchmark::DoNotOptimize( solid->nb_polyhedra() );
        }
        state.counters["polyhedra"] =
            static_cast< double >( block.types.size() );
    }
    BENCHMARK( hybrid_solid_bulk_creation )->Apply( block_sizes );

    void hybrid_solid_adjacencies( benchmark::State& state )
    {
        const auto block =
            prism_block( static_cast< index_t >( state.range( 0 ) ), 2 );
        auto solid = HybridSolid3D::create();
        auto builder = HybridSolidBuilder3D::create( *solid );
        builder->create_points( block.points );
        builder->create_polyhedra( block.types, block.vertices );
        for( auto _ : state )
        {
            builder->compute_polyhedron_adjacencies();
        }
        state.counters["polyhedra"] =
            static_cast< double >( block.types.size() );
    }
    BENCHMARK( hybrid_solid_adjacencies )->Apply( block_sizes );
} // namespace

BENCHMARK_MAIN();
