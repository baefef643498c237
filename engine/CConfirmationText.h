#pragma once
#include <string>

class CMessageBuffer;

// Which of the four texts the confirmation dialog shows, from the appliance's and the package's
// versions and, when these are equal, whether the appliance holds its welcome file.
class CConfirmationText
{
public:
    enum class Kind
    {
        UnknownVersion, // the appliance's version begins with "The"
        OtherVersion,   // the versions differ
        OlderVersion,   // equal versions, no welcome file
        SameVersion     // equal versions, welcome file present
    };

    // True when the choice depends on the welcome test (equal versions, not an unknown one).
    static bool NeedsWelcomeTest(const std::string& applianceVersion,
                                 const std::string& packageVersion);

    static Kind Choose(const std::string& applianceVersion, const std::string& packageVersion,
                       bool welcomeFilePresent);

    // Formats the text of a kind, with the versions it names, into the run's message buffer.
    static void Format(Kind kind, const std::string& applianceVersion,
                       const std::string& packageVersion, CMessageBuffer& message);
};
