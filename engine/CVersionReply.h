#pragma once
#include <string>

// The appliance's answer to "ver": the version is what follows the first "ver", without the
// white space before it, up to the end of that line.
class CVersionReply
{
public:
    // False when the reply holds no "ver". A version whose line never ends is empty.
    static bool Parse(const std::string& reply, std::string& version);
};
