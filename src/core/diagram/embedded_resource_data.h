#pragma once

// The table that the build writes from the committed artwork files (embedded_resource_data.cpp
// in the build folder); only embedded_resources.cpp reads it.

#include <cstddef>

namespace pictog::detail {

struct EmbeddedResource {
    const char* name;
    const unsigned char* data;
    std::size_t size;
};

extern const EmbeddedResource embeddedResources[];
extern const std::size_t embeddedResourceCount;

} // namespace pictog::detail
