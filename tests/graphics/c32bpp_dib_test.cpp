#include "graphics/c32bpp_dib.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dib_surface.h"
#include "resource_counts.h"
#include "test_support.h"

namespace tarvo {
namespace {

const wchar_t* const kIconNames[] = {L"system-search", L"window-new",  L"window-newadmin", L"process-stop",
                                     L"bookmark-new",  L"help-browser", L"homepage",        L"edit-find",
                                     L"edit-copy",     L"edit-paste",  L"edit-select-all", L"go-previous",
                                     L"go-home",       L"go-next"};

std::vector<std::uint8_t> ResourceBytes(const wchar_t* name) {
    HRSRC found = ::FindResourceW(nullptr, name, L"CUSTOM");
    const auto* data = static_cast<const std::uint8_t*>(::LockResource(::LoadResource(nullptr, found)));
    return {data, data + ::SizeofResource(nullptr, found)};
}

void WriteBytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
    unique_hfile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(file && ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

TEST(ImageLoading, EveryIconResourceLoadsAsFullAlphaPng) {
    HGDIOBJ last = nullptr;
    for (const wchar_t* name : kIconNames) {
        EXPECT_EQ(::GetObjectType(last), 0u) << "the picture is freed with its object";
        c32bppDIB image;
        ASSERT_TRUE(image.LoadPicture_Resource(name, L"CUSTOM", nullptr, 32, 32, 0, 0, 32)) << name;
        EXPECT_EQ(image.ImageType(), 10);
        EXPECT_EQ(image.Alpha(), 2);
        EXPECT_EQ(image.Width(), 22);
        EXPECT_EQ(image.Height(), 22);
        last = image.handle();
        EXPECT_NE(last, nullptr);
    }
    c32bppDIB mixedCase;
    EXPECT_TRUE(mixedCase.LoadPicture_Resource(L"Process-Stop", L"custom"));
}

TEST(ImageLoading, FailuresLeaveTheObjectEmpty) {
    ASSERT_TRUE(c32bppDIB::isZlibEnabled()) << "zlib1.dll should be beside the test";
    const auto png = ResourceBytes(L"go-next");
    c32bppDIB image;
    HGDIOBJ earlier = nullptr;
    auto expectEmptyAfter = [&](bool loaded, const char* what) {
        EXPECT_FALSE(loaded) << what;
        EXPECT_EQ(image.ImageType(), 0) << what;
        EXPECT_EQ(image.handle(), nullptr) << what;
        EXPECT_EQ(::GetObjectType(earlier), 0u) << what << ": the earlier picture is freed";
        ASSERT_TRUE(image.LoadPicture_Stream(png));  // loaded again for the next case
        earlier = image.handle();
    };
    ASSERT_TRUE(image.LoadPicture_Stream(png));
    earlier = image.handle();
    expectEmptyAfter(image.LoadPicture_Resource(L"no-such-icon", L"CUSTOM"), "missing resource");
    expectEmptyAfter(image.LoadPicture_File(test::ExeFolder() + L"\\missing-picture.png", 32, 32, false, 32), "missing file");

    const std::wstring shortFile = test::ExeFolder() + L"\\short-picture.png";
    WriteBytes(shortFile, std::vector<std::uint8_t>(png.begin(), png.begin() + 56));
    const long handles = test::HandleCount();
    expectEmptyAfter(image.LoadPicture_File(shortFile), "56 bytes");
    EXPECT_EQ(test::HandleCount(), handles) << "the file is closed after a failed load";
    EXPECT_TRUE(::DeleteFileW(shortFile.c_str()));

    auto badCrc = png;
    const std::size_t idat = std::string(png.begin(), png.end()).find("IDAT") - 4;
    badCrc[idat + 8 + ((png[idat + 2] << 8) | png[idat + 3]) + 3] ^= 0x10;
    expectEmptyAfter(image.LoadPicture_Stream(badCrc), "image data CRC");
    expectEmptyAfter(image.LoadPicture_Stream(png, 0, 0, 0, 19), "stream cut short");
}

TEST(ImageLoading, StreamBoundsAndTrailingBytes) {
    const auto png = ResourceBytes(L"edit-copy");
    c32bppDIB image;
    EXPECT_TRUE(image.LoadPicture_Stream(png));
    std::vector<std::uint8_t> embedded(10, 0xEE);
    embedded.insert(embedded.end(), png.begin(), png.end());
    embedded.insert(embedded.end(), 40, 0xEE);
    const HGDIOBJ replaced = image.handle();
    EXPECT_TRUE(image.LoadPicture_Stream(embedded, 0, 0, 10, static_cast<long>(png.size())));
    EXPECT_EQ(::GetObjectType(replaced), 0u) << "a new picture frees the one it replaces";
    EXPECT_FALSE(image.LoadPicture_Stream(embedded, 0, 0, 0, 0)) << "no signature at the start";
    EXPECT_TRUE(image.LoadPicture_Stream(png, 0, 0, -5, 0)) << "a start below the lower bound";
}

using testing::DibSurface;
constexpr std::uint32_t kBackground = 0xFF3264C8;

TEST(ImageRendering, TransparentPixelsOpacityAndGrey) {
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
    EXPECT_EQ(draw(150), draw(50));
    EXPECT_NE(draw(50), draw(100));

    c32bppDIB red;
    ASSERT_TRUE(red.InitializeDIB(2, 1));
    const std::uint8_t opaqueRed[4] = {0, 0, 255, 255};
    std::copy(opaqueRed, opaqueRed + 4, red.BitsPointer());
    DibSurface white(2, 1, 0xFFFFFFFF);
    ASSERT_TRUE(red.Render(white.dc(), 0, 0, 0, 0, 0, 0, 0, 0, 100, true, true, 2));
    EXPECT_EQ(white.At(0, 0), 0xFF555555u);
    EXPECT_EQ(white.At(1, 0), 0xFFFFFFFFu) << "a cleared pixel is transparent";
}

TEST(ImageRendering, SystemBlendAndOwnBlendAgreeAndScale) {
    c32bppDIB icon;
    ASSERT_TRUE(icon.LoadPicture_Resource(L"window-newadmin", L"CUSTOM"));
    DibSurface bySystem(22, 22, kBackground), byPixels(22, 22, kBackground);
    ASSERT_TRUE(icon.Render(bySystem.dc(), 0, 0, 0, 0, 0, 0, 0, 0, 70));
    icon.isAlphaBlendFriendly(false);
    ASSERT_TRUE(icon.Render(byPixels.dc(), 0, 0, 0, 0, 0, 0, 0, 0, 70));
    const auto a = bySystem.All(), b = byPixels.All();
    for (std::size_t i = 0; i < a.size(); ++i)
        for (int shift : {0, 8, 16, 24}) ASSERT_NEAR((a[i] >> shift) & 0xFF, (b[i] >> shift) & 0xFF, 2) << "pixel " << i;

    c32bppDIB selectAll;
    ASSERT_TRUE(selectAll.LoadPicture_Resource(L"edit-select-all", L"CUSTOM"));
    selectAll.ManageOwnDC(true);
    DibSurface surface(44, 44, 0);
    ASSERT_TRUE(selectAll.Render(surface.dc(), 0, 0, 44, 44));
    EXPECT_EQ(surface.At(0, 0), 0u) << "the picture's transparent corner";
    EXPECT_NE(surface.At(36, 36), 0u) << "beyond the picture's own size";
}

}  // namespace
}  // namespace tarvo
