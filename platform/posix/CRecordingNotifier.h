#pragma once
#include "platform/Notifier.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

// Native notification sink: keeps every notification in order, with a copy of its text.
class CRecordingNotifier : public INotifier
{
public:
    struct Notification
    {
        unsigned message;
        bool hasText;
        std::string text;
        long amount;
    };

    void Post(unsigned message, const char* text, long amount) override;

    std::vector<Notification> Notifications() const;
    // The status texts posted, in order.
    std::vector<std::string> StatusTexts() const;

    // Called on the posting thread after each notification is recorded (tests use it to act at
    // a given moment of a run, such as requesting a cancel).
    std::function<void(const Notification&)> onPost;

private:
    mutable std::mutex m_mutex;
    std::vector<Notification> m_notifications;
};
