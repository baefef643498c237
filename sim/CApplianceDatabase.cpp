#include "sim/CApplianceDatabase.h"

#include "sim/CCommandLine.h"

#include <cstdio>
#include <fstream>
#include <sstream>

void CApplianceDatabase::Set(const std::string& group, const std::string& name,
                             const std::string& value)
{
    m_variables[{group, name}] = value;
}

bool CApplianceDatabase::Delete(const std::string& group, const std::string& name)
{
    return m_variables.erase({group, name}) > 0;
}

bool CApplianceDatabase::Get(const std::string& group, const std::string& name,
                             std::string& value) const
{
    const auto found = m_variables.find({group, name});
    if (found == m_variables.end())
        return false;
    value = found->second;
    return true;
}

bool CApplianceDatabase::Save(const std::string& path) const
{
    const std::string temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        for (const auto& [key, value] : m_variables)
            out << key.first << ' ' << key.second << ' ' << value << '\n';
        out.flush();
        if (!out)
            return false;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

bool CApplianceDatabase::Load(const std::string& path)
{
    m_variables.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return true;
    std::ostringstream text;
    text << in.rdbuf();
    Parse(text.str());
    return true;
}

int CApplianceDatabase::Parse(const std::string& text)
{
    int malformed = 0;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line))
    {
        const CCommandLine words(line);
        if (!words.IsValid() || words.WordCount() < 2)
        {
            ++malformed;
            continue;
        }
        Set(words.Word(0), words.Word(1), words.RestAfter(2));
    }
    return malformed;
}
