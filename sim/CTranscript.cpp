#include "sim/CTranscript.h"

CTranscript::CTranscript(std::FILE* file) : m_file(file), m_start(std::chrono::steady_clock::now())
{
}

void CTranscript::Record(const std::string& service, const std::string& kind,
                         const CJsonLine& fields)
{
    if (m_file == nullptr)
        return;
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - m_start;
    CJsonLine head;
    head.Decimal("t", elapsed.count()).Text("service", service).Text("kind", kind);
    std::string line = head.Line();
    const std::string rest = fields.Line();
    if (rest.size() > 2)
    {
        line.pop_back();
        line += ',';
        line.append(rest, 1, std::string::npos);
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), m_file);
    std::fflush(m_file);
}

void CTranscript::Record(const std::string& service, const std::string& kind)
{
    Record(service, kind, CJsonLine());
}
