// The widget tests' program: runs the class its first argument names, as the class's own
// QTEST_MAIN would (a QApplication at 96 dots an inch), with the rest of the arguments.
// Its windows keep their settings in a folder of the run's own, never in the user's.
#include "tests/app/test_classes.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <vector>

namespace test {

std::map<std::string, TestClassFactory>& TestClasses() {
    static std::map<std::string, TestClassFactory> classes;
    return classes;
}

}  // namespace test

int main(int argc, char* argv[]) {
    const auto& classes = test::TestClasses();
    const auto found = argc > 1 ? classes.find(argv[1]) : classes.end();
    if (found == classes.end()) {
        std::fprintf(stderr, "usage : %s CLASSE [arguments de QTest] ; les classes :\n", argv[0]);
        for (const auto& [name, factory] : classes) std::fprintf(stderr, "  %s\n", name.c_str());
        return 2;
    }
    // QTest reads its own arguments after the program's name: the class's is left out.
    std::vector<char*> arguments{argv[0]};
    arguments.insert(arguments.end(), argv + 2, argv + argc);
    arguments.push_back(nullptr);
    int count = argc - 1;
    // The settings file and the autostart entry live under XDG_CONFIG_HOME: a folder of
    // this run, so that a test neither changes the user's gadget nor reads what another
    // test, running beside it, has just written.
    const QTemporaryDir config;
    if (!config.isValid()) {
        std::fprintf(stderr, "%s : pas de dossier temporaire pour les réglages\n", argv[0]);
        return 1;
    }
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QApplication application(count, arguments.data());
    application.setAttribute(Qt::AA_Use96Dpi, true);
    const std::unique_ptr<QObject> testClass = found->second();
    return QTest::qExec(testClass.get(), count, arguments.data());
}
