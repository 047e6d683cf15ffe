// Writes the table of the window's boxes that the real-window tests, the packaging
// checks and the benchmarks read (window_boxes.txt of the build): the box of every
// control as the real Form1 lays it out, on Qt's offscreen platform, then the parts
// of controls that those scripts read, each the box of one or more controls trimmed
// on its four sides by the file of parts (tools/lib/window_box_parts.txt). The boxes
// are thus written once, by the window itself, and a part cannot stick out of its
// controls. Lines are "NAME LEFT TOP WIDTH HEIGHT", in window pixels.
//
// Usage: write_window_boxes PARTS_FILE TABLE_FILE
// Status 0 when the table is written, 1 when a part or the writing fails, 2 for a
// bad usage.

#include <QApplication>
#include <QFile>
#include <QMap>
#include <QRect>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "app/look/fixed_look.h"
#include "app/window/form1.h"

namespace {

// One line of the table: a name, its box, and what it is when that is said.
struct BoxLine {
    QString name;
    QRect box;
    QString comment;
};

int Failure(const QString& message) {
    std::fprintf(stderr, "write_window_boxes : %s\n", qPrintable(message));
    return 1;
}

// The named controls of the window that it shows, in the order it creates them
// (the outlines first, drawn under the rest), after the window itself.
QList<BoxLine> ControlBoxes(const Form1& form) {
    QList<BoxLine> lines{{QStringLiteral("Form1"), QRect(QPoint(0, 0), form.size()), QStringLiteral("the window")}};
    for (QObject* child : form.children()) {
        auto* control = qobject_cast<QWidget*>(child);
        if (!control || control->objectName().isEmpty() || control->isHidden()) continue;
        lines.append({control->objectName(), control->geometry(), QString()});
    }
    return lines;
}

// A line of the file of parts, "NAME CONTROL[+CONTROL...] LEFT TOP RIGHT BOTTOM  # what":
// the box of the controls (all of them, when several) with LEFT, TOP, RIGHT and BOTTOM
// pixels trimmed off its sides, none of them negative.
std::optional<BoxLine> PartBox(const QString& line, const QMap<QString, QRect>& controls, QString& error) {
    const QString comment = line.section(QLatin1Char('#'), 1).trimmed();
    const QStringList fields = line.section(QLatin1Char('#'), 0, 0).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (fields.size() != 6) {
        error = QStringLiteral("ni « NOM CONTRÔLES GAUCHE HAUT DROITE BAS » ni un commentaire");
        return std::nullopt;
    }
    QRect box;
    for (const QString& control : fields[1].split(QLatin1Char('+'))) {
        if (!controls.contains(control)) {
            error = QStringLiteral("la fenêtre n'a pas de contrôle %1").arg(control);
            return std::nullopt;
        }
        box |= controls[control];
    }
    int trims[4];
    for (int i = 0; i < 4; ++i) {
        bool number = false;
        trims[i] = fields[2 + i].toInt(&number);
        if (!number || trims[i] < 0) {
            error = QStringLiteral("« %1 » n'est pas un nombre de pixels à retrancher").arg(fields[2 + i]);
            return std::nullopt;
        }
    }
    box.adjust(trims[0], trims[1], -trims[2], -trims[3]);
    if (box.isEmpty()) {
        error = QStringLiteral("il ne reste rien de %1").arg(fields[1]);
        return std::nullopt;
    }
    return BoxLine{fields[0], box, comment};
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
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
    QApplication application(argc, argv);
    ApplyFixedLook();
    const Form1 form(home.path());

    QList<BoxLine> lines = ControlBoxes(form);
    QMap<QString, QRect> controls;
    for (const BoxLine& line : lines) controls.insert(line.name, line.box);

    QFile parts(QString::fromLocal8Bit(argv[1]));
    if (!parts.open(QIODevice::ReadOnly | QIODevice::Text)) return Failure(parts.fileName() + " : illisible");
    for (int number = 1; !parts.atEnd(); ++number) {
        const QString line = QString::fromUtf8(parts.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        QString error;
        const std::optional<BoxLine> part = PartBox(line, controls, error);
        if (!part) return Failure(QStringLiteral("%1, ligne %2 : %3").arg(parts.fileName()).arg(number).arg(error));
        lines.append(*part);
    }

    QSaveFile table(QString::fromLocal8Bit(argv[2]));
    if (!table.open(QIODevice::WriteOnly | QIODevice::Text)) return Failure(table.fileName() + " : non inscriptible");
    QTextStream out(&table);
    out << "# Written by the build (tools/write_window_boxes.cpp) from the window and from\n"
           "# tools/lib/window_box_parts.txt: NAME LEFT TOP WIDTH HEIGHT, in window pixels.\n";
    for (const BoxLine& line : lines) {
        out << QStringLiteral("%1 %2 %3 %4 %5")
                   .arg(line.name, -24)
                   .arg(line.box.left(), 4)
                   .arg(line.box.top(), 4)
                   .arg(line.box.width(), 4)
                   .arg(line.box.height(), 4);
        if (!line.comment.isEmpty()) out << "   # " << line.comment;
        out << '\n';
    }
    out.flush();
    if (out.status() != QTextStream::Ok || !table.commit()) return Failure(table.fileName() + " : écriture échouée");
    return 0;
}
