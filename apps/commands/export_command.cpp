#include "commands/export_command.h"

#include <unistd.h>

#include <algorithm>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include <CLI/CLI.hpp>

#include <io/tsurf_model_export.h>
#include <tessark/basic/string_concatenation.h>

#include "model_input.h"
#include "model_summary.h"
#include "output_files.h"
#include "report_format.h"
#include "report_options.h"
#include "usage_error.h"

namespace brevane::cli
{
    namespace
    {
        struct ExportOptions
        {
            std::filesystem::path model;
            std::filesystem::path tsurf_folder;
            ReportOptions report;
        };

        // A folder removed with what it holds when the scope ends.
        class StagingFolder
        {
        public:
            explicit StagingFolder( std::filesystem::path path )
                : path_( std::move( path ) )
            {
                std::error_code ignored;
                std::filesystem::remove_all( path_, ignored );
            }
            ~StagingFolder()
            {
                std::error_code ignored;
                std::filesystem::remove_all( path_, ignored );
            }
            StagingFolder( const StagingFolder& ) = delete;
            StagingFolder& operator=( const StagingFolder& ) = delete;

            [[nodiscard]] const std::filesystem::path& path() const
            {
                return path_;
            }

        private:
            std::filesystem::path path_;
        };

        // The files are written into a folder of their own inside the
        // output folder, then moved up one by one: a model that cannot be
        // exported leaves neither a partial set nor a half-overwritten one.
        std::vector< std::filesystem::path > export_files(
            const StructuralModel& model, const std::filesystem::path& folder,
            OutputFiles& outputs )
        {
            outputs.create_folder_of( folder / "model.json" );
            const StagingFolder staging{ folder
                                         / concatenate( ".brevane_export_",
                                             ::getpid() ) };
            try
            {
                export_tsurf_model( model, staging.path() );
            }
            catch( const std::exception& error )
            {
                throw TessarkException{ "cannot export the model as TSurf: ",
                    error.what() };
            }
            std::vector< std::filesystem::path > files;
            for( const auto& entry :
                std::filesystem::directory_iterator{ staging.path() } )
            {
                files.push_back( folder / entry.path().filename() );
            }
            std::sort( files.begin(), files.end() );
            for( const auto& file : files )
            {
                outputs.record( file );
                std::error_code error;
                std::filesystem::rename(
                    staging.path() / file.filename(), file, error );
                if( error )
                {
                    throw UsageError{ "cannot write ", file.string(), ": ",
                        error.message() };
                }
            }
            return files;
        }

        void export_model( const ExportOptions& options )
        {
            check_writable( options.tsurf_folder / "model.json" );
            const auto input = read_model_argument( options.model );
            auto& out = text_stream( options.report );
            out << "TSurf files of " << input.origin << "\n";
            out << "  " << describe_model( input.model ) << "\n";
            OutputFiles outputs;
            const auto files =
                export_files( input.model, options.tsurf_folder, outputs );
            outputs.keep();
            out << "\nFiles\n";
            for( const auto& file : files )
            {
                print_row( out, "  ",
                    file.extension() == ".json" ? "description" : "surfaces",
                    file.string() );
            }
        }
    } // namespace

    Command add_export_command( CLI::App& app )
    {
        auto* parser = app.add_subcommand( "export",
            "Write the surfaces of a model as TSurf files, one per model "
            "boundary, horizon and fault, with the description (model.json) "
            "that brevane convert reads back" );
        auto options = std::make_shared< ExportOptions >();
        add_model_argument( *parser, options->model );
        parser
            ->add_option( "--tsurf", options->tsurf_folder,
                "Folder of the TSurf files and their description, created "
                "when missing" )
            ->required()
            ->type_name( "FOLDER" );
        add_report_options( *parser, options->report, false );
        return { parser, [options]
            {
                export_model( *options );
            } };
    }
} // namespace brevane::cli
