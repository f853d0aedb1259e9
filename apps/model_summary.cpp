#include "model_summary.h"

#include <algorithm>

#include <tessark/basic/string_concatenation.h>
#include <tessark/mesh/polyhedron_volume.h>

#include "report_format.h"

namespace brevane::cli
{
    namespace
    {
        // Enough to see what kind of problem the model has.
        constexpr std::size_t MAX_PRINTED_PROBLEMS{ 5 };
    } // namespace

    SurfacePolygonCounts count_surface_polygons( const StructuralModel& model )
    {
        SurfacePolygonCounts counts;
        for( const auto& surface : model.surfaces() )
        {
            const auto& mesh = surface.mesh();
            for( index_t polygon = 0; polygon < mesh.nb_polygons(); polygon++ )
            {
                const auto nb_vertices = mesh.nb_polygon_vertices( polygon );
                auto& count = nb_vertices == 3   ? counts.triangles
                              : nb_vertices == 4 ? counts.quadrangles
                                                 : counts.others;
                count++;
            }
        }
        return counts;
    }

    std::vector< BlockCells > block_cells( const StructuralModel& model )
    {
        std::vector< BlockCells > result;
        for( const auto& block : model.blocks() )
        {
            BlockCells cells{ std::string{ block.name() } };
            const auto& mesh = block.mesh();
            for( index_t cell = 0; cell < mesh.nb_polyhedra(); cell++ )
            {
                switch( mesh.polyhedron_type( cell ) )
                {
                case PolyhedronType::tetrahedron:
                    cells.tetrahedra++;
                    break;
                case PolyhedronType::pyramid:
                    cells.pyramids++;
                    break;
                case PolyhedronType::prism:
                    cells.prisms++;
                    break;
                case PolyhedronType::hexahedron:
                    cells.hexahedra++;
                    break;
                }
                cells.volume += polyhedron_volume( mesh, cell );
            }
            result.push_back( std::move( cells ) );
        }
        return result;
    }

    std::string describe_cells( const BlockCells& cells )
    {
        std::string kinds;
        for( const auto& [count, kind] : { std::pair{ cells.prisms, "prism" },
                 std::pair{ cells.pyramids, "pyramid" },
                 std::pair{ cells.tetrahedra, "tetrahedron" },
                 std::pair{ cells.hexahedra, "hexahedron" } } )
        {
            if( count == 0 )
            {
                continue;
            }
            append( &kinds, kinds.empty() ? "" : ", ",
                count == 1
                    ? concatenate( "1 ", kind )
                    : concatenate( count, " ",
                        std::string_view{ kind } == "tetrahedron" ? "tetrahedra"
                        : std::string_view{ kind } == "hexahedron"
                            ? "hexahedra"
                            : concatenate( kind, "s" ) ) );
        }
        const auto total =
            cells.tetrahedra + cells.pyramids + cells.prisms + cells.hexahedra;
        return kinds.empty() ? std::string{ "0" }
                             : concatenate( total, " (", kinds, ")" );
    }

    ModelCounts count_model( const StructuralModel& model )
    {
        return { count_surface_polygons( model ), model.nb_surfaces(),
            model.nb_lines(), model.nb_corners(), model.nb_blocks(),
            model.nb_horizons(), model.nb_faults() };
    }

    std::string describe_model( const ModelCounts& counts )
    {
        const auto& polygons = counts.polygons;
        auto polygon_counts = counted( polygons.triangles, "triangle" );
        if( polygons.quadrangles != 0 )
        {
            append( &polygon_counts, ", ",
                counted( polygons.quadrangles, "quadrangle" ) );
        }
        if( polygons.others != 0 )
        {
            append( &polygon_counts, ", ",
                counted( polygons.others, "other polygon" ) );
        }
        return concatenate( counted( counts.surfaces, "surface" ), " (",
            polygon_counts, "), ", counted( counts.lines, "line" ), ", ",
            counted( counts.corners, "corner" ), ", ",
            counted( counts.blocks, "block" ), ", ",
            counted( counts.horizons, "horizon" ), ", ",
            counted( counts.faults, "fault" ) );
    }

    std::string describe_model( const StructuralModel& model )
    {
        return describe_model( count_model( model ) );
    }

    std::string validation_verdict( const ModelValidationReport& report )
    {
        if( report.is_valid() )
        {
            return "valid";
        }
        return counted( report.problems.size(), "problem" );
    }

    void print_first_problems( std::ostream& out,
        const ModelValidationReport& report, std::string_view prefix )
    {
        const auto nb_printed =
            std::min( report.problems.size(), MAX_PRINTED_PROBLEMS );
        for( std::size_t problem = 0; problem < nb_printed; problem++ )
        {
            out << prefix << report.problems[problem] << "\n";
        }
        if( report.problems.size() > nb_printed )
        {
            out << prefix << "and " << report.problems.size() - nb_printed
                << " more\n";
        }
    }
} // namespace brevane::cli
