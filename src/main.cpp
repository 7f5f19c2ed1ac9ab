#include "app/Application.h"

#include <QMainWindow>

int main(int argc, char *argv[])
{
    Application app(argc, argv);
    app.setApplicationDisplayName(QStringLiteral("Генератор G-740"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Модуль G-740. Генератор."));
    window.show();
    return app.exec();
}
