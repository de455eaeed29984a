#include "graphics/c32bpp_dib.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "graphics/image_compose.h"

namespace tarvo {
namespace {

// Files larger than this are not pictures this program would show.
constexpr LONGLONG kMaxFileBytes = 64ll << 20;
constexpr std::size_t kMinFileBytes = 57;
constexpr std::size_t kMinStreamBytes = 20;

struct ZlibLibrary {
    unique_hmodule module;
    ZlibApi api;

    ZlibLibrary() {
        for (const wchar_t* name : {L"zlib1.dll", L"zlib.dll"}) {
            unique_hmodule candidate(::LoadLibraryW(name));
            if (!candidate) continue;
            const auto uncompress = ::GetProcAddress(candidate.get(), "uncompress");
            if (!uncompress) continue;
            api.uncompress = reinterpret_cast<ZlibApi::UncompressFn>(reinterpret_cast<void*>(uncompress));
            api.crc32 = reinterpret_cast<ZlibApi::Crc32Fn>(
                reinterpret_cast<void*>(::GetProcAddress(candidate.get(), "crc32")));
            module = std::move(candidate);
            return;
        }
    }
};

BITMAPINFO BottomUpInfo(long width, long height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // positive: bottom-up rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// A DC with the bitmap selected for the duration of one drawing.
class BitmapDC {
public:
    BitmapDC(HDC owned, HBITMAP bitmap) {
        if (owned) {
            dc_ = owned;
            return;
        }
        temporary_.reset(::CreateCompatibleDC(nullptr));
        dc_ = temporary_.get();
        if (dc_) selection_ = select_object_scope(dc_, bitmap);
    }
    BitmapDC(const BitmapDC&) = delete;
    BitmapDC& operator=(const BitmapDC&) = delete;
    HDC get() const { return dc_; }

private:
    unique_hdc temporary_;
    HDC dc_ = nullptr;
    select_object_scope selection_;
};

}  // namespace

ZlibApi LoadedZlib() {
    static const ZlibLibrary library;
    return library.api;
}

c32bppDIB::c32bppDIB() = default;

c32bppDIB::~c32bppDIB() { DestroyDIB(); }

bool c32bppDIB::isZlibEnabled() { return LoadedZlib().crc32 != nullptr; }

void c32bppDIB::DestroyDIB() {
    ownDCSelection_.reset();
    ownDC_.reset();
    bitmap_.reset();
    bits_ = nullptr;
    width_ = height_ = 0;
    alpha_ = kAlphaNone;
    imageType_ = 0;
}

void c32bppDIB::ManageOwnDC(bool value) {
    manageOwnDC_ = value;
    if (!value) {
        ownDCSelection_.reset();
        ownDC_.reset();
    } else if (bitmap_ && !ownDC_) {
        ownDC_.reset(::CreateCompatibleDC(nullptr));
        if (ownDC_) ownDCSelection_ = select_object_scope(ownDC_.get(), bitmap_.get());
    }
}

bool c32bppDIB::InitializeDIB(long width, long height) {
    DestroyDIB();
    height = height < 0 ? -height : height;
    if (width <= 0 || height == 0) return false;
    BITMAPINFO info = BottomUpInfo(width, height);
    void* bits = nullptr;
    bitmap_.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_ || !bits) {
        bitmap_.reset();
        return false;
    }
    bits_ = static_cast<std::uint8_t*>(bits);
    width_ = width;
    height_ = height;
    std::memset(bits_, 0, static_cast<std::size_t>(width) * height * 4);
    if (manageOwnDC_) ManageOwnDC(true);
    return true;
}

bool c32bppDIB::LoadFromBytes(std::span<const std::uint8_t> bytes) {
    DestroyDIB();
    if (!cPNGparser::HasSignature(bytes)) return false;  // the only format this object reads
    const auto image = cPNGparser(LoadedZlib()).Decode(bytes);
    if (!image || !InitializeDIB(static_cast<long>(image->width), static_cast<long>(image->height))) return false;
    std::memcpy(bits_, image->pixels.data(), image->pixels.size());
    ::GdiFlush();
    alpha_ = image->alpha;
    imageType_ = kImageTypePng;
    return true;
}

bool c32bppDIB::LoadPicture_Stream(std::span<const std::uint8_t> bytes, long, long, long streamStart, long streamLength,
                                   long) {
    DestroyDIB();
    const std::size_t start = streamStart < 0 ? 0 : static_cast<std::size_t>(streamStart);
    if (start >= bytes.size()) return false;
    std::size_t length = bytes.size() - start;
    if (streamLength > 0) length = std::min(length, static_cast<std::size_t>(streamLength));
    if (length < kMinStreamBytes) return false;
    return LoadFromBytes(bytes.subspan(start, length));
}

bool c32bppDIB::LoadPicture_Resource(const std::wstring& resIndex, const std::wstring& resSection, HMODULE module,
                                     long iconCx, long iconCy, long streamStart, long streamLength, long iconBitDepth) {
    DestroyDIB();
    if (!module) module = ::GetModuleHandleW(nullptr);
    // Resources of the module itself need no freeing.
    HRSRC found = ::FindResourceW(module, resIndex.c_str(), resSection.c_str());
    if (!found) return false;
    HGLOBAL loaded = ::LoadResource(module, found);
    const DWORD size = ::SizeofResource(module, found);
    const auto* data = loaded ? static_cast<const std::uint8_t*>(::LockResource(loaded)) : nullptr;
    if (!data || size == 0) return false;
    return LoadPicture_Stream({data, size}, iconCx, iconCy, streamStart, streamLength, iconBitDepth);
}

bool c32bppDIB::LoadPicture_File(const std::wstring& fileName, long, long, bool, long) {
    DestroyDIB();
    unique_hfile file(::CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart < static_cast<LONGLONG>(kMinFileBytes) ||
        size.QuadPart > kMaxFileBytes)
        return false;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size())
        return false;
    return LoadFromBytes(bytes);
}

bool c32bppDIB::Render(HDC destinationDC, long destX, long destY, long destWidth, long destHeight, long srcX,
                       long srcY, long srcWidth, long srcHeight, long opacity, bool, bool setHalfTone, long grayScale) {
    if (!bitmap_) return false;
    const auto percent = EffectiveOpacity(opacity);
    if (!percent) return true;
    if (!destinationDC) return false;

    if (srcWidth == 0) srcWidth = width_;
    if (srcHeight == 0) srcHeight = height_;
    const long left = std::clamp(srcX, 0l, width_), top = std::clamp(srcY, 0l, height_);
    const RECT src{left, top, std::clamp(srcX + srcWidth, left, width_), std::clamp(srcY + srcHeight, top, height_)};
    if (src.right == src.left || src.bottom == src.top) return false;
    if (destWidth == 0) destWidth = width_;
    if (destHeight == 0) destHeight = height_;
    const RECT dest{destX, destY, destX + destWidth, destY + destHeight};

    const bool scaled = destWidth != src.right - src.left || destHeight != src.bottom - src.top;
    const bool mirrored = (::GetLayout(destinationDC) & LAYOUT_RTL) != 0 || destWidth < 0 || destHeight < 0;
    if (alphaBlendFriendly_ && !mirrored && grayScale == -1 && (!scaled || !highQualityInterpolation_))
        return RenderWithSystemBlend(destinationDC, dest, src, *percent, setHalfTone);
    return RenderByPixels(destinationDC, dest, src, *percent, grayScale);
}

bool c32bppDIB::RenderWithSystemBlend(HDC dc, const RECT& dest, const RECT& src, int opacityPercent,
                                      bool setHalfTone) {
    const BitmapDC source(ownDC_.get(), bitmap_.get());
    if (!source.get()) return false;
    BLENDFUNCTION blend{AC_SRC_OVER, 0, ConstantAlphaOf(opacityPercent),
                        static_cast<BYTE>(alpha_ > kAlphaNone ? AC_SRC_ALPHA : 0)};
    const int previousMode = setHalfTone ? ::SetStretchBltMode(dc, HALFTONE) : 0;
    const BOOL drawn = ::AlphaBlend(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top,
                                    source.get(), src.left, src.top, src.right - src.left, src.bottom - src.top, blend);
    if (previousMode) ::SetStretchBltMode(dc, previousMode);
    return drawn != FALSE;
}

// Reads the destination area into a buffer, composites there and writes it back.
bool c32bppDIB::RenderByPixels(HDC dc, const RECT& dest, const RECT& src, int opacityPercent, long grayScale) {
    RECT area = dest;
    if (area.left > area.right) std::swap(area.left, area.right);
    if (area.top > area.bottom) std::swap(area.top, area.bottom);
    const long width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return false;

    BITMAPINFO info = BottomUpInfo(width, height);
    void* bits = nullptr;
    unique_hbitmap buffer(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    unique_hdc bufferDC(::CreateCompatibleDC(dc));
    if (!buffer || !bits || !bufferDC) return false;
    const select_object_scope selected(bufferDC.get(), buffer.get());
    if (!::BitBlt(bufferDC.get(), 0, 0, width, height, dc, area.left, area.top, SRCCOPY)) return false;
    ::GdiFlush();

    const PixelBlock image{bits_, static_cast<int>(width_), static_cast<int>(height_)};
    const PixelBlock target{static_cast<std::uint8_t*>(bits), static_cast<int>(width), static_cast<int>(height)};
    CompositeBlock(image, {src.left, src.top, src.right - src.left, src.bottom - src.top}, target,
                   {0, 0, static_cast<int>(width), static_cast<int>(height)}, opacityPercent, grayScale);
    return ::BitBlt(dc, area.left, area.top, width, height, bufferDC.get(), 0, 0, SRCCOPY) != FALSE;
}

}  // namespace tarvo
