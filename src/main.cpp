#include "startup/module1.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (int status = Module1::Main(); status != 0) return status;
    return app.exec();
}
