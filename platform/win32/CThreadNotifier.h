#pragma once
#include "platform/Notifier.h"

// Notifications as window-less thread messages to the UI thread: the text pointer travels as the
// word parameter, the amount as the long parameter.
class CThreadNotifier : public INotifier
{
public:
    explicit CThreadNotifier(unsigned long uiThreadId);
    void Post(unsigned message, const char* text, long amount) override;

private:
    unsigned long m_nThreadId;
};
