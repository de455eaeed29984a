// Decoding speed of the PNG reader with zlib's inflate against the built-in one,
// on the logo (the largest picture the program loads). Prints times and their ratio.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "graphics/image.h"
#include "graphics/png_parser.h"

namespace {

std::vector<std::uint8_t> ReadLogo() {
    wchar_t path[MAX_PATH];
    const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring file(path, n);
    file = file.substr(0, file.find_last_of(L'\\') + 1) + L"tarvo2logo.png";
    tarvo::unique_hfile handle(::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size{};
    if (!handle || !::GetFileSizeEx(handle.get(), &size)) return {};
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    ::ReadFile(handle.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    return bytes;
}

double MillisecondsPerDecode(const tarvo::cPNGparser& parser, const std::vector<std::uint8_t>& png, int rounds) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i)
        if (!parser.Decode(png)) return -1;
    const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / rounds;
}

}  // namespace

int main() {
    const auto png = ReadLogo();
    const tarvo::ZlibApi zlib = tarvo::LoadedZlib();
    if (png.empty() || !zlib.uncompress) {
        std::printf("needs tarvo2logo.png and zlib1.dll beside the program\n");
        return 1;
    }
    constexpr int kRounds = 100;
    const double withZlib = MillisecondsPerDecode(tarvo::cPNGparser(zlib), png, kRounds);
    const double builtIn = MillisecondsPerDecode(tarvo::cPNGparser(), png, kRounds);
    std::printf("logo 320x320: zlib %.3f ms, built-in inflate %.3f ms per decode; built-in / zlib = %.2f\n", withZlib,
                builtIn, builtIn / withZlib);
    return 0;
}
