#include "platform/posix/CScriptedOperator.h"

#include "platform/MessageBoxStyle.h"

namespace
{
template <typename T> std::optional<T> TakeFront(std::deque<T>& answers)
{
    if (answers.empty())
        return std::nullopt;
    T answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}
} // namespace

void CScriptedOperator::AnswerBox(int button)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_boxAnswers.push_back(button);
}

void CScriptedOperator::AnswerAddress(std::optional<std::string> address)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_addressAnswers.push_back(std::move(address));
}

void CScriptedOperator::AnswerLogin(std::optional<std::pair<std::string, std::string>> answer)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_loginAnswers.push_back(std::move(answer));
}

void CScriptedOperator::AnswerConfirm(bool upgrade)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_confirmAnswers.push_back(upgrade);
}

int CScriptedOperator::ShowMessage(const std::string& text, const std::string& title,
                                   unsigned style)
{
    Record({"box", text, title, style});
    std::lock_guard<std::mutex> lock(m_mutex);
    return TakeFront(m_boxAnswers).value_or(box::kIdOk);
}

void CScriptedOperator::ShowApplicationMessage(const std::string& text)
{
    Record({"application-box", text, "", box::kOk | box::kIconWarning});
}

bool CScriptedOperator::AskAddress(std::string& address)
{
    Record({"address", "", "", 0});
    std::lock_guard<std::mutex> lock(m_mutex);
    auto answer = TakeFront(m_addressAnswers);
    if (!answer || !*answer)
        return false;
    address = **answer;
    return true;
}

bool CScriptedOperator::AskLogin(std::string& name, std::string& password)
{
    Record({"login", "", "", 0});
    std::lock_guard<std::mutex> lock(m_mutex);
    auto answer = TakeFront(m_loginAnswers);
    if (!answer || !*answer)
        return false;
    name = (*answer)->first;
    password = (*answer)->second;
    return true;
}

bool CScriptedOperator::ConfirmUpgrade(const std::string& message)
{
    Record({"confirm", message, "", 0});
    std::lock_guard<std::mutex> lock(m_mutex);
    return TakeFront(m_confirmAnswers).value_or(false);
}

std::vector<CScriptedOperator::Shown> CScriptedOperator::History() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_history;
}

std::vector<CScriptedOperator::Shown> CScriptedOperator::Boxes() const
{
    std::vector<Shown> boxes;
    for (const auto& shown : History())
        if (shown.what == "box" || shown.what == "application-box")
            boxes.push_back(shown);
    return boxes;
}

void CScriptedOperator::Record(Shown shown)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_history.push_back(std::move(shown));
}
