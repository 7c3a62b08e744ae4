#include "diagram/file_output.h"

#include "settings/file_system.h"

namespace pictog {

std::string writeFileReplacing(const std::string& path, const unsigned char* data, std::size_t size)
{
    // Pictures are not flushed to the disk one by one: a batch writes thousands of them, and a
    // partial file is already ruled out by the rename.
    FileSystem files;
    return files.replaceFileAtomically(path,
        std::string_view(reinterpret_cast<const char*>(data), size),
        FileSystem::Durability::Unsynced);
}

} // namespace pictog
