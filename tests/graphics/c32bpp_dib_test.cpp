#include "graphics/c32bpp_dib.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace tarvo {
namespace {

const wchar_t* const kIconNames[] = {L"system-search", L"window-new",  L"window-newadmin", L"process-stop",
                                     L"bookmark-new",  L"help-browser", L"homepage",        L"edit-find",
                                     L"edit-copy",     L"edit-paste",  L"edit-select-all", L"go-previous",
                                     L"go-home",       L"go-next"};

std::wstring ExeFolder() {
    wchar_t path[MAX_PATH];
    const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n);
    return s.substr(0, s.find_last_of(L'\\') + 1);
}

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
    for (const wchar_t* name : kIconNames) {
        c32bppDIB image;
        ASSERT_TRUE(image.LoadPicture_Resource(name, L"CUSTOM", nullptr, 32, 32, 0, 0, 32)) << name;
        EXPECT_EQ(image.ImageType(), 10);
        EXPECT_EQ(image.Alpha(), 2);
        EXPECT_EQ(image.Width(), 22);
        EXPECT_EQ(image.Height(), 22);
        EXPECT_EQ(image.scanWidth(), 88);
        EXPECT_NE(image.handle(), nullptr);
    }
    c32bppDIB mixedCase;
    EXPECT_TRUE(mixedCase.LoadPicture_Resource(L"Process-Stop", L"custom"));
    EXPECT_NE(::LoadImageW(::GetModuleHandleW(nullptr), L"AAA", IMAGE_ICON, 48, 48, LR_SHARED), nullptr);
}

TEST(ImageLoading, FailuresLeaveTheObjectEmpty) {
    c32bppDIB image;
    ASSERT_TRUE(image.LoadPicture_Resource(L"go-next", L"CUSTOM"));
    EXPECT_FALSE(image.LoadPicture_Resource(L"no-such-icon", L"CUSTOM"));
    EXPECT_EQ(image.ImageType(), 0);
    EXPECT_EQ(image.handle(), nullptr);

    EXPECT_FALSE(image.LoadPicture_File(ExeFolder() + L"missing-picture.png", 32, 32, false, 32));
    EXPECT_EQ(image.ImageType(), 0);

    const auto png = ResourceBytes(L"go-next");
    const std::wstring shortFile = ExeFolder() + L"short-picture.png";
    WriteBytes(shortFile, std::vector<std::uint8_t>(png.begin(), png.begin() + 56));
    EXPECT_FALSE(image.LoadPicture_File(shortFile));
    EXPECT_EQ(image.ImageType(), 0);
    ::DeleteFileW(shortFile.c_str());
}

TEST(ImageLoading, LogoFileBesideTheProgramLoads) {
    c32bppDIB logo;
    ASSERT_TRUE(logo.LoadPicture_File(ExeFolder() + L"tarvo2logo.png", 32, 32, false, 32));
    EXPECT_EQ(logo.ImageType(), 10);
    EXPECT_GE(logo.Width(), 300);
    EXPECT_GE(logo.Height(), 300);
}

TEST(ImageLoading, StreamBoundsAndTrailingBytes) {
    const auto png = ResourceBytes(L"edit-copy");
    c32bppDIB image;
    for (int extra = 1; extra <= 3; ++extra) {
        auto padded = png;
        padded.insert(padded.end(), extra, 0);
        EXPECT_TRUE(image.LoadPicture_Stream(padded)) << extra;
    }
    std::vector<std::uint8_t> embedded;
    embedded.reserve(png.size() + 50);
    embedded.insert(embedded.end(), 10, 0xEE);
    embedded.insert(embedded.end(), png.begin(), png.end());
    embedded.insert(embedded.end(), 40, 0xEE);
    EXPECT_TRUE(image.LoadPicture_Stream(embedded, 0, 0, 10, static_cast<long>(png.size())));
    EXPECT_FALSE(image.LoadPicture_Stream(embedded, 0, 0, 0, 0)) << "no signature at the start";
    EXPECT_TRUE(image.LoadPicture_Stream(png, 0, 0, -5, 0)) << "a start below the lower bound";
    EXPECT_FALSE(image.LoadPicture_Stream(png, 0, 0, 0, 19));
    EXPECT_EQ(image.ImageType(), 0);
}

TEST(ImageLoading, CorruptImageDataCrcFailsWithZlibPresent) {
    ASSERT_TRUE(c32bppDIB::isZlibEnabled()) << "zlib1.dll should be beside the test";
    auto png = ResourceBytes(L"homepage");
    const std::string text(png.begin(), png.end());
    const std::size_t idat = text.find("IDAT") - 4;
    const std::size_t length = (png[idat + 2] << 8) | png[idat + 3];
    png[idat + 8 + length + 3] ^= 0x10;
    c32bppDIB image;
    EXPECT_FALSE(image.LoadPicture_Stream(png));
    EXPECT_EQ(image.ImageType(), 0);
}

TEST(ImageObject, InitializeDibSizesAndClears) {
    c32bppDIB image;
    ASSERT_TRUE(image.InitializeDIB(3, -2));
    EXPECT_EQ(image.Width(), 3);
    EXPECT_EQ(image.Height(), 2);
    for (int i = 0; i < 24; ++i) EXPECT_EQ(image.BitsPointer()[i], 0);
    EXPECT_FALSE(image.InitializeDIB(-1, 5));
    EXPECT_EQ(image.handle(), nullptr);
    EXPECT_FALSE(image.InitializeDIB(5, 0));
    image.SetManageOwnDC(true);
    ASSERT_TRUE(image.InitializeDIB(4, 4));
    image.DestroyDIB();
    EXPECT_EQ(image.Width(), 0);
}

// A 32-bit bottom-up memory surface to draw on.
class Surface {
public:
    Surface(int width, int height, std::array<std::uint8_t, 4> fill) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap_.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<std::uint8_t*>(bits);
        dc_.reset(::CreateCompatibleDC(nullptr));
        previous_ = ::SelectObject(dc_.get(), bitmap_.get());
        for (int i = 0; i < width * height; ++i) std::copy(fill.begin(), fill.end(), bits_ + i * 4);
    }
    ~Surface() { ::SelectObject(dc_.get(), previous_); }
    HDC dc() const { return dc_.get(); }
    std::array<std::uint8_t, 4> At(int x, int yFromTop) const {
        ::GdiFlush();
        const std::uint8_t* p = bits_ + ((height_ - 1 - yFromTop) * width_ + x) * 4;
        return {p[0], p[1], p[2], p[3]};
    }
    std::vector<std::uint8_t> All() const {
        ::GdiFlush();
        return {bits_, bits_ + width_ * height_ * 4};
    }

private:
    int width_, height_;
    unique_hbitmap bitmap_;
    unique_hdc dc_;
    HGDIOBJ previous_ = nullptr;
    std::uint8_t* bits_ = nullptr;
};

constexpr std::array<std::uint8_t, 4> kBackground = {200, 100, 50, 255};

TEST(ImageRendering, TransparentPixelsLeaveTheDestinationAlone) {
    c32bppDIB stop;
    ASSERT_TRUE(stop.LoadPicture_Resource(L"process-stop", L"CUSTOM"));
    ASSERT_EQ(stop.BitsPointer()[stop.scanWidth() * 21 + 3], 0) << "the octagon's corner is transparent";
    for (long grey : {-1l, 2l}) {
        Surface surface(30, 30, kBackground);
        ASSERT_TRUE(stop.Render(surface.dc(), 4, 4, 0, 0, 0, 0, 0, 0, 100, true, true, grey));
        EXPECT_EQ(surface.At(4, 4), kBackground) << grey;
        EXPECT_NE(surface.At(15, 15), kBackground) << grey;
        EXPECT_EQ(surface.At(27, 27), kBackground) << "outside the picture";
    }
}

TEST(ImageRendering, OpacityRules) {
    c32bppDIB icon;
    ASSERT_TRUE(icon.LoadPicture_Resource(L"help-browser", L"CUSTOM"));
    auto draw = [&](long opacity) {
        Surface surface(22, 22, kBackground);
        EXPECT_TRUE(icon.Render(surface.dc(), 0, 0, 0, 0, 0, 0, 0, 0, opacity));
        return surface.All();
    };
    const auto untouched = Surface(22, 22, kBackground).All();
    EXPECT_EQ(draw(0), untouched);
    EXPECT_EQ(draw(-20), untouched);
    EXPECT_EQ(draw(150), draw(50));
    EXPECT_NE(draw(50), draw(100));
    EXPECT_EQ(draw(200), draw(100));
}

TEST(ImageRendering, GreyFormulaTwoTurnsOpaqueRedIntoEightyFive) {
    c32bppDIB image;
    ASSERT_TRUE(image.InitializeDIB(2, 1));
    const std::uint8_t red[4] = {0, 0, 255, 255};
    std::copy(red, red + 4, image.BitsPointer());
    Surface surface(2, 1, {255, 255, 255, 255});
    ASSERT_TRUE(image.Render(surface.dc(), 0, 0, 0, 0, 0, 0, 0, 0, 100, true, true, 2));
    EXPECT_EQ(surface.At(0, 0), (std::array<std::uint8_t, 4>{85, 85, 85, 255}));
}

TEST(ImageRendering, SystemBlendAndOwnBlendAgree) {
    c32bppDIB icon;
    ASSERT_TRUE(icon.LoadPicture_Resource(L"window-newadmin", L"CUSTOM"));
    Surface bySystem(22, 22, kBackground), byPixels(22, 22, kBackground);
    ASSERT_TRUE(icon.Render(bySystem.dc(), 0, 0, 0, 0, 0, 0, 0, 0, 70));
    icon.SetAlphaBlendFriendly(false);
    ASSERT_TRUE(icon.Render(byPixels.dc(), 0, 0, 0, 0, 0, 0, 0, 0, 70));
    const auto a = bySystem.All(), b = byPixels.All();
    for (std::size_t i = 0; i < a.size(); ++i)
        ASSERT_NEAR(a[i], b[i], 2) << "byte " << i;
}

TEST(ImageRendering, ScaledDrawingFillsTheDestination) {
    c32bppDIB icon;
    ASSERT_TRUE(icon.LoadPicture_Resource(L"edit-select-all", L"CUSTOM"));
    icon.SetManageOwnDC(true);
    Surface surface(44, 44, {0, 0, 0, 0});
    ASSERT_TRUE(icon.Render(surface.dc(), 0, 0, 44, 44));
    const std::array<std::uint8_t, 4> clear = {0, 0, 0, 0};
    EXPECT_EQ(surface.At(0, 0), clear) << "the picture's transparent corner";
    EXPECT_NE(surface.At(6, 6), clear);
    EXPECT_NE(surface.At(36, 36), clear) << "beyond the picture's own size";
}

}  // namespace
}  // namespace tarvo
