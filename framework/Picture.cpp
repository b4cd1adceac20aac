#include "Picture.h"

#include "Graphics.h"

Picture::Picture(int width, int height) : image_(width, height, QImage::Format_RGB32) {
    image_.fill(Qt::white);
}

Picture::Picture(QImage image)
    : image_(image.isNull() ? QImage() : std::move(image).convertToFormat(QImage::Format_RGB32)) {}

::Graphics Picture::Graphics() { return ::Graphics(&image_); }

Picture Picture::Open(const QString& path) {
    QImage image;
    if (!image.load(path)) return Picture();
    return Picture(std::move(image));
}
