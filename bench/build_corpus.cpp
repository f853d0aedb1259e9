// Builds a seeded corpus of models that a user might bring: factory models
// over wide parameters (coarse and fine, flat and hilly, normal, reverse and
// steep faults, bulging bottoms), every surface wound at random and every
// surface's polygons renumbered; one fault in eight is vertical. Prints, per model, what happened, then the
// counts: built (and valid or not), refused by the inspection, failed with
// a message, failed otherwise; and whether a failed build left the model as
// it was.
//
//   build_corpus [number of models = 300] [first seed = 1]

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <absl/strings/str_cat.h>

#include <tessark/basic/tessark_exception.h>
#include <tessark/inspection/model_validation.h>

#include <pillar/pillar_structural_model_builder.h>
#include <pillar/pillar_structural_model_exception.h>
#include <pillar/varnholt_pillar_library.h>

#include <samples/model_variants.h>
#include <samples/sample_model.h>

namespace
{
    using namespace brevane;

    SampleModelParameters draw_parameters( std::mt19937_64& random )
    {
        std::uniform_real_distribution< double > unit{ 0, 1 };
        SampleModelParameters parameters;
        parameters.box = { 100, 60, 0, 50 };
        parameters.nb_horizons = static_cast< index_t >( random() % 7 );
        const auto nb_faults = static_cast< index_t >( random() % 4 );
        parameters.faults = spread_faults( parameters.box, nb_faults );
        for( auto& fault : parameters.faults )
        {
            // One fault in eight is vertical.
            fault.dip_degrees =
                random() % 8 == 0 ? 90 : 55 + 35 * unit( random );
            fault.dips_towards_x_max = random() % 2 == 0;
            fault.vertical_throw = -3 + 8 * unit( random );
        }
        parameters.topography.hills_amplitude = 6 * unit( random );
        parameters.bottom_amplitude = -4 + 6 * unit( random );
        parameters.resolution.target_top_triangles = static_cast< index_t >(
            24 * std::pow( 100., unit( random ) ) );
        parameters.resolution.jitter = 0.6 * unit( random );
        parameters.seed = random();
        return parameters;
    }

    bool has_vertical_fault( const SampleModelParameters& parameters )
    {
        return std::any_of( parameters.faults.begin(), parameters.faults.end(),
            []( const FaultParameters& fault )
            {
                return fault.dip_degrees == 90;
            } );
    }

    std::string first_line( std::string text )
    {
        const auto end = text.find( " (" );
        text = text.substr( 0, std::min< std::size_t >( end, 90 ) );
        return text;
    }

    // What a failed build must leave: the same components and meshes.
    std::string fingerprint( const StructuralModel& model )
    {
        auto print = absl::StrCat( model.nb_lines(), "/", model.nb_corners(),
            "/", model.nb_unique_vertices() );
        for( const auto& surface : model.surfaces() )
        {
            absl::StrAppend( &print, "/", surface.mesh().nb_polygons() );
        }
        return print;
    }
} // namespace

int main( int argc, char** argv )
{
    const auto nb_models = argc > 1 ? std::stoul( argv[1] ) : 300ul;
    const auto first_seed = argc > 2 ? std::stoull( argv[2] ) : 1ull;
    VarnholtPillarLibrary::initialize();
    std::map< std::string, int > outcomes;
    std::map< std::string, int > messages;
    int nb_not_restored{ 0 };
    double total_seconds{ 0 };
    for( unsigned long index = 0; index < nb_models; index++ )
    {
        const auto seed = first_seed + index;
        std::mt19937_64 random{ seed };
        const auto parameters = draw_parameters( random );
        std::optional< SampleModel > sample;
        try
        {
            sample.emplace( build_sample_model( parameters ) );
        }
        catch( const TessarkException& )
        {
            outcomes["factory refused the parameters"]++;
            continue;
        }
        rewind_surfaces_at_random( sample->model, seed );
        std::vector< uuid > all_surfaces;
        for( const auto& surface : sample->model.surfaces() )
        {
            all_surfaces.push_back( surface.id() );
        }
        shuffle_surface_polygons( sample->model, all_surfaces, seed );
        const auto before = fingerprint( sample->model );
        std::string outcome;
        std::string detail;
        const auto start = std::chrono::steady_clock::now();
        try
        {
            PillarStructuralModelBuilder builder{ sample->model,
                sample->top_surfaces, sample->bottom_surfaces };
            static_cast< void >( builder.build( {} ) );
            outcome = validate_model( sample->model ).is_valid()
                          ? "built, valid"
                          : "built, REJECTED by the validator";
        }
        catch( const PillarStructuralModelException& )
        {
            outcome = "refused by the inspection";
        }
        catch( const TessarkException& error )
        {
            outcome = "failed with a message";
            messages[first_line( error.what() )]++;
            detail = error.what();
        }
        catch( const std::exception& error )
        {
            outcome = std::string{ "FAILED WITHOUT A MESSAGE: " } + error.what();
        }
        const auto seconds = std::chrono::duration< double >(
            std::chrono::steady_clock::now() - start )
                                 .count();
        total_seconds += seconds;
        if( outcome.rfind( "built", 0 ) != 0
            && fingerprint( sample->model ) != before )
        {
            nb_not_restored++;
        }
        outcomes[outcome]++;
        std::cout << "seed " << seed << ": H " << parameters.nb_horizons
                  << ", F " << parameters.faults.size()
                  << ( has_vertical_fault( parameters ) ? " (one vertical)" : "" )
                  << ", "
                  << parameters.resolution.target_top_triangles
                  << " top triangles: " << outcome << " (" << seconds
                  << " s)" << ( detail.empty() ? "" : ": " ) << detail
                  << "\n";
    }
    std::cout << "\n";
    for( const auto& [outcome, count] : outcomes )
    {
        std::cout << count << "  " << outcome << "\n";
    }
    for( const auto& [message, count] : messages )
    {
        std::cout << "    " << count << "  " << message << "\n";
    }
    std::cout << nb_not_restored << " failed builds left the model changed\n"
              << total_seconds << " s of builds in all\n";
    return 0;
}
