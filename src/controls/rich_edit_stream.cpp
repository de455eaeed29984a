#include <algorithm>
#include <cstring>

#include "common/guarded_call.h"
#include "controls/rich_edit.h"
#include "controls/rich_edit_internal.h"

namespace tarvo::rich_edit_detail {

namespace {

// The one transfer in progress; a stream message runs it to completion before returning.
struct Transfer {
    const std::wstring* text = nullptr;
    std::size_t nextByte = 0;
    bool fileMode = false;
    VRX_RichEdit* target = nullptr;
    long bytesRead = 0;
};

Transfer g_transfer;

class TransferScope {
public:
    explicit TransferScope(const Transfer& setup) { g_transfer = setup; }
    TransferScope(const TransferScope&) = delete;
    TransferScope& operator=(const TransferScope&) = delete;
    ~TransferScope() { g_transfer = Transfer{}; }
};

DWORD CALLBACK ReadText(DWORD_PTR, LPBYTE buffer, LONG size, LONG* copied) {
    *copied = 0;
    if (!g_transfer.text || size <= 0) return 0;
    const std::wstring& text = *g_transfer.text;
    const std::size_t total = text.size() * sizeof(wchar_t);
    std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(size), total - g_transfer.nextByte);
    count -= count % sizeof(wchar_t);
    // A block that ended between CR and LF would reach the edit as two line breaks.
    const std::size_t end = (g_transfer.nextByte + count) / sizeof(wchar_t);
    if (count > sizeof(wchar_t) && end < text.size() && text[end - 1] == L'\r' && text[end] == L'\n') {
        count -= sizeof(wchar_t);
    }
    std::memcpy(buffer, reinterpret_cast<const BYTE*>(g_transfer.text->data()) + g_transfer.nextByte, count);
    g_transfer.nextByte += count;
    *copied = static_cast<LONG>(count);
    return 0;
}

// A failing progress handler ends the transfer.
bool ReportedProgress(long bytes) {
    return GuardedCall(
        [bytes] {
            if (g_transfer.target) g_transfer.target->RaiseLoadStatus(bytes, -1);
            return true;
        },
        false);
}

DWORD CALLBACK ReadFileChunk(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* copied) {
    *copied = 0;
    DWORD read = 0;
    if (!::ReadFile(reinterpret_cast<HANDLE>(cookie), buffer, static_cast<DWORD>(size), &read, nullptr)) return 1;
    *copied = static_cast<LONG>(read);
    g_transfer.bytesRead += static_cast<long>(read);
    return ReportedProgress(g_transfer.bytesRead) ? 0 : 1;
}

DWORD CALLBACK WriteFileChunk(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* written) {
    *written = 0;
    if (size > 0) {
        if (!ReportedProgress(size)) return 1;
    }
    DWORD done = 0;
    if (!::WriteFile(reinterpret_cast<HANDLE>(cookie), buffer, static_cast<DWORD>(size), &done, nullptr)) return 1;
    *written = static_cast<LONG>(done);
    return 0;
}

}  // namespace

LRESULT StreamTextIn(HWND edit, const std::wstring& text) {
    Transfer setup;
    setup.text = &text;
    TransferScope scope(setup);
    EDITSTREAM stream{};
    stream.pfnCallback = ReadText;
    return ::SendMessageW(edit, EM_STREAMIN, SF_TEXT | SF_UNICODE | SFF_SELECTION, reinterpret_cast<LPARAM>(&stream));
}

LRESULT StreamFile(HWND edit, HANDLE file, long format, bool load, VRX_RichEdit& target) {
    Transfer setup;
    setup.fileMode = true;
    setup.target = &target;
    TransferScope scope(setup);
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(file);
    stream.pfnCallback = load ? ReadFileChunk : WriteFileChunk;
    return ::SendMessageW(edit, load ? EM_STREAMIN : EM_STREAMOUT, static_cast<WPARAM>(format),
                          reinterpret_cast<LPARAM>(&stream));
}

}  // namespace tarvo::rich_edit_detail
