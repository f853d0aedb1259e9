#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include <tessark/mesh/edged_curve_builder.h>
#include <tessark/mesh/triangulated_surface.h>
#include <tessark/mesh/triangulated_surface_builder.h>

#include <halven/background/background_surface.h>
#include <halven/background/background_surface_builder.h>
#include <halven/background/background_surface_inserter.h>
#include <halven/background/background_surface_modifier.h>

namespace
{
    using namespace brevane;
    using namespace brevane::internal;

    // n x n unit squares with jittered inner vertices, two triangles each,
    // adjacencies computed.
    std::unique_ptr< TriangulatedSurface2D > plan_view( index_t nb_squares )
    {
        auto mesh = TriangulatedSurface2D::create();
        auto builder = TriangulatedSurfaceBuilder2D::create( *mesh );
        std::mt19937 random{ 5 };
        std::uniform_real_distribution< double > jitter{ -0.25, 0.25 };
        for( index_t j = 0; j <= nb_squares; j++ )
        {
            for( index_t i = 0; i <= nb_squares; i++ )
            {
                const bool inner = i > 0 && j > 0 && i < nb_squares && j < nb_squares;
                builder->create_point( Point2D{ { i + ( inner ? jitter( random ) : 0. ),
                    j + ( inner ? jitter( random ) : 0. ) } } );
            }
        }
        const auto vertex = [nb_squares]( index_t i, index_t j ) {
            return j * ( nb_squares + 1 ) + i;
        };
        for( index_t j = 0; j < nb_squares; j++ )
        {
            for( index_t i = 0; i < nb_squares; i++ )
            {
                builder->create_triangle( { vertex( i, j ), vertex( i + 1, j ),
                    vertex( i + 1, j + 1 ) } );
                builder->create_triangle( { vertex( i, j ),
                    vertex( i + 1, j + 1 ), vertex( i, j + 1 ) } );
            }
        }
        builder->compute_polygon_adjacencies();
        return mesh;
    }

    // nb_segments disjoint segments of length up to max_length in
    // [0, size]^2.
    std::unique_ptr< EdgedCurve2D > random_segments(
        double size, index_t nb_segments, double max_length )
    {
        auto curve = EdgedCurve2D::create();
        auto builder = EdgedCurveBuilder2D::create( *curve );
        std::mt19937 random{ 9 };
        std::uniform_real_distribution< double > coordinate{ 0, size };
        std::uniform_real_distribution< double > offset{ -max_length / std::sqrt( 2. ),
            max_length / std::sqrt( 2. ) };
        for( index_t segment = 0; segment < nb_segments; segment++ )
        {
            const Point2D start{ { coordinate( random ), coordinate( random ) } };
            const Point2D end{ { std::clamp( start.value( 0 ) + offset( random ), 0., size ),
                std::clamp( start.value( 1 ) + offset( random ), 0., size ) } };
            builder->create_edge( builder->create_point( start ), builder->create_point( end ) );
        }
        return curve;
    }

    struct Background
    {
        explicit Background( index_t nb_squares )
            : surface( plan_view( nb_squares ) ),
              surface_builder( TriangulatedSurfaceBuilder2D::create( *surface ) ),
              background( *surface ),
              records( background ),
              modifier( background, records, *surface_builder )
        {
        }

        std::unique_ptr< TriangulatedSurface2D > surface;
        std::unique_ptr< TriangulatedSurfaceBuilder2D > surface_builder;
        BackgroundSurface background;
        BackgroundSurfaceBuilder records;
        BackgroundSurfaceModifier modifier;
    };

    // Segments of up to 5 squares in a surface of 2 n^2 triangles: the
    // inserter is built (tree of the triangles) and the segments inserted.
    void insertion( benchmark::State& state )
    {
        const auto nb_squares = static_cast< index_t >( state.range( 0 ) );
        const auto nb_segments = static_cast< index_t >( state.range( 1 ) );
        for( auto _ : state )
        {
            state.PauseTiming();
            Background background{ nb_squares };
            const auto curve = random_segments( nb_squares, nb_segments, 5 );
            state.ResumeTiming();
            BackgroundSurfaceInserter inserter{ { background.background, background.modifier },
                background.records };
            inserter.insert_curve( *curve, uuid{} );
            state.PauseTiming();
            state.counters["triangles_after"] = background.surface->nb_polygons();
            state.ResumeTiming();
        }
        state.counters["triangles"] = 2. * nb_squares * nb_squares;
    }
    BENCHMARK( insertion )
        ->Args( { 224, 10000 } )
        ->Args( { 707, 10000 } )
        ->Unit( benchmark::kMillisecond )
        ->Iterations( 1 );

    // Clean of a surface of 2 n^2 triangles after collapsing one inner
    // vertex of every tenth row and column.
    void clean( benchmark::State& state )
    {
        const auto nb_squares = static_cast< index_t >( state.range( 0 ) );
        for( auto _ : state )
        {
            state.PauseTiming();
            Background background{ nb_squares };
            index_t nb_collapses{ 0 };
            for( index_t j = 5; j < nb_squares; j += 10 )
            {
                for( index_t i = 5; i < nb_squares; i += 10 )
                {
                    const auto vertex = j * ( nb_squares + 1 ) + i;
                    if( background.modifier.is_collapse_edge_valid( vertex, vertex + 1 ) )
                    {
                        background.modifier.collapse_edge( vertex, vertex + 1 );
                        nb_collapses++;
                    }
                }
            }
            state.counters["collapses"] = nb_collapses;
            state.ResumeTiming();
            benchmark::DoNotOptimize( background.modifier.clean() );
        }
        state.counters["triangles"] = 2. * nb_squares * nb_squares;
    }
    BENCHMARK( clean )->Arg( 707 )->Unit( benchmark::kMillisecond )->Iterations( 1 );
} // namespace

BENCHMARK_MAIN();
