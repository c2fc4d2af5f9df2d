#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("ジハン・コウボウ"));
    window.resize(785, 559);
    window.show();
    return app.exec();
}
