#pragma once
#include <string>

class IFileSystem;
class IOperator;

// The two list files of an upgrade package in the working folder: the version file, whose first
// line is the package version, and the list of files that the package must hold.
class CPackageFiles
{
public:
    enum class Status
    {
        Ok,
        ListMissing, // RequiredFiles.txt does not exist
        CannotOpen,  // the file exists but cannot be opened
        CannotRead,  // a read failed
        FileMissing  // a listed name was not found (missingName)
    };

    CPackageFiles(IFileSystem& files, IOperator& op);

    // Checks that RequiredFiles.txt and every name it lists exist; tells the operator why not.
    bool CheckRequiredFiles();

    // Reads the first line of UpgradeVersionNumber.txt, verbatim; tells the operator on failure.
    bool ReadPackageVersion(std::string& version);

    // The same checks without telling anyone, for callers and tests that judge the outcome.
    Status FindMissingFile(std::string& missingName);
    Status ReadVersion(std::string& version);

private:
    void ShowFailure(const std::string& text, const char* kind);

    IFileSystem& m_files;
    IOperator& m_operator;
};
