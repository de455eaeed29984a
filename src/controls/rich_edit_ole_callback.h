#pragma once
// RichEditOleCallback: the rich edit's OLE callback.
// The rich edit's OLE callback: hands out sub-storages of one temporary
// compound file, named "VRXRE 1", "VRXRE 2", ... per control; every other
// request is accepted without doing anything.
#include <windows.h>
#include <richedit.h>
#include <richole.h>

#include <cstdint>

#include "common/handles.h"

namespace tarvo {

class RichEditOleCallback final : public IRichEditOleCallback {
public:
    // Creates the temporary root storage; a failure is raised as its HRESULT.
    RichEditOleCallback();
    RichEditOleCallback(const RichEditOleCallback&) = delete;
    RichEditOleCallback& operator=(const RichEditOleCallback&) = delete;
    ~RichEditOleCallback() = default;

    // The next sub-storage; raises the HRESULT of a failed creation, error 6 when the counter overflows.
    com_ptr<IStorage> CreateNextStorage();

    // The edit's references do not own this object: the control does.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetNewStorage(LPSTORAGE* storage) override;
    HRESULT STDMETHODCALLTYPE GetInPlaceContext(LPOLEINPLACEFRAME* frame, LPOLEINPLACEUIWINDOW* doc,
                                                LPOLEINPLACEFRAMEINFO frameInfo) override;
    HRESULT STDMETHODCALLTYPE ShowContainerUI(BOOL show) override;
    HRESULT STDMETHODCALLTYPE QueryInsertObject(LPCLSID clsid, LPSTORAGE storage, LONG cp) override;
    HRESULT STDMETHODCALLTYPE DeleteObject(LPOLEOBJECT object) override;
    HRESULT STDMETHODCALLTYPE QueryAcceptData(LPDATAOBJECT data, CLIPFORMAT* format, DWORD reco, BOOL really,
                                              HGLOBAL metaPict) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enterMode) override;
    HRESULT STDMETHODCALLTYPE GetClipboardData(CHARRANGE* range, DWORD reco, LPDATAOBJECT* data) override;
    HRESULT STDMETHODCALLTYPE GetDragDropEffect(BOOL drag, DWORD keyState, LPDWORD effect) override;
    HRESULT STDMETHODCALLTYPE GetContextMenu(WORD selectionType, LPOLEOBJECT object, CHARRANGE* range,
                                             HMENU* menu) override;

    ULONG OutsideReferences() const { return references_; }

private:
    com_ptr<IStorage> root_;
    std::int32_t counter_ = 0;
    ULONG references_ = 0;
};

}  // namespace tarvo
