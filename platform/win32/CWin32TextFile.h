#pragma once
#include "platform/CLineReader.h"
#include "platform/win32/CScopedHandle.h"

#include <memory>
#include <string>

// A file read as text: CR LF and a lone LF end a line (a lone CR is kept as data), and a last
// line without a line end counts. Opened for reading with a sharing mode that lets others write
// but not read while it is open.
class CWin32TextFile : public CLineReader
{
public:
    // Null when the file cannot be opened.
    static std::unique_ptr<CWin32TextFile> Open(const std::string& name);

private:
    explicit CWin32TextFile(HANDLE file);
    long ReadBytes(char* buffer, std::size_t size) override;

    CKernelHandle m_file;
};
