// make-icon-pngs: draws an SVG icon at the sizes desktops ask for, into an icon theme's tree.
//   make-icon-pngs ICON.svg OUTPUT_FOLDER NAME SIZE...   writes OUTPUT_FOLDER/SIZExSIZE/apps/NAME.png
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: make-icon-pngs ICON.svg OUTPUT_FOLDER NAME SIZE...\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "make-icon-pngs: %s is not a valid SVG\n", argv[1]);
        return 1;
    }
    for (int i = 4; i < argc; ++i) {
        const int size = QString(argv[i]).toInt();
        if (size <= 0) {
            std::fprintf(stderr, "make-icon-pngs: %s is not a size\n", argv[i]);
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter);
        painter.end();
        const QString folder = QString("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[2])).arg(size);
        const QString file = folder + "/" + QString::fromLocal8Bit(argv[3]) + ".png";
        if (!QDir().mkpath(folder) || !image.save(file)) {
            std::fprintf(stderr, "make-icon-pngs: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
