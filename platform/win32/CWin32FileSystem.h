#pragma once
#include "platform/FileSystem.h"

// Files of the working folder: status by directory search (FindFirstFile), text files through
// CWin32TextFile.
class CWin32FileSystem : public IFileSystem
{
public:
    bool Exists(const std::string& name) override;
    bool GetSize(const std::string& name, std::int32_t& size) override;
    std::unique_ptr<ITextFile> OpenText(const std::string& name) override;
};
