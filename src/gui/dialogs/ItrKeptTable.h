#pragma once

#include <QWidget>

class IteratorTest;
class QTableWidget;

// The kept results of an iterator series as a table: each result's slot
// ("No. 1" to "No. 10", as the iterator keeps them and as the Keep Result
// list ticks them), its score, the test that gave it and the value of every
// swept parameter. A click on a column's title sorts by it; sorting moves
// the table's rows only, never the kept results.
class CItrKeptTable : public QWidget {
    Q_OBJECT
public:
    explicit CItrKeptTable(QWidget* parent = nullptr);

    // Reads the kept results (none before the first test).
    void ShowResults(const IteratorTest& iterator);

    QTableWidget* Table() const { return m_table; }

private:
    QTableWidget* m_table;
};
