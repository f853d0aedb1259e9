#pragma once

#include <cmath>
#include <map>
#include <memory>
#include <random>
#include <vector>

#include <samples/height_field_surface.h>
#include <samples/sample_model.h>

#include <tessark/mesh/triangulated_surface.h>
#include <tessark/model/model_meshes_aabb_tree.h>

#include "factory_benchmark.h"

// The vertical ray queries measured for the library and for Embree on the
// same triangles: the first hit on one surface of about 10^6 triangles, and
// every hit along a pillar through all the surfaces of a factory model.
namespace brevane::bench
{
    inline double height_field_height( double x, double y )
    {
        return 3 * std::sin( x / 7 ) * std::cos( y / 5 );
    }

    inline constexpr index_t HEIGHT_FIELD_SQUARES{ 708 };

    // Vertical segments from above to below the height field.
    inline std::vector< Segment3D > height_field_queries()
    {
        std::mt19937 engine{ 13 };
        std::uniform_real_distribution< double > coordinate{ 0,
            double( HEIGHT_FIELD_SQUARES ) };
        std::vector< Segment3D > queries;
        for( int query = 0; query < 4096; query++ )
        {
            const auto x = coordinate( engine );
            const auto y = coordinate( engine );
            queries.emplace_back(
                Point3D{ { x, y, 10 } }, Point3D{ { x, y, -10 } } );
        }
        return queries;
    }

    // A factory model, its search trees, and vertical pillars at random
    // places of its box, from above the top to below the bottom.
    struct FactoryPillarQueries
    {
        explicit FactoryPillarQueries( index_t target_top_triangles )
            : sample( build_sample_model(
                factory_parameters( target_top_triangles ) ) ),
              trees( create_surface_meshes_aabb_trees( sample.model ) )
        {
            for( const auto& id : trees.mesh_ids )
            {
                meshes.push_back( &sample.model.surface( id ).mesh() );
                nb_triangles += meshes.back()->nb_polygons();
            }
            const auto box = sample.model.bounding_box();
            std::mt19937 engine{ 17 };
            std::uniform_real_distribution< double > x{ box.min().value( 0 ),
                box.max().value( 0 ) };
            std::uniform_real_distribution< double > y{ box.min().value( 1 ),
                box.max().value( 1 ) };
            for( int query = 0; query < 4096; query++ )
            {
                const auto px = x( engine );
                const auto py = y( engine );
                queries.emplace_back(
                    Point3D{ { px, py, box.max().value( 2 ) + 1e-6 } },
                    Point3D{ { px, py, box.min().value( 2 ) - 1 } } );
            }
        }

        SampleModel sample;
        ModelMeshesAABBTree< 3 > trees;
        std::vector< const SurfaceMesh< 3 >* > meshes;
        double nb_triangles{ 0 };
        std::vector< Segment3D > queries;
    };

    // One model per size, made at its first use.
    inline FactoryPillarQueries& factory_pillar_queries( index_t size )
    {
        static std::map< index_t, std::unique_ptr< FactoryPillarQueries > >
            models;
        auto& model = models[size];
        if( !model )
        {
            model = std::make_unique< FactoryPillarQueries >( size );
        }
        return *model;
    }

    inline void pillar_query_sizes( benchmark::internal::Benchmark* benchmark )
    {
        benchmark->Arg( 100000 )->Arg( 1000000 )->Unit(
            benchmark::kMicrosecond );
    }
} // namespace brevane::bench
