#include "engine/CConfirmationText.h"

#include "engine/CMessageBuffer.h"

namespace
{
const char kUnknownVersion[] = "Cannot determine the Corvane version number. Click Upgrade to "
                               "upgrade it to version %s";
const char kOtherVersion[] = "The Corvane with version %s was found on your network. Click "
                             "upgrade to upgrade it to version %s.";
const char kOlderVersion[] =
    "You have an older version of the Corvane. Click upgrade to upgrade it to version %s";
const char kSameVersion[] = "Your Corvane already has version %s on it and does not need to be "
                            "upgraded. Click Upgrade to upgrade it anyway.";

bool BeginsWithThe(const std::string& version)
{
    return version.compare(0, 3, "The") == 0;
}
} // namespace

bool CConfirmationText::NeedsWelcomeTest(const std::string& applianceVersion,
                                         const std::string& packageVersion)
{
    return !BeginsWithThe(applianceVersion) && applianceVersion == packageVersion;
}

CConfirmationText::Kind CConfirmationText::Choose(const std::string& applianceVersion,
                                                  const std::string& packageVersion,
                                                  bool welcomeFilePresent)
{
    if (BeginsWithThe(applianceVersion))
        return Kind::UnknownVersion;
    if (applianceVersion != packageVersion)
        return Kind::OtherVersion;
    return welcomeFilePresent ? Kind::SameVersion : Kind::OlderVersion;
}

void CConfirmationText::Format(Kind kind, const std::string& applianceVersion,
                               const std::string& packageVersion, CMessageBuffer& message)
{
    switch (kind)
    {
    case Kind::UnknownVersion:
        message.Format(kUnknownVersion, {packageVersion});
        break;
    case Kind::OtherVersion:
        message.Format(kOtherVersion, {applianceVersion, packageVersion});
        break;
    case Kind::OlderVersion:
        message.Format(kOlderVersion, {packageVersion});
        break;
    case Kind::SameVersion:
        message.Format(kSameVersion, {packageVersion});
        break;
    }
}
