#include "forum_schemes.h"

namespace pictog {

const ForumScheme* forumScheme(int entry)
{
    if (entry < 1 || entry >= static_cast<int>(ForumSchemes.size()))
        return nullptr;
    return &ForumSchemes[static_cast<std::size_t>(entry)];
}

} // namespace pictog
