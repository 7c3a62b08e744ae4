#include "ini_file.h"

#include <cstdint>

namespace pictog {

namespace {

    bool isBlank(char c)
    {
        return static_cast<unsigned char>(c) <= ' ';
    }

    std::string_view trimmed(std::string_view text)
    {
        while (!text.empty() && isBlank(text.front()))
            text.remove_prefix(1);
        while (!text.empty() && isBlank(text.back()))
            text.remove_suffix(1);
        return text;
    }

    int hexValue(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    // Appends value with every line break (CR LF, CR or LF) turned into one blank.
    void appendOnOneLine(std::string& out, std::string_view value)
    {
        for (std::size_t i = 0; i < value.size(); ++i) {
            const char c = value[i];
            if (c == '\r') {
                if (i + 1 < value.size() && value[i + 1] == '\n')
                    ++i;
                out += ' ';
            } else if (c == '\n') {
                out += ' ';
            } else {
                out += c;
            }
        }
    }

} // namespace

bool parseIniInteger(std::string_view text, int& value)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (!text.empty() && text.front() == '$') {
        base = 16;
        text.remove_prefix(1);
    } else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty())
        return false;
    std::uint64_t magnitude = 0;
    for (const char c : text) {
        const int digit = base == 16 ? hexValue(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
        if (digit < 0)
            return false;
        magnitude
            = magnitude * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        if (magnitude > 0xFFFFFFFFu)
            return false;
    }
    std::int64_t result;
    if (base == 16) {
        // Hexadecimal covers the whole 32-bit pattern: $FFFFFFFF is -1.
        result = static_cast<std::int32_t>(static_cast<std::uint32_t>(magnitude));
    } else {
        result = static_cast<std::int64_t>(magnitude);
        if (result > INT32_MAX + std::int64_t(negative ? 1 : 0))
            return false;
    }
    if (negative)
        result = -result;
    if (result < INT32_MIN || result > INT32_MAX)
        return false;
    value = static_cast<int>(result);
    return true;
}

IniFile::IniFile(std::string_view text)
{
    // Editors that save "UTF-8 with BOM" put one before the first line; it is no part of it.
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, byteOrderMark.size()) == byteOrderMark)
        text.remove_prefix(byteOrderMark.size());
    Section* current = nullptr;
    while (!text.empty()) {
        std::size_t end = text.find_first_of("\r\n");
        std::string_view line = text.substr(0, end);
        if (end == std::string_view::npos) {
            text = {};
        } else {
            if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
                ++end;
            text.remove_prefix(end + 1);
        }
        line = trimmed(line);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            current = &sectionFor(trimmed(line.substr(1, line.size() - 2)));
            continue;
        }
        if (!current)
            continue;
        Entry entry;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            entry.key = std::string(line);
            entry.bare = true;
        } else {
            entry.key = std::string(trimmed(line.substr(0, equals)));
            entry.value = std::string(trimmed(line.substr(equals + 1)));
        }
        current->entries.push_back(std::move(entry));
    }
}

const IniFile::Section* IniFile::findSection(std::string_view name) const
{
    for (const Section& section : m_sections)
        if (section.name == name)
            return &section;
    return nullptr;
}

IniFile::Section& IniFile::sectionFor(std::string_view name)
{
    for (Section& section : m_sections)
        if (section.name == name)
            return section;
    m_sections.push_back(Section { std::string(name), {} });
    return m_sections.back();
}

const std::string* IniFile::findValue(std::string_view section, std::string_view key) const
{
    const Section* found = findSection(section);
    if (!found)
        return nullptr;
    for (const Entry& entry : found->entries)
        if (!entry.bare && entry.key == key)
            return &entry.value;
    return nullptr;
}

bool IniFile::hasSection(std::string_view section) const
{
    return findSection(section) != nullptr;
}

std::string IniFile::readString(
    std::string_view section, std::string_view key, std::string_view defaultValue) const
{
    const std::string* value = findValue(section, key);
    return value ? *value : std::string(defaultValue);
}

int IniFile::readInteger(std::string_view section, std::string_view key, int defaultValue) const
{
    const std::string* text = findValue(section, key);
    int value = defaultValue;
    if (text && parseIniInteger(*text, value))
        return value;
    return defaultValue;
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value)
{
    Section& target = sectionFor(section);
    for (Entry& entry : target.entries) {
        if (!entry.bare && entry.key == key) {
            entry.value = std::string(value);
            return;
        }
    }
    target.entries.push_back(Entry { std::string(key), std::string(value), false });
}

void IniFile::writeInteger(std::string_view section, std::string_view key, int value)
{
    writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(std::string_view section, std::string_view key, bool value)
{
    writeString(section, key, value ? "1" : "0");
}

std::string IniFile::text() const
{
    std::string out;
    for (const Section& section : m_sections) {
        out += '[';
        out += section.name;
        out += "]\n";
        for (const Entry& entry : section.entries) {
            appendOnOneLine(out, entry.key);
            if (!entry.bare) {
                out += '=';
                appendOnOneLine(out, entry.value);
            }
            out += '\n';
        }
        out += '\n';
    }
    return out;
}

} // namespace pictog
