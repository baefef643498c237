#pragma once
#include "sim/CAppliance.h"
#include "sim/CScenario.h"
#include "sim/CTranscript.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

// An appliance over a scratch state folder and an in-memory transcript, for driving sessions.
class CSimTestAppliance
{
public:
    explicit CSimTestAppliance(const CScenario& scenario = CScenario())
        : m_folder(MakeFolder()), m_transcriptFile(std::tmpfile(), &std::fclose),
          m_transcript(m_transcriptFile.get()), m_appliance(scenario, m_folder, m_transcript)
    {
    }
    ~CSimTestAppliance()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }

    CAppliance& Appliance() { return m_appliance; }
    const std::string& Folder() const { return m_folder; }
    std::string TranscriptText()
    {
        std::fflush(m_transcriptFile.get());
        std::rewind(m_transcriptFile.get());
        std::string text;
        char buffer[4096];
        std::size_t count;
        while ((count = std::fread(buffer, 1, sizeof buffer, m_transcriptFile.get())) > 0)
            text.append(buffer, count);
        std::fseek(m_transcriptFile.get(), 0, SEEK_END);
        return text;
    }

private:
    static std::string MakeFolder()
    {
        char pattern[] = "/tmp/sim-unit.XXXXXX";
        return ::mkdtemp(pattern) ? pattern : "";
    }

    std::string m_folder;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> m_transcriptFile;
    CTranscript m_transcript;
    CAppliance m_appliance;
};
