#pragma once
// The program's image object: a 32-bit DIB section with premultiplied alpha
// (bytes B, G, R, A; rows bottom-up), loaded from a resource, file or byte
// stream by the built-in PNG reader and drawn with alpha blending.
#include <windows.h>

#include <cstdint>
#include <span>
#include <string>

#include "common/handles.h"
#include "graphics/png_parser.h"

namespace tarvo {

// zlib's entry points from "zlib1.dll" or else "zlib.dll", loaded once per process;
// both null when neither library exports them.
ZlibApi LoadedZlib();

class c32bppDIB {
public:
    static constexpr int kImageTypePng = 10;

    c32bppDIB();
    ~c32bppDIB();
    c32bppDIB(const c32bppDIB&) = delete;
    c32bppDIB& operator=(const c32bppDIB&) = delete;

    // Every loader first destroys the current image and never throws; the result
    // is true exactly when an image is held afterwards. iconCx, iconCy and
    // iconBitDepth only matter to icon formats, which this object does not read.
    bool LoadPicture_Resource(const std::wstring& resIndex, const std::wstring& resSection, HMODULE module = nullptr,
                              long iconCx = 0, long iconCy = 0, long streamStart = 0, long streamLength = 0,
                              long iconBitDepth = 0);
    bool LoadPicture_File(const std::wstring& fileName, long iconCx = 0, long iconCy = 0, bool saveFormat = false,
                          long iconBitDepth = 0);
    bool LoadPicture_Stream(std::span<const std::uint8_t> bytes, long iconCx = 0, long iconCy = 0,
                            long streamStart = 0, long streamLength = 0, long iconBitDepth = 0);

    // A cleared image; a negative height counts by its absolute value, width < 0 or height 0 creates nothing.
    bool InitializeDIB(long width, long height);
    void DestroyDIB();

    // Zero sizes mean the image's own; opacity below 1 draws nothing; grayScale -1
    // keeps the colours, other values pick a formula of the grey-scale table.
    bool Render(HDC destinationDC, long destX = 0, long destY = 0, long destWidth = 0, long destHeight = 0,
                long srcX = 0, long srcY = 0, long srcWidth = 0, long srcHeight = 0, long opacity = 100,
                bool blend = true, bool setHalfTone = true, long grayScale = -1);

    HBITMAP handle() const { return bitmap_.get(); }
    std::uint8_t* BitsPointer() const { return bits_; }
    long Width() const { return width_; }
    long Height() const { return height_; }
    long scanWidth() const { return width_ * 4; }
    int Alpha() const { return alpha_; }
    int ImageType() const { return imageType_; }

    bool ManageOwnDC() const { return manageOwnDC_; }
    void ManageOwnDC(bool value);
    bool HighQualityInterpolation() const { return highQualityInterpolation_; }
    void HighQualityInterpolation(bool value) { highQualityInterpolation_ = value; }
    bool isAlphaBlendFriendly() const { return alphaBlendFriendly_; }
    // Can only be switched on where the system blends reliably.
    void isAlphaBlendFriendly(bool value) { alphaBlendFriendly_ = value && systemBlendsAlpha_; }
    static bool isZlibEnabled();
    // The system image library is not used: the built-in reader is always the one.
    static constexpr bool isGDIplusEnabled() { return false; }

private:
    bool LoadFromBytes(std::span<const std::uint8_t> bytes);
    bool RenderWithSystemBlend(HDC dc, const RECT& dest, const RECT& src, int opacityPercent, bool setHalfTone);
    bool RenderByPixels(HDC dc, const RECT& dest, const RECT& src, int opacityPercent, long grayScale);

    unique_hbitmap bitmap_;
    unique_hdc ownDC_;
    select_object_scope ownDCSelection_;
    std::uint8_t* bits_ = nullptr;
    long width_ = 0;
    long height_ = 0;
    int alpha_ = kAlphaNone;
    int imageType_ = 0;
    bool manageOwnDC_ = false;
    bool highQualityInterpolation_ = false;
    bool systemBlendsAlpha_ = true;  // every NT system from version 5 on, so every supported one
    bool alphaBlendFriendly_ = true;
};

}  // namespace tarvo
