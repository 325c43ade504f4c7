#pragma once

#include <QDialog>

// About Torqwell: version, release date, the maker's credits, the legal
// notice and the disclaimer.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    static constexpr const char* kVersion = "3.10";
    static constexpr const char* kReleaseDate = "April 25, 2001";
};
