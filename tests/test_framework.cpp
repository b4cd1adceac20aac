// The framework rules the program relies on.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "Canvas.h"
#include "CoreTestSupport.h"
#include "Date.h"
#include "FolderItem.h"
#include "Graphics.h"
#include "Picture.h"
#include "PixelWriter.h"
#include "PopupMenu.h"
#include "PushButton.h"
#include "SingleInstance.h"
#include "Text.h"
#include "TextInputStream.h"
#include "TextOutputStream.h"
#include "Window.h"

TEST(Conversions, DoubleToInt32DropsFractionAndSaturates) {
    EXPECT_EQ(ToInt32(2.9), 2);
    EXPECT_EQ(ToInt32(-2.9), -2);
    EXPECT_EQ(ToInt32(1e20), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(ToInt32(-1e20), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(ToInt32(std::nan("")), 0);
    EXPECT_EQ(ToInt32(std::numeric_limits<double>::infinity()),
              std::numeric_limits<int32_t>::max());
}

TEST(Conversions, CStrOfDoubles) {
    struct Case {
        double value;
        const char* text;
    };
    for (const Case c :
         {Case{24.576, "24.576"}, Case{2784, "2784"}, Case{22.579, "22.579"}, Case{44.1, "44.1"},
          Case{705.6, "705.6"}, Case{0, "0"}, Case{-3, "-3"}, Case{3072, "3072"}, Case{0.5, "0.5"}})
        EXPECT_EQ(CStr(c.value), QString::fromLatin1(c.text)) << c.value;
    EXPECT_EQ(CStr(int32_t{-1}), "-1");
    EXPECT_EQ(Str(int32_t{255}), "255");
}

TEST(Conversions, CLongReadsLeadingDigits) {
    struct Case {
        const char* text;
        int64_t value;
    };
    for (const Case c : {Case{"3208", 3208}, Case{"  42abc", 42}, Case{"-7", -7}, Case{"+9", 9},
                         Case{"12.7", 12}, Case{"abc", 0}, Case{"", 0}, Case{"-", 0}})
        EXPECT_EQ(CLong(QString::fromLatin1(c.text)), c.value) << c.text;
    // Beyond the 32-bit range the low 32 bits remain.
    EXPECT_EQ(CLong32("4294967297"), 1);
    EXPECT_EQ(CLong32("2147483648"), std::numeric_limits<int32_t>::min());
    // Digits past 64 bits wrap too: 99999999999999999999999 mod 2^32 = 4135583743.
    EXPECT_EQ(CLong32("99999999999999999999999"), -159383553);
    EXPECT_EQ(CLong32("-99999999999999999999999"), 159383553);
}

TEST(Conversions, ValReadsDecimalNumbers) {
    EXPECT_DOUBLE_EQ(Val(" 12 "), 12);
    EXPECT_DOUBLE_EQ(Val("3.5x"), 3.5);
    EXPECT_DOUBLE_EQ(Val("-1e3"), -1000);
    EXPECT_DOUBLE_EQ(Val("1e"), 1);
    EXPECT_DOUBLE_EQ(Val("abc"), 0);
    EXPECT_DOUBLE_EQ(Val(""), 0);
}

TEST(Conversions, ValBeyondTheDoubleRangeSaturatesLikeOtherHugeNumbers) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    const struct {
        const char* text;
        double value;
        int32_t asInt32;
    } cases[] = {
        {"1e300", 1e300, kMax},
        {"1e400", kInf, kMax},
        {"+1e400x", kInf, kMax},
        {"-1e400", -kInf, kMin},
        {"1.5E+99999999999999999999", kInf, kMax},
        {"1e-400", 0, 0},  // underflow: as near to the number as a double gets
        {"-1e-400", 0, 0},
        {"0e999999", 0, 0},
        {"1.7976931348623157e308", 1.7976931348623157e308, kMax},
    };
    for (const auto& c : cases) {
        const double value = Val(QString::fromLatin1(c.text));
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(ToInt32(value), c.asInt32) << c.text;
    }
    // Three hundred and ten digits: beyond the range without an exponent.
    EXPECT_EQ(Val(QString(310, u'9')), kInf);
    EXPECT_EQ(Val("-" + QString(310, u'9')), -kInf);
}

TEST(Conversions, MidAtTheLimitsOfItsArguments) {
    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    const struct {
        int start, length;
        const char* text;
    } cases[] = {
        {2, 3, "bcd"},          {0, 4, "abc"}, {1, kMax, "abcdef"}, {2, kMax, "bcdef"},
        {6, kMax, "f"},         {7, kMax, ""}, {kMax, kMax, ""},    {kMax, 1, ""},
        {kMin, kMax, ""},       {kMin, 5, ""}, {0, kMin, "abcdef"}, {3, -1, "cdef"},
        {kMin, kMin, "abcdef"}, {-5, 8, "ab"}, {1, 0, ""},          {kMax, kMin, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Mid("abcdef", c.start, c.length), QString::fromLatin1(c.text))
            << "Mid(\"abcdef\", " << c.start << ", " << c.length << ")";
}

TEST(Conversions, TextFunctions) {
    EXPECT_EQ(Hex(8), "8");
    EXPECT_EQ(Hex(3135), "C3F");
    EXPECT_EQ(Hex(0), "0");
    EXPECT_EQ(Bin(8), "1000");
    EXPECT_EQ(Bin(0), "0");
    EXPECT_EQ(Trim("  a b \t"), "a b");
    EXPECT_EQ(InStr("xx SLIMbus", "SLIMbus"), 4);
    EXPECT_EQ(InStr("abc", "z"), 0);
    EXPECT_EQ(Mid("AddChannel:1*", 0, 11), "AddChannel");
    EXPECT_EQ(Mid("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Chr(13), "\r");
}

// The build moment is 18:42:39 on Nov 2, 2011: 19041 seconds before midnight.
TEST(DateTest, AbbreviatedDateTurnsAtMidnight) {
    const struct {
        double totalSeconds;
        const char* shown;
    } cases[] = {
        {0.0, "Jan 1, 1904"},
        {3403104159.0, "Nov 2, 2011"},
        {3403104159.0 + 19040, "Nov 2, 2011"},
        {3403104159.0 + 19040.5, "Nov 2, 2011"},
        {3403104159.0 + 19041, "Nov 3, 2011"},
    };
    for (const auto& c : cases) {
        Date date;
        date.TotalSeconds = c.totalSeconds;
        EXPECT_EQ(date.AbbreviatedDate(), c.shown) << c.totalSeconds;
    }
}

TEST(GraphicsTest, RectanglesCoverExactlyTheirPixels) {
    Picture picture(20, 20);
    Graphics g = picture.Graphics();
    g.ForeColor = RGB(0, 0, 0);
    g.FillRect(0, 0, 20, 20);
    g.ForeColor = RGB(255, 0, 0);
    g.DrawRect(2, 3, 8, 17);  // runs past the bottom: clipped
    g.ForeColor = RGB(0, 255, 0);
    g.FillRect(12, 2, 6, 15);
    const QImage& image = picture.Image();
    EXPECT_EQ(PixelColor(image, 2, 3), RGB(255, 0, 0));
    EXPECT_EQ(PixelColor(image, 9, 3), RGB(255, 0, 0));
    EXPECT_EQ(PixelColor(image, 10, 3), RGB(0, 0, 0)) << "an outline of width 8 covers 8 pixels";
    EXPECT_EQ(PixelColor(image, 5, 5), RGB(0, 0, 0)) << "outline only";
    EXPECT_EQ(PixelColor(image, 12, 2), RGB(0, 255, 0));
    EXPECT_EQ(PixelColor(image, 17, 16), RGB(0, 255, 0));
    EXPECT_EQ(PixelColor(image, 18, 16), RGB(0, 0, 0));
    EXPECT_EQ(PixelColor(image, 17, 17), RGB(0, 0, 0));
    g.FillRect(-5, -5, 3, 3);  // wholly outside: nothing, no crash
    g.FillRect(1 << 30, 1 << 30, 1 << 30, 1 << 30);
}

namespace {
constexpr int kWriterSide = 12;
constexpr Color kInk = RGB(200, 10, 20);
constexpr Color kPaper = RGB(0, 0, 0);

QImage PaperImage() {
    QImage image(kWriterSide, kWriterSide, QImage::Format_RGB32);
    image.fill(kPaper.ToQColor());
    return image;
}

// The pixels of `image` in kInk, as the rectangle they cover; null for none,
// and a rectangle of -1 size when they do not form one.
QRect InkedRect(const QImage& image) {
    QRect inked;
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (PixelColor(image, x, y) == kInk) {
                inked |= QRect(x, y, 1, 1);
                ++count;
            }
    if (count != inked.width() * inked.height()) return QRect(0, 0, -1, -1);
    return inked;
}
}  // namespace

// Every fill covers exactly the part of its rectangle that lies on the image,
// for coordinates anywhere in 64 bits; the cell-sized block does the same.
TEST(PixelWriterTest, FillsClipToTheImage) {
    constexpr int64_t kFar = int64_t{1} << 40;
    struct Case {
        const char* what;
        int64_t x, y, width, height;
        QRect covered;  // null: nothing
    };
    const Case cases[] = {
        {"inside", 2, 3, 6, 5, QRect(2, 3, 6, 5)},
        {"the whole image", 0, 0, kWriterSide, kWriterSide, QRect(0, 0, 12, 12)},
        {"past the right and bottom", 9, 10, 6, 5, QRect(9, 10, 3, 2)},
        {"past the left and top", -4, -2, 6, 5, QRect(0, 0, 2, 3)},
        {"over every edge", -kFar, -kFar, 2 * kFar, 2 * kFar, QRect(0, 0, 12, 12)},
        {"wholly left", -6, 0, 6, 5, QRect()},
        {"wholly below", 0, kWriterSide, 6, 5, QRect()},
        {"far outside", kFar, kFar, kFar, kFar, QRect()},
        {"no width", 2, 2, 0, 5, QRect()},
        {"negative height", 2, 2, 5, -3, QRect()},
    };
    for (const Case& c : cases) {
        QImage image = PaperImage();
        PixelWriter(image).FillRect(c.x, c.y, c.width, c.height, kInk);
        EXPECT_EQ(InkedRect(image), c.covered) << c.what;
    }
    for (const Case& c : cases) {
        if (c.width != 6 || c.height != 5) continue;
        QImage image = PaperImage();
        PixelWriter(image).FillBlock<6, 5>(c.x, c.y, kInk);
        EXPECT_EQ(InkedRect(image), c.covered) << "block " << c.what;
    }
}

// A picture drawn at any place lands pixel for pixel on the part of the
// image it overlaps, and nowhere else.
TEST(GraphicsTest, DrawPictureClipsToTheImage) {
    constexpr int kSourceWidth = 6;
    constexpr int kSourceHeight = 5;
    QImage pattern(kSourceWidth, kSourceHeight, QImage::Format_RGB32);
    for (int y = 0; y < kSourceHeight; ++y)
        for (int x = 0; x < kSourceWidth; ++x) pattern.setPixel(x, y, qRgb(100 + x, 150 + y, 7));
    const Picture source(pattern);
    const struct {
        const char* what;
        int x, y;
    } cases[] = {
        {"inside", 2, 3},
        {"past the right and bottom", 9, 10},
        {"past the left and top", -4, -2},
        {"wholly left", -6, 0},
        {"wholly below", 0, kWriterSide},
        {"far outside", 1 << 30, -(1 << 30)},
    };
    for (const auto& c : cases) {
        Picture target(PaperImage());
        target.Graphics().DrawPicture(source, c.x, c.y);
        for (int y = 0; y < kWriterSide; ++y)
            for (int x = 0; x < kWriterSide; ++x) {
                const int sx = x - c.x;
                const int sy = y - c.y;
                const bool covered = sx >= 0 && sx < kSourceWidth && sy >= 0 && sy < kSourceHeight;
                const QRgb expected = covered ? pattern.pixel(sx, sy) : kPaper.ToQColor().rgb();
                ASSERT_EQ(target.Image().pixel(x, y), expected)
                    << c.what << " at " << x << "," << y;
            }
    }
}

TEST(PixelWriterTest, OutlineLiesInsideItsRectangle) {
    QImage image = PaperImage();
    PixelWriter writer(image);
    writer.DrawRect(2, 3, 5, 4, kInk);
    for (int y = 0; y < kWriterSide; ++y)
        for (int x = 0; x < kWriterSide; ++x) {
            const bool inside = x >= 2 && x <= 6 && y >= 3 && y <= 6;
            const bool edge = inside && (x == 2 || x == 6 || y == 3 || y == 6);
            EXPECT_EQ(PixelColor(image, x, y), edge ? kInk : kPaper) << x << "," << y;
        }
    QImage clipped = PaperImage();
    PixelWriter(clipped).DrawRect(-1, -1, kWriterSide + 2, kWriterSide + 2, kInk);
    EXPECT_EQ(InkedRect(clipped), QRect()) << "an outline just outside leaves nothing";
}

TEST(PixelWriterTest, WritesOnlyItsOwnCopyAndOnly32BitImages) {
    QImage original = PaperImage();
    QImage copy = original;  // shares the pixels
    PixelWriter(copy).FillRect(0, 0, 1, 1, kInk);
    EXPECT_EQ(PixelColor(copy, 0, 0), kInk);
    EXPECT_EQ(PixelColor(original, 0, 0), kPaper) << "the shared pixels are not written";

    QImage null;
    PixelWriter nothing(null);
    nothing.FillRect(0, 0, 5, 5, kInk);
    nothing.FillBlock<2, 2>(0, 0, kInk);
    EXPECT_EQ(nothing.Width(), 0);

    QImage grey(4, 4, QImage::Format_Grayscale8);
    grey.fill(0);
    PixelWriter(grey).FillRect(0, 0, 4, 4, kInk);
    EXPECT_EQ(grey.pixelColor(3, 3), QColor(0, 0, 0)) << "not a 32-bit image: left alone";
}

TEST(GraphicsTest, DrawPictureCopiesWithoutSharingChanges) {
    Picture base(10, 10);
    {
        Graphics g = base.Graphics();
        g.ForeColor = RGB(1, 2, 3);
        g.FillRect(0, 0, 10, 10);
    }
    Picture copy(10, 10);
    Graphics g = copy.Graphics();
    g.DrawPicture(base, 0, 0);
    g.ForeColor = RGB(9, 9, 9);
    g.FillRect(0, 0, 1, 1);
    EXPECT_EQ(PixelColor(copy.Image(), 0, 0), RGB(9, 9, 9));
    EXPECT_EQ(PixelColor(copy.Image(), 1, 0), RGB(1, 2, 3)) << "the base's pixels are copied";
    EXPECT_EQ(PixelColor(copy.Image(), 9, 9), RGB(1, 2, 3));
    EXPECT_EQ(PixelColor(base.Image(), 0, 0), RGB(1, 2, 3)) << "the base is not edited";
    // Drawing on the base afterwards does not show in the copy either.
    {
        Graphics later = base.Graphics();
        later.ForeColor = RGB(7, 7, 7);
        later.FillRect(0, 0, 10, 10);
    }
    EXPECT_EQ(PixelColor(copy.Image(), 9, 9), RGB(1, 2, 3)) << "the copy is not edited";
}

TEST(PopupMenuTest, ListIndexRaisesChangeOnlyForAnotherRow) {
    PopupMenu popup;
    for (int i = 0; i < 4; ++i) popup.AddRow(QString::number(i));
    popup.SetListIndex(0);
    int changes = 0;
    popup.Change = [&] { ++changes; };
    popup.SetListIndex(2);
    EXPECT_EQ(changes, 1);
    popup.SetListIndex(2);
    EXPECT_EQ(changes, 1) << "the same row raises nothing";
    popup.SetEnabled(false);
    popup.SetListIndex(3);
    EXPECT_EQ(changes, 2) << "also while disabled";
    popup.SetListIndex(40);
    popup.SetListIndex(-5);
    EXPECT_EQ(popup.ListIndex(), 3) << "a row the pop-up does not have is refused";
    EXPECT_EQ(changes, 2);
    popup.SetListIndex(-1);
    EXPECT_EQ(popup.ListIndex(), -1);
    EXPECT_EQ(popup.Text(), "");
}

namespace {
struct MouseLog {
    QStringList events;
    bool acceptDown = false;
};

void BindLog(Canvas& canvas, MouseLog& log) {
    canvas.MouseDown = [&log](int x, int y) {
        log.events << QStringLiteral("down %1,%2").arg(x).arg(y);
        return log.acceptDown;
    };
    canvas.MouseDrag = [&log](int x, int y) {
        log.events << QStringLiteral("drag %1,%2").arg(x).arg(y);
    };
    canvas.MouseUp = [&log](int x, int y) {
        log.events << QStringLiteral("up %1,%2").arg(x).arg(y);
    };
    canvas.MouseMove = [&log](int x, int y) {
        log.events << QStringLiteral("move %1,%2").arg(x).arg(y);
    };
}

void PressDragRelease(Canvas& canvas) {
    QTest::mousePress(&canvas, Qt::LeftButton, Qt::NoModifier, QPoint(5, 6));
    QMouseEvent drag(QEvent::MouseMove, QPointF(7, 8), canvas.mapToGlobal(QPointF(7, 8)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&canvas, &drag);
    QTest::mouseRelease(&canvas, Qt::LeftButton, Qt::NoModifier, QPoint(7, 8));
}
}  // namespace

TEST(CanvasTest, MouseDownTrueReceivesDragAndUp) {
    Canvas canvas;
    canvas.resize(50, 50);
    canvas.show();
    MouseLog log;
    BindLog(canvas, log);
    log.acceptDown = true;
    PressDragRelease(canvas);
    EXPECT_EQ(log.events, (QStringList{"down 5,6", "drag 7,8", "up 7,8"}));
}

TEST(CanvasTest, MouseDownFalseReceivesNeither) {
    Canvas canvas;
    canvas.resize(50, 50);
    canvas.show();
    MouseLog log;
    BindLog(canvas, log);
    PressDragRelease(canvas);
    EXPECT_EQ(log.events, (QStringList{"down 5,6"}));
    QTest::mouseMove(&canvas, QPoint(9, 10));
    EXPECT_EQ(log.events.last(), "move 9,10");
}

TEST(CanvasTest, BackdropShowsUntilSomethingIsDrawn) {
    Canvas canvas;
    canvas.resize(30, 20);
    Picture backdrop(30, 20);
    {
        Graphics g = backdrop.Graphics();
        g.ForeColor = RGB(10, 20, 30);
        g.FillRect(0, 0, 30, 20);
    }
    canvas.SetBackdrop(backdrop);
    canvas.show();
    EXPECT_EQ(PixelColor(canvas.grab().toImage(), 3, 3), RGB(10, 20, 30));
    Graphics g = canvas.Graphics();
    g.ForeColor = RGB(200, 0, 0);
    g.FillRect(0, 0, 5, 5);
    const QImage shown = canvas.grab().toImage();
    EXPECT_EQ(PixelColor(shown, 3, 3), RGB(200, 0, 0)) << "drawing shows at once";
    // A repaint by the window system starts again from the backdrop, then Paint.
    int paints = 0;
    canvas.Paint = [&paints](Graphics&) { ++paints; };
    canvas.Refresh();
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(PixelColor(canvas.grab().toImage(), 3, 3), RGB(10, 20, 30));
}

namespace {
// A window class with one window, as the program's windows have.
class OneWindow : public Window, public SingleInstance<OneWindow> {
public:
    static inline int opened = 0;

private:
    friend class SingleInstance<OneWindow>;
    OneWindow() {
        OpenEvent = [this] {
            ++opened;
            // Reachable through its accessor while it builds.
            EXPECT_EQ(&Instance(), this);
        };
    }
    void Layout() override { SetVisibleOnceBuilt(true); }
};
}  // namespace

TEST(SingleInstanceTest, OneWindowBuiltOnFirstReferenceAndGoneWhenClosed) {
    OneWindow::opened = 0;
    EXPECT_FALSE(OneWindow::Exists());
    OneWindow& first = OneWindow::Instance();
    EXPECT_TRUE(OneWindow::Exists());
    EXPECT_EQ(&OneWindow::Instance(), &first);
    EXPECT_EQ(OneWindow::opened, 1) << "a later reference builds nothing";
    EXPECT_TRUE(first.isVisible()) << "visible once built";

    // Closed: gone at once, and deleted by the event loop.
    QPointer<OneWindow> closed(&first);
    first.Close();
    EXPECT_FALSE(OneWindow::Exists());
    OneWindow& second = OneWindow::Instance();
    EXPECT_EQ(OneWindow::opened, 2);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(closed.isNull());
    EXPECT_TRUE(OneWindow::Exists()) << "the old window's deletion leaves the new one";
    EXPECT_EQ(&OneWindow::Instance(), &second);

    // Destroyed however it goes, it is forgotten.
    delete &second;
    EXPECT_FALSE(OneWindow::Exists());
    OneWindow::Instance();
    OneWindow::Destroy();
    EXPECT_FALSE(OneWindow::Exists());
    EXPECT_EQ(OneWindow::opened, 3);
}

namespace {
// A widget whose deletion clicks buttons that still exist: the way a control
// that goes first can raise another control's event (a focus change, an edit
// that ends) while Qt takes a window down.
class ClicksWhenDeleted : public QWidget {
public:
    ClicksWhenDeleted(QWidget* parent, std::vector<QPointer<PushButton>>& buttons)
        : QWidget(parent), buttons_(buttons) {}
    ~ClicksWhenDeleted() override {
        for (const QPointer<PushButton>& button : buttons_)
            if (button) button->click();
    }

private:
    std::vector<QPointer<PushButton>>& buttons_;
};
}  // namespace

TEST(EventTest, NoHandlerRunsOnceItsWindowGoes) {
    int reached = 0;  // outlives the windows, unlike what a real handler calls
    std::vector<QPointer<PushButton>> buttons;
    auto* window = new Window;
    auto* child = new Window;
    child->setParent(window, Qt::Window);
    // Made before the buttons, so Qt deletes it while they still exist.
    new ClicksWhenDeleted(window->Content(), buttons);
    auto* own = window->AddControl<PushButton>(QStringLiteral("Own"));
    auto* held = child->AddControl<PushButton>(QStringLiteral("Held"));
    buttons = {own, held};
    own->Action = [&reached] { ++reached; };
    held->Action = [&reached] { ++reached; };
    window->OpenEvent = [&reached] { ++reached; };
    own->click();
    held->click();
    ASSERT_EQ(reached, 2) << "handlers run while their windows live";

    delete window;
    EXPECT_TRUE(buttons[0].isNull() && buttons[1].isNull()) << "both windows went";
    EXPECT_EQ(reached, 2) << "the clicks during the teardown reached no handler";
}

TEST(EventTest, BoundUnboundAndWrapped) {
    PushButton button;
    EXPECT_FALSE(button.Action) << "a new control has no handler";
    button.click();  // raises nothing, and does not fail
    QStringList log;
    button.Action = [&log] { log << QStringLiteral("first"); };
    EXPECT_TRUE(button.Action);
    const auto first = button.Action.Bound();
    button.Action = [&log, first] {
        first();
        log << QStringLiteral("second");
    };
    button.click();
    EXPECT_EQ(log, QStringList({"first", "second"}));
    button.Action = nullptr;
    button.click();
    EXPECT_EQ(log.size(), 2);
}

// --- the text streams ------------------------------------------------------

namespace {
class TextStreams : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

QStringList ReadAllLines(const QString& path, QString* error = nullptr) {
    std::unique_ptr<TextInputStream> stream = TextInputStream::Open(FolderItem(path), error);
    if (!stream) return {QStringLiteral("<not opened>")};
    QStringList lines;
    while (!stream->EndOfFile()) lines << stream->ReadLine();
    EXPECT_EQ(stream->ReadLine(), QString()) << "past the end";
    EXPECT_TRUE(stream->EndOfFile());
    if (error) *error = stream->ErrorString();
    stream->Close();
    return lines;
}

TEST_F(TextStreams, EveryLineEndReadsTheSame) {
    const struct {
        QByteArray bytes;
        QStringList lines;
    } cases[] = {
        {"", {}},
        {"a\nb\n", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\r\n\rb\n\nc", {"a", "", "b", "", "c"}},
        {"\n", {""}},
        {"\xEF\xBB\xBFSLIMbus \xC2\xB5s\r\n", {QString::fromUtf8("SLIMbus \xC2\xB5s")}},
    };
    for (const auto& c : cases) {
        WriteBytes(Path("lines.txt"), c.bytes);
        EXPECT_EQ(ReadAllLines(Path("lines.txt")), c.lines) << c.bytes.toStdString();
    }
}

TEST_F(TextStreams, LineEndsAcrossChunkBoundariesAndLongLines) {
    // The reader takes 64 KiB at a time; put "\r\n" across that boundary.
    const QByteArray longLine(65535, 'x');
    WriteBytes(Path("long.txt"), longLine + "\r\nnext\r" + QByteArray(200000, 'y') + "\rlast");
    EXPECT_EQ(ReadAllLines(Path("long.txt")),
              QStringList({QString(longLine), "next", QString(200000, 'y'), "last"}));
}

TEST_F(TextStreams, ALineBeyondTheLimitFailsInsteadOfFillingMemory) {
    WriteBytes(Path("huge.txt"), "ok\n" + QByteArray(100000, 'z') + "\nnever\n");
    std::unique_ptr<TextInputStream> stream = TextInputStream::Open(FolderItem(Path("huge.txt")));
    ASSERT_TRUE(stream);
    stream->SetMaxLineLength(4096);
    EXPECT_EQ(stream->ReadLine(), "ok");
    EXPECT_FALSE(stream->Failed());
    EXPECT_EQ(stream->ReadLine(), QString());
    EXPECT_TRUE(stream->Failed());
    EXPECT_EQ(stream->ErrorString(), "line 2 is longer than 4096 bytes");
    EXPECT_TRUE(stream->EndOfFile());
    EXPECT_EQ(stream->ReadLine(), QString());
}

TEST_F(TextStreams, OpenAndCreateReportWhyTheyFail) {
    WriteBytes(Path("plain"), "x");
    QDir(dir_.path()).mkdir("folder");
    const struct {
        QString path;
        bool forReading;
    } cases[] = {
        {Path("missing.cfg"), true},       {Path("folder"), true},
        {Path("plain/inside.cfg"), false},  // a path through a regular file
        {Path("folder"), false},            // a folder where the file should be
        {Path("nowhere/x.cfg"), false},
    };
    for (const auto& c : cases) {
        QString error;
        if (c.forReading)
            EXPECT_FALSE(TextInputStream::Open(FolderItem(c.path), &error)) << c.path.toStdString();
        else
            EXPECT_FALSE(TextOutputStream::Create(FolderItem(c.path), &error))
                << c.path.toStdString();
        EXPECT_FALSE(error.isEmpty()) << c.path.toStdString();
    }
    EXPECT_TRUE(QFileInfo(Path("folder")).isDir());
    EXPECT_EQ(ReadBytes(Path("plain")), "x");
}

TEST_F(TextStreams, OutputReplacesTheFileOnlyOnClose) {
    const QString path = Path("out.cfg");
    WriteBytes(path, "old\n");
    {
        std::unique_ptr<TextOutputStream> stream = TextOutputStream::Create(FolderItem(path));
        ASSERT_TRUE(stream);
        EXPECT_TRUE(stream->WriteLine("thrown away"));
    }  // no Close
    EXPECT_EQ(ReadBytes(path), "old\n");

    std::unique_ptr<TextOutputStream> stream = TextOutputStream::Create(FolderItem(path));
    ASSERT_TRUE(stream);
    EXPECT_TRUE(stream->WriteLine("first"));
    EXPECT_TRUE(stream->WriteLine(QString::fromUtf8("\xC2\xB5")));
    EXPECT_TRUE(stream->WriteLine(""));
    EXPECT_EQ(ReadBytes(path), "old\n");
    EXPECT_TRUE(stream->Close());
    EXPECT_EQ(ReadBytes(path), "first\n\xC2\xB5\n\n");
    EXPECT_EQ(ReadAllLines(path), QStringList({"first", QString::fromUtf8("\xC2\xB5"), ""}));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList({"out.cfg"}));
}
}  // namespace
