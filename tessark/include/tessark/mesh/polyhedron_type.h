#pragma once

#include <cstdint>
#include <string_view>

#include <absl/types/span.h>

#include <tessark/basic/common.h>

namespace brevane
{
    // The kinds of cells of a hybrid solid, with their local vertex numbering.
    // Facets are listed so that their vertices turn counter-clockwise seen
    // from outside when the cell is positively oriented.
    //
    // tetrahedron: vertices 0 1 2 3, with (1 - 0, 2 - 0, 3 - 0) positively
    //   oriented; facet i is opposite vertex i:
    //   { 1 2 3 } { 0 3 2 } { 0 1 3 } { 0 2 1 }.
    // pyramid: base 0 1 2 3 counter-clockwise seen from the apex 4; facets
    //   { 0 3 2 1 } (base) { 0 1 4 } { 1 2 4 } { 2 3 4 } { 3 0 4 }.
    // prism: bottom 0 1 2 counter-clockwise seen from the top, top 3 4 5 above
    //   0 1 2; facets { 0 2 1 } { 3 4 5 } { 0 1 4 3 } { 1 2 5 4 } { 2 0 3 5 }.
    // hexahedron: bottom 0 1 2 3 counter-clockwise seen from the top, top
    //   4 5 6 7 above 0 1 2 3; facets { 0 3 2 1 } { 4 5 6 7 } { 0 1 5 4 }
    //   { 1 2 6 5 } { 2 3 7 6 } { 3 0 4 7 }.
    enum class PolyhedronType : std::uint8_t
    {
        tetrahedron,
        pyramid,
        prism,
        hexahedron
    };

    [[nodiscard]] std::string_view polyhedron_type_name( PolyhedronType type );
    [[nodiscard]] local_index_t polyhedron_type_nb_vertices(
        PolyhedronType type );
    [[nodiscard]] local_index_t polyhedron_type_nb_facets(
        PolyhedronType type );
    // The local vertices of a facet, in the order given above.
    [[nodiscard]] absl::Span< const local_index_t > polyhedron_type_facet(
        PolyhedronType type, local_index_t facet );
} // namespace brevane
