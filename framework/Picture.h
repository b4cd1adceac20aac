#pragma once
#include <QImage>
#include <QString>

class Graphics;

// An offscreen 32-bit RGB picture. Copies share their pixels until one of them
// is drawn on, so passing pictures around is cheap. A default-constructed
// picture is nil.
class Picture {
public:
    Picture() = default;
    Picture(int width, int height);
    explicit Picture(QImage image);

    bool IsNil() const { return image_.isNull(); }
    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }

    ::Graphics Graphics();

    const QImage& Image() const { return image_; }
    QImage& Image() { return image_; }

    // Reads a picture file; nil when the file is missing or not a picture.
    static Picture Open(const QString& path);

private:
    QImage image_;
};
