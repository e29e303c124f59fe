// The program's entry point: everything is built here, in order, so that nothing depends on the order
// in which static objects happen to be initialised.
#include "app/KvIGMPTQApp.h"

#include <QApplication>
#include <clocale>
#include <csignal>

int main(int argc, char *argv[])
{
    // A write past the file size limit fails (EFBIG) and its save says so, rather than ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication application(argc, argv);
    // Numbers are always read and printed with C rules, whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Tavrix-IGMP-TQ"));

    CKvIGMPTQApp app;
    if (!app.InitInstance())
        return 0;
    return application.exec();
}
