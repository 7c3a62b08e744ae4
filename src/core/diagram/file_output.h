#pragma once

#include <cstddef>
#include <string>

namespace pictog {

// Writes the bytes to the file of that name, replacing any file there, through a temporary file
// in the same folder that is renamed over the name once it is complete. Returns an empty text on
// success, else the file library's error text (as strerror words it); after a failure nothing is
// left under the temporary name and a file already under the chosen name is unchanged.
std::string writeFileReplacing(
    const std::string& path, const unsigned char* data, std::size_t size);

} // namespace pictog
