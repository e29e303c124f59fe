// The peer of the start-up benchmark: a program that shows an empty main window and nothing else.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.show();
    return application.exec();
}
