#include "HelpWindow.h"

#include <QAction>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kPageRole = Qt::UserRole;
constexpr int kPictureMarginPixels = 24;  // between a picture and the browser's edges

QString PageOf(const QString& file, const QString& anchor)
{
    return anchor.isEmpty() ? file : file + QLatin1Char('#') + anchor;
}

}  // namespace

CHelpWindow::CHelpWindow(QWidget* parent) : QWidget(parent, Qt::Window), m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(tr("Torqwell Help"));
    m_browser->setObjectName(QStringLiteral("helpPage"));
    m_browser->setOpenExternalLinks(true);
    m_browser->viewport()->installEventFilter(this);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &CHelpWindow::OnPageLoaded);

    auto* back = new QPushButton(tr("&Back"), this);
    auto* forward = new QPushButton(tr("&Forward"), this);
    auto* contents = new QPushButton(tr("&Contents"), this);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    connect(contents, &QPushButton::clicked, this,
            [this] { ShowPage(QString::fromLatin1(ManualPages::kContentsPage)); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addWidget(contents);
    buttons->addStretch(1);

    // Escape puts the manual away, as it closes a dialog.
    auto* close = new QAction(this);
    close->setShortcut(QKeySequence(Qt::Key_Escape));
    close->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(MakeSidePane());
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({260, 640});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);
    resize(980, 720);
}

QWidget* CHelpWindow::MakeSidePane()
{
    m_sideTabs = new QTabWidget(this);
    m_contents = new QTreeWidget(m_sideTabs);
    m_contents->setObjectName(QStringLiteral("helpContents"));
    m_contents->setHeaderHidden(true);
    connect(m_contents, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { ShowPage(item->data(0, kPageRole).toString()); });
    connect(m_contents, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { ShowPage(item->data(0, kPageRole).toString()); });
    m_sideTabs->addTab(m_contents, tr("C&ontents"));

    auto* searchPane = new QWidget(m_sideTabs);
    m_searchBox = new QLineEdit(searchPane);
    m_searchBox->setObjectName(QStringLiteral("helpSearch"));
    m_searchBox->setPlaceholderText(tr("Words to find"));
    m_searchBox->setClearButtonEnabled(true);
    m_searchResults = new QListWidget(searchPane);
    m_searchResults->setObjectName(QStringLiteral("helpSearchResults"));
    connect(m_searchBox, &QLineEdit::returnPressed, this, &CHelpWindow::Search);
    connect(m_searchBox, &QLineEdit::textChanged, this, &CHelpWindow::Search);
    connect(m_searchResults, &QListWidget::itemActivated, this, &CHelpWindow::ShowHit);
    connect(m_searchResults, &QListWidget::itemClicked, this, &CHelpWindow::ShowHit);
    auto* searchLayout = new QVBoxLayout(searchPane);
    auto* label = new QLabel(tr("&Find:"), searchPane);
    label->setBuddy(m_searchBox);
    searchLayout->addWidget(label);
    searchLayout->addWidget(m_searchBox);
    searchLayout->addWidget(m_searchResults, 1);
    m_sideTabs->addTab(searchPane, tr("&Search"));
    return m_sideTabs;
}

bool CHelpWindow::LoadManual(const QString& folder)
{
    if (!m_pages.Load(folder)) return false;
    // Pictures and links resolve against the page's folder.
    m_browser->setSearchPaths({folder});
    FillContents();
    return true;
}

void CHelpWindow::FillContents()
{
    m_contents->clear();
    auto* top = new QTreeWidgetItem(m_contents, {tr("Contents")});
    top->setData(0, kPageRole, QString::fromLatin1(ManualPages::kContentsPage));
    for (std::size_t c = 0; c < m_pages.Chapters().size(); ++c) {
        const ManualChapter& chapter = m_pages.Chapters()[c];
        auto* item =
            new QTreeWidgetItem(m_contents, {QStringLiteral("%1. %2").arg(c + 1).arg(chapter.title)});
        item->setData(0, kPageRole, chapter.file);
        for (const ManualSection& section : chapter.sections) {
            if (section.heading.isEmpty()) continue;
            auto* child = new QTreeWidgetItem(item, {section.heading});
            child->setData(0, kPageRole, PageOf(chapter.file, section.anchor));
        }
    }
}

void CHelpWindow::ShowPage(const QString& page)
{
    const QString file = page.section(QLatin1Char('#'), 0, 0);
    const bool known = file == QLatin1String(ManualPages::kContentsPage) ||
                       std::any_of(m_pages.Chapters().begin(), m_pages.Chapters().end(),
                                   [&file](const ManualChapter& chapter) { return chapter.file == file; });
    QUrl url = QUrl::fromLocalFile(
        QDir(m_pages.Folder()).filePath(known ? file : QString::fromLatin1(ManualPages::kContentsPage)));
    if (known) url.setFragment(page.section(QLatin1Char('#'), 1));
    m_browser->setSource(url, QTextDocument::MarkdownResource);
    // Shown again (the page was on show already), it still goes to the heading.
    if (known && !url.fragment().isEmpty()) ScrollToHeading(url.fragment());
    SelectInContents(CurrentPage());
}

QString CHelpWindow::CurrentPage() const
{
    const QUrl source = m_browser->source();
    // A link followed within the manual may be relative ("09-the-model.md#...").
    return PageOf(QFileInfo(source.path()).fileName(), source.fragment());
}

void CHelpWindow::OnPageLoaded(const QUrl& url)
{
    AnchorHeadings();
    FitPictures();
    const QString anchor = url.fragment();
    if (!anchor.isEmpty()) ScrollToHeading(anchor);
    const QString page = CurrentPage();
    SelectInContents(page);
    const QString file = page.section(QLatin1Char('#'), 0, 0);
    QString title = tr("Torqwell Help");
    for (const ManualChapter& chapter : m_pages.Chapters()) {
        if (chapter.file == file) title += QStringLiteral(" - ") + chapter.title;
    }
    setWindowTitle(title);
}

// Markdown headings carry no anchor of their own: each gets the one a link
// to it names ("09-the-model.md#flow-through-the-valves").
void CHelpWindow::AnchorHeadings()
{
    QTextDocument* document = m_browser->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 0 || block.length() <= 1) continue;
        QTextCursor cursor(block);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        QTextCharFormat anchor;
        anchor.setAnchor(true);
        anchor.setAnchorNames({HeadingAnchor(block.text())});
        cursor.mergeCharFormat(anchor);
    }
}

// Screenshots wider than the page are shown at its width.
void CHelpWindow::FitPictures()
{
    QTextDocument* document = m_browser->document();
    const int room = std::max(100, m_browser->viewport()->width() - kPictureMarginPixels);
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextImageFormat picture = fragment.charFormat().toImageFormat();
            if (!picture.isValid()) continue;
            const QVariant resource = document->resource(QTextDocument::ImageResource, QUrl(picture.name()));
            QSize natural = resource.value<QImage>().size();
            if (natural.isEmpty()) natural = resource.value<QPixmap>().size();
            if (natural.isEmpty()) continue;
            const double width = std::min<double>(natural.width(), room);
            if (qFuzzyCompare(picture.width(), width)) continue;
            picture.setWidth(width);
            picture.setHeight(width * natural.height() / natural.width());
            QTextCursor cursor(document);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(picture);
        }
    }
}

void CHelpWindow::ScrollToHeading(const QString& anchor)
{
    for (QTextBlock block = m_browser->document()->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 0 || HeadingAnchor(block.text()) != anchor) continue;
        m_browser->setTextCursor(QTextCursor(block));
        m_browser->scrollToAnchor(anchor);
        return;
    }
}

void CHelpWindow::SelectInContents(const QString& page)
{
    const QString file = page.section(QLatin1Char('#'), 0, 0);
    QTreeWidgetItem* best = nullptr;
    for (QTreeWidgetItemIterator it(m_contents); *it != nullptr; ++it) {
        const QString itemPage = (*it)->data(0, kPageRole).toString();
        if (itemPage == page) {
            best = *it;
            break;
        }
        if (itemPage == file && best == nullptr) best = *it;
    }
    if (best == nullptr) return;
    const QSignalBlocker blocker(m_contents);
    m_contents->setCurrentItem(best);
    m_contents->scrollToItem(best);
}

void CHelpWindow::Search()
{
    m_searchResults->clear();
    for (const ManualHit& hit : m_pages.Search(m_searchBox->text())) {
        const ManualChapter& chapter = m_pages.Chapters()[std::size_t(hit.chapter)];
        const ManualSection& section = chapter.sections[std::size_t(hit.section)];
        const QString place = section.heading.isEmpty()
                                  ? chapter.title
                                  : chapter.title + QStringLiteral(" - ") + section.heading;
        auto* item = new QListWidgetItem(place, m_searchResults);
        item->setData(kPageRole, PageOf(chapter.file, section.anchor));
    }
}

void CHelpWindow::ShowHit(QListWidgetItem* item)
{
    const QString word = m_searchBox->text().section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
    ShowPage(item->data(kPageRole).toString());
    // The word is found, and selected, from the section's heading on.
    if (!word.isEmpty()) m_browser->find(word);
}

bool CHelpWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_browser->viewport() && event->type() == QEvent::Resize) FitPictures();
    return QWidget::eventFilter(watched, event);
}
