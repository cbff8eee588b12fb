// Writes the program's icon files into the folder named by the one argument:
// "zelmohtml.svg" from the icon's shapes, and "zelmohtml-48.png" and
// "zelmohtml-256.png" drawn exactly as the window icon is.
#include "dialogs/fraabouticon.h"
#include "dialogs/programiconshape.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>

namespace {

QString number(double value)
{
    return QString::number(value, 'g', 10);
}

QString svgIcon()
{
    using namespace ProgramIconShape;
    const Tile shape = tile();
    QString svg;
    QTextStream out(&svg);
    out << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
        << "viewBox=\"0 0 " << number(kCanvas) << ' ' << number(kCanvas) << "\">\n"
        << "  <defs>\n"
        << "    <linearGradient id=\"tile\" gradientUnits=\"userSpaceOnUse\" x1=\"0\" y1=\"0\" "
        << "x2=\"0\" y2=\"" << number(kCanvas) << "\">\n"
        << "      <stop offset=\"0\" stop-color=\"" << shape.top.name() << "\"/>\n"
        << "      <stop offset=\"1\" stop-color=\"" << shape.bottom.name() << "\"/>\n"
        << "    </linearGradient>\n"
        << "  </defs>\n"
        << "  <rect x=\"" << number(shape.rect.x()) << "\" y=\"" << number(shape.rect.y())
        << "\" width=\"" << number(shape.rect.width()) << "\" height=\""
        << number(shape.rect.height()) << "\" rx=\"" << number(shape.radius) << "\" ry=\""
        << number(shape.radius) << "\" fill=\"url(#tile)\"/>\n";
    for (const Stroke &stroke : strokes()) {
        out << "  <polyline fill=\"none\" stroke=\"" << stroke.color.name() << "\" stroke-width=\""
            << number(kStrokeWidth)
            << "\" stroke-linecap=\"round\" stroke-linejoin=\"round\" points=\"";
        for (std::size_t i = 0; i < stroke.points.size(); ++i)
            out << (i ? " " : "") << number(stroke.points[i].x()) << ','
                << number(stroke.points[i].y());
        out << "\"/>\n";
    }
    out << "</svg>\n";
    return svg;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fputs("usage: iconwriter OUTPUT-FOLDER\n", stderr);
        return 2;
    }
    // Drawing needs no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral(".")))
        return 1;
    bool ok = writeFile(folder.filePath(QStringLiteral("zelmohtml.svg")), svgIcon().toUtf8());
    for (int size : {48, 256})
        ok = ProgramIconPixmap(size).save(
                 folder.filePath(QStringLiteral("zelmohtml-%1.png").arg(size)), "PNG") &&
             ok;
    return ok ? 0 : 1;
}
