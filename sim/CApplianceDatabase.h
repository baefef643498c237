#pragma once
#include <map>
#include <string>
#include <utility>

// The appliance's configuration database "general": variables by group and name. The running
// copy changes with every command; only Save puts it on disk, and a restart reloads the disk copy.
class CApplianceDatabase
{
public:
    using CKey = std::pair<std::string, std::string>;

    void Set(const std::string& group, const std::string& name, const std::string& value);
    bool Delete(const std::string& group, const std::string& name);
    bool Get(const std::string& group, const std::string& name, std::string& value) const;
    const std::map<CKey, std::string>& Variables() const { return m_variables; }

    // File format: one "group name value" line a variable. A missing file is an empty database.
    bool Save(const std::string& path) const;
    bool Load(const std::string& path);
    // Reads the file format from text; malformed lines are skipped and counted.
    int Parse(const std::string& text);

private:
    std::map<CKey, std::string> m_variables;
};
