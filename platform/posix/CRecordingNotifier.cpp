#include "platform/posix/CRecordingNotifier.h"

void CRecordingNotifier::Post(unsigned message, const char* text, long amount)
{
    Notification notification{message, text != nullptr, text ? text : "", amount};
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_notifications.push_back(notification);
    }
    if (onPost)
        onPost(notification);
}

std::vector<CRecordingNotifier::Notification> CRecordingNotifier::Notifications() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_notifications;
}

std::vector<std::string> CRecordingNotifier::StatusTexts() const
{
    std::vector<std::string> texts;
    for (const auto& notification : Notifications())
        if (notification.hasText)
            texts.push_back(notification.text);
    return texts;
}
