#pragma once

#include <QString>

#include <string>

namespace pictog::gui {

// How a text of Pictog.ini appears in a field: as UTF-8 when its bytes are valid UTF-8, else as
// Latin-1, the encoding older programs wrote ("Caf\xe9" shows as "Café", never with replacement
// characters).
QString textFromSettings(const std::string& stored);

// What a field's text is stored as: the stored bytes themselves while the text still reads as
// them, so an untouched Latin-1 value keeps its bytes and marks nothing modified; else UTF-8.
std::string textForSettings(const QString& text, const std::string& stored);

} // namespace pictog::gui
