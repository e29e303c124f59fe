// The program's entry point.
#include <QApplication>
#include <QLabel>
#include <clocale>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    // Numbers are always read and printed with C rules, whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    QLabel window(QStringLiteral("KvIGMPTQ"));
    window.show();
    return application.exec();
}
