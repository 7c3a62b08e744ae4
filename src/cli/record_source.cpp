#include "record_source.h"

namespace pictog::cli {

RecordExtras readRecordExtras(std::string_view afterTab, const Annotations& base)
{
    RecordExtras extras;
    extras.annotations = base;
    std::vector<game::EpdOperation> operations;
    if (!game::parseEpdOperations(afterTab, operations, &extras.annotations)) {
        if (const std::string* id = game::firstOperand(operations, "id"))
            extras.id = *id;
        if (const std::string* c0 = game::firstOperand(operations, "c0"))
            extras.c0 = *c0;
        return extras;
    }
    // Lenient on purpose: a free comment after the TAB has always been accepted for its
    // [%cal]/[%csl] commands.
    extras.annotations = base;
    if (const auto message = parseAnnotationComment(afterTab, extras.annotations))
        extras.message = *message;
    return extras;
}

Captions recordCaptions(const Captions& given, const RecordExtras& extras)
{
    Captions captions = given;
    if (captions.header1.empty())
        captions.header1 = extras.id;
    if (captions.footer1.empty())
        captions.footer1 = extras.c0;
    return captions;
}

} // namespace pictog::cli
