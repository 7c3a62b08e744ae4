#pragma once

#include <string>

namespace pictog {

// Where the core hands a failure the user must see: the desktop program shows the text in a
// message box, pictog-cli prints it, tests record it.
class ErrorReporter
{
public:
    virtual ~ErrorReporter() = default;
    virtual void showError(const std::string& message) = 0;
};

} // namespace pictog
