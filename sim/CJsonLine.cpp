#include "sim/CJsonLine.h"

#include <cstdio>

CJsonLine& CJsonLine::Text(const std::string& key, const std::string& bytes)
{
    Key(key);
    m_body += '"';
    m_body += Escape(bytes);
    m_body += '"';
    return *this;
}

CJsonLine& CJsonLine::Number(const std::string& key, long long value)
{
    Key(key);
    m_body += std::to_string(value);
    return *this;
}

CJsonLine& CJsonLine::Decimal(const std::string& key, double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.3f", value);
    Key(key);
    m_body += buffer;
    return *this;
}

CJsonLine& CJsonLine::Flag(const std::string& key, bool value)
{
    Key(key);
    m_body += value ? "true" : "false";
    return *this;
}

std::string CJsonLine::Line() const
{
    return "{" + m_body + "}";
}

void CJsonLine::Key(const std::string& key)
{
    if (!m_body.empty())
        m_body += ',';
    m_body += '"';
    m_body += Escape(key);
    m_body += "\":";
}

std::string CJsonLine::Escape(const std::string& bytes)
{
    std::string escaped;
    escaped.reserve(bytes.size());
    for (unsigned char byte : bytes)
    {
        if (byte >= 0x20 && byte < 0x7F && byte != '"' && byte != '\\')
        {
            escaped += static_cast<char>(byte);
            continue;
        }
        char code[8];
        std::snprintf(code, sizeof code, "\\u%04x", byte);
        escaped += code;
    }
    return escaped;
}

std::string CJsonLine::Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (unsigned char byte : bytes)
    {
        hex += digits[byte >> 4];
        hex += digits[byte & 0xF];
    }
    return hex;
}
