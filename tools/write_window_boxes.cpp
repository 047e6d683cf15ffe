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
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QWidget>
#include <cstdio>
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

// A line of the file of parts, "NAME CONTROL[+CONTROL...] LEFT TOP RIGHT BOTTOM  # what":
// the box around the controls with LEFT, TOP, RIGHT and BOTTOM pixels (none negative)
// trimmed off its sides.
std::optional<BoxLine> PartBox(const QString& line, const QMap<QString, QRect>& controls, QString& error) {
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
    return BoxLine{fields[0], box, line.section(QLatin1Char('#'), 1).trimmed()};
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

    // The window, then its named controls that it shows, in the order it creates them.
    QList<BoxLine> lines{{QStringLiteral("Form1"), QRect(QPoint(0, 0), form.size()), QStringLiteral("the window")}};
    QMap<QString, QRect> controls;
    for (QObject* child : form.children()) {
        auto* control = qobject_cast<QWidget*>(child);
        if (control && !control->objectName().isEmpty() && !control->isHidden())
            lines.append({control->objectName(), control->geometry(), QString()});
    }
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
        const QRect& box = line.box;
        out << QString::asprintf("%-24s %4d %4d %4d %4d", qPrintable(line.name), box.left(), box.top(), box.width(),
                                 box.height())
            << (line.comment.isEmpty() ? QString() : QStringLiteral("   # ") + line.comment) << '\n';
    }
    out.flush();
    if (out.status() != QTextStream::Ok || !table.commit()) return Failure(table.fileName() + " : écriture échouée");
    return 0;
}
