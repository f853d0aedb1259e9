#include "inspection/model_fingerprint.h"

#include <cstring>

namespace brevane::internal
{
    namespace
    {
        // 64-bit FNV-1a over the bytes given.
        class Digest
        {
        public:
            void add_bytes( const void* data, std::size_t size )
            {
                const auto* bytes = static_cast< const unsigned char* >( data );
                for( std::size_t index = 0; index < size; index++ )
                {
                    value_ = ( value_ ^ bytes[index] ) * 1099511628211ULL;
                }
            }

            void add( std::uint64_t number )
            {
                add_bytes( &number, sizeof( number ) );
            }

            void add( const Point3D& point )
            {
                for( local_index_t axis = 0; axis < 3; axis++ )
                {
                    const auto coordinate = point.value( axis );
                    add_bytes( &coordinate, sizeof( coordinate ) );
                }
            }

            [[nodiscard]] std::uint64_t value() const
            {
                return value_ == 0 ? 1 : value_;
            }

        private:
            std::uint64_t value_{ 14695981039346656037ULL };
        };

        template < typename Components >
        void add_points( const Components& components, Digest& digest )
        {
            for( const auto& component : components )
            {
                const auto& mesh = component.mesh();
                digest.add( mesh.nb_vertices() );
                for( index_t vertex = 0; vertex < mesh.nb_vertices(); vertex++ )
                {
                    digest.add( mesh.point( vertex ) );
                }
            }
        }
    } // namespace

    std::uint64_t model_fingerprint( const StructuralModel& model )
    {
        Digest digest;
        digest.add( model.nb_unique_vertices() );
        add_points( model.corners(), digest );
        add_points( model.lines(), digest );
        add_points( model.surfaces(), digest );
        return digest.value();
    }
} // namespace brevane::internal
