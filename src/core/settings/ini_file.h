#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pictog {

// The in-memory copy of an INI file: sections of "key=value" entries, read from text and written
// back as text. Section and key names match case-sensitively.
//
// Reading: every line is trimmed of blanks and control characters; empty lines, lines starting
// with ";" and lines before the first "[section]" are dropped. In a section a line holding "="
// is an entry (key and value are the trimmed texts either side of the first "="); any other line
// is a bare entry, kept for writing but never found as a key. A section that appears twice is
// merged into its first appearance.
//
// Writing: a key that exists is replaced where it stands, a new key goes to the end of its
// section, a new section to the end of the file. text() then gives every section as "[name]",
// its entries and one empty line; comments and blank lines of the original are gone, entries the
// program does not know are kept.
class IniFile
{
public:
    // An empty store.
    IniFile() = default;

    // Parses the text of an INI file; line ends may be LF, CR LF or CR, and a UTF-8 byte order
    // mark at the very start is skipped.
    explicit IniFile(std::string_view text);

    // The value of the key, or defaultValue when the section or key is missing. An empty value
    // is a present, empty text.
    std::string readString(
        std::string_view section, std::string_view key, std::string_view defaultValue) const;

    // Decimal, or hexadecimal after "0x", "0X" or "$", with an optional sign; a missing key or a
    // value that is no 32-bit integer gives defaultValue.
    int readInteger(std::string_view section, std::string_view key, int defaultValue) const;

    // An integer read with the default 1 or 0; any non-zero value is true, so a word such as
    // "yes" reads as the default.
    bool readBool(std::string_view section, std::string_view key, bool defaultValue) const;

    // Sets the value of the key, adding the key or the section where missing.
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInteger(std::string_view section, std::string_view key, int value);
    void writeBool(std::string_view section, std::string_view key, bool value);

    // True when the section exists with exactly this name.
    bool hasSection(std::string_view section) const;

    // The whole file as it is written, lines ending in LF. A line break inside a value is written
    // as a blank, so that one entry always stays one line.
    std::string text() const;

private:
    struct Entry {
        std::string key; // for a bare entry: the whole line
        std::string value;
        bool bare = false;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };

    const Section* findSection(std::string_view name) const;
    Section& sectionFor(std::string_view name);
    const std::string* findValue(std::string_view section, std::string_view key) const;

    std::vector<Section> m_sections;
};

// Parses a 32-bit integer the way the INI store does: optional sign, then decimal digits or
// "0x", "0X" or "$" and hexadecimal digits. False for anything else, including overflow.
bool parseIniInteger(std::string_view text, int& value);

} // namespace pictog
