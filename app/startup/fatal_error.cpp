#include "app/startup/fatal_error.h"

#include <QMessageBox>
#include <QWidget>
#include <cstdio>
#include <new>

#include "app/text/qt_text.h"

namespace {
bool reporting = false;
}

SolvaneApplication::SolvaneApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool SolvaneApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ReportFatalError(FatalErrorSentence(error));
    } catch (...) {
        ReportFatalError(QStringLiteral("Erreur inconnue : Solvane doit s'arrêter."));
    }
    return true;
}

QString FatalErrorSentence(const std::exception& error) {
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return QStringLiteral("Mémoire insuffisante : Solvane doit s'arrêter.");
    return Utf8(error.what());
}

void ReportFatalError(const QString& sentence) {
    if (reporting) return;
    reporting = true;
    std::fprintf(stderr, "solvane: %s\n", sentence.toUtf8().constData());
    std::fflush(stderr);
    // The window and its timers go first, so that nothing ticks behind the box.
    for (QWidget* window : QApplication::topLevelWidgets()) window->hide();
    QMessageBox::critical(nullptr, QStringLiteral("Solvane"), sentence);
    QCoreApplication::exit(kFatalErrorStatus);
}
