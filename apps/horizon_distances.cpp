#include "horizon_distances.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>
#include <tbb/parallel_reduce.h>

#include <tessark/basic/tessark_exception.h>
#include <tessark/search/ray_tracing.h>

#include "surface_mesh_copy.h"
#include "vertical_lookup.h"

namespace brevane::cli
{
    namespace
    {
        std::unique_ptr< SurfaceMesh< 3 > > copy_of(
            const StructuralModel& model, const uuid& surface )
        {
            auto copy = copy_surface_mesh( model.surface( surface ).mesh() );
            if( !copy )
            {
                throw TessarkException{ "the mesh of the horizon surface ",
                    model.surface( surface ).name(),
                    " is neither triangulated nor polygonal" };
            }
            return copy;
        }

        // The vertical distance from the point to the input surface: the
        // hit nearest to the point along a vertical segment through the
        // whole input model. A surface met twice on one vertical is a
        // multi-z surface the inspection refuses.
        std::optional< double > vertical_distance( const Point3D& point,
            const BoundingBox3D& box,
            const SurfaceMesh< 3 >& input_mesh,
            const VerticalLookup& lookup )
        {
            const Segment3D line{ Point3D{ { point.value( 0 ),
                                      point.value( 1 ),
                                      box.max().value( 2 ) + 1 } },
                Point3D{ { point.value( 0 ), point.value( 1 ),
                    box.min().value( 2 ) - 1 } } };
            RayTracing3D tracer{ input_mesh, line.vertices()[0], line };
            lookup.for_each_candidate( line, tracer );
            std::optional< double > nearest;
            for( const auto& hit : tracer.all_intersections() )
            {
                const auto distance =
                    std::abs( hit.point.value( 2 ) - point.value( 2 ) );
                nearest = std::min( nearest.value_or( distance ), distance );
            }
            return nearest;
        }

        // The largest vertical distance from the rebuilt mesh's vertices to
        // the input one; the largest of a set does not depend on the order
        // the threads meet its members.
        double largest_vertical_distance( const BoundingBox3D& box,
            const SurfaceMesh< 3 >& input_mesh,
            const VerticalLookup& lookup,
            const SurfaceMesh< 3 >& mesh )
        {
            return tbb::parallel_reduce(
                tbb::blocked_range< index_t >( 0, mesh.nb_vertices() ), 0.0,
                [&]( const tbb::blocked_range< index_t >& vertices,
                    double largest )
                {
                    for( auto vertex = vertices.begin();
                         vertex != vertices.end(); vertex++ )
                    {
                        largest = std::max( largest,
                            vertical_distance(
                                mesh.point( vertex ), box, input_mesh, lookup )
                                .value_or( 0 ) );
                    }
                    return largest;
                },
                []( double first, double second )
                {
                    return std::max( first, second );
                } );
        }

        // An input surface and the rebuilt one of the same id.
        struct SurfacePair
        {
            std::size_t horizon;
            const SurfaceMesh< 3 >* input;
            const SurfaceMesh< 3 >* rebuilt;
        };
    } // namespace

    InputHorizons keep_input_horizons( const StructuralModel& input )
    {
        InputHorizons kept;
        kept.box = input.bounding_box();
        for( const auto& horizon : input.horizons() )
        {
            auto& copy = kept.horizons.emplace_back();
            copy.name = std::string{ horizon.name() };
            for( const auto& item : input.horizon_items( horizon ) )
            {
                if( input.has_surface( item.id() ) )
                {
                    copy.surfaces.push_back(
                        { item.id(), copy_of( input, item.id() ) } );
                }
            }
        }
        return kept;
    }

    std::vector< HorizonDistance > horizon_distances(
        const InputHorizons& input, const StructuralModel& rebuilt )
    {
        std::vector< HorizonDistance > distances;
        std::vector< SurfacePair > pairs;
        for( const auto& horizon : input.horizons )
        {
            for( const auto& surface : horizon.surfaces )
            {
                if( rebuilt.has_surface( surface.id ) )
                {
                    pairs.push_back( { distances.size(), surface.mesh.get(),
                        &rebuilt.surface( surface.id ).mesh() } );
                }
            }
            distances.push_back( { horizon.name, 0 } );
        }
        // The look-ups of several surfaces are built at once.
        std::vector< std::unique_ptr< VerticalLookup > > lookups(
            pairs.size() );
        tbb::parallel_for( std::size_t{ 0 }, pairs.size(),
            [&]( std::size_t pair )
            {
                lookups[pair] =
                    std::make_unique< VerticalLookup >( *pairs[pair].input );
            } );
        for( std::size_t pair = 0; pair < pairs.size(); pair++ )
        {
            auto& distance = distances[pairs[pair].horizon];
            distance.largest = std::max( distance.largest,
                largest_vertical_distance( input.box, *pairs[pair].input,
                    *lookups[pair], *pairs[pair].rebuilt ) );
        }
        return distances;
    }
} // namespace brevane::cli
