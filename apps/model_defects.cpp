#include "model_defects.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <halven/modifier/brep_geometric_modifier.h>
#include <tessark/basic/tessark_exception.h>
#include <tessark/mesh/edged_curve_builder.h>
#include <tessark/mesh/surface_mesh_builder.h>
#include <tessark/mesh/triangulated_surface_builder.h>
#include <tessark/model/structural_model_builder.h>

#include <samples/sample_ids.h>

namespace brevane::cli
{
    namespace
    {
        constexpr std::array< std::string_view, 4 > DEFECT_NAMES{ "fold",
            "dangling-line", "off-border", "untagged" };

        void fold_top_triangle( SampleModel& sample )
        {
            StructuralModelBuilder builder{ sample.model };
            const auto& surface =
                sample.model.surface( sample.top_surfaces.front() );
            const auto& mesh = surface.mesh();
            for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
            {
                if( mesh.is_vertex_on_border( vertex ) )
                {
                    continue;
                }
                const auto& point = mesh.point( vertex );
                const auto& neighbour =
                    mesh.point( mesh.vertices_around_vertex( vertex ).front() );
                auto target = neighbour + ( neighbour - point ) * 0.5;
                target.set_value( 2, point.value( 2 ) );
                builder.surface_mesh_builder( surface.id() )
                    ->set_point( vertex, target );
                return;
            }
            throw TessarkException{ "[ModelDefects] Top surface ",
                surface.name(), " has no inner vertex to fold" };
        }

        void add_dangling_line( SampleModel& sample, std::uint64_t id_key )
        {
            StructuralModelBuilder builder{ sample.model };
            const auto& horizon =
                sample.model.surface( sample.horizons.front().items.front() );
            const auto& mesh = horizon.mesh();
            for( index_t polygon = 0; polygon < mesh.nb_polygons(); polygon++ )
            {
                for( local_index_t edge = 0; edge < 3; edge++ )
                {
                    if( mesh.is_edge_on_border( { polygon, edge } ) )
                    {
                        continue;
                    }
                    const auto ends =
                        mesh.polygon_edge_vertices( { polygon, edge } );
                    const auto& id = builder.add_line(
                        sample_uuid( id_key, "Line", "dangling_line" ) );
                    builder.set_name( id, "dangling_line" );
                    auto curve = builder.line_mesh_builder( id );
                    const auto line_id = sample.model.line( id ).component_id();
                    for( local_index_t end = 0; end < 2; end++ )
                    {
                        const auto vertex =
                            curve->create_point( mesh.point( ends[end] ) );
                        builder.set_unique_vertex( { line_id, vertex },
                            sample.model.unique_vertex(
                                { horizon.component_id(), ends[end] } ) );
                    }
                    curve->create_edge( 0, 1 );
                    builder.add_line_surface_boundary_relationship(
                        sample.model.line( id ), horizon );
                    return;
                }
            }
            throw TessarkException{ "[ModelDefects] Horizon surface ",
                horizon.name(), " has no inner edge to draw a line on" };
        }

        void move_side_vertex_off_border( SampleModel& sample )
        {
            const auto& wall =
                sample.model.surface( sample.side_x_min.items.back() );
            const auto& mesh = wall.mesh();
            double middle{ 0 };
            for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
            {
                middle = std::max( middle, mesh.point( vertex ).value( 1 ) );
            }
            middle /= 2;
            // The lowest border vertices first, then the one nearest to the
            // middle of the wall along y.
            index_t chosen{ NO_ID };
            double lowest{ std::numeric_limits< double >::max() };
            for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
            {
                const auto& point = mesh.point( vertex );
                const auto score = point.value( 2 ) * 1000
                                   + std::abs( point.value( 1 ) - middle );
                if( mesh.is_vertex_on_border( vertex ) && score < lowest )
                {
                    lowest = score;
                    chosen = vertex;
                }
            }
            if( chosen == NO_ID )
            {
                throw TessarkException{ "[ModelDefects] Side wall ",
                    wall.name(), " has no border vertex to move" };
            }
            auto target = mesh.point( chosen );
            target.set_value( 0, target.value( 0 ) + 0.5 );
            StructuralModelBuilder builder{ sample.model };
            BRepGeometricModifier{ sample.model, builder }.move_point(
                sample.model.unique_vertex( { wall.component_id(), chosen } ),
                target );
        }

        void add_untagged_surface( SampleModel& sample, std::uint64_t id_key )
        {
            StructuralModelBuilder builder{ sample.model };
            const auto& id = builder.add_surface(
                sample_uuid( id_key, "Surface", "untagged_surface" ) );
            builder.set_name( id, "untagged_surface" );
            auto mesh =
                builder.surface_mesh_builder< TriangulatedSurfaceBuilder< 3 > >(
                    id );
            const auto first = builder.create_unique_vertices( 3 );
            const auto component = sample.model.surface( id ).component_id();
            const std::array< Point3D, 3 > points{ Point3D{ { 10, 10, 10 } },
                Point3D{ { 11, 10, 10 } }, Point3D{ { 10, 11, 10 } } };
            for( index_t corner = 0; corner < 3; corner++ )
            {
                const auto vertex = mesh->create_point( points[corner] );
                builder.set_unique_vertex(
                    { component, vertex }, first + corner );
            }
            mesh->create_triangle( { 0, 1, 2 } );
        }
    } // namespace

    std::string_view defect_name( ModelDefect defect )
    {
        return DEFECT_NAMES[static_cast< std::size_t >( defect )];
    }

    std::optional< ModelDefect > defect_of_name( std::string_view name )
    {
        for( const auto defect : ALL_MODEL_DEFECTS )
        {
            if( defect_name( defect ) == name )
            {
                return defect;
            }
        }
        return std::nullopt;
    }

    void add_defect(
        SampleModel& sample, ModelDefect defect, std::uint64_t id_key )
    {
        switch( defect )
        {
        case ModelDefect::folded_top:
            fold_top_triangle( sample );
            return;
        case ModelDefect::dangling_line:
            add_dangling_line( sample, id_key );
            return;
        case ModelDefect::side_vertex_off_border:
            move_side_vertex_off_border( sample );
            return;
        case ModelDefect::untagged_surface:
            add_untagged_surface( sample, id_key );
            return;
        }
    }
} // namespace brevane::cli
