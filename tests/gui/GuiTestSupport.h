#pragma once

// Shared by the GUI test programs (header only: every test file is its own
// program).

#include "model/ErrCode.h"
#include "model/TorqDoc.h"

#include <QSettings>
#include <QTemporaryDir>

#include <deque>
#include <initializer_list>
#include <vector>

// Records the core's messages instead of showing them; warnings are answered
// from a queue (Cancel when it is empty).
class RecordingGuiPresenter final : public MessagePresenter {
public:
    struct Shown {
        MessageKind kind;
        int code;
        ErrorMessage message;
    };

    RecordingGuiPresenter() : m_previous(InstallMessagePresenter(this)) {}
    ~RecordingGuiPresenter() override { InstallMessagePresenter(m_previous); }
    RecordingGuiPresenter(const RecordingGuiPresenter&) = delete;
    RecordingGuiPresenter& operator=(const RecordingGuiPresenter&) = delete;

    void ShowMessage(MessageKind kind, int code, const ErrorMessage& message) override
    {
        m_shown.push_back({kind, code, message});
    }
    WarningAnswer AskWarning(int code, const ErrorMessage& message) override
    {
        m_shown.push_back({MessageKind::Warning, code, message});
        if (m_answers.empty()) return WarningAnswer::Cancel;
        const WarningAnswer answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }

    void AnswerNextWarning(WarningAnswer answer) { m_answers.push_back(answer); }
    std::vector<int> Codes() const
    {
        std::vector<int> codes;
        for (const Shown& shown : m_shown) codes.push_back(shown.code);
        return codes;
    }
    void Clear() { m_shown.clear(); }

private:
    std::vector<Shown> m_shown;
    std::deque<WarningAnswer> m_answers;
    MessagePresenter* m_previous;
};

// Points the per-user settings at a temporary folder for the test's lifetime.
class TemporarySettings {
public:
    TemporarySettings()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_folder.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_folder.path());
    }
    QString Folder() const { return m_folder.path(); }

private:
    QTemporaryDir m_folder;
};

// Chevy 350 with wedge heads, 2.02/1.60 valves, 10:1, 750 cfm, dual-plane
// manifold, small-tube headers and a high-performance street cam, chosen
// through the popup-menu commands. False when a command was not applied.
inline bool ApplyChevy350Commands(CTorqDoc& doc)
{
    for (int command : {33135, 32798, 33052, 33065, 32878, 32854, 32838, 32863, 32892, 32897, 33075, 33086}) {
        if (doc.OnCommand(command) != CommandResult::Applied) return false;
    }
    return true;
}

// 19 results of a made-up run: speeds 2000..11000 and given values per series.
inline void SetResults(CTorqDoc& doc, float scale)
{
    for (int series = 1; series <= kResultSeriesCount; ++series) {
        ResultSeriesValues values{};
        for (int i = 0; i < kResultPointCount; ++i) {
            values[i] = series == kSeriesEngineSpeed ? 2000.0f + 500.0f * i : scale * series * (i + 1);
        }
        doc.SetResultSeries(series, values);
    }
}
