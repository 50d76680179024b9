#include "framework/Accessible.h"

#include <memory>
#include <new>
#include <string_view>
#include <type_traits>

namespace fw {

namespace {

// The accessibility functions, from oleacc.dll and oleaut32.dll, loaded on the first request. The libraries stay
// loaded for the rest of the process, as an imported library would: a client may hold an object any time.
class AccessibilityLibrary {
public:
    using LresultFromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
    using CreateStdAccessibleObjectFn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
    using SysAllocStringLenFn = BSTR(WINAPI*)(const OLECHAR*, UINT);

    static const AccessibilityLibrary& Get() {
        static const AccessibilityLibrary library;
        return library;
    }
    bool Ready() const { return m_lresultFromObject && m_createStd && m_allocString; }

    LRESULT LresultFromObject(REFIID iid, WPARAM flags, IUnknown* object) const {
        return m_lresultFromObject(iid, flags, object);
    }
    HRESULT CreateStd(HWND window, void** out) const {
        return m_createStd(window, OBJID_CLIENT, __uuidof(IAccessible), out);
    }
    BSTR AllocString(std::wstring_view text) const {
        return m_allocString(text.data(), static_cast<UINT>(text.size()));
    }

private:
    AccessibilityLibrary() {
        if (HMODULE oleacc = LoadLibraryW(L"oleacc.dll")) {
            m_lresultFromObject = Function<LresultFromObjectFn>(oleacc, "LresultFromObject");
            m_createStd = Function<CreateStdAccessibleObjectFn>(oleacc, "CreateStdAccessibleObject");
        }
        if (HMODULE oleaut = LoadLibraryW(L"oleaut32.dll")) {
            m_allocString = Function<SysAllocStringLenFn>(oleaut, "SysAllocStringLen");
        }
    }
    template <class Fn> static Fn Function(HMODULE module, const char* name) {
        // Through the generic function pointer type, which every function pointer converts to and from.
        return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
    }

    LresultFromObjectFn m_lresultFromObject = nullptr;
    CreateStdAccessibleObjectFn m_createStd = nullptr;
    SysAllocStringLenFn m_allocString = nullptr;
};

struct ReleaseCom {
    void operator()(IUnknown* object) const { object->Release(); }
};

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// Runs a method's body; nothing a client asks may throw into COM.
template <class Body> HRESULT Guarded(Body body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

} // namespace

// The client object of one control. Every call is checked: a disconnected object (its control gone), a child id
// other than the object itself, or a null out pointer is an error for the client, never a crash here.
// A COM object ends itself in Release, never through a pointer to its interface, so the interface's destructor
// needs no virtual.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class AccessibleObject final : public IAccessible {
public:
    AccessibleObject(HWND window, AccessibleAnswers& answers) : m_window(window), m_answers(&answers) {}
    void Disconnect() {
        m_answers = nullptr;
        m_standard.reset();
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) {
            return E_POINTER;
        }
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_references)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&m_references);
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    // IDispatch: not offered (clients use the interface's methods).
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) {
            return E_POINTER;
        }
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) {
            *info = nullptr;
        }
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible: what the control answers.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return Text(child, name, [](const AccessibleAnswers& a) { return a.AccessibleName(); });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return Text(child, value, [](const AccessibleAnswers& a) { return a.AccessibleValue(); });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return Text(child, description, [](const AccessibleAnswers& a) { return a.AccessibleDescription(); });
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR* action) override { return Nothing(action); }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return Guarded([&] {
            if (const HRESULT checked = Check(child, role); checked != S_OK) {
                return checked;
            }
            role->vt = VT_I4;
            role->lVal = m_answers->AccessibleRole();
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return Guarded([&] {
            if (const HRESULT checked = Check(child, state); checked != S_OK) {
                return checked;
            }
            LONG flags = STATE_SYSTEM_FOCUSABLE | m_answers->AccessibleState();
            flags |= IsWindowVisible(m_window) ? 0 : STATE_SYSTEM_INVISIBLE;
            flags |= IsWindowEnabled(m_window) ? 0 : STATE_SYSTEM_UNAVAILABLE;
            flags |= GetFocus() == m_window ? STATE_SYSTEM_FOCUSED : 0;
            state->vt = VT_I4;
            state->lVal = flags;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (!focus) {
            return E_POINTER;
        }
        focus->vt = VT_EMPTY;
        if (!Alive()) {
            return CO_E_OBJNOTCONNECTED;
        }
        if (GetFocus() == m_window) {
            focus->vt = VT_I4;
            focus->lVal = CHILDID_SELF;
            return S_OK;
        }
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return Guarded([&] {
            if (!Alive()) {
                return CO_E_OBJNOTCONNECTED;
            }
            if (!IsSelf(child)) {
                return E_INVALIDARG;
            }
            return m_answers->DoAccessibleAction() ? S_OK : DISP_E_MEMBERNOTFOUND;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (!count) {
            return E_POINTER;
        }
        *count = 0;
        return Alive() ? S_OK : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT, IDispatch** child) override {
        if (!child) {
            return E_POINTER;
        }
        *child = nullptr;
        return E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override { return Nothing(help); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
        if (topic) {
            *topic = 0;
        }
        return Nothing(file);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* shortcut) override { return Nothing(shortcut); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        if (!selection) {
            return E_POINTER;
        }
        selection->vt = VT_EMPTY;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

    // IAccessible: the standard proxy's answers (the window's place, parent and neighbours).
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (!parent) {
            return E_POINTER;
        }
        *parent = nullptr;
        IAccessible* standard = Standard();
        return standard ? standard->get_accParent(parent) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        IAccessible* standard = Standard();
        return standard ? standard->accLocation(left, top, width, height, child) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        IAccessible* standard = Standard();
        return standard ? standard->accNavigate(direction, start, end) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        IAccessible* standard = Standard();
        return standard ? standard->accHitTest(x, y, child) : CO_E_OBJNOTCONNECTED;
    }

private:
    ~AccessibleObject() = default;

    bool Alive() const { return m_answers && IsWindow(m_window); }

    template <class Out> HRESULT Check(const VARIANT& child, Out* out) const {
        if (!out) {
            return E_POINTER;
        }
        if constexpr (std::is_same_v<Out, VARIANT>) {
            out->vt = VT_EMPTY;
        } else {
            *out = nullptr;
        }
        if (!Alive()) {
            return CO_E_OBJNOTCONNECTED;
        }
        return IsSelf(child) ? S_OK : E_INVALIDARG;
    }

    template <class Read> HRESULT Text(const VARIANT& child, BSTR* out, Read read) {
        return Guarded([&] {
            if (const HRESULT checked = Check(child, out); checked != S_OK) {
                return checked;
            }
            const std::wstring text = read(*m_answers);
            if (text.empty()) {
                return S_FALSE;
            }
            *out = AccessibilityLibrary::Get().AllocString(text);
            return *out ? S_OK : E_OUTOFMEMORY;
        });
    }

    static HRESULT Nothing(BSTR* out) {
        if (!out) {
            return E_POINTER;
        }
        *out = nullptr;
        return S_FALSE;
    }

    IAccessible* Standard() {
        if (!Alive()) {
            return nullptr;
        }
        if (!m_standard) {
            void* standard = nullptr;
            if (SUCCEEDED(AccessibilityLibrary::Get().CreateStd(m_window, &standard)) && standard) {
                m_standard.reset(static_cast<IAccessible*>(standard));
            }
        }
        return m_standard.get();
    }

    LONG m_references = 1;
    HWND m_window;
    AccessibleAnswers* m_answers;
    std::unique_ptr<IAccessible, ReleaseCom> m_standard;
};
#pragma GCC diagnostic pop

AccessibleSlot::~AccessibleSlot() {
    if (m_object) {
        m_object->Disconnect();
        CoDisconnectObject(m_object, 0);
        m_object->Release();
    }
}

std::optional<LRESULT> AccessibleSlot::Answer(WPARAM flags, LONG objectId) {
    if (objectId != OBJID_CLIENT || !m_window) {
        return std::nullopt;
    }
    const AccessibilityLibrary& library = AccessibilityLibrary::Get();
    if (!library.Ready()) {
        return std::nullopt;
    }
    if (!m_object) {
        m_object = new (std::nothrow) AccessibleObject(m_window, m_answers);
        if (!m_object) {
            return std::nullopt;
        }
    }
    const LRESULT answer = library.LresultFromObject(__uuidof(IAccessible), flags, m_object);
    if (answer < 0) {
        return std::nullopt; // the standard proxy answers instead
    }
    return answer;
}

void RaiseStateChange(HWND window) {
    if (window && IsWindowVisible(window)) {
        NotifyWinEvent(EVENT_OBJECT_STATECHANGE, window, OBJID_CLIENT, CHILDID_SELF);
    }
}

void RaiseNameChange(HWND window) {
    if (window && IsWindowVisible(window)) {
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window, OBJID_CLIENT, CHILDID_SELF);
    }
}

void RaiseDescriptionChange(HWND window) {
    if (window && IsWindowVisible(window)) {
        NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, window, OBJID_CLIENT, CHILDID_SELF);
    }
}

} // namespace fw

namespace fw {

void CNamedControl::SetAccessible(std::wstring name, LONG role) {
    m_role = role;
    if (name != m_name) {
        m_name = std::move(name);
        RaiseNameChange(m_hWnd);
    }
}

std::wstring CNamedControl::AccessibleValue() const {
    return GetWindowText();
}

} // namespace fw
