#include <io/model_comparison.h>

#include <array>
#include <bit>
#include <cstdio>
#include <functional>

#include <tessark/basic/string_concatenation.h>

namespace brevane
{
    namespace
    {
        // Unique vertices whose bindings differ are listed one by one up to
        // this many, then counted.
        constexpr std::size_t MAX_LISTED_UNIQUE_VERTICES = 10;

        std::string number( double value )
        {
            std::array< char, 32 > text{};
            std::snprintf( text.data(), text.size(), "%.17g", value );
            return text.data();
        }

        std::string point_text( const Point3D& point )
        {
            return concatenate( "(", number( point.value( 0 ) ), " ",
                number( point.value( 1 ) ), " ", number( point.value( 2 ) ),
                ")" );
        }

        // Bit for bit: -0 differs from 0, and a NaN equals the same NaN.
        bool same_point( const Point3D& first, const Point3D& second )
        {
            for( local_index_t axis = 0; axis < 3; axis++ )
            {
                if( std::bit_cast< std::uint64_t >( first.value( axis ) )
                    != std::bit_cast< std::uint64_t >( second.value( axis ) ) )
                {
                    return false;
                }
            }
            return true;
        }

        template < typename Values >
        std::string list_text( const Values& values )
        {
            std::string text = "[";
            for( const auto& value : values )
            {
                append( &text, text.size() > 1 ? ", " : "", value.string() );
            }
            return text + "]";
        }

        template < typename Indices >
        std::string indices_text( const Indices& indices )
        {
            std::string text = "(";
            for( const auto index : indices )
            {
                append( &text, text.size() > 1 ? " " : "", index );
            }
            return text + ")";
        }

        // "Surface <uuid> "name"".
        template < typename Element >
        std::string label( const Element& element )
        {
            return concatenate(
                element.component_id().string(), " \"", element.name(), "\"" );
        }

        class Comparison
        {
        public:
            Comparison(
                const StructuralModel& first, const StructuralModel& second )
                : first_( first ), second_( second )
            {
            }

            std::vector< std::string > run()
            {
                compare_set( "Corners", first_.corners(), second_.corners(),
                    [this]( const auto& a, const auto& b )
                    {
                        compare_points( label( a ), a.mesh(), b.mesh() );
                    } );
                compare_set( "Lines", first_.lines(), second_.lines(),
                    [this]( const auto& a, const auto& b )
                    {
                        compare_line_meshes( label( a ), a.mesh(), b.mesh() );
                    } );
                compare_set( "Surfaces", first_.surfaces(), second_.surfaces(),
                    [this]( const auto& a, const auto& b )
                    {
                        compare_surface_meshes(
                            label( a ), a.mesh(), b.mesh() );
                    } );
                compare_set( "Blocks", first_.blocks(), second_.blocks(),
                    [this]( const auto& a, const auto& b )
                    {
                        compare_solid_meshes( label( a ), a.mesh(), b.mesh() );
                    } );
                const auto no_mesh = []( const Collection&,
                                         const Collection& ) {};
                compare_set( "Model boundaries", first_.model_boundaries(),
                    second_.model_boundaries(), no_mesh );
                compare_set( "Surface collections",
                    first_.surface_collections(), second_.surface_collections(),
                    no_mesh );
                compare_set( "Horizons", first_.horizons(), second_.horizons(),
                    no_mesh );
                compare_set(
                    "Faults", first_.faults(), second_.faults(), no_mesh );
                compare_set( "Fault blocks", first_.fault_blocks(),
                    second_.fault_blocks(), no_mesh );
                compare_unique_vertices();
                return std::move( lines_ );
            }

        private:
            template < typename... Args >
            void report( const Args&... pieces )
            {
                lines_.push_back( concatenate( pieces... ) );
            }

            // Presence, order, names, relations and meshes of one kind of
            // components or collections, matched by uuid.
            template < typename Element, typename CompareMeshes >
            void compare_set( std::string_view kinds,
                const ComponentSet< Element >& first,
                const ComponentSet< Element >& second,
                const CompareMeshes& compare_meshes )
            {
                std::vector< uuid > first_common;
                for( const auto& element : first )
                {
                    if( second.contains( element.id() ) )
                    {
                        first_common.push_back( element.id() );
                    }
                    else
                    {
                        report(
                            label( element ), " is only in the first model" );
                    }
                }
                std::vector< uuid > second_common;
                for( const auto& element : second )
                {
                    if( first.contains( element.id() ) )
                    {
                        second_common.push_back( element.id() );
                    }
                    else
                    {
                        report(
                            label( element ), " is only in the second model" );
                    }
                }
                for( std::size_t position = 0; position < first_common.size();
                     position++ )
                {
                    if( first_common[position] != second_common[position] )
                    {
                        report( kinds,
                            " are in another order: among those both models "
                            "hold, number ",
                            position, " is ", first_common[position].string(),
                            " in the first model, ",
                            second_common[position].string(),
                            " in the second" );
                        break;
                    }
                }
                for( const auto& id : first_common )
                {
                    const auto& a = first.get( id );
                    const auto& b = second.get( id );
                    if( a.name() != b.name() )
                    {
                        report( label( a ), ": named \"", b.name(),
                            "\" in the second model" );
                    }
                    compare_relations( label( a ), id );
                    compare_meshes( a, b );
                }
            }

            void compare_relations( const std::string& owner, const uuid& id )
            {
                using Query = std::vector< ComponentID > ( Relationships::* )(
                    const uuid& ) const;
                static constexpr std::array<
                    std::pair< std::string_view, Query >, 6 >
                    QUERIES{ { { "boundaries", &Relationships::boundaries },
                        { "incidences", &Relationships::incidences },
                        { "internal components",
                            &Relationships::internal_components },
                        { "embeddings", &Relationships::embeddings },
                        { "items", &Relationships::items },
                        { "collections", &Relationships::collections } } };
                const auto& first = first_.relationships();
                const auto& second = second_.relationships();
                for( const auto& [name, query] : QUERIES )
                {
                    const auto in_first = ( first.*query )( id );
                    const auto in_second = ( second.*query )( id );
                    if( in_first != in_second )
                    {
                        report( owner, ": ", name, " ", list_text( in_first ),
                            " in the first model, ", list_text( in_second ),
                            " in the second" );
                    }
                }
            }

            // Mesh kinds and points; false when the vertex counts differ.
            template < typename Mesh >
            bool compare_points( const std::string& owner, const Mesh& first,
                const Mesh& second )
            {
                if( first.impl_name() != second.impl_name() )
                {
                    report( owner, ": a ", first.impl_name(),
                        " mesh in the first model, a ", second.impl_name(),
                        " in the second" );
                }
                if( first.nb_vertices() != second.nb_vertices() )
                {
                    report( owner, ": ", first.nb_vertices(),
                        " vertices in the first model, ", second.nb_vertices(),
                        " in the second" );
                    return false;
                }
                index_t nb_different{ 0 };
                index_t first_different{ NO_ID };
                for( index_t vertex = 0; vertex < first.nb_vertices();
                     vertex++ )
                {
                    if( !same_point(
                            first.point( vertex ), second.point( vertex ) ) )
                    {
                        if( nb_different++ == 0 )
                        {
                            first_different = vertex;
                        }
                    }
                }
                if( nb_different != 0 )
                {
                    report( owner, ": ", nb_different, " of ",
                        first.nb_vertices(), " points differ, first vertex ",
                        first_different, " at ",
                        point_text( first.point( first_different ) ),
                        " in the first model, ",
                        point_text( second.point( first_different ) ),
                        " in the second" );
                }
                return true;
            }

            // Elements compared one by one: same tells whether an element is
            // the same in both meshes, describe gives its text in the first
            // (true) or second mesh, for the first that differs.
            void compare_elements( const std::string& owner,
                std::string_view elements, index_t nb_first, index_t nb_second,
                const std::function< bool( index_t ) >& same,
                const std::function< std::string( bool, index_t ) >& describe )
            {
                if( nb_first != nb_second )
                {
                    report( owner, ": ", nb_first, " ", elements,
                        " in the first model, ", nb_second, " in the second" );
                    return;
                }
                index_t nb_different{ 0 };
                index_t first_different{ NO_ID };
                for( index_t element = 0; element < nb_first; element++ )
                {
                    if( !same( element ) && nb_different++ == 0 )
                    {
                        first_different = element;
                    }
                }
                if( nb_different != 0 )
                {
                    report( owner, ": ", nb_different, " of ", nb_first, " ",
                        elements, " differ, first ", first_different, ": ",
                        describe( true, first_different ),
                        " in the first model, ",
                        describe( false, first_different ), " in the second" );
                }
            }

            void compare_line_meshes( const std::string& owner,
                const EdgedCurve< 3 >& first, const EdgedCurve< 3 >& second )
            {
                compare_points( owner, first, second );
                compare_elements(
                    owner, "edges", first.nb_edges(), second.nb_edges(),
                    [&]( index_t edge )
                    {
                        return first.edge_vertices( edge )
                               == second.edge_vertices( edge );
                    },
                    [&]( bool in_first, index_t edge )
                    {
                        return indices_text( ( in_first ? first : second )
                                                 .edge_vertices( edge ) );
                    } );
            }

            void compare_surface_meshes( const std::string& owner,
                const SurfaceMesh< 3 >& first, const SurfaceMesh< 3 >& second )
            {
                compare_points( owner, first, second );
                compare_elements(
                    owner, "polygons", first.nb_polygons(),
                    second.nb_polygons(),
                    [&]( index_t polygon )
                    {
                        return first.polygon_vertices( polygon )
                               == second.polygon_vertices( polygon );
                    },
                    [&]( bool in_first, index_t polygon )
                    {
                        return indices_text( ( in_first ? first : second )
                                                 .polygon_vertices( polygon ) );
                    } );
            }

            void compare_solid_meshes( const std::string& owner,
                const SolidMesh< 3 >& first, const SolidMesh< 3 >& second )
            {
                compare_points( owner, first, second );
                compare_elements(
                    owner, "polyhedra", first.nb_polyhedra(),
                    second.nb_polyhedra(),
                    [&]( index_t polyhedron )
                    {
                        return first.polyhedron_type( polyhedron )
                                   == second.polyhedron_type( polyhedron )
                               && first.polyhedron_vertices( polyhedron )
                                      == second.polyhedron_vertices(
                                          polyhedron );
                    },
                    [&]( bool in_first, index_t polyhedron )
                    {
                        const auto& mesh = in_first ? first : second;
                        return concatenate(
                            polyhedron_type_name(
                                mesh.polyhedron_type( polyhedron ) ),
                            " ",
                            indices_text(
                                mesh.polyhedron_vertices( polyhedron ) ) );
                    } );
            }

            void compare_unique_vertices()
            {
                const auto nb_first = first_.nb_unique_vertices();
                const auto nb_second = second_.nb_unique_vertices();
                if( nb_first != nb_second )
                {
                    report( nb_first, " unique vertices in the first model, ",
                        nb_second, " in the second" );
                }
                std::size_t nb_different{ 0 };
                for( index_t unique_vertex = 0;
                     unique_vertex < std::min( nb_first, nb_second );
                     unique_vertex++ )
                {
                    const auto& in_first =
                        first_.component_mesh_vertices( unique_vertex );
                    const auto& in_second =
                        second_.component_mesh_vertices( unique_vertex );
                    if( in_first == in_second )
                    {
                        continue;
                    }
                    if( nb_different++ < MAX_LISTED_UNIQUE_VERTICES )
                    {
                        report( "Unique vertex ", unique_vertex, ": bound to ",
                            list_text( in_first ), " in the first model, ",
                            list_text( in_second ), " in the second" );
                    }
                }
                if( nb_different > MAX_LISTED_UNIQUE_VERTICES )
                {
                    report( "... and ",
                        nb_different - MAX_LISTED_UNIQUE_VERTICES,
                        " more unique vertices bound differently" );
                }
            }

            const StructuralModel& first_;
            const StructuralModel& second_;
            std::vector< std::string > lines_;
        };
    } // namespace

    std::vector< std::string > model_differences(
        const StructuralModel& first, const StructuralModel& second )
    {
        return Comparison{ first, second }.run();
    }
} // namespace brevane
