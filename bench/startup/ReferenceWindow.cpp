// The yardstick of the start-up benchmark: the least a Qt Widgets program of a given window
// size does before its window is mapped. With "menus" it is a main window with three menus
// and about twenty child widgets, like the program's main window. With "splash" it is a
// window made the usual way with a picture filling it and three lines of Japanese text.
//
//   startup_reference WIDTH HEIGHT [menus|splash]
#include <QApplication>
#include <QColor>
#include <QLabel>
#include <QMainWindow>
#include <QPixmap>
#include <QMenuBar>
#include <QPushButton>

#include <cstring>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int width = argc > 2 ? std::atoi(argv[1]) : 436;
    const int height = argc > 2 ? std::atoi(argv[2]) : 286;
    QMainWindow window;
    if (argc > 3 && std::strcmp(argv[3], "menus") == 0) {
        for (const char *menu : {"File", "Step", "Options"})
            window.menuBar()->addMenu(QString::fromLatin1(menu))->addAction(QStringLiteral("Item"));
        auto *central = new QWidget;
        for (int i = 0; i < 20; ++i) {
            QWidget *child = i % 2 ? static_cast<QWidget *>(new QPushButton(QStringLiteral("Button"), central))
                                   : new QLabel(QStringLiteral("Label"), central);
            child->move(8 + 140 * (i % 5), 8 + 40 * (i / 5));
        }
        window.setCentralWidget(central);
    }
    if (argc > 3 && std::strcmp(argv[3], "splash") == 0) {
        auto *central = new QWidget;
        QPixmap picture(width, height);
        picture.fill(QColor(0xdd, 0xf0, 0xff));
        auto *image = new QLabel(central);
        image->setPixmap(picture);
        image->setGeometry(0, 0, width, height);
        int y = height - 60;
        for (const char *line : {"ジハン・コウボウ", "ﾊﾞｰｼﾞｮﾝ 1.0.0", "－ウィンドウをクリックして下さい。－"}) {
            auto *text = new QLabel(QString::fromUtf8(line), central);
            text->adjustSize();
            text->move(12, y);
            y += 18;
        }
        window.setCentralWidget(central);
    }
    window.setWindowTitle(QStringLiteral("reference"));
    window.setFixedSize(width, height);
    window.show();
    return QApplication::exec();
}
