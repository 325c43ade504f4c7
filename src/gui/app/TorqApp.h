#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

class CMainFrame;
class QSplashScreen;
class QtMessagePresenter;

// How the program starts. The defaults are the program's; tests start it
// without the splash picture's wait.
// The files named on a command line: every argument after the program's
// name that is not an option, and everything after "--".
std::vector<std::string> FilesNamedOnCommandLine(const std::vector<std::string>& arguments);

struct StartupOptions {
    bool showSplash = true;
    int splashHoldMs = 2000;  // the main window waits this long after the splash appears
    QString startFolder;      // empty: the current folder
};

// The application: starts the program in its fixed order, owns the main
// window and shows the core's messages for as long as it lives.
class CTorqApp {
public:
    static constexpr int kSplashLongestMs = 2500;

    explicit CTorqApp(StartupOptions options = {});
    ~CTorqApp();
    CTorqApp(const CTorqApp&) = delete;
    CTorqApp& operator=(const CTorqApp&) = delete;

    // Start-up: start folder, splash, settings, main window, command line,
    // the splash's wait, one new engine, the main window maximized, then each
    // engine file named on the command line opened in its own window.
    // The arguments are the program's, as the system gave them (bytes in the
    // local 8-bit encoding, so that any file name opens). False when
    // start-up failed.
    bool InitInstance(const std::vector<std::string>& arguments);

    CMainFrame* MainFrame() const { return m_mainFrame.get(); }
    const QString& StartFolder() const { return m_startFolder; }
    // Milliseconds from the splash to the main window (for tests).
    qint64 SplashShownMs() const { return m_splashShownMs; }

private:
    StartupOptions m_options;
    QString m_startFolder;
    std::unique_ptr<QtMessagePresenter> m_presenter;
    std::unique_ptr<QSplashScreen> m_splash;
    std::unique_ptr<CMainFrame> m_mainFrame;
    qint64 m_splashShownMs = 0;
};
