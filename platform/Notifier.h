#pragma once

// The worker's only way to reach the UI thread: post a notification and never wait for it.
// Windows: PostThreadMessage to the UI thread. Natively a recording sink.
// text is 0 or a string constant of the program (it must outlive the message).
class INotifier
{
public:
    virtual ~INotifier() = default;
    virtual void Post(unsigned message, const char* text, long amount) = 0;
};
