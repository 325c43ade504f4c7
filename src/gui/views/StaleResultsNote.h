#pragma once

#include <QLabel>

// The note over a graph or table whose results belong to the engine as it
// was before its last change: "Results out of date — Engine > Run!". It
// stands at the top of its host, centred, and lets clicks through to it.
class CStaleResultsNote : public QLabel {
    Q_OBJECT
public:
    static const QString& Text();

    // Hidden until shown; follows the host's size.
    explicit CStaleResultsNote(QWidget* host);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PlaceOnHost();
};
