#include "about/FR0000AB.h"
#include "support/SheetFixture.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QLineEdit>
#include <QPixmap>

// Run with QT_SCALE_FACTOR=2: a screen with twice the pixels per inch.
namespace {

QImage Image(const QPixmap& pixmap) {
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage Resource(const char* path) {
    return QImage(QString::fromLatin1(path)).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

TEST_F(SheetTest, TheWindowKeepsItsDesignedLayoutDrawnAtTwiceThePixels) {
    ASSERT_EQ(Form->devicePixelRatioF(), 2.0);
    EXPECT_EQ(Grid()->geometry(), QRect(0, 57, 392, 178));
    EXPECT_EQ(Form->EdtGokei->geometry(), QRect(48, 7, 137, 20));
    const QPixmap shot = Form->grab();
    EXPECT_EQ(shot.devicePixelRatio(), 2.0);
    EXPECT_EQ(shot.size(), Form->size() * 2);
}

// What the screen shows after the grid repainted only what changed must be what a full repaint shows:
// lines drawn half outside a cell would be left behind when the cell alone is repainted. (The offscreen
// platform hands the screen back at its logical size; a dotted line left behind still shows.)
TEST_F(SheetTest, MovingTheCurrentCellLeavesNothingBehind) {
    const auto onScreen = [this] {
        QApplication::processEvents();
        return Form->screen()->grabWindow(Form->winId()).toImage();
    };
    Press(Qt::Key_Right);
    Press(Qt::Key_Down);
    ASSERT_EQ(Grid()->Col(), 2);
    ASSERT_EQ(Grid()->Row(), 2);
    const QImage afterMoves = onScreen();
    Form->update();
    Grid()->viewport()->update();
    const QImage repainted = onScreen();
    EXPECT_TRUE(afterMoves == repainted);
}

TEST_F(SheetTest, PicturesComeFromTheirDoubleSizeImages) {
    const TAboutBox box(Form);
    const struct {
        const char* What;
        QPixmap Shown;
        const char* Image;
    } pictures[] = {
        {"window icon 16", Form->windowIcon().pixmap(QSize(16, 16), 2.0), ":/icons/kalnor-32.png"},
        {"window icon 32", Form->windowIcon().pixmap(QSize(32, 32), 2.0), ":/icons/kalnor-64.png"},
        {"about logo", box.ImgAppLogo->pixmap(), ":/about/logo@2x.png"},
        {"about icon", box.ImgVorn->pixmap(), ":/about/vorn@2x.png"},
    };
    for (const auto& p : pictures) {
        EXPECT_EQ(p.Shown.devicePixelRatio(), 2.0) << p.What;
        EXPECT_TRUE(Image(p.Shown) == Resource(p.Image)) << p.What << " is not drawn from " << p.Image;
    }
}

} // namespace
