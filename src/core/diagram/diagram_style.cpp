#include "diagram/diagram_style.h"

namespace pictog {

std::optional<DiagramStyle> parseDiagramStyle(std::string_view name)
{
    for (std::size_t i = 0; i < DiagramStyleNames.size(); ++i)
        if (name == DiagramStyleNames[i])
            return static_cast<DiagramStyle>(i);
    return std::nullopt;
}

std::string_view diagramStyleName(DiagramStyle style)
{
    const auto index = static_cast<std::size_t>(style);
    return index < DiagramStyleNames.size() ? DiagramStyleNames[index] : DiagramStyleNames[0];
}

} // namespace pictog
