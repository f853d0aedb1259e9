#include <tessark/mesh/polyhedron_type.h>

#include <array>
#include <vector>

#include <tessark/basic/tessark_exception.h>

namespace brevane
{
    namespace
    {
        using Facets = std::vector< std::vector< local_index_t > >;

        const Facets& facets( PolyhedronType type )
        {
            static const Facets tetrahedron{ { 1, 2, 3 }, { 0, 3, 2 },
                { 0, 1, 3 }, { 0, 2, 1 } };
            static const Facets pyramid{ { 0, 3, 2, 1 }, { 0, 1, 4 },
                { 1, 2, 4 }, { 2, 3, 4 }, { 3, 0, 4 } };
            static const Facets prism{ { 0, 2, 1 }, { 3, 4, 5 }, { 0, 1, 4, 3 },
                { 1, 2, 5, 4 }, { 2, 0, 3, 5 } };
            static const Facets hexahedron{ { 0, 3, 2, 1 }, { 4, 5, 6, 7 },
                { 0, 1, 5, 4 }, { 1, 2, 6, 5 }, { 2, 3, 7, 6 },
                { 3, 0, 4, 7 } };
            switch( type )
            {
            case PolyhedronType::tetrahedron:
                return tetrahedron;
            case PolyhedronType::pyramid:
                return pyramid;
            case PolyhedronType::prism:
                return prism;
            case PolyhedronType::hexahedron:
                return hexahedron;
            }
            throw TessarkException{ "[PolyhedronType] Unknown polyhedron type ",
                static_cast< unsigned >( type ) };
        }
    } // namespace

    std::string_view polyhedron_type_name( PolyhedronType type )
    {
        switch( type )
        {
        case PolyhedronType::tetrahedron:
            return "tetrahedron";
        case PolyhedronType::pyramid:
            return "pyramid";
        case PolyhedronType::prism:
            return "prism";
        case PolyhedronType::hexahedron:
            return "hexahedron";
        }
        return "unknown";
    }

    local_index_t polyhedron_type_nb_vertices( PolyhedronType type )
    {
        static constexpr std::array< local_index_t, 4 > counts{ 4, 5, 6, 8 };
        return counts.at( static_cast< std::size_t >( type ) );
    }

    local_index_t polyhedron_type_nb_facets( PolyhedronType type )
    {
        return static_cast< local_index_t >( facets( type ).size() );
    }

    absl::Span< const local_index_t > polyhedron_type_facet(
        PolyhedronType type, local_index_t facet )
    {
        const auto& all = facets( type );
        TESSARK_EXCEPTION( facet < all.size(), "[PolyhedronType] A ",
            polyhedron_type_name( type ), " has no facet ",
            static_cast< unsigned >( facet ) );
        return all[facet];
    }
} // namespace brevane
