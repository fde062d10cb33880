#include "ui/PictureExport.h"

#include <string>

#include <QFile>
#include <QImageWriter>
#include <QSaveFile>

#include "base/Diagnostics.h"
#include "drawing/SvgWriter.h"
#include "ui/PicturePainter.h"

namespace kestrom::ui {
namespace {

[[noreturn]] void Fail(const QString& path, const QString& reason) {
    throw OutputError(QString("cannot write %1: %2").arg(path, reason).toLocal8Bit().toStdString());
}

// Whole or not at all: an earlier file stays until the new one is complete.
void WriteBytes(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) Fail(path, file.errorString());
    if (file.write(bytes) != bytes.size()) Fail(path, file.errorString());
    if (!file.commit()) Fail(path, file.errorString());
}

} // namespace

void WritePicture(const drawing::Picture& picture, const QString& path) {
    if (!path.endsWith(".png", Qt::CaseInsensitive)) {
        WriteBytes(path, QByteArray::fromStdString(drawing::WriteSvg(picture)));
        return;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) Fail(path, file.errorString());
    QImageWriter writer(&file, "png");
    if (!writer.write(RenderPicture(picture, kExportedPngWidth))) Fail(path, writer.errorString());
    if (!file.commit()) Fail(path, file.errorString());
}

} // namespace kestrom::ui
