#include "json_schema_check.h"

namespace brevane::test
{
    namespace
    {
        using Json = nlohmann::json;

        bool has_type( const Json& value, const std::string& type )
        {
            if( type == "object" )
            {
                return value.is_object();
            }
            if( type == "array" )
            {
                return value.is_array();
            }
            if( type == "string" )
            {
                return value.is_string();
            }
            if( type == "integer" )
            {
                return value.is_number_integer();
            }
            if( type == "number" )
            {
                return value.is_number();
            }
            if( type == "boolean" )
            {
                return value.is_boolean();
            }
            return type == "null" && value.is_null();
        }

        class SchemaChecker
        {
        public:
            explicit SchemaChecker( const Json& root ) : root_( root ) {}

            void check( const Json& value, const Json& schema,
                const std::string& path )
            {
                if( schema.contains( "$ref" ) )
                {
                    check( value, resolve( schema["$ref"] ), path );
                    return;
                }
                if( schema.contains( "oneOf" ) )
                {
                    check_one_of( value, schema["oneOf"], path );
                }
                if( schema.contains( "type" ) )
                {
                    const auto& types = schema["type"];
                    bool matches{ false };
                    for( const auto& type :
                        types.is_array() ? types : Json::array( { types } ) )
                    {
                        matches = matches || has_type( value, type );
                    }
                    if( !matches )
                    {
                        fail( path, "is not of type " + types.dump() );
                        return;
                    }
                }
                if( schema.contains( "enum" )
                    && std::find( schema["enum"].begin(), schema["enum"].end(),
                           value )
                           == schema["enum"].end() )
                {
                    fail( path, value.dump() + " is not one of "
                                    + schema["enum"].dump() );
                }
                if( schema.contains( "minimum" ) && value.is_number()
                    && value.get< double >()
                           < schema["minimum"].get< double >() )
                {
                    fail( path, "is below " + schema["minimum"].dump() );
                }
                if( value.is_object() )
                {
                    check_object( value, schema, path );
                }
                if( value.is_array() )
                {
                    check_array( value, schema, path );
                }
            }

            std::vector< std::string > violations;

        private:
            const Json& resolve( const Json& reference ) const
            {
                const std::string prefix{ "#/$defs/" };
                const auto text = reference.get< std::string >();
                if( text.rfind( prefix, 0 ) != 0
                    || !root_["$defs"].contains( text.substr( prefix.size() ) ) )
                {
                    throw std::runtime_error{ "unknown $ref " + text };
                }
                return root_["$defs"][text.substr( prefix.size() )];
            }

            void fail( const std::string& path, const std::string& what )
            {
                violations.push_back( ( path.empty() ? "/" : path ) + ": " + what );
            }

            void check_one_of( const Json& value, const Json& branches,
                const std::string& path )
            {
                std::size_t nb_matching{ 0 };
                for( const auto& branch : branches )
                {
                    SchemaChecker branch_checker{ root_ };
                    branch_checker.check( value, branch, path );
                    nb_matching += branch_checker.violations.empty() ? 1 : 0;
                }
                if( nb_matching != 1 )
                {
                    fail( path, "matches " + std::to_string( nb_matching )
                                    + " of the oneOf schemas, not one" );
                }
            }

            void check_object( const Json& value, const Json& schema,
                const std::string& path )
            {
                for( const auto& name : schema.value( "required", Json::array() ) )
                {
                    if( !value.contains( name.get< std::string >() ) )
                    {
                        fail( path, "misses " + name.dump() );
                    }
                }
                const auto properties = schema.value( "properties", Json::object() );
                for( const auto& [name, member] : value.items() )
                {
                    if( properties.contains( name ) )
                    {
                        check( member, properties[name], path + "/" + name );
                    }
                    else if( schema.value( "additionalProperties", true ) == false )
                    {
                        fail( path, "has the unknown member \"" + name + "\"" );
                    }
                }
            }

            void check_array( const Json& value, const Json& schema,
                const std::string& path )
            {
                if( schema.contains( "minItems" )
                    && value.size() < schema["minItems"].get< std::size_t >() )
                {
                    fail( path, "has too few items" );
                }
                if( schema.contains( "maxItems" )
                    && value.size() > schema["maxItems"].get< std::size_t >() )
                {
                    fail( path, "has too many items" );
                }
                if( schema.contains( "items" ) )
                {
                    for( std::size_t item = 0; item < value.size(); item++ )
                    {
                        check( value[item], schema["items"],
                            path + "/" + std::to_string( item ) );
                    }
                }
            }

            const Json& root_;
        };
    } // namespace

    std::vector< std::string > schema_violations(
        const nlohmann::json& document, const nlohmann::json& schema )
    {
        SchemaChecker checker{ schema };
        checker.check( document, schema, "" );
        return checker.violations;
    }
} // namespace brevane::test
