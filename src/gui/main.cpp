#include "app/TorqApp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    CTorqApp torqApp;
    if (!torqApp.InitInstance(QApplication::arguments())) return 1;
    return QApplication::exec();
}
