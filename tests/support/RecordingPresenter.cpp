#include "RecordingPresenter.h"

RecordingPresenter::RecordingPresenter() : m_previous(InstallMessagePresenter(this)) {}

RecordingPresenter::~RecordingPresenter()
{
    InstallMessagePresenter(m_previous);
}

void RecordingPresenter::ShowMessage(MessageKind kind, int code, const ErrorMessage& message)
{
    m_shown.push_back({kind, code, message});
}

WarningAnswer RecordingPresenter::AskWarning(int code, const ErrorMessage& message)
{
    m_shown.push_back({MessageKind::Warning, code, message});
    if (m_answers.empty()) return m_defaultAnswer;
    const WarningAnswer answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

std::vector<int> RecordingPresenter::Codes() const
{
    std::vector<int> codes;
    for (const Shown& shown : m_shown) codes.push_back(shown.code);
    return codes;
}
