#include "engine/CPackageFiles.h"

#include "platform/FileSystem.h"
#include "platform/MessageBoxStyle.h"
#include "platform/Operator.h"

namespace
{
const char kListFile[] = "RequiredFiles.txt";
const char kVersionFile[] = "UpgradeVersionNumber.txt";
const char kTitlePrefix[] = "Corvane upgrade utility - ";

const char kCannotOpenList[] =
    "Cannot open the file that contains the list of required files. The file may be missing or "
    "corrupted. Restart your computer and run the Corvane upgrade utility again.";
const char kCannotReadList[] =
    "Cannot read the file that contains the list of required files. The file may be missing or "
    "corrupted. Restart your computer and run the Corvane upgrade utility again.";
const char kCannotOpenVersion[] =
    "Cannot open the upgrade version number file. The file may be missing or corrupted. Restart "
    "your computer and run the Corvane upgrade utility again.";
const char kCannotReadVersion[] =
    "Cannot read the upgrade version number file. The file may be missing or corrupted. Restart "
    "your computer and run the Corvane upgrade utility again.";

std::string MissingFileText(const std::string& name)
{
    return "A required file named " + name + " is missing.";
}
} // namespace

CPackageFiles::CPackageFiles(IFileSystem& files, IOperator& op) : m_files(files), m_operator(op) {}

CPackageFiles::Status CPackageFiles::FindMissingFile(std::string& missingName)
{
    missingName.clear();
    if (!m_files.Exists(kListFile))
    {
        missingName = kListFile;
        return Status::ListMissing;
    }
    auto list = m_files.OpenText(kListFile);
    if (!list)
        return Status::CannotOpen;
    for (;;)
    {
        std::string name;
        switch (list->ReadLine(name))
        {
        case ITextFile::ReadResult::EndOfFile:
            return Status::Ok;
        case ITextFile::ReadResult::Error:
            return Status::CannotRead;
        case ITextFile::ReadResult::Line:
            if (!m_files.Exists(name))
            {
                missingName = name;
                return Status::FileMissing;
            }
            break;
        }
    }
}

bool CPackageFiles::CheckRequiredFiles()
{
    std::string missingName;
    switch (FindMissingFile(missingName))
    {
    case Status::Ok:
        return true;
    case Status::ListMissing:
    case Status::FileMissing:
        ShowFailure(MissingFileText(missingName), "Cannot open file");
        return false;
    case Status::CannotOpen:
        ShowFailure(kCannotOpenList, "Cannot open file");
        return false;
    case Status::CannotRead:
        ShowFailure(kCannotReadList, "Cannot read file");
        return false;
    }
    return false;
}

CPackageFiles::Status CPackageFiles::ReadVersion(std::string& version)
{
    version.clear();
    auto file = m_files.OpenText(kVersionFile);
    if (!file)
        return Status::CannotOpen;
    // An empty file gives an empty version: only a failed read counts.
    if (file->ReadLine(version) == ITextFile::ReadResult::Error)
        return Status::CannotRead;
    return Status::Ok;
}

bool CPackageFiles::ReadPackageVersion(std::string& version)
{
    switch (ReadVersion(version))
    {
    case Status::Ok:
        return true;
    case Status::CannotOpen:
        ShowFailure(kCannotOpenVersion, "Cannot open file");
        return false;
    default:
        ShowFailure(kCannotReadVersion, "Cannot read file");
        return false;
    }
}

void CPackageFiles::ShowFailure(const std::string& text, const char* kind)
{
    m_operator.ShowMessage(text, std::string(kTitlePrefix) + kind, box::kOk | box::kSetForeground);
}
