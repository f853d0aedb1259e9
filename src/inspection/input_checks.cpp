#include "inspection/input_checks.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include <tbb/parallel_for.h>

#include <tessark/basic/string_concatenation.h>

#include "inspection/stacked_group_surfaces.h"
#include "pillars/surface_groups.h"

namespace brevane::internal
{
    namespace
    {
        // Lines reported per kind of problem; the rest are counted.
        constexpr std::size_t max_lines_per_kind{ 5 };

        bool contains( absl::Span< const uuid > ids, const uuid& id )
        {
            return std::find( ids.begin(), ids.end(), id ) != ids.end();
        }

        std::string named(
            std::string_view kind, std::string_view name, const uuid& id )
        {
            return concatenate( kind, " \"", name, "\" (", id.string(), ")" );
        }

        bool is_finite( const Point3D& point )
        {
            return std::isfinite( point.value( 0 ) )
                   && std::isfinite( point.value( 1 ) )
                   && std::isfinite( point.value( 2 ) );
        }

        // The problems of one kind, the first few in full.
        class ProblemList
        {
        public:
            explicit ProblemList( std::vector< std::string >& problems )
                : problems_( problems )
            {
            }
            ProblemList( const ProblemList& ) = delete;
            ProblemList& operator=( const ProblemList& ) = delete;
            ~ProblemList()
            {
                if( nb_ > max_lines_per_kind )
                {
                    problems_.push_back( concatenate( "... and ",
                        nb_ - max_lines_per_kind, " more like the above" ) );
                }
            }

            void add( std::string problem )
            {
                if( nb_++ < max_lines_per_kind )
                {
                    problems_.push_back( std::move( problem ) );
                }
            }

        private:
            std::vector< std::string >& problems_;
            std::size_t nb_{ 0 };
        };

        void check_lists( const StructuralModel& model,
            absl::Span< const uuid > top_surfaces,
            absl::Span< const uuid > bottom_surfaces,
            std::vector< std::string >& problems )
        {
            struct ListName
            {
                absl::Span< const uuid > list;
                std::string_view name;
                std::string_view title;
            };
            for( const auto& [list, name, title] :
                { ListName{ top_surfaces, "top", "Top" },
                    ListName{ bottom_surfaces, "bottom", "Bottom" } } )
            {
                if( list.empty() )
                {
                    problems.push_back( concatenate( "No ", name,
                        " surface is given: name the surfaces of the model's ",
                        name, "." ) );
                }
                for( const auto& id : list )
                {
                    if( !model.has_surface( id ) )
                    {
                        problems.push_back( concatenate( title, " surface ",
                            id.string(), " is not a surface of the model." ) );
                        continue;
                    }
                    const auto& surface = model.surface( id );
                    index_t nb_blocks{ 0 };
                    for( const auto& incidence : model.incidences( id ) )
                    {
                        nb_blocks += incidence.type().get() == "Block" ? 1 : 0;
                    }
                    if( nb_blocks > 1 )
                    {
                        problems.push_back( concatenate( "The ", name, " ",
                            named( "surface", surface.name(), id ), " bounds ",
                            nb_blocks,
                            " blocks: it is not on the model's boundary. "
                            "Check the ",
                            name, " list." ) );
                    }
                }
            }
            for( const auto& id : top_surfaces )
            {
                if( model.has_surface( id ) && contains( bottom_surfaces, id ) )
                {
                    problems.push_back( concatenate(
                        named( "Surface", model.surface( id ).name(), id ),
                        " is in both the top and the bottom lists." ) );
                }
            }
        }

        template < typename Components >
        void check_finite_points( std::string_view kind,
            const Components& components, ProblemList& problems )
        {
            for( const auto& component : components )
            {
                const auto& mesh = component.mesh();
                for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
                {
                    const auto& point = mesh.point( vertex );
                    if( !is_finite( point ) )
                    {
                        problems.add( concatenate( "Vertex ", vertex, " of ",
                            named( kind, component.name(), component.id() ),
                            " is at (", point.string(),
                            "): coordinates must be finite numbers." ) );
                    }
                }
            }
        }

        // Where a component vertex stands, and what names it; the name is
        // only written out for a problem.
        struct ComponentVertex
        {
            [[nodiscard]] std::string description() const
            {
                return concatenate(
                    "vertex ", vertex, " of ", named( kind, name, id ) );
            }

            const Point3D& point;
            std::string_view kind;
            std::string_view name;
            uuid id;
            index_t vertex;
        };

        template < typename Component >
        ComponentVertex component_vertex(
            std::string_view kind, const Component& component, index_t vertex )
        {
            return { component.mesh().point( vertex ), kind, component.name(),
                component.id(), vertex };
        }

        ComponentVertex component_vertex(
            const StructuralModel& model, const ComponentMeshVertex& vertex )
        {
            const auto& id = vertex.component_id.id();
            const auto type = vertex.component_id.type().get();
            if( type == "Surface" )
            {
                return component_vertex(
                    "Surface", model.surface( id ), vertex.vertex );
            }
            if( type == "Line" )
            {
                return component_vertex(
                    "Line", model.line( id ), vertex.vertex );
            }
            if( type == "Corner" )
            {
                return component_vertex(
                    "Corner", model.corner( id ), vertex.vertex );
            }
            return component_vertex(
                "Block", model.block( id ), vertex.vertex );
        }

        // Two component vertices of one unique vertex farther apart than
        // rounding allows: a point moved in one component only.
        void check_unique_vertex_positions(
            const StructuralModel& model, ProblemList& problems )
        {
            const auto box = model.bounding_box();
            double size{ 0 };
            for( local_index_t axis = 0; axis < 3; axis++ )
            {
                const auto extent =
                    box.max().value( axis ) - box.min().value( axis );
                if( std::isfinite( extent ) )
                {
                    size = std::max( size, extent );
                }
            }
            const auto tolerance = 1e-6 + 1e-9 * size;
            for( index_t unique = 0; unique < model.nb_unique_vertices();
                 unique++ )
            {
                const auto& vertices = model.component_mesh_vertices( unique );
                if( vertices.size() < 2 )
                {
                    continue;
                }
                const auto first = component_vertex( model, vertices.front() );
                for( std::size_t other = 1; other < vertices.size(); other++ )
                {
                    const auto second =
                        component_vertex( model, vertices[other] );
                    double distance{ 0 };
                    for( local_index_t axis = 0; axis < 3; axis++ )
                    {
                        distance = std::max(
                            distance, std::abs( second.point.value( axis )
                                                - first.point.value( axis ) ) );
                    }
                    if( distance > tolerance || std::isnan( distance ) )
                    {
                        problems.add( concatenate( "Unique vertex ", unique,
                            " joins ", first.description(), " at (",
                            first.point.string(), ") and ",
                            second.description(), " at (",
                            second.point.string(),
                            "): shared points must stand at one position." ) );
                        break;
                    }
                }
            }
        }

        // The horizon or fault holding the surface, named.
        std::string group_collection(
            const StructuralModel& model, const uuid& surface )
        {
            for( const auto& collection : model.collections( surface ) )
            {
                if( model.has_horizon( collection.id() ) )
                {
                    const auto& horizon = model.horizon( collection.id() );
                    return named( "horizon", horizon.name(), horizon.id() );
                }
                if( model.has_fault( collection.id() ) )
                {
                    const auto& fault = model.fault( collection.id() );
                    return named( "fault", fault.name(), fault.id() );
                }
            }
            return "its collection";
        }

        // Layer boundaries met twice by one vertical line. The groups come
        // from the collection tags; untagged surfaces are the inspection's
        // to report, so such a model is not checked here.
        void check_stacked_groups(
            const StructuralModel& model, ProblemList& problems )
        {
            std::vector< SurfaceGroup > groups;
            try
            {
                groups = compute_surface_groups( model );
            }
            catch( const TessarkException& )
            {
                return;
            }
            std::vector< std::optional< StackedGroupPoints > > found(
                groups.size() );
            tbb::parallel_for( std::size_t{ 0 }, groups.size(),
                [&]( std::size_t group )
                {
                    found[group] =
                        find_stacked_group_points( model, groups[group] );
                } );
            for( const auto& points : found )
            {
                if( !points )
                {
                    continue;
                }
                const auto& upper = model.surface( points->upper_surface );
                const auto where = concatenate( " at (",
                    points->upper.value( 0 ), ", ", points->upper.value( 1 ),
                    "), z = ", points->upper.value( 2 ), " and ",
                    points->lower.value( 2 ) );
                const auto collection = group_collection( model, upper.id() );
                if( points->upper_surface == points->lower_surface )
                {
                    problems.add( concatenate( "Surface \"", upper.name(),
                        "\" (", upper.id().string(), ") of ", collection,
                        " lies over itself", where,
                        ": a vertical line meets it twice. Check that the "
                        "surface does not fold over itself in plan view." ) );
                    continue;
                }
                const auto& lower = model.surface( points->lower_surface );
                problems.add( concatenate( "Surfaces \"", upper.name(), "\" (",
                    upper.id().string(), ") and \"", lower.name(), "\" (",
                    lower.id().string(), ") of ", collection,
                    " lie one above the other", where,
                    ": a vertical line meets the one layer boundary twice. "
                    "Check that the surfaces of one horizon bounding one "
                    "block, "
                    "or of one fault, do not overlap in plan view (two "
                    "horizons in one collection?)." ) );
            }
        }

        // True when the surface has triangles and every one of them stands
        // vertical: its plan-view area is nothing beside its area.
        bool stands_vertical( const SurfaceMesh< 3 >& mesh )
        {
            if( mesh.nb_polygons() == 0 )
            {
                return false;
            }
            for( index_t polygon = 0; polygon < mesh.nb_polygons(); polygon++ )
            {
                if( mesh.nb_polygon_vertices( polygon ) != 3 )
                {
                    return false;
                }
                const auto& a =
                    mesh.point( mesh.polygon_vertex( { polygon, 0 } ) );
                const auto& b =
                    mesh.point( mesh.polygon_vertex( { polygon, 1 } ) );
                const auto& c =
                    mesh.point( mesh.polygon_vertex( { polygon, 2 } ) );
                const auto normal = Vector3D{ a, b }.cross( Vector3D{ a, c } );
                if( std::abs( normal.value( 2 ) ) > 1e-9 * normal.length() )
                {
                    return false;
                }
            }
            return true;
        }

        // Faults standing vertical: the pillars on their trace meet them
        // along a segment instead of at a point, which the build does not
        // handle; refused here rather than after the first stages.
        void check_vertical_faults(
            const StructuralModel& model, ProblemList& problems )
        {
            for( const auto& fault : model.faults() )
            {
                for( const auto& item : model.fault_items( fault ) )
                {
                    if( !model.has_surface( item.id() ) )
                    {
                        continue;
                    }
                    const auto& surface = model.surface( item.id() );
                    if( !stands_vertical( surface.mesh() ) )
                    {
                        continue;
                    }
                    const auto& point = surface.mesh().point( 0 );
                    problems.add( concatenate( "Surface \"", surface.name(),
                        "\" (", surface.id().string(), ") of ",
                        named( "fault", fault.name(), fault.id() ),
                        " stands vertical (through (", point.value( 0 ), ", ",
                        point.value( 1 ),
                        ")): vertical faults are not built yet, since a "
                        "pillar on the trace of such a fault meets it along a "
                        "segment. Check whether the fault can be given a "
                        "dip." ) );
                    break;
                }
            }
        }

        // The mean height of the vertices of the listed surfaces.
        std::optional< double > mean_height(
            const StructuralModel& model, absl::Span< const uuid > surfaces )
        {
            double sum{ 0 };
            index_t nb{ 0 };
            for( const auto& id : surfaces )
            {
                if( !model.has_surface( id ) )
                {
                    continue;
                }
                const auto& mesh = model.surface( id ).mesh();
                for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
                {
                    sum += mesh.point( vertex ).value( 2 );
                    nb++;
                }
            }
            if( nb == 0 )
            {
                return std::nullopt;
            }
            return sum / nb;
        }
    } // namespace

    std::vector< std::string > input_problems( const StructuralModel& model,
        absl::Span< const uuid > top_surfaces,
        absl::Span< const uuid > bottom_surfaces )
    {
        std::vector< std::string > problems;
        check_lists( model, top_surfaces, bottom_surfaces, problems );
        const auto nb_before_points = problems.size();
        {
            ProblemList non_finite{ problems };
            check_finite_points( "corner", model.corners(), non_finite );
            check_finite_points( "line", model.lines(), non_finite );
            check_finite_points( "surface", model.surfaces(), non_finite );
        }
        const auto all_finite = problems.size() == nb_before_points;
        {
            ProblemList positions{ problems };
            check_unique_vertex_positions( model, positions );
        }
        if( all_finite )
        {
            ProblemList vertical{ problems };
            check_vertical_faults( model, vertical );
        }
        if( all_finite )
        {
            ProblemList stacked{ problems };
            check_stacked_groups( model, stacked );
        }
        const auto top = mean_height( model, top_surfaces );
        const auto bottom = mean_height( model, bottom_surfaces );
        if( all_finite && top && bottom && *top < *bottom )
        {
            problems.push_back( concatenate(
                "The top surfaces lie below the bottom surfaces (mean heights ",
                *top, " and ", *bottom,
                "): are the top and bottom lists swapped?" ) );
        }
        return problems;
    }
} // namespace brevane::internal
