#include "build_report_text.h"

#include <string>
#include <string_view>

#include <tessark/basic/string_concatenation.h>

#include "report_format.h"

namespace brevane::cli
{
    namespace
    {
        constexpr std::string_view INDENT{ "  " };

        // "a, b, c".
        std::string names_of( const std::vector< NamedItem >& items )
        {
            std::string names;
            for( const auto& item : items )
            {
                append( &names, names.empty() ? "" : ", ", item.name );
            }
            return names;
        }

        void print_details( std::ostream& out, const BuildReport& report )
        {
            out << "\nSurface groups order, top to bottom\n";
            for( std::size_t group = 0;
                 group < report.surface_groups_order.size(); group++ )
            {
                print_row( out, INDENT, concatenate( "group ", group + 1 ),
                    names_of( report.surface_groups_order[group] ) );
            }
            out << "\nSlice collections, top to bottom\n";
            for( std::size_t slice = 0; slice < report.slices.size();
                 slice++ )
            {
                print_row( out, INDENT, concatenate( "slice ", slice + 1 ),
                    names_of( report.slices[slice].surfaces ) );
            }
        }
    } // namespace

    void print_build_summary( std::ostream& out, const BuildReport& report,
        Verbosity verbosity )
    {
        out << "\nSummary\n";
        print_row( out, INDENT, "slices", std::to_string( report.nb_slices ) );
        print_row(
            out, INDENT, "pillars", std::to_string( report.nb_pillars ) );
        print_row( out, INDENT, "plan-view triangles",
            concatenate( report.plan_view_triangles_before,
                " before decimation, ", report.plan_view_triangles_after,
                " after" ) );
        print_row( out, INDENT, "rebuilt triangles",
            concatenate( report.rebuilt_polygons.triangles, " (input ",
                report.input_polygons.triangles, ")" ) );
        if( report.with_cells )
        {
            std::size_t nb_cells{ 0 };
            for( const auto& cells : report.block_cells )
            {
                nb_cells += cells.tetrahedra + cells.pyramids + cells.prisms
                            + cells.hexahedra;
            }
            print_row( out, INDENT, "block cells", std::to_string( nb_cells ) );
            for( const auto& cells : report.block_cells )
            {
                print_row( out, "    ", cells.block,
                    concatenate(
                        describe_cells( cells ), ", volume ", cells.volume ) );
            }
        }
        print_row( out, INDENT, "rebuilt model",
            describe_model( report.rebuilt_model ) );
        print_row( out, INDENT, "validation",
            validation_verdict( report.validation ) );
        print_first_problems( out, report.validation, "    " );
        out << INDENT
            << "largest vertical distance from each input horizon to its "
               "rebuilt surface:\n";
        for( const auto& distance : report.horizon_distances )
        {
            print_row( out, "    ", distance.horizon,
                concatenate( distance.largest ) );
        }
        if( verbosity == Verbosity::verbose )
        {
            print_details( out, report );
        }
        out << "\nFiles\n";
        for( const auto& file : report.files )
        {
            print_row( out, INDENT, file.role, file.path.string() );
        }
    }
} // namespace brevane::cli
