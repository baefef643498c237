#pragma once
#include <string>
#include <vector>

// One command line of the command service split into words. The line end ("\n", or "\r\n") is
// not part of any word; blanks and tabs separate words. Lines holding other control characters
// or bytes outside printable ASCII are marked invalid: the appliance answers them with an error.
class CCommandLine
{
public:
    explicit CCommandLine(const std::string& line);

    bool IsValid() const { return m_valid; }
    bool IsEmpty() const { return m_words.empty(); }
    const std::string& Verb() const;
    std::size_t WordCount() const { return m_words.size(); }
    const std::string& Word(std::size_t index) const;
    // The text after the first `count` words, without leading and trailing blanks.
    std::string RestAfter(std::size_t count) const;
    // The line without its line end.
    const std::string& Body() const { return m_body; }

private:
    struct CWord
    {
        std::string text;
        std::size_t end;
    };

    std::string m_body;
    std::vector<CWord> m_words;
    bool m_valid = true;
};
