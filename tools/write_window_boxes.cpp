// Writes the table of the window's boxes that the window driver reads (window_boxes.txt of
// the build), "NAME LEFT TOP WIDTH HEIGHT" in window pixels: the box of every control as the
// real Form1 lays it out on Qt's offscreen platform, then the parts of controls that the
// scripts read, each the box of its controls trimmed by the file of parts
// (tools/lib/window_box_parts.txt), so that it cannot stick out of them.
// Usage: write_window_boxes PARTS_FILE TABLE_FILE   (status 1 when it fails, 2 for a bad usage)

#include <QApplication>
#include <QFile>
#include <QMap>
#include <QRect>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QWidget>
#include <cstdio>

#include "app/look/fixed_look.h"
#include "app/window/form1.h"

namespace {

int Failure(const QString& message) {
    std::fprintf(stderr, "write_window_boxes : %s\n", qPrintable(message));
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage : write_window_boxes FICHIER_DES_PARTIES TABLE\n");
        return 2;
    }
    // The window alone, on no screen, with none of the user's settings.
    QTemporaryDir home;
    if (!home.isValid()) return Failure(QStringLiteral("pas de dossier temporaire"));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    for (const char* variable : {"HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"}) qputenv(variable, home.path().toUtf8());
    QApplication application(argc, argv);
    ApplyFixedLook();
    const Form1 form(home.path());

    // The table is written only whole: a failure before its commit leaves the last one.
    QSaveFile table(QString::fromLocal8Bit(argv[2]));
    if (!table.open(QIODevice::WriteOnly | QIODevice::Text)) return Failure(table.fileName() + " : non inscriptible");
    QTextStream out(&table);
    out << "# Written by the build (tools/write_window_boxes.cpp) from the window and from\n"
           "# tools/lib/window_box_parts.txt: NAME LEFT TOP WIDTH HEIGHT, in window pixels.\n";
    const auto write = [&out](const QString& name, const QRect& box, const QString& comment) {
        out << QString::asprintf("%-24s %4d %4d %4d %4d", qPrintable(name), box.left(), box.top(), box.width(),
                                 box.height())
            << (comment.isEmpty() ? QString() : QStringLiteral("   # ") + comment) << '\n';
    };

    // The window, then its named controls that it shows, in the order it creates them.
    QMap<QString, QRect> controls{{QStringLiteral("Form1"), QRect(QPoint(0, 0), form.size())}};
    write(QStringLiteral("Form1"), controls[QStringLiteral("Form1")], QStringLiteral("the window"));
    for (QObject* child : form.children()) {
        auto* control = qobject_cast<QWidget*>(child);
        if (!control || control->objectName().isEmpty() || control->isHidden()) continue;
        controls.insert(control->objectName(), control->geometry());
        write(control->objectName(), control->geometry(), QString());
    }

    // A line of the file of parts, "NAME CONTROL[+CONTROL...] LEFT TOP RIGHT BOTTOM  # what": the box
    // around the controls with LEFT, TOP, RIGHT and BOTTOM pixels trimmed off its sides.
    static const QRegularExpression kPart(
        QStringLiteral(R"(^([^\s#]+) +([^\s#]+) +(\d+) +(\d+) +(\d+) +(\d+) *(?:#(.*))?$)"));
    QFile parts(QString::fromLocal8Bit(argv[1]));
    if (!parts.open(QIODevice::ReadOnly | QIODevice::Text)) return Failure(parts.fileName() + " : illisible");
    for (int number = 1; !parts.atEnd(); ++number) {
        const QString line = QString::fromUtf8(parts.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        const QString where = QStringLiteral("%1, ligne %2 : ").arg(parts.fileName()).arg(number);
        const QRegularExpressionMatch part = kPart.match(line);
        if (!part.hasMatch()) return Failure(where + "ni « NOM CONTRÔLES GAUCHE HAUT DROITE BAS » ni un commentaire");
        QRect box;
        for (const QString& control : part.captured(2).split(QLatin1Char('+'))) {
            if (!controls.contains(control)) return Failure(where + "la fenêtre n'a pas de contrôle " + control);
            box |= controls[control];
        }
        box.adjust(part.captured(3).toInt(), part.captured(4).toInt(), -part.captured(5).toInt(),
                   -part.captured(6).toInt());
        if (box.isEmpty()) return Failure(where + "il ne reste rien de " + part.captured(2));
        write(part.captured(1), box, part.captured(7).trimmed());
    }
    out.flush();
    if (out.status() != QTextStream::Ok || !table.commit()) return Failure(table.fileName() + " : écriture échouée");
    return 0;
}
