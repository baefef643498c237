#pragma once

// The library's application object: constructed when the library is loaded, it holds nothing
// and its start-up always succeeds, so loading the library succeeds.
class CBrowserApp
{
public:
    CBrowserApp() = default;

    // Called when a process attaches; true lets the load go on.
    bool InitInstance();
};
