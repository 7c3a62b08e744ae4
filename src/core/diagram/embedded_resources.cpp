#include "embedded_resources.h"

#include "embedded_resource_data.h"

namespace pictog {

std::optional<ResourceBytes> findResource(std::string_view name)
{
    for (std::size_t i = 0; i < detail::embeddedResourceCount; ++i) {
        const detail::EmbeddedResource& entry = detail::embeddedResources[i];
        if (name == entry.name)
            return ResourceBytes { entry.data, entry.size };
    }
    return std::nullopt;
}

} // namespace pictog
