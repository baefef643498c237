#pragma once
#include "platform/Operator.h"

#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Native operator: answers from lists that a test gives, in order, and records everything it
// was shown. With its list empty a message box answers OK and a dialog is cancelled.
class CScriptedOperator : public IOperator
{
public:
    struct Shown
    {
        std::string what; // "box", "application-box", "address", "login", "confirm"
        std::string text; // the box text or the confirmation message; empty for other dialogs
        std::string title;
        unsigned style;
    };

    void AnswerBox(int button);
    void AnswerAddress(std::optional<std::string> address);
    void AnswerLogin(std::optional<std::pair<std::string, std::string>> nameAndPassword);
    void AnswerConfirm(bool upgrade);

    int ShowMessage(const std::string& text, const std::string& title, unsigned style) override;
    void ShowApplicationMessage(const std::string& text) override;
    bool AskAddress(std::string& address) override;
    bool AskLogin(std::string& name, std::string& password) override;
    bool ConfirmUpgrade(const std::string& message) override;

    std::vector<Shown> History() const;
    // Only the message boxes (both kinds), in order.
    std::vector<Shown> Boxes() const;

private:
    void Record(Shown shown);

    mutable std::mutex m_mutex;
    std::deque<int> m_boxAnswers;
    std::deque<std::optional<std::string>> m_addressAnswers;
    std::deque<std::optional<std::pair<std::string, std::string>>> m_loginAnswers;
    std::deque<bool> m_confirmAnswers;
    std::vector<Shown> m_history;
};
