#pragma once

#include "ManualPages.h"

#include <QString>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;
class QUrl;

// The user manual inside the program: its Markdown pages with their
// pictures in a text browser, the chapters and their sections in a contents
// tree beside it, and a search over every page. Links between the pages
// follow, Back and Forward go through the pages seen.
class CHelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit CHelpWindow(QWidget* parent = nullptr);

    // Reads the pages of the manual's folder; false when it has none.
    bool LoadManual(const QString& folder);
    const ManualPages& Pages() const { return m_pages; }

    // Shows a page: "03-results.md#the-graph", or "README.md" for the
    // contents. A page the manual does not have shows the contents.
    void ShowPage(const QString& page);
    // The page shown, as ShowPage takes it.
    QString CurrentPage() const;

    QTextBrowser* Browser() const { return m_browser; }
    QTabWidget* SideTabs() const { return m_sideTabs; }
    QTreeWidget* ContentsTree() const { return m_contents; }
    QLineEdit* SearchBox() const { return m_searchBox; }
    QListWidget* SearchResults() const { return m_searchResults; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* MakeSidePane();
    void FillContents();
    void Search();
    void ShowHit(QListWidgetItem* item);
    void OnPageLoaded(const QUrl& url);
    void AnchorHeadings();
    void FitPictures();
    void ScrollToHeading(const QString& anchor);
    void SelectInContents(const QString& page);

    ManualPages m_pages;
    QTextBrowser* m_browser;
    QTabWidget* m_sideTabs = nullptr;
    QTreeWidget* m_contents = nullptr;
    QLineEdit* m_searchBox = nullptr;
    QListWidget* m_searchResults = nullptr;
};
