#pragma once
#include <string>

// One flat JSON object built field by field. Text values carry raw bytes: printable ASCII stands
// as itself, every other byte (and '"' and '\\') as \u00XX, so that reading the string back as
// code points 0-255 gives the exact bytes.
class CJsonLine
{
public:
    CJsonLine& Text(const std::string& key, const std::string& bytes);
    CJsonLine& Number(const std::string& key, long long value);
    CJsonLine& Decimal(const std::string& key, double value);
    CJsonLine& Flag(const std::string& key, bool value);
    // The object as one line, without a line end.
    std::string Line() const;

    static std::string Escape(const std::string& bytes);
    static std::string Hex(const std::string& bytes);

private:
    void Key(const std::string& key);

    std::string m_body;
};
