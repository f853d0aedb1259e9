#pragma once

namespace brevane
{
    // How the values of an attribute follow the creation and the copy of
    // elements. Compaction and deletion always keep the values of surviving
    // elements, whatever the flags.
    struct AttributeProperties
    {
        // When an element is created as a copy of one source element (the
        // halves of a split polygon, the new half of a split edge), the new
        // element takes the value of the source
        // (AttributeManager::assign_attribute_value).
        bool assignable{ false };
        // When an element is created inside others (a vertex on an edge or
        // inside a triangle), it takes the weighted sum of the values of the
        // sources (AttributeManager::interpolate_attribute_value). Only types
        // supporting T * double and T + T (arithmetic types except bool,
        // points, vectors) interpolate; for other types the flag is ignored.
        bool interpolable{ false };
        // The value is carried when elements are copied into another mesh
        // (AttributeManager::copy_attribute_values, AttributeManager::copy and
        // the clone of a mesh). Attributes without it are left behind.
        bool transferable{ false };
    };
} // namespace brevane
