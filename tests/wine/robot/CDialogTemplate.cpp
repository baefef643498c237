#include "CDialogTemplate.h"

#include <cstring>

namespace
{
const unsigned kSetFont = 0x40;   // DS_SETFONT
const unsigned kShellFont = 0x48; // DS_SHELLFONT

// Reads little-endian fields from the template with a bound check on every read.
class CReader
{
public:
    CReader(const unsigned char* bytes, size_t size) : m_bytes(bytes), m_size(size) {}

    bool Word(std::uint16_t& value)
    {
        if (m_pos + 2 > m_size)
            return false;
        value = static_cast<std::uint16_t>(m_bytes[m_pos] | (m_bytes[m_pos + 1] << 8));
        m_pos += 2;
        return true;
    }
    bool DWord(std::uint32_t& value)
    {
        std::uint16_t low = 0;
        std::uint16_t high = 0;
        if (!Word(low) || !Word(high))
            return false;
        value = low | (static_cast<std::uint32_t>(high) << 16);
        return true;
    }
    bool Short(int& value)
    {
        std::uint16_t word = 0;
        if (!Word(word))
            return false;
        value = static_cast<std::int16_t>(word);
        return true;
    }
    bool Byte(unsigned& value)
    {
        if (m_pos + 1 > m_size)
            return false;
        value = m_bytes[m_pos++];
        return true;
    }
    // A zero-terminated UTF-16 text (the templates hold plain ASCII: other characters as '?').
    bool Text(std::string& text)
    {
        text.clear();
        for (;;)
        {
            std::uint16_t unit = 0;
            if (!Word(unit))
                return false;
            if (unit == 0)
                return true;
            text += unit < 0x100 ? static_cast<char>(unit) : '?';
        }
    }
    // A text or an ordinal (0xFFFF followed by its number).
    bool TextOrOrdinal(std::string& text, unsigned& ordinal)
    {
        ordinal = 0;
        std::uint16_t first = 0;
        if (!Word(first))
            return false;
        if (first == 0xFFFF)
        {
            std::uint16_t number = 0;
            if (!Word(number))
                return false;
            ordinal = number;
            text = "#" + std::to_string(number);
            return true;
        }
        m_pos -= 2;
        return Text(text);
    }
    bool Skip(size_t count)
    {
        if (m_pos + count > m_size)
            return false;
        m_pos += count;
        return true;
    }
    void AlignToDWord() { m_pos = (m_pos + 3) & ~static_cast<size_t>(3); }

private:
    const unsigned char* m_bytes;
    size_t m_size;
    size_t m_pos = 0;
};

std::string StandardClass(unsigned ordinal, const std::string& text)
{
    switch (ordinal)
    {
    case 0x80:
        return "Button";
    case 0x81:
        return "Edit";
    case 0x82:
        return "Static";
    case 0x83:
        return "ListBox";
    case 0x84:
        return "ScrollBar";
    case 0x85:
        return "ComboBox";
    default:
        return text;
    }
}

bool ReadItemTail(CReader& reader, CDialogTemplate::Item& item, bool extended)
{
    std::string className;
    unsigned classOrdinal = 0;
    unsigned textOrdinal = 0;
    std::uint16_t extraBytes = 0;
    if (!reader.TextOrOrdinal(className, classOrdinal) ||
        !reader.TextOrOrdinal(item.text, textOrdinal) || !reader.Word(extraBytes))
        return false;
    // The classic format counts the size word itself in the creation data's size.
    const size_t dataBytes = extended || extraBytes == 0 ? extraBytes : extraBytes - 2u;
    if (!reader.Skip(dataBytes))
        return false;
    item.className = StandardClass(classOrdinal, className);
    return true;
}
} // namespace

bool CDialogTemplate::Parse(const unsigned char* bytes, size_t size)
{
    CReader reader(bytes, size);
    std::uint16_t version = 0;
    std::uint16_t signature = 0;
    if (!reader.Word(version) || !reader.Word(signature))
        return false;
    extended = version == 1 && signature == 0xFFFF;
    std::uint16_t count = 0;
    if (extended)
    {
        std::uint32_t helpId = 0;
        if (!reader.DWord(helpId) || !reader.DWord(exStyle) || !reader.DWord(style))
            return false;
    }
    else
    {
        reader = CReader(bytes, size);
        if (!reader.DWord(style) || !reader.DWord(exStyle))
            return false;
    }
    std::string menu;
    std::string windowClass;
    unsigned ordinal = 0;
    if (!reader.Word(count) || !reader.Short(x) || !reader.Short(y) || !reader.Short(cx) ||
        !reader.Short(cy) || !reader.TextOrOrdinal(menu, ordinal) ||
        !reader.TextOrOrdinal(windowClass, ordinal) || !reader.Text(caption))
        return false;
    if ((style & kSetFont) != 0 || (extended && (style & kShellFont) == kShellFont))
    {
        std::uint16_t points = 0;
        if (!reader.Word(points))
            return false;
        fontSize = points;
        if (extended)
        {
            std::uint16_t weight = 0;
            unsigned italic = 0;
            unsigned charset = 0;
            if (!reader.Word(weight) || !reader.Byte(italic) || !reader.Byte(charset))
                return false;
        }
        if (!reader.Text(fontName))
            return false;
    }
    items.clear();
    for (unsigned index = 0; index < count; ++index)
    {
        reader.AlignToDWord();
        Item item;
        bool read = false;
        if (extended)
        {
            std::uint32_t helpId = 0;
            std::uint32_t id = 0;
            read = reader.DWord(helpId) && reader.DWord(item.exStyle) && reader.DWord(item.style) &&
                   reader.Short(item.x) && reader.Short(item.y) && reader.Short(item.cx) &&
                   reader.Short(item.cy) && reader.DWord(id);
            item.id = static_cast<std::int32_t>(id);
        }
        else
        {
            std::uint16_t id = 0;
            read = reader.DWord(item.style) && reader.DWord(item.exStyle) && reader.Short(item.x) &&
                   reader.Short(item.y) && reader.Short(item.cx) && reader.Short(item.cy) &&
                   reader.Word(id);
            item.id = static_cast<std::int16_t>(id);
        }
        if (!read || !ReadItemTail(reader, item, extended))
            return false;
        items.push_back(item);
    }
    return true;
}
