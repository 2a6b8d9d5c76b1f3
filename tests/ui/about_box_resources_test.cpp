// The program's pictures as compiled in: reachable from the static resource library, in the
// sizes the main window's menu and icon expect, and made transparent for the menu.
#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>
#include <QSet>

#include "resources/menu_picture.h"
#include "resources/resource_paths.h"

namespace kelmarin {
namespace {

TEST(AboutBoxResources, ApplicationIconIs32SquareIn16Colours) {
    InitResources();
    const QImage icon(QString::fromLatin1(kMainIconPath));
    ASSERT_EQ(icon.size(), QSize(32, 32));
    QSet<QRgb> colours;
    bool transparent = false;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QRgb p = icon.pixel(x, y);
            if (qAlpha(p) == 0)
                transparent = true;
            else
                colours.insert(p);
        }
    }
    EXPECT_LE(colours.size(), 16);
    EXPECT_GE(colours.size(), 3);
    EXPECT_TRUE(transparent);
    EXPECT_FALSE(MainIcon().isNull());
}

struct MenuPictureCase {
    const char* item;
    const char* path;
    QSize size;
};

const MenuPictureCase kMenuPictures[] = {
    {"APRI2", kOpenFilePicturePath, {32, 25}}, {"Exit1", kExitPicturePath, {36, 34}},
    {"Help1", kHelpPicturePath, {34, 33}},     {"Info2", kInfoPicturePath, {44, 44}},
    {"Fastq", kFastqPicturePath, {32, 32}},
};

TEST(AboutBoxResources, MenuPicturesAre256ColourBitmapsOnSilver) {
    InitResources();
    for (const MenuPictureCase& c : kMenuPictures) {
        SCOPED_TRACE(c.item);
        const QImage picture(QString::fromLatin1(c.path));
        ASSERT_EQ(picture.size(), c.size);
        EXPECT_EQ(picture.format(), QImage::Format_Indexed8);
        EXPECT_EQ(picture.pixel(0, picture.height() - 1), qRgb(0xC0, 0xC0, 0xC0));
    }
}

TEST(AboutBoxResources, MenuPictureFillsTheAreaWithSilverSeeThrough) {
    for (const MenuPictureCase& c : kMenuPictures) {
        SCOPED_TRACE(c.item);
        const QImage shown = MenuPicture(c.path);
        ASSERT_EQ(shown.size(), QSize(16, 16));
        int clear = 0, drawn = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const QRgb p = shown.pixel(x, y);
                if (qAlpha(p) == 0) {
                    ++clear;
                } else {
                    ++drawn;
                    EXPECT_NE(p, qRgb(0xC0, 0xC0, 0xC0)) << x << "," << y;
                }
            }
        }
        EXPECT_EQ(qAlpha(shown.pixel(0, 15)), 0);
        EXPECT_GT(clear, 0);
        EXPECT_GT(drawn, 40) << "the pictogram should survive the shrink";
    }
}

TEST(AboutBoxResources, MenuPictureTakesTheBottomLeftColourWhateverItIs) {
    // A 2 x 1 stretch: the left half is the transparent colour, the right half stays.
    QImage picture(2, 1, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(10, 20, 30));
    picture.setPixel(1, 0, qRgb(0xC0, 0xC0, 0xC0));
    const QImage shown = MenuPictureFrom(picture);
    ASSERT_EQ(shown.size(), QSize(16, 16));
    EXPECT_EQ(qAlpha(shown.pixel(3, 9)), 0);
    EXPECT_EQ(shown.pixel(12, 9), qRgb(0xC0, 0xC0, 0xC0));
    EXPECT_TRUE(MenuPicture(":/kelmarin/no_such_picture.bmp").isNull());
}

}  // namespace
}  // namespace kelmarin
