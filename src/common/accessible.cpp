// AccessibleText: the control's own accessible object, with our name, value
// and role in front of the system's object for its window.
#include "common/accessible.h"

#include <oleacc.h>

#include <new>
#include <utility>

namespace krx {

namespace {

std::wstring Wide(const std::string& text) {
    if (text.empty()) {
        return std::wstring();
    }
    const int length =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0) {
        return std::wstring();
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

HRESULT Give(const std::wstring& text, BSTR* out) {
    if (out == nullptr) {
        return E_INVALIDARG;
    }
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

// Answers name, value and role from a snapshot taken when the client asked;
// a client told of a change asks again. Everything else is the system's
// object for the window.
class AccessibleProxy final : public IAccessible {
  public:
    AccessibleProxy(IAccessible* inner, std::wstring name, std::wstring value, long role)
        : m_pInner(inner), m_strName(std::move(name)), m_strValue(std::move(value)), m_nRole(role) {
    }
    AccessibleProxy(const AccessibleProxy&) = delete;
    AccessibleProxy& operator=(const AccessibleProxy&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (out == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
            IsEqualIID(riid, IID_IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        // The window's own object answers for the window (IOleWindow) and
        // its children (IEnumVARIANT).
        return m_pInner->QueryInterface(riid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&m_nRefs));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG refs = InterlockedDecrement(&m_nRefs);
        if (refs == 0) {
            delete this;
        }
        return static_cast<ULONG>(refs);
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return m_pInner->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return m_pInner->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return m_pInner->GetIDsOfNames(riid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override {
        return m_pInner->Invoke(id, riid, locale, flags, params, result, exception, argumentError);
    }

    // IAccessible: ours
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (IsSelf(child) && !m_strName.empty()) {
            return Give(m_strName, name);
        }
        return m_pInner->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        if (IsSelf(child) && !m_strValue.empty()) {
            return Give(m_strValue, value);
        }
        return m_pInner->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (IsSelf(child) && m_nRole != 0 && role != nullptr) {
            role->vt = VT_I4;
            role->lVal = m_nRole;
            return S_OK;
        }
        return m_pInner->get_accRole(child, role);
    }

    // IAccessible: the window's
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return m_pInner->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return m_pInner->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        return m_pInner->get_accChild(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return m_pInner->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return m_pInner->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override {
        return m_pInner->get_accHelp(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return m_pInner->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* text) override {
        return m_pInner->get_accKeyboardShortcut(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return m_pInner->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return m_pInner->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* text) override {
        return m_pInner->get_accDefaultAction(child, text);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return m_pInner->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        return m_pInner->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return m_pInner->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        return m_pInner->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return m_pInner->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return m_pInner->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return m_pInner->put_accValue(child, value);
    }

  private:
    ~AccessibleProxy() { m_pInner->Release(); }

    LONG m_nRefs = 1;
    IAccessible* m_pInner; // owned reference
    std::wstring m_strName;
    std::wstring m_strValue;
    long m_nRole;
};

} // namespace

void AccessibleText::SetName(HWND control, const std::string& name) {
    if (name == m_strName) {
        return;
    }
    m_strName = name;
    if (control != nullptr) {
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
    }
}

void AccessibleText::SetValue(HWND control, const std::string& value) {
    if (value == m_strValue) {
        return;
    }
    m_strValue = value;
    if (control != nullptr) {
        NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
    }
}

bool AccessibleText::Answer(HWND control, WPARAM wParam, LPARAM lParam, LRESULT* result) const {
    if (static_cast<LONG>(lParam) != OBJID_CLIENT ||
        (m_strName.empty() && m_strValue.empty() && m_nRole == 0)) {
        return false;
    }
    try {
        std::wstring name = Wide(m_strName);
        std::wstring value = Wide(m_strValue);
        IAccessible* inner = nullptr;
        if (FAILED(CreateStdAccessibleObject(control, OBJID_CLIENT, IID_IAccessible,
                                             reinterpret_cast<void**>(&inner))) ||
            inner == nullptr) {
            return false;
        }
        auto* proxy =
            new (std::nothrow) AccessibleProxy(inner, std::move(name), std::move(value), m_nRole);
        if (proxy == nullptr) {
            inner->Release();
            return false;
        }
        *result = LresultFromObject(IID_IAccessible, wParam, proxy);
        proxy->Release();
        return true;
    } catch (...) {
        // Out of memory for the texts: the control answers as it would alone.
        return false;
    }
}

} // namespace krx
