#include <samples/strip_triangulation.h>

#include <cmath>

#include <tessark/basic/tessark_exception.h>

namespace brevane
{
    namespace
    {
        void check_chain( const StripChain& chain, const char* which )
        {
            TESSARK_EXCEPTION( !chain.vertices.empty(),
                "[append_strip_triangles] The ", which, " chain is empty" );
            TESSARK_EXCEPTION( chain.vertices.size() == chain.positions.size(),
                "[append_strip_triangles] The ", which, " chain has ",
                chain.vertices.size(), " vertices but ", chain.positions.size(),
                " positions" );
            for( std::size_t vertex = 1; vertex < chain.positions.size();
                 vertex++ )
            {
                TESSARK_EXCEPTION(
                    chain.positions[vertex] > chain.positions[vertex - 1]
                        && std::isfinite( chain.positions[vertex] ),
                    "[append_strip_triangles] Positions of the ", which,
                    " chain do not strictly increase at vertex ", vertex, " (",
                    chain.positions[vertex - 1], " then ",
                    chain.positions[vertex], ")" );
            }
        }

        // The position of a chain vertex rescaled to [0, 1]; a single
        // vertex stands at 0.
        double rescaled( const StripChain& chain, std::size_t vertex )
        {
            const auto last = chain.positions.size() - 1;
            if( last == 0 )
            {
                return 0;
            }
            if( vertex == last )
            {
                return 1;
            }
            return ( chain.positions[vertex] - chain.positions.front() )
                   / ( chain.positions.back() - chain.positions.front() );
        }
    } // namespace

    void append_strip_triangles( const StripChain& first,
        const StripChain& second,
        std::vector< std::array< index_t, 3 > >& triangles )
    {
        check_chain( first, "first" );
        check_chain( second, "second" );
        TESSARK_EXCEPTION(
            first.vertices.size() > 1 || second.vertices.size() > 1,
            "[append_strip_triangles] Both chains have a single vertex" );
        const auto first_last = first.vertices.size() - 1;
        const auto second_last = second.vertices.size() - 1;
        std::size_t i{ 0 };
        std::size_t j{ 0 };
        while( i < first_last || j < second_last )
        {
            const bool advance_first =
                j == second_last
                || ( i < first_last
                     && rescaled( first, i + 1 ) <= rescaled( second, j + 1 ) );
            if( advance_first )
            {
                triangles.push_back( { first.vertices[i], second.vertices[j],
                    first.vertices[i + 1] } );
                i++;
            }
            else
            {
                triangles.push_back( { first.vertices[i], second.vertices[j],
                    second.vertices[j + 1] } );
                j++;
            }
        }
    }
} // namespace brevane
