#pragma once

#include <QString>
#include <QTemporaryDir>

// What a GUI test that touches the settings or writes files stands on, made
// afresh for each test function (in init()): the program's organisation and
// an application name of the tests' own, per-user settings that live in a
// temporary folder and start empty (a recent-file list or a remembered
// graph colour never leaks from the user's settings or from another test),
// and a scratch folder for the files the test writes. Both folders go with
// the fixture.
class GuiTestFixture {
public:
    GuiTestFixture();
    GuiTestFixture(const GuiTestFixture&) = delete;
    GuiTestFixture& operator=(const GuiTestFixture&) = delete;

    // The scratch folder, and a file in it.
    QString Folder() const { return m_scratch.path(); }
    QString FilePath(const QString& name) const { return m_scratch.filePath(name); }
    // Where the per-user settings are kept during the test.
    QString SettingsFolder() const { return m_settings.path(); }

private:
    QTemporaryDir m_settings;
    QTemporaryDir m_scratch;
};
