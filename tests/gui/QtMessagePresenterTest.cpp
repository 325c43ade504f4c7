#include "app/QtMessagePresenter.h"

#include <QAbstractButton>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QtTest>

namespace {

// Acts on the message box once it is up: the test has no user to press a button.
void WhenBoxShows(const std::function<void(QMessageBox*)>& action)
{
    QTimer::singleShot(0, [action] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box != nullptr);
        action(box);
    });
}

}  // namespace

class QtMessagePresenterTest : public QObject {
    Q_OBJECT

private slots:
    void errorsAndNotesShowTheTableTexts();
    void warningsAnswerOkOnlyForOk();
    void aBoxOutlivesNoWindowItStandsOver();
};

void QtMessagePresenterTest::errorsAndNotesShowTheTableTexts()
{
    QtMessagePresenter presenter;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    WhenBoxShows([&](QMessageBox* box) {
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        box->accept();
    });
    ShowErrorMessage(Msg::BoreStrokeSelectionRequired);
    QCOMPARE(title, QStringLiteral("Incomplete Engine"));
    QCOMPARE(text, QStringLiteral("Bore/Stroke Selection Required"));
    QCOMPARE(icon, QMessageBox::Critical);

    WhenBoxShows([&](QMessageBox* box) {
        title = box->windowTitle();
        icon = box->icon();
        box->accept();
    });
    ShowNoteMessage(Msg::FourValveHeads);
    QCOMPARE(title, QStringLiteral("Important!"));
    QCOMPARE(icon, QMessageBox::Information);
}

void QtMessagePresenterTest::warningsAnswerOkOnlyForOk()
{
    QtMessagePresenter presenter;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    WhenBoxShows([&](QMessageBox* box) {
        icon = box->icon();
        box->button(QMessageBox::Ok)->click();
    });
    QCOMPARE(AskWarningMessage(Msg::SaveWithoutResults), WarningAnswer::Ok);
    QCOMPARE(icon, QMessageBox::Warning);

    WhenBoxShows([](QMessageBox* box) { box->button(QMessageBox::Cancel)->click(); });
    QCOMPARE(AskWarningMessage(Msg::SaveWithoutResults), WarningAnswer::Cancel);

    // Closing the box (Escape or the title bar) is Cancel too.
    WhenBoxShows([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    QCOMPARE(AskWarningMessage(Msg::CompressionRatioAgainstCalculator), WarningAnswer::Cancel);
    WhenBoxShows([](QMessageBox* box) { box->close(); });
    QCOMPARE(AskWarningMessage(Msg::BoreStrokeAgainstCalculator), WarningAnswer::Cancel);
}

void QtMessagePresenterTest::aBoxOutlivesNoWindowItStandsOver()
{
    // A value editor closed with OK is deleted later, from whatever event
    // loop runs next: here the loop of a message box shown over it.
    QtMessagePresenter presenter;
    for (const bool warning : {false, true}) {
        auto* editor = new QDialog;
        const QPointer<QDialog> gone = editor;
        editor->show();
        editor->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(editor));
        QWidget* owner = nullptr;
        WhenBoxShows([&](QMessageBox* box) {
            owner = box->parentWidget();
            editor->deleteLater();
            QTimer::singleShot(0, [] {
                if (auto* left = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                    left->button(QMessageBox::Ok)->click();
            });
        });
        if (warning) {
            QCOMPARE(AskWarningMessage(Msg::SaveWithoutResults), WarningAnswer::Cancel);
        } else {
            ShowErrorMessage(Msg::BoreStrokeSelectionRequired);
        }
        QCOMPARE(owner, editor);
        QVERIFY(gone.isNull());
    }
}

QTEST_MAIN(QtMessagePresenterTest)
#include "QtMessagePresenterTest.moc"
