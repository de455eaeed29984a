#include "graphics/image.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dib_surface.h"
#include "gdi_objects.h"
#include "resource_counts.h"
#include "test_support.h"

namespace tarvo {
namespace {

using testing::DibSurface;
constexpr std::uint32_t kBackground = 0xFF3264C8;

std::vector<std::uint8_t> ResourceBytes(const wchar_t* name) {
    HRSRC found = ::FindResourceW(nullptr, name, L"CUSTOM");
    const auto* data = static_cast<const std::uint8_t*>(::LockResource(::LoadResource(nullptr, found)));
    return {data, data + ::SizeofResource(nullptr, found)};
}

TEST(ImageLoading, EveryIconResourceLoadsAsFullAlphaPngAndIsFreedWithItsObject) {
    HGDIOBJ last = nullptr;
    for (const wchar_t* name : {L"system-search", L"window-newadmin", L"edit-select-all", L"go-next", L"Process-Stop"}) {
        EXPECT_EQ(::GetObjectType(last), 0u) << "the picture is freed with its object";
        c32bppDIB image;
        ASSERT_TRUE(image.LoadPicture_Resource(name, L"custom", nullptr, 32, 32, 0, 0, 32)) << name;
        EXPECT_EQ((std::vector<long>{image.ImageType(), image.Alpha(), image.Width(), image.Height()}),
                  (std::vector<long>{10, 2, 22, 22})) << name;
        EXPECT_NE(last = image.handle(), nullptr);
    }
}

TEST(ImageLoading, FailuresLeaveTheObjectEmptyAndFreeTheEarlierPicture) {
    ASSERT_TRUE(c32bppDIB::isZlibEnabled()) << "zlib1.dll should be beside the test";
    const auto png = ResourceBytes(L"go-next");
    c32bppDIB image;
    HGDIOBJ earlier = nullptr;
    auto expectEmptyAfter = [&](bool loaded, const char* what) {
        EXPECT_FALSE(loaded || image.ImageType() != 0 || image.handle() != nullptr) << what;
        EXPECT_EQ(::GetObjectType(earlier), 0u) << what << ": the earlier picture is freed";
        ASSERT_TRUE(image.LoadPicture_Stream(png));  // loaded again for the next case
        earlier = image.handle();
    };
    ASSERT_TRUE(image.LoadPicture_Stream(png));
    earlier = image.handle();
    expectEmptyAfter(image.LoadPicture_Resource(L"no-such-icon", L"CUSTOM"), "missing resource");
    expectEmptyAfter(image.LoadPicture_File(test::ExeFolder() + L"\\missing-picture.png", 32, 32, false, 32), "missing file");
    const std::wstring shortFile = test::ExeFolder() + L"\\short-picture.png";
    ASSERT_TRUE(test::WriteFileBytes(shortFile, std::string(png.begin(), png.begin() + 56)));
    const long handles = test::HandleCount();
    expectEmptyAfter(image.LoadPicture_File(shortFile), "56 bytes");
    EXPECT_EQ(test::HandleCount(), handles) << "the file is closed after a failed load";
    EXPECT_TRUE(::DeleteFileW(shortFile.c_str()));
    auto badCrc = png;
    const std::size_t idat = std::string(png.begin(), png.end()).find("IDAT") - 4;
    badCrc[idat + 8 + ((png[idat + 2] << 8) | png[idat + 3]) + 3] ^= 0x10;
    expectEmptyAfter(image.LoadPicture_Stream(badCrc), "image data CRC");
    expectEmptyAfter(image.LoadPicture_Stream(png, 0, 0, 0, 19), "stream cut short");

    std::vector<std::uint8_t> embedded(10, 0xEE);
    embedded.insert(embedded.end(), png.begin(), png.end());
    embedded.insert(embedded.end(), 40, 0xEE);
    EXPECT_TRUE(image.LoadPicture_Stream(embedded, 0, 0, 10, static_cast<long>(png.size())));
    EXPECT_EQ(::GetObjectType(earlier), 0u) << "a new picture frees the one it replaces";
    EXPECT_FALSE(image.LoadPicture_Stream(embedded, 0, 0, 0, 0)) << "no signature at the start";
    EXPECT_TRUE(image.LoadPicture_Stream(png, 0, 0, -5, 0)) << "a start below the lower bound";
}

TEST(ImageRendering, TransparentPixelsOpacityGreyAndNoLeakedObjects) {
    c32bppDIB stop;
    ASSERT_TRUE(stop.LoadPicture_Resource(L"process-stop", L"CUSTOM"));
    ASSERT_EQ(stop.BitsPointer()[stop.scanWidth() * 21 + 3], 0) << "the octagon's corner is transparent";
    for (long grey : {-1l, 2l}) {
        DibSurface surface(30, 30, kBackground);
        ASSERT_TRUE(stop.Render(surface.dc(), 4, 4, 0, 0, 0, 0, 0, 0, 100, true, true, grey));
        EXPECT_EQ(surface.At(4, 4), kBackground) << grey;
        EXPECT_NE(surface.At(15, 15), kBackground) << grey;
        EXPECT_EQ(surface.At(27, 27), kBackground) << "outside the picture";
    }
    auto draw = [&](long opacity) {
        DibSurface surface(22, 22, kBackground);
        EXPECT_TRUE(stop.Render(surface.dc(), 0, 0, 0, 0, 0, 0, 0, 0, opacity));
        return surface.All();
    };
    EXPECT_EQ(draw(0), DibSurface(22, 22, kBackground).All());
    const long gdiBefore = test::GdiObjects();  // after the first drawing: the system keeps some objects for good
    EXPECT_EQ(draw(150), draw(50));
    EXPECT_NE(draw(50), draw(100));
    EXPECT_EQ(test::GdiObjects(), gdiBefore);

    c32bppDIB red;  // pure red under formula 2 over white: 0x55 grey
    ASSERT_TRUE(red.InitializeDIB(2, 1));
    const std::uint8_t opaqueRed[4] = {0, 0, 255, 255};
    std::copy(opaqueRed, opaqueRed + 4, red.BitsPointer());
    DibSurface white(2, 1, 0xFFFFFFFF);
    ASSERT_TRUE(red.Render(white.dc(), 0, 0, 0, 0, 0, 0, 0, 0, 100, true, true, 2));
    EXPECT_EQ(white.At(0, 0), 0xFF555555u);
    EXPECT_EQ(white.At(1, 0), 0xFFFFFFFFu) << "a cleared pixel is transparent";
}

TEST(ImageRendering, AnOwnContextScalesAndGoesWithTheObject) {
    const long gdiBefore = test::GdiObjects();
    {
        c32bppDIB selectAll;
        ASSERT_TRUE(selectAll.LoadPicture_Resource(L"edit-select-all", L"CUSTOM"));
        selectAll.ManageOwnDC(true);
        DibSurface surface(44, 44, 0);
        ASSERT_TRUE(selectAll.Render(surface.dc(), 0, 0, 44, 44));
        EXPECT_EQ(surface.At(0, 0), 0u) << "the picture's transparent corner";
        EXPECT_NE(surface.At(36, 36), 0u) << "beyond the picture's own size";
    }
    EXPECT_EQ(test::GdiObjects(), gdiBefore);
}

}  // namespace
}  // namespace tarvo
