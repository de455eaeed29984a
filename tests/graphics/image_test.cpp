#include "graphics/image.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "dib_surface.h"
#include "gdi_objects.h"
#include "resource_counts.h"
#include "test_support.h"

namespace tarvo {
namespace {

constexpr std::uint32_t kBackground = 0xFF3264C8;

TEST(c32bppDIB, LoadsIconsFailsEmptyAndDrawsWithTransparencyOpacityGreyAndScalingLeavingNoObjectBehind) {
    ASSERT_TRUE(c32bppDIB::isZlibEnabled()) << "zlib1.dll should be beside the test";
    c32bppDIB image;
    HGDIOBJ earlier = nullptr;
    for (const wchar_t* name : {L"system-search", L"window-newadmin", L"edit-select-all", L"go-next", L"Process-Stop"}) {
        ASSERT_TRUE(image.LoadPicture_Resource(name, L"custom", nullptr, 32, 32, 0, 0, 32)) << name;
        EXPECT_EQ((std::vector<long>{image.ImageType(), image.Alpha(), image.Width(), image.Height()}),
                  (std::vector<long>{10, 2, 22, 22})) << name;
        EXPECT_EQ(::GetObjectType(earlier), 0u) << "a new picture frees the one it replaces";
        earlier = image.handle();
    }
    HRSRC found = ::FindResourceW(nullptr, L"go-next", L"CUSTOM");
    const auto* data = static_cast<const std::uint8_t*>(::LockResource(::LoadResource(nullptr, found)));
    const std::vector<std::uint8_t> bytes(data, data + ::SizeofResource(nullptr, found));
    std::vector<std::uint8_t> embedded(10 + bytes.size(), 0xEE);
    std::copy(bytes.begin(), bytes.end(), embedded.begin() + 10);
    const std::wstring shortFile = test::ExeFolder() + L"\\short-picture.png";
    ASSERT_TRUE(test::WriteFileBytes(shortFile, std::string(bytes.begin(), bytes.begin() + 56)));
    const long handles = test::HandleCount();
    const std::function<bool()> failures[] = {
        [&] { return image.LoadPicture_Resource(L"no-such-icon", L"CUSTOM"); },
        [&] { return image.LoadPicture_File(test::ExeFolder() + L"\\missing-picture.png", 32, 32, false, 32); },
        [&] { return image.LoadPicture_File(shortFile); },
        [&] { return image.LoadPicture_Stream(bytes, 0, 0, 0, 19); },         // cut short
        [&] { return image.LoadPicture_Stream(embedded, 0, 0, 0, 0); },       // no signature at the start
    };
    for (std::size_t i = 0; i < std::size(failures); ++i) {
        ASSERT_TRUE(image.LoadPicture_Stream(bytes));
        earlier = image.handle();
        EXPECT_FALSE(failures[i]() || image.ImageType() != 0 || image.handle() != nullptr) << i;
        EXPECT_EQ(::GetObjectType(earlier), 0u) << i << ": the earlier picture is freed";
    }
    EXPECT_EQ(test::HandleCount(), handles) << "the file is closed after a failed load";
    EXPECT_TRUE(::DeleteFileW(shortFile.c_str()));
    EXPECT_TRUE(image.LoadPicture_Stream(embedded, 0, 0, 10, static_cast<long>(bytes.size())));
    EXPECT_TRUE(image.LoadPicture_Stream(bytes, 0, 0, -5, 0)) << "a start below the lower bound";

    c32bppDIB stop;
    ASSERT_TRUE(stop.LoadPicture_Resource(L"process-stop", L"CUSTOM"));
    // Pixels (4, 4), the octagon's transparent corner, (10, 10) inside it, (23, 14) on its last opaque
    // column and (27, 27) outside the picture. In grey, 0.333 of red and blue and 0.334 of green.
    auto draw = [&](long opacity, long grey) {
        testing::DibSurface surface(30, 30, kBackground);
        EXPECT_TRUE(stop.Render(surface.dc(), 4, 4, 0, 0, 0, 0, 0, 0, opacity, true, true, grey));
        return std::vector<std::uint32_t>{surface.At(4, 4), surface.At(10, 10), surface.At(23, 14), surface.At(27, 27)};
    };
    for (long grey : {-1l, 2l}) draw(100, grey);  // the system keeps some objects for good after a first drawing
    const long gdiBefore = test::GdiObjects();
    EXPECT_EQ(draw(100, -1), (std::vector<std::uint32_t>{kBackground, 0xFFF4756E, 0xFFB52F27, kBackground}));
    EXPECT_EQ(draw(100, 2), (std::vector<std::uint32_t>{kBackground, 0xFF9D9D9D, 0xFF595959, kBackground}));
    EXPECT_EQ(draw(0, -1), std::vector<std::uint32_t>(4, kBackground));
    EXPECT_EQ(draw(150, -1), (std::vector<std::uint32_t>{kBackground, 0xFF936C9B, 0xFF734977, kBackground})) << "half, as 50";

    {
        c32bppDIB selectAll;
        ASSERT_TRUE(selectAll.LoadPicture_Resource(L"edit-select-all", L"CUSTOM"));
        selectAll.ManageOwnDC(true);
        testing::DibSurface surface(44, 44, 0);
        ASSERT_TRUE(selectAll.Render(surface.dc(), 0, 0, 44, 44));
        EXPECT_NE(surface.At(36, 36), 0u) << "beyond the picture's own size";
    }
    EXPECT_EQ(test::GdiObjects(), gdiBefore) << "an own context goes with its picture";
}

}  // namespace
}  // namespace tarvo
