#include "LayerPicture.h"

#include <QImage>
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

#include "Graphics.h"
#include "MapGeometry.h"

using namespace MapGeometry;

namespace MapPainters {

namespace {
static_assert(kPictureDepth == 32, "layers are QImage::Format_RGB32");
constexpr qsizetype kBytesPerLine = qsizetype{kPictureWidthPx} * kPictureDepth / 8;
constexpr size_t kBufferBytes = size_t{kBytesPerLine} * kPictureHeightPx;
constexpr std::align_val_t kBufferAlignment{64};
// The layers alive at once (three stored, a pointer frame and the ones being
// replaced) with some to spare.
constexpr size_t kPooledBuffers = 8;

class BufferPool {
public:
    uchar* Take() {
        {
            const std::lock_guard lock(mutex_);
            if (!free_.empty()) {
                uchar* buffer = free_.back();
                free_.pop_back();
                return buffer;
            }
        }
        return static_cast<uchar*>(::operator new(kBufferBytes, kBufferAlignment));
    }

    void Give(uchar* buffer) {
        {
            const std::lock_guard lock(mutex_);
            if (free_.size() < kPooledBuffers) {
                free_.push_back(buffer);
                return;
            }
        }
        ::operator delete(buffer, kBufferAlignment);
    }

private:
    std::mutex mutex_;  // a picture may be released on any thread
    std::vector<uchar*> free_;
};

// Never destroyed: pictures may outlive every other static.
BufferPool& Pool() {
    static auto* const pool = new BufferPool;
    return *pool;
}

void ReturnBuffer(void* buffer) { Pool().Give(static_cast<uchar*>(buffer)); }
}  // namespace

Picture NewLayer() {
    uchar* buffer = Pool().Take();
    return Picture(QImage(buffer, kPictureWidthPx, kPictureHeightPx, kBytesPerLine,
                          QImage::Format_RGB32, ReturnBuffer, buffer));
}

Picture NewLayerOn(const Picture& base) {
    Picture layer = NewLayer();
    QImage& pixels = layer.Image();
    const QImage& source = base.Image();
    if (!source.isNull() && source.size() == pixels.size() &&
        source.format() == QImage::Format_RGB32) {
        if (source.bytesPerLine() == kBytesPerLine) {
            std::memcpy(pixels.bits(), source.constBits(), kBufferBytes);
        } else {
            for (int y = 0; y < kPictureHeightPx; ++y)
                std::memcpy(pixels.scanLine(y), source.constScanLine(y), size_t{kBytesPerLine});
        }
        return layer;
    }
    pixels.fill(Qt::white);
    layer.Graphics().DrawPicture(base, 0, 0);
    return layer;
}

}  // namespace MapPainters
