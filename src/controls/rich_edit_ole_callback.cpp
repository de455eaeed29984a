#include "controls/rich_edit_ole_callback.h"

#include <string>

#include "common/guarded_call.h"
#include "common/raised_error.h"
#include "controls/rich_edit_internal.h"
#include "controls/rich_edit_rules.h"

namespace tarvo {

namespace {

constexpr DWORD kRootMode = STGM_DELETEONRELEASE | STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE;
constexpr DWORD kSubStorageMode = STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE;

[[noreturn]] void RaiseHresult(HRESULT hr, const wchar_t* what) {
    throw RaisedError(static_cast<std::int32_t>(hr), rich_edit_detail::ErrorSource(), what);
}

}  // namespace

RichEditOleCallback::RichEditOleCallback() {
    const HRESULT hr = ::StgCreateDocfile(nullptr, kRootMode, 0, root_.put());
    if (FAILED(hr)) RaiseHresult(hr, L"Cannot create the temporary storage");
}

com_ptr<IStorage> RichEditOleCallback::CreateNextStorage() {
    const auto number = rich_edit_rules::NextStorageNumber(counter_);
    if (!number) RaiseStandard(kErrOverflow, rich_edit_detail::ErrorSource());
    const std::wstring name = L"VRXRE " + std::to_wstring(*number);
    com_ptr<IStorage> storage;
    const HRESULT hr = root_->CreateStorage(name.c_str(), kSubStorageMode, 0, 0, storage.put());
    if (FAILED(hr)) RaiseHresult(hr, L"Cannot create an object storage");
    return storage;
}

HRESULT RichEditOleCallback::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IRichEditOleCallback)) {
        *object = static_cast<IRichEditOleCallback*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG RichEditOleCallback::AddRef() { return ++references_; }

ULONG RichEditOleCallback::Release() { return references_ > 0 ? --references_ : 0; }

HRESULT RichEditOleCallback::GetNewStorage(LPSTORAGE* storage) {
    if (!storage) return E_POINTER;
    *storage = nullptr;
    // Nothing may cross back into the edit; it gets the failure code instead.
    return GuardedCall(
        [&]() -> HRESULT {
            try {
                com_ptr<IStorage> created = CreateNextStorage();
                created->AddRef();
                *storage = created.get();
                return S_OK;
            } catch (const RaisedError& e) {
                return e.Number() < 0 ? static_cast<HRESULT>(e.Number()) : E_FAIL;
            }
        },
        E_FAIL);
}

HRESULT RichEditOleCallback::GetInPlaceContext(LPOLEINPLACEFRAME* frame, LPOLEINPLACEUIWINDOW* doc,
                                               LPOLEINPLACEFRAMEINFO) {
    if (frame) *frame = nullptr;
    if (doc) *doc = nullptr;
    return S_OK;
}

HRESULT RichEditOleCallback::ShowContainerUI(BOOL) { return S_OK; }

HRESULT RichEditOleCallback::QueryInsertObject(LPCLSID, LPSTORAGE, LONG) { return S_OK; }

HRESULT RichEditOleCallback::DeleteObject(LPOLEOBJECT) { return S_OK; }

HRESULT RichEditOleCallback::QueryAcceptData(LPDATAOBJECT, CLIPFORMAT*, DWORD, BOOL, HGLOBAL) { return S_OK; }

HRESULT RichEditOleCallback::ContextSensitiveHelp(BOOL) { return S_OK; }

HRESULT RichEditOleCallback::GetClipboardData(CHARRANGE*, DWORD, LPDATAOBJECT* data) {
    if (data) *data = nullptr;
    return S_OK;
}

HRESULT RichEditOleCallback::GetDragDropEffect(BOOL, DWORD, LPDWORD) { return S_OK; }

HRESULT RichEditOleCallback::GetContextMenu(WORD, LPOLEOBJECT, CHARRANGE*, HMENU* menu) {
    if (menu) *menu = nullptr;
    return S_OK;
}

}  // namespace tarvo
