// The example engines that come with the program (File > Open Example) and
// the hint that points a newcomer to them.

#include "MainFrame.h"

#include "ChildFrame.h"
#include "model/EngineFile.h"
#include "model/TorqDoc.h"
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
