#pragma once

// Shared by the calculator and airflow dialog tests (header only: every test
// file is its own program).

#include "model/EngineFile.h"
#include "model/TorqDoc.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include <string>

// Shows a dialog (not modally) and waits until it has the keyboard.
inline bool ShowActive(QWidget& dialog)
{
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog)) return false;
    dialog.activateWindow();
    return QTest::qWaitFor([&] { return dialog.isActiveWindow(); }, 2000);
}

// Puts the focus on a field and types over its text, as a user does.
inline void TypeInto(QLineEdit* edit, const QString& text)
{
    edit->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    edit->selectAll();
    if (text.isEmpty()) {
        QTest::keyClick(edit, Qt::Key_Delete);
    } else {
        QTest::keyClicks(edit, text);
    }
}

// Types into a field and leaves it with Tab, which hands the text to the
// calculator; posted refusals are carried out before returning.
inline void Enter(QLineEdit* edit, const QString& text)
{
    TypeInto(edit, text);
    QTest::keyClick(edit, Qt::Key_Tab);
    QApplication::processEvents();
}

// What the engine-file writer makes of the document: two engines that
// write alike are the same engine.
inline std::string EngineFileText(CTorqDoc& doc)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("engine.trq"));
    if (!WriteEngineFile(doc, path.toStdString())) return "(not written)";
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return "(not read)";
    return file.readAll().toStdString();
}
