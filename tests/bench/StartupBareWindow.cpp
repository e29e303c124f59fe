// The peer of the start-up benchmark: a program that shows an empty main window and nothing else.
// The window is shown at the program's own minimum main-window size (1024x768): filling and first
// touching a backing store that size is part of showing any window that size, so both sides pay it.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.resize(1024, 768);
    window.show();
    return application.exec();
}
