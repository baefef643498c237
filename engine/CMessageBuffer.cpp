#include "engine/CMessageBuffer.h"

#include <cstring>

void CMessageBuffer::Format(const char* pattern, std::initializer_list<std::string> arguments)
{
    std::string text;
    auto argument = arguments.begin();
    for (const char* p = pattern; *p != '\0'; ++p)
    {
        if (p[0] == '%' && p[1] == 's' && argument != arguments.end())
        {
            text += *argument++;
            ++p;
        }
        else
            text += *p;
    }
    const std::size_t length = text.size() < kCapacity - 1 ? text.size() : kCapacity - 1;
    std::memcpy(m_szText, text.data(), length);
    m_szText[length] = '\0';
}
