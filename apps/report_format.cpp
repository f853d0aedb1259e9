#include "report_format.h"

#include <iomanip>
#include <sstream>

namespace brevane::cli
{
    namespace
    {
        // Wide enough for the labels of the build summary.
        constexpr std::size_t LABEL_WIDTH{ 22 };
    } // namespace

    double milliseconds_between(
        Clock::time_point start, Clock::time_point end )
    {
        return std::chrono::duration< double, std::milli >( end - start )
            .count();
    }

    std::string format_duration( double milliseconds )
    {
        std::ostringstream text;
        if( milliseconds >= 10000 )
        {
            text << std::fixed << std::setprecision( 2 ) << milliseconds / 1000
                 << " s";
        }
        else
        {
            text << std::fixed << std::setprecision( 1 ) << milliseconds
                 << " ms";
        }
        return text.str();
    }

    std::string indent_lines( std::string_view text, std::string_view prefix )
    {
        std::string result;
        while( !text.empty() )
        {
            const auto end = text.find( '\n' );
            auto line = text.substr( 0, end );
            text.remove_prefix(
                end == std::string_view::npos ? text.size() : end + 1 );
            result.append( prefix );
            while( !line.empty() && line.front() == '\t' )
            {
                result.append( "    " );
                line.remove_prefix( 1 );
            }
            result.append( line );
            result.push_back( '\n' );
        }
        return result;
    }

    std::string counted( std::size_t count, std::string_view noun )
    {
        auto text = std::to_string( count );
        text.push_back( ' ' );
        text.append( noun );
        if( count != 1 )
        {
            text.push_back( 's' );
        }
        return text;
    }

    void print_row( std::ostream& out, std::string_view indent,
        std::string_view label, std::string_view value )
    {
        std::string padded{ label };
        if( padded.size() < LABEL_WIDTH )
        {
            padded.append( LABEL_WIDTH - padded.size(), ' ' );
        }
        out << indent << padded << " " << value << "\n";
    }

    std::string one_line( std::string_view text )
    {
        while( !text.empty() && text.back() == '\n' )
        {
            text.remove_suffix( 1 );
        }
        std::string result;
        for( const auto character : text )
        {
            if( character == '\n' )
            {
                result.append( "; " );
            }
            else if( character != '\r' )
            {
                result.push_back( character );
            }
        }
        return result;
    }
} // namespace brevane::cli
