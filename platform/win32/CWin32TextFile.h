#pragma once
#include "platform/FileSystem.h"
#include "platform/win32/CScopedHandle.h"

#include <string>
#include <vector>

// A file read as text: CR LF and a lone LF end a line (a lone CR is kept as data), and a last
// line without a line end counts. Opened for reading with a sharing mode that lets others write
// but not read while it is open.
class CWin32TextFile : public ITextFile
{
public:
    // Null when the file cannot be opened.
    static std::unique_ptr<CWin32TextFile> Open(const std::string& name);

    ReadResult ReadLine(std::string& line) override;

private:
    explicit CWin32TextFile(HANDLE file);
    // Refills the buffer; false on a read error. An empty buffer afterwards means end of file.
    bool Fill();

    CKernelHandle m_file;
    std::vector<char> m_buffer;
    size_t m_nNext = 0;
    size_t m_nEnd = 0;
};
