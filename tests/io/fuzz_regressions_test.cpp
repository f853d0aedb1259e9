#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <map>

#include <tessark/basic/tessark_exception.h>

#include <io/model_file.h>
#include <io/tsurf_description.h>
#include <io/tsurf_reader.h>

#include "model_file_fixtures.h"

// Every input a fuzzer of the readers (see fuzz/) once crashed or hung on,
// kept in fuzz_regressions/<fuzzer>/, read again the way that fuzzer reads
// it: each is read or refused with a TessarkException.
namespace brevane
{
    using test::read_file;
    using test::write_file;

    namespace
    {
        const auto REGRESSIONS =
            std::filesystem::path{ __FILE__ }.parent_path()
            / "fuzz_regressions";

        // Loads the saved model with one of its files replaced by the input.
        void load_with( const std::filesystem::path& model,
            const std::string& file, const std::string& input )
        {
            const auto folder = model.parent_path() / "model_files";
            const auto previous = read_file( folder / file );
            write_file( folder / file, input );
            try
            {
                static_cast< void >( load_model( model ) );
            }
            catch( const TessarkException& )
            {
            }
            write_file( folder / file, previous );
        }

        // How each fuzzer reads its input, through the public functions.
        std::map< std::string,
            std::function< void( const std::string&, const test::TemporaryFolder& ) > >
            readers()
        {
            return {
                { "tsurf_reader",
                    []( const std::string& input, const auto& )
                    {
                        static_cast< void >(
                            read_tsurf_text( input, "fuzz.ts" ) );
                    } },
                { "tsurf_description",
                    []( const std::string& input, const auto& )
                    {
                        const auto description =
                            parse_tsurf_model_description( input, "fuzz.json" );
                        static_cast< void >( parse_tsurf_model_description(
                            tsurf_model_description_json( description ),
                            "written" ) );
                    } },
                { "model_description",
                    []( const std::string& input, const auto& folder )
                    {
                        load_with(
                            folder.path() / "model.vtm", "model.json", input );
                    } },
                // Read as the file of each kind of component mesh.
                { "vtk_mesh",
                    []( const std::string& input, const auto& folder )
                    {
                        for( const auto* file :
                            { "corner_0.vtp", "line_0.vtp", "surface_0.vtp",
                                "surface_1.vtp", "block_0.vtu" } )
                        {
                            load_with( folder.path() / "model.vtm", file, input );
                        }
                    } },
            };
        }
    } // namespace

    TEST( FuzzRegressions, kept_inputs_are_read_or_refused )
    {
        test::TemporaryFolder folder;
        save_model( test::every_kind_model(), folder.path() / "model.vtm" );
        std::size_t nb_inputs{ 0 };
        for( const auto& [fuzzer, read] : readers() )
        {
            const auto inputs = REGRESSIONS / fuzzer;
            if( !std::filesystem::exists( inputs ) )
            {
                continue;
            }
            for( const auto& entry :
                std::filesystem::directory_iterator( inputs ) )
            {
                SCOPED_TRACE( entry.path().string() );
                nb_inputs++;
                try
                {
                    read( read_file( entry.path() ), folder );
                }
                catch( const TessarkException& )
                {
                }
            }
        }
        EXPECT_GT( nb_inputs, 0u );
    }
} // namespace brevane
