// The example engines that come with the program (File > Open Example, with
// the engines of the reference library in a menu of their own) and the hint
// that points a newcomer to them.

#include "MainFrame.h"

#include "ChildFrame.h"
#include "model/EngineFile.h"
#include "model/TorqDoc.h"
#include "report/MeasuredPulls.h"
#include "study/ReferenceLibrary.h"
#include "views/EngineFormView.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>

QString CMainFrame::ExampleFolder() const
{
    if (!m_exampleFolder.isEmpty()) return m_exampleFolder;
#ifdef TORQWELL_SOURCE_DIR
    const QString sourceFolder = QStringLiteral(TORQWELL_SOURCE_DIR "/examples");
#else
    const QString sourceFolder;
#endif
    return FindExampleFolder(QCoreApplication::applicationDirPath(), sourceFolder);
}

QString CMainFrame::FindExampleFolder(const QString& programFolder, const QString& sourceFolder)
{
    // Installed: <prefix>/bin/torqwell beside <prefix>/share/torqwell/examples.
    const QDir installed(QDir(programFolder).filePath(QStringLiteral("../share/torqwell/examples")));
    if (installed.exists()) return installed.canonicalPath();
    // A build tree: the examples of the source it was built from.
    if (!sourceFolder.isEmpty() && QDir(sourceFolder).exists()) return QDir(sourceFolder).canonicalPath();
    return {};
}

QStringList CMainFrame::ExampleFiles() const
{
    const QString folder = ExampleFolder();
    if (folder.isEmpty()) return {};
    QStringList files;
    const QStringList names =
        QDir(folder).entryList({QStringLiteral("*.trq")}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QString& name : names) files.append(QDir(folder).filePath(name));
    return files;
}

void CMainFrame::RebuildExampleMenu()
{
    m_exampleMenu->clear();
    qDeleteAll(m_exampleMenu->findChildren<QMenu*>(Qt::FindDirectChildrenOnly));
    const QStringList files = ExampleFiles();
    for (const QString& file : files) {
        QString text = QFileInfo(file).completeBaseName();
        text.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* action = m_exampleMenu->addAction(text);
        action->setData(file);
        action->setStatusTip(tr("Open the example engine %1").arg(QFileInfo(file).fileName()));
        connect(action, &QAction::triggered, this, [this, file] { OpenExample(file); });
    }
    if (files.isEmpty()) m_exampleMenu->addAction(tr("(no examples installed)"))->setEnabled(false);
    AddReferenceEngineMenu();
}

// The engines built from published dyno tests, by the names their tests give them.
void CMainFrame::AddReferenceEngineMenu()
{
    const QString folder = ExampleFolder();
    if (folder.isEmpty()) return;
    const QString libraryFolder = QDir(folder).filePath(QStringLiteral("reference"));
    ReferenceLibrary library;
    std::string error;
    if (!LoadReferenceLibrary(QFile::encodeName(libraryFolder).toStdString(), library, error)) return;
    m_exampleMenu->addSeparator();
    QMenu* menu = m_exampleMenu->addMenu(tr("&Reference Engines"));
    menu->setStatusTip(tr("Engines built from published dyno tests, with the published peaks on the graph"));
    for (const ReferenceEngine& engine : library.engines) {
        QString text = QString::fromStdString(engine.name);
        QAction* action = menu->addAction(text.replace(QLatin1Char('&'), QStringLiteral("&&")));
        action->setData(QString::fromStdString(engine.file));
        action->setStatusTip(
            tr("Open %1; source: %2")
                .arg(QString::fromStdString(engine.file), QString::fromStdString(engine.source)));
        connect(action, &QAction::triggered, this,
                [this, libraryFolder, engine] { OpenReferenceEngine(libraryFolder, engine); });
    }
}

CChildFrame* CMainFrame::OpenReferenceEngine(const QString& folder, const ReferenceEngine& engine)
{
    CChildFrame* child = OpenExample(QDir(folder).filePath(QString::fromStdString(engine.file)));
    if (child == nullptr) return nullptr;
    child->MeasuredPulls().SetPublished(
        {QString::fromStdString(engine.name), QString::fromStdString(engine.source), engine.published});
    return child;
}

CChildFrame* CMainFrame::OpenExample(const QString& path)
{
    auto document = std::make_unique<CTorqDoc>();
    if (!OpenEngineDocument(*document, QFile::encodeName(QFileInfo(path).absoluteFilePath()).toStdString())) {
        return nullptr;
    }
    // The example opens as a new engine under its name: saving asks where,
    // and the example that came with the program stays as it is.
    document->SetPathName(std::string());
    ClearStartHint();
    return AddChildFrame(std::move(document));
}

void CMainFrame::ShowStartHint()
{
    CChildFrame* child = ActiveChild();
    if (child == nullptr) return;
    m_hintedChild = child;
    child->EngineSheet()->SetHint(tr("Build an engine from the form, or File > Open Example"));
}

void CMainFrame::ClearStartHint()
{
    if (m_hintedChild != nullptr) m_hintedChild->EngineSheet()->SetHint(QString());
    m_hintedChild = nullptr;
}
