#pragma once

#include <QApplication>
#include <exception>

// Whatever a handler raises ends the program: the user sees a French sentence that
// names the cause in a message box titled "Solvane", the same line goes to standard
// error, and the process ends with a non-zero status. This is the one place that
// catches: handlers themselves never do.
class SolvaneApplication : public QApplication {
public:
    SolvaneApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The sentence shown for an error: our own errors carry theirs.
QString FatalErrorSentence(const std::exception& error);

// Shows the sentence, writes it to standard error, and asks the event loop to end
// with status 1. An error raised while the box is open is not reported again.
void ReportFatalError(const QString& sentence);

// The status the program ends with after an error.
inline constexpr int kFatalErrorStatus = 1;
