#include <QApplication>

#include "app/form1.h"
#include "app/platform_window.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    ApplyFixedLook();
    Form1 window;
    window.Form_Load();
    window.show();
    return application.exec();
}
