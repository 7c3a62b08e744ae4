// Annotations: any text through the arrow list, square list and comment readers. A rejection
// names a bad item with no control byte in it and leaves the annotations as they were; what is
// accepted lies on the board, has no doubles and formats to text that reads back the same.
#include "fuzz_check.h"

#include "diagram/annotations.h"
#include "position/chess_position.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using namespace pictog;

bool wellFormed(const Annotations& a)
{
    for (std::size_t i = 0; i < a.arrows.size(); ++i) {
        const ArrowAnnotation& arrow = a.arrows[i];
        if (!isOnBoard(arrow.from) || !isOnBoard(arrow.to) || arrow.from == arrow.to)
            return false;
        for (std::size_t j = 0; j < i; ++j)
            if (a.arrows[j].from == arrow.from && a.arrows[j].to == arrow.to)
                return false;
    }
    for (std::size_t i = 0; i < a.squares.size(); ++i) {
        if (!isOnBoard(a.squares[i].square))
            return false;
        for (std::size_t j = 0; j < i; ++j)
            if (a.squares[j].square == a.squares[i].square)
                return false;
    }
    return true;
}

bool quotedItemMessage(const std::string& message, std::string_view prefix)
{
    // "bad arrow 'ITEM': expected ...": the item quoted, then what was expected.
    if (message.compare(0, prefix.size(), prefix) != 0
        || message.find("': expected ") == std::string::npos)
        return false;
    for (char c : message)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return false;
    return true;
}

template <class Reader> void check(std::string_view text, Reader read)
{
    Annotations start;
    start.squares.push_back({ 0, AnnotationColor::Red }); // must survive a rejection
    Annotations a = start;
    const auto message = read(text, a);
    if (message) {
        FUZZ_CHECK(a == start);
        FUZZ_CHECK(quotedItemMessage(*message, "bad arrow '")
            || quotedItemMessage(*message, "bad square '"));
        return;
    }
    FUZZ_CHECK(wellFormed(a));
    Annotations reread;
    FUZZ_CHECK(!parseAnnotationComment(formatAnnotationComment(a), reread));
    FUZZ_CHECK(reread == a);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    check(text, parseArrowList);
    check(text, parseSquareList);
    check(text, parseAnnotationComment);
    return 0;
}
