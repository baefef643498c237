#pragma once
#include <map>
#include <string>
#include <vector>

// One record of the simulator's transcript (one JSON object of its JSON-lines file). Text values
// are given back as the exact bytes the simulator saw or sent; numbers and flags as their text.
class CTranscriptRecord
{
public:
    // Parses one line; false for anything that is not a flat JSON object.
    static bool Parse(const std::string& line, CTranscriptRecord& record);
    // Every complete, well-formed line of a transcript file (a torn last line is skipped).
    static std::vector<CTranscriptRecord> ReadFile(const std::string& path);

    const std::string& Service() const { return Get("service"); }
    const std::string& Kind() const { return Get("kind"); }
    // The "text" field: commands and replies as bytes.
    const std::string& Text() const { return Get("text"); }
    int Connection() const { return static_cast<int>(Number("conn")); }

    bool Has(const std::string& key) const { return m_fields.count(key) > 0; }
    // Empty when absent.
    const std::string& Get(const std::string& key) const;
    // 0 when absent or not a number.
    long long Number(const std::string& key) const;
    bool Flag(const std::string& key) const { return Get(key) == "true"; }
    const std::map<std::string, std::string>& Fields() const { return m_fields; }

private:
    std::map<std::string, std::string> m_fields;
};
