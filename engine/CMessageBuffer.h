#pragma once
#include <initializer_list>
#include <string>

// The run's message text: 200 characters including the terminator. Texts are formatted into it
// by replacing each "%s" of a pattern with the next argument; what does not fit is cut.
class CMessageBuffer
{
public:
    static constexpr std::size_t kCapacity = 200;

    void Format(const char* pattern, std::initializer_list<std::string> arguments);

    const char* Text() const { return m_szText; }

private:
    char m_szText[kCapacity] = {};
};
