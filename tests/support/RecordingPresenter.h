#pragma once

#include "base/ErrCode.h"

#include <deque>
#include <string>
#include <vector>

// Records every message the core shows, answers warnings from a queue of
// prepared answers (the default answer, Cancel unless set, when the queue is
// empty) and installs itself for its lifetime, restoring the previous
// presenter afterwards.
class RecordingPresenter final : public MessagePresenter {
public:
    struct Shown {
        MessageKind kind;
        int code;
        ErrorMessage message;
    };

    RecordingPresenter();
    ~RecordingPresenter() override;
    RecordingPresenter(const RecordingPresenter&) = delete;
    RecordingPresenter& operator=(const RecordingPresenter&) = delete;

    void ShowMessage(MessageKind kind, int code, const ErrorMessage& message) override;
    WarningAnswer AskWarning(int code, const ErrorMessage& message) override;

    void AnswerNextWarning(WarningAnswer answer) { m_answers.push_back(answer); }
    void SetDefaultAnswer(WarningAnswer answer) { m_defaultAnswer = answer; }

    const std::vector<Shown>& Messages() const { return m_shown; }
    std::vector<int> Codes() const;
    int LastCode() const { return m_shown.empty() ? 0 : m_shown.back().code; }
    void Clear() { m_shown.clear(); }

private:
    std::vector<Shown> m_shown;
    std::deque<WarningAnswer> m_answers;
    WarningAnswer m_defaultAnswer = WarningAnswer::Cancel;
    MessagePresenter* m_previous;
};
