#include "TorqApp.h"

#include "AppIcons.h"
#include "MainFrame.h"
#include "QtMessagePresenter.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QScreen>
#include <QSplashScreen>
#include <QThread>
#include <QTimer>

CTorqApp::CTorqApp(StartupOptions options) : m_options(std::move(options)) {}

CTorqApp::~CTorqApp()
{
    m_mainFrame.reset();
    m_presenter.reset();
}

std::vector<std::string> FilesNamedOnCommandLine(const std::vector<std::string>& arguments)
{
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (optionsEnded || argument.empty() || argument[0] != '-') {
            if (!argument.empty()) files.push_back(argument);
        }
    }
    return files;
}

bool CTorqApp::InitInstance(const std::vector<std::string>& arguments)
{
    // 1. The start folder: the manual and the product information lie below it.
    m_startFolder = m_options.startFolder.isEmpty() ? QDir::currentPath() : m_options.startFolder;
    m_presenter = std::make_unique<QtMessagePresenter>();

    // 2. The splash picture, which closes by itself at the latest after 2.5 seconds.
    QElapsedTimer sinceSplash;
    sinceSplash.start();
    if (m_options.showSplash) {
        m_splash = std::make_unique<QSplashScreen>(MakeSplashPixmap());
        m_splash->show();
        QTimer::singleShot(kSplashLongestMs, m_splash.get(), &QWidget::close);
        QApplication::processEvents();
    }

    // 3. The per-user settings key; the recent-file list lives there.
    QApplication::setOrganizationName(QStringLiteral("Parvane Software"));
    QApplication::setApplicationName(QStringLiteral("Torqwell"));
    QApplication::setWindowIcon(MakeAppIcon());

    // 4. The main window.
    m_mainFrame = std::make_unique<CMainFrame>(m_startFolder);

    // 5. The command line: the engine files it names open once the program
    // stands as it always starts, with one new engine.
    const std::vector<std::string> files = FilesNamedOnCommandLine(arguments);

    // 6. The splash stays up for its full time even when start-up was quick.
    if (m_splash != nullptr && m_splash->isVisible()) {
        while (sinceSplash.elapsed() < m_options.splashHoldMs) {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(10);
        }
    }
    m_splashShownMs = sinceSplash.elapsed();

    // 7. Close the splash.
    if (m_splash != nullptr) {
        m_splash->finish(m_mainFrame.get());
        m_splash.reset();
    }

    // 8. One new engine, 9. the main window maximized.
    m_mainFrame->NewDocument();
    m_mainFrame->ShowStartHint();
    // The screen's working area first, for window systems without a manager
    // that would carry out the maximizing.
    if (const QScreen* screen = m_mainFrame->screen()) m_mainFrame->setGeometry(screen->availableGeometry());
    m_mainFrame->showMaximized();
    m_mainFrame->update();

    // 10. Each file named on the command line; one that cannot be read has
    // shown its message and the others still open.
    for (const std::string& file : files) m_mainFrame->OpenNativeDocumentFile(file);
    return true;
}
